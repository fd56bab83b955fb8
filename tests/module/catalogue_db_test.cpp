// The catalogue connection and the text conversions: files that cannot be read
// are reported and never changed; text in the system code page; a text that
// cannot be converted is reported, not fatal; one connection serves a scope's
// jobs and lasts as long as its last user.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "catalogue/catalogue_db.h"
#include "catalogue/catalogue_queries.h"
#include "catalogue_fixture.h"

using namespace cattest;

namespace {

const std::string kOpenFailedGbk = "\xca\xfd\xbe\xdd\xbf\xe2\xb4\xf2\xbf\xaa\xca\xa7\xb0\xdc: ";
// The same line as a UTF-8 terminal shows it.
const std::string kOpenFailedShown = "\xe6\x95\xb0\xe6\x8d\xae\xe5\xba\x93\xe6\x89\x93\xe5\xbc\x80\xe5\xa4\xb1\xe8\xb4\xa5: ";

void expectNothingFrom(CatalogueDb& db) {
    std::vector<std::wstring> list;
    listMouldTypes(db, kSideGateSeries, list);
    listMouldCodes(db, kSideGateSeries, list);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(loadPlateList(db, "SAI", "2025").empty());
    double t = 0, w = 0, l = 0;
    EXPECT_FALSE(lookupPlateSize(db, "2025", L"A板", t, w, l));
    EXPECT_EQ(w, -1);
    std::vector<int32_t> options;
    EXPECT_FALSE(listThicknessOptions(db, "2025", "ABPLATE_H", options));
    EXPECT_TRUE(options.empty());
    std::string block = "unchanged";
    EXPECT_TRUE(findStandardItemBlock(db, L"导柱", L"A板", 1, "A1", block));
    EXPECT_EQ(block, "unchanged");
    CatalogueRow row;
    row.mouldCode = L"2025";
    row.plateName = L"A板";
    std::vector<EyeboltPlacement> eyebolts(1);
    EXPECT_TRUE(computeEyeboltPlacements(db, row, eyebolts));
    EXPECT_EQ(eyebolts.size(), 1u);
}

}  // namespace

TEST(CatalogueDbOpen, CorruptEmptyAndLockedFiles) {
    TempDir dir;
    MessageBoxRecorder boxes;
    {
        const std::string path = dir.file("corrupt.db");
        std::ofstream(path, std::ios::binary) << std::string(4096, '\x5a');
        CatalogueDb db;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(db.open(path));
        EXPECT_NE(testing::internal::GetCapturedStderr().find("file is not a database"), std::string::npos);
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], L"file is not a database");
        expectNothingFrom(db);
        EXPECT_EQ(std::filesystem::file_size(path), 4096u);
    }
    {
        // An empty file is a catalogue without tables: it opens, every list is
        // empty and the file stays empty.
        const std::string path = dir.file("empty.db");
        std::ofstream(path, std::ios::binary).flush();
        CatalogueDb db;
        EXPECT_TRUE(db.open(path));
        expectNothingFrom(db);
        db.close();
        EXPECT_EQ(std::filesystem::file_size(path), 0u);
    }
    {
        const std::string path = dir.file("locked.db");
        writeCatalogue(path, std::string(looseSchema()) + "INSERT INTO MODE_PLATE_SIZE (MCODE) VALUES ('2025');");
        sqlite3* writer = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        boxes.texts.clear();
        CatalogueDb db;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(db.open(path));
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], L"database is locked");
        expectNothingFrom(db);
        sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(writer);
        // Once the other program lets go, the same object opens it.
        EXPECT_TRUE(db.open(path));
        std::vector<std::wstring> codes;
        listMouldCodes(db, kSideGateSeries, codes);
        EXPECT_EQ(codes, std::vector<std::wstring>{L"2025"});
    }
}

TEST(CatalogueDbOpen, ReadOnlyAndNonAsciiFolder) {
    TempDir dir;
    const std::string folder = toUtf8(fromUtf8(dir.path()) + L"/岱川 模架");
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/ZDTSTANDARDMOULD.db";
    writeCatalogue(path, std::string(looseSchema()) + "INSERT INTO MODEL_PLATE_LIST VALUES ('SAI','A板','上模',1);");
    CatalogueDb db;
    ASSERT_TRUE(db.open(path));
    // Nothing can write through the module's connection.
    EXPECT_EQ(sqlite3_exec(db.handle(), "DELETE FROM MODEL_PLATE_LIST", nullptr, nullptr, nullptr), SQLITE_READONLY);
    std::vector<std::wstring> types;
    listMouldTypes(db, kSideGateSeries, types);
    EXPECT_EQ(types, std::vector<std::wstring>{L"SAI"});
}

// The system code page's text: GBK or UTF-8 with its byte order mark dropped,
// and no lookalike where the code page has no Chinese.
TEST(CatalogueText, AnsiTextUnderGbkAndUtf8CodePages) {
    {
        CodePageGuard gbk(936);
        ASSERT_TRUE(gbk.ok);
        EXPECT_EQ(toAnsi(L"数据库打开失败: "), kOpenFailedGbk);
        EXPECT_EQ(fromAnsi(kOpenFailedGbk.data(), 4), L"数据") << "only the bytes given are read";
    }
    {
        CodePageGuard utf8(65001);
        ASSERT_TRUE(utf8.ok);
        EXPECT_EQ(fromAnsi(std::string("\xef\xbb\xbf") + "SAI"), L"SAI");
        EXPECT_EQ(fromAnsi(std::string("\xef\xbb\xbf")), L"");
    }
    CodePageGuard latin(1252);
    ASSERT_TRUE(latin.ok);
    EXPECT_EQ(toAnsi(L"A板"), "");
}

TEST(CatalogueText, FailedConversionIsReportedNotFatal) {
    const std::wstring broken(1, static_cast<wchar_t>(0xD800));
    try {
        toUtf8(L"A" + broken);
        ADD_FAILURE() << "a lone surrogate converted";
    } catch (const TextConversionError& e) {
        EXPECT_STREQ(e.what(), "Error in conversion.");
    }
    std::string out = "x";
    EXPECT_FALSE(tryToUtf8(broken, out));
    EXPECT_EQ(out, "");

    // The queries take such a name as one that matches nothing.
    TempDir dir;
    const std::string path = dir.file("c.db");
    writeCatalogue(path, std::string(looseSchema()) +
                             "INSERT INTO STANDITEMBLOCKSETUP VALUES ('A板','导柱',1,'A1','GB-A1');"
                             "INSERT INTO MODE_EYEBOLT_INFO VALUES (0, 9999999, 'A板', '12');");
    CatalogueDb db;
    ASSERT_TRUE(db.open(path));
    std::string block;
    EXPECT_TRUE(findStandardItemBlock(db, L"导柱", L"A板" + broken, 1, "A1", block));
    EXPECT_EQ(block, "");
    CatalogueRow row;
    row.mouldCode = L"2025";
    row.plateName = L"A板" + broken;
    std::vector<EyeboltPlacement> eyebolts;
    EXPECT_TRUE(computeEyeboltPlacements(db, row, eyebolts));
    EXPECT_TRUE(eyebolts.empty());
}

// Inside a reuse scope one connection serves job after job, also jobs open at
// the same time; a different file gets its own; when the last scope ends
// nothing stays open, and a file that went missing in between is reported again.
TEST(CatalogueDbReuse, OneConnectionServesTheJobsOfAScope) {
    TempDir dir;
    const std::string path = dir.file("ZDTSTANDARDMOULD.db");
    const std::string other = dir.file("other.db");
    writeCatalogue(path, std::string(looseSchema()) + "INSERT INTO MODE_PLATE_SIZE (MCODE) VALUES ('2025');");
    writeCatalogue(other, looseSchema());
    {
        CatalogueReuseScope scope;
        CatalogueDb first;
        ASSERT_TRUE(first.open(path));
        sqlite3* handle = first.handle();
        first.close();
        CatalogueDb second;
        ASSERT_TRUE(second.open(path));
        EXPECT_EQ(handle, second.handle()) << "the shared connection is used again";
        CatalogueDb meanwhile;
        ASSERT_TRUE(meanwhile.open(path));
        EXPECT_EQ(handle, meanwhile.handle());
        std::vector<std::wstring> codes;
        listMouldCodes(second, kSideGateSeries, codes);
        EXPECT_EQ(codes, std::vector<std::wstring>{L"2025"});
        CatalogueDb elsewhere;
        ASSERT_TRUE(elsewhere.open(other));
        EXPECT_NE(handle, elsewhere.handle());
    }
    std::remove(path.c_str());
    MessageBoxRecorder boxes;
    Utf8Terminal terminal;
    CatalogueDb after;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(after.open(path));
    EXPECT_NE(testing::internal::GetCapturedStderr().find(kOpenFailedShown), std::string::npos);
}

// A user that outlives the scopes (a hole model of the design) keeps reading
// through the shared connection; it closes with its last user.
TEST(CatalogueDbReuse, TheSharedConnectionLastsAsLongAsItsLastUser) {
    TempDir dir;
    const std::string path = dir.file("ZDTSTANDARDMOULD.db");
    writeCatalogue(path, std::string(looseSchema()) + "INSERT INTO MODE_PLATE_SIZE (MCODE) VALUES ('2025');");
    sqlite3* borrowed = nullptr;
    {
        CatalogueReuseScope scope;
        EXPECT_EQ(nullptr, borrowSharedConnection(path)) << "nothing is shared before the first open";
        CatalogueDb db;
        ASSERT_TRUE(db.open(path));
        borrowed = borrowSharedConnection(path);
        EXPECT_EQ(db.handle(), borrowed);
    }
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(borrowed, "select MCODE from MODE_PLATE_SIZE", -1, &stmt, nullptr));
    EXPECT_EQ(SQLITE_ROW, sqlite3_step(stmt));
    sqlite3_finalize(stmt);
    releaseSharedConnection(borrowed);
    CatalogueReuseScope later;
    EXPECT_EQ(nullptr, borrowSharedConnection(path)) << "closed with its last user";
}
