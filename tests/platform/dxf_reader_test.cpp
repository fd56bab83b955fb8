// Reading drawing files that are not what they should be: damaged, cut off,
// binary or not DXF at all must be refused with eBadDxfFile and a message that
// names the line, and the database must keep what it held. Also files of other
// writers: without handles, in the GBK code page, with \U+ escapes.
#include "../../platform/dxf/src/dxf_internal.h"
#include "dxf_test_support.h"

using namespace dxftest;

namespace {

// A small, valid drawing written by this host: the base the damage is done to.
std::string goodText() {
    VRxDbDatabase db;
    place(db, db.modelSpaceId(), new VRxDbLine(VRxGePoint3d(1, 2, 0), VRxGePoint3d(3, 4, 0)));
    place(db, db.modelSpaceId(), new VRxDbText(VRxGePoint3d(0, 0, 0), L"模板", VRxDbObjectId::kNull, 3.0));
    return VRxDxf::writeDxf(db);
}

// Replaces the value on the line after the first line equal to `code` that follows `after`.
std::string replaceValue(std::string text, const std::string& after, const std::string& code,
                         const std::string& value) {
    size_t p = text.find(after);
    p = text.find("\n" + code + "\n", p);
    size_t start = p + code.size() + 2;
    size_t end = text.find('\n', start);
    return text.substr(0, start) + value + text.substr(end);
}

// The database a failed read must leave alone: a drawing with one marked line.
class DxfBadInput : public ::testing::Test {
protected:
    void SetUp() override {
        place(db, db.modelSpaceId(), new VRxDbLine(VRxGePoint3d(7, 7, 0), VRxGePoint3d(8, 8, 0)));
    }
    void expectRefused(const std::string& content, const std::string& what, bool wantLine = true) {
        SCOPED_TRACE(what);
        std::wstring error;
        EXPECT_EQ(VRxDxf::readDxf(db, content, error), Vrx::eBadDxfFile);
        EXPECT_FALSE(error.empty()) << "a refusal needs a message";
        if (wantLine) {
            EXPECT_NE(error.find(L"line "), std::wstring::npos) << narrow(error);
        }
        auto lines = entitiesOf<VRxDbLine>(db, db.modelSpaceId());
        ASSERT_EQ(lines.size(), 1u) << "the database must keep what it held";
        EXPECT_DOUBLE_EQ(lines[0]->startPoint().x, 7.0);
    }
    VRxDbDatabase db;
};

TEST_F(DxfBadInput, TruncatedFilesAreRefusedWherEverTheyAreCut) {
    std::string good = goodText();
    for (double fraction : {0.02, 0.1, 0.35, 0.5, 0.8, 0.97}) {
        size_t cut = static_cast<size_t>(good.size() * fraction);
        expectRefused(good.substr(0, cut), "cut at " + std::to_string(cut));
    }
    // Cut exactly at a section's end, and in the middle of a number.
    size_t endsec = good.find("ENDSEC\n", good.find("ENTITIES"));
    expectRefused(good.substr(0, endsec + 7), "cut after the entities");
    size_t number = good.find("\n 10\n", good.find("\nLINE\n")) + 5;
    expectRefused(good.substr(0, number + 1), "cut inside a coordinate");
}

TEST_F(DxfBadInput, CorruptGroupCodesAndValuesAreRefused) {
    std::string good = goodText();
    size_t line = good.find("\nLINE\n");
    std::string garbage = good;
    garbage.replace(good.find("\n 10\n", line), 5, "\n1x0\n");
    expectRefused(garbage, "garbage group code");
    expectRefused(replaceValue(good, "\nLINE\n", " 10", "abc"), "non-numeric coordinate");
    expectRefused(replaceValue(good, "\nLINE\n", " 10", "1.5.3"), "malformed number");
    expectRefused(replaceValue(good, "$INSUNITS", " 70", "four"), "non-numeric integer");
    expectRefused(replaceValue(good, "\nLINE\n", "  5", "ZZ"), "bad handle");
    std::string outOfRange = good;
    outOfRange.replace(good.find("\n 10\n", line), 5, "\n5000\n");
    expectRefused(outOfRange, "group code out of range");
}

TEST_F(DxfBadInput, NonDxfContentIsRefused) {
    expectRefused("", "empty file", false);
    expectRefused(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "a PNG picture");
    expectRefused("Dear user,\nthis is a letter.\n", "plain text");
    expectRefused("0\nSECTION\n2\nENTITIES\n0\nLINE\n\x01\x02\xff\xfe\n", "binary junk");
    expectRefused(std::string("Sample Binary DXF\r\n\x1a\0", 21) + std::string(100, '\x07'), "binary DXF", false);
    std::string good = goodText();
    expectRefused(good.substr(0, good.rfind("  0\nEOF")), "missing EOF");
    expectRefused("  0\nEOF\n", "no sections at all", false);
    std::string noEndsec = good;
    size_t tables = good.find("ENDSEC", good.find("TABLES"));
    noEndsec.erase(tables - 4, 11);
    expectRefused(noEndsec, "a section without ENDSEC");
}

TEST_F(DxfBadInput, FilesOnDiskReportNotFoundAccessAndContent) {
    TempDir dir;
    VRxDbDatabase side(false, true);
    EXPECT_EQ(side.readDwgFile(dir.wpath("missing.dwg").c_str()), Vrx::eFileNotFound);
    EXPECT_NE(side.lastReadError().find(L"missing.dwg"), std::wstring::npos);
    EXPECT_EQ(side.readVdgFile(dir.wpath("no/such/folder/x.vdg").c_str()), Vrx::eFileNotFound);
    EXPECT_EQ(side.readDwgFile(nullptr), Vrx::eFileNotFound);
    EXPECT_EQ(side.readDwgFile(std::wstring(dir.dir().begin(), dir.dir().end()).c_str()), Vrx::eFileAccessErr);

    writeBytes(dir.path("bad.dwg"), "hello\n");
    EXPECT_EQ(side.readDwgFile(dir.wpath("bad.dwg").c_str()), Vrx::eBadDxfFile);
    EXPECT_NE(side.lastReadError().find(L"line 1"), std::wstring::npos) << narrow(side.lastReadError());

    writeBytes(dir.path("good.vdg"), goodText());
    EXPECT_EQ(side.readVdgFile(dir.wpath("good.vdg").c_str()), Vrx::eOk);
    EXPECT_TRUE(side.lastReadError().empty());
    EXPECT_EQ(entitiesOf<VRxDbLine>(side, side.modelSpaceId()).size(), 1u);

    // A drawing whose objects are open cannot be swapped under its users.
    VRxDbBlockTable* table = nullptr;
    ASSERT_EQ(side.getBlockTable(table, VRxDb::kForRead), Vrx::eOk);
    EXPECT_NE(side.readVdgFile(dir.wpath("good.vdg").c_str()), Vrx::eOk);
    table->close();
}

// A drawing of another writer: 2000 file version, GBK text with an escape,
// no handles on the entities, an old-style polyline and entities this host has no kind for.
TEST(DxfForeignFiles, OldFilesInTheGbkCodePageReadCorrectly) {
    // "中心线" and "模架" in GBK; "板" as a \U+ escape.
    std::string gbkLayer = "\xD6\xD0\xD0\xC4\xCF\xDF";
    std::string gbkText = "\xC4\xA3\xBC\xDC\\U+677F";
    std::string dxf =
        "999\nwritten elsewhere\n"
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$DWGCODEPAGE\n  3\nANSI_936\n"
        "  9\n$INSUNITS\n 70\n4\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n 70\n1\n"
        "  0\nLAYER\n  2\n" + gbkLayer + "\n 70\n0\n 62\n1\n  6\nCONTINUOUS\n  0\nENDTAB\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\nENTITIES\n"
        "  0\nTEXT\n  8\n" + gbkLayer + "\n 10\n1\n 20\n2\n 30\n0\n 40\n3.5\n  1\n" + gbkText + "\n"
        "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n1\n"
        "  0\nVERTEX\n  8\n0\n 10\n0\n 20\n0\n 42\n1\n  0\nVERTEX\n  8\n0\n 10\n10\n 20\n0\n  0\nSEQEND\n"
        "  0\nELLIPSE\n  8\n0\n 10\n0\n 20\n0\n 11\n5\n 21\n0\n 40\n0.5\n"
        "  0\nLINE\n  8\n0\n 67\n1\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n"
        "  0\nENDSEC\n  0\nEOF\n";
    VRxDbDatabase db(false);
    std::wstring error;
    ASSERT_EQ(VRxDxf::readDxf(db, dxf, error), Vrx::eOk) << narrow(error);
    const auto* layer = recordNamed<VRxDbLayerTableRecord>(db, db.layerTableId(), L"中心线");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->color().colorIndex(), 1);
    auto texts = entitiesOf<VRxDbText>(db, db.modelSpaceId());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->textString(), L"模架板");
    EXPECT_EQ(texts[0]->layer(), L"中心线");
    auto pls = entitiesOf<VRxDbPolyline>(db, db.modelSpaceId());
    ASSERT_EQ(pls.size(), 1u);
    EXPECT_EQ(pls[0]->numVerts(), 2u);
    EXPECT_DOUBLE_EQ(pls[0]->bulgeAt(0), 1.0);
    EXPECT_TRUE(pls[0]->isClosed());
    EXPECT_EQ(entitiesOf<VRxDbLine>(db, db.paperSpaceId()).size(), 1u) << "67 = 1 puts it into paper space";
    EXPECT_EQ(entitiesOf<VRxDbLine>(db, db.modelSpaceId()).size(), 0u);

    // Whatever the file held, it saves as a drawing a strict reader accepts, with handles.
    std::string again = VRxDxf::writeDxf(db);
    EXPECT_NE(again.find("\nTEXT\n  5\n"), std::string::npos);
}

TEST(DxfForeignFiles, UnicodeEscapesAndCarriageReturnsOfOlderWriters) {
    std::string dxf = "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nTEXT\r\n8\r\n0\r\n10\r\n0\r\n20\r\n0\r\n40\r\n"
                      "2.5\r\n1\r\n\\U+5B9A\\U+4F4Dx\\U+zzzz\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n";
    VRxDbDatabase db(false);
    std::wstring error;
    ASSERT_EQ(VRxDxf::readDxf(db, dxf, error), Vrx::eOk) << narrow(error);
    auto texts = entitiesOf<VRxDbText>(db, db.modelSpaceId());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->textString(), L"定位x\\U+zzzz");
}

TEST(DxfTokenizer, MessagesNameTheLineAndTheProblem) {
    std::vector<VRxDxf::detail::Tag> tags;
    std::wstring error;
    EXPECT_FALSE(VRxDxf::detail::tokenize("0\nSECTION\n2\nENTITIES\n10\n1e999\n", tags, error));
    EXPECT_NE(error.find(L"line 6"), std::wstring::npos) << narrow(error);
    EXPECT_NE(error.find(L"number"), std::wstring::npos) << narrow(error);
    EXPECT_FALSE(VRxDxf::detail::tokenize("0\nSECTION\n2\n", tags, error));
    EXPECT_NE(error.find(L"truncated"), std::wstring::npos) << narrow(error);
    EXPECT_FALSE(VRxDxf::detail::tokenize("0\nSECTION\n\n", tags, error));
    EXPECT_NE(error.find(L"line 3"), std::wstring::npos) << narrow(error);
}

// Numbers as other writers spell them: signs, exponents, blanks around them.
TEST(DxfTokenizer, NumbersInEverySpellingOtherWritersUse) {
    std::vector<VRxDxf::detail::Tag> tags;
    std::wstring error;
    const std::string text = "0\nLINE\n 10\n +1.5 \n20\n-2e1\n62\n+7\n370\n -1\n0\nEOF\n";  // the tags' values point into it
    ASSERT_TRUE(VRxDxf::detail::tokenize(text, tags, error)) << narrow(error);
    ASSERT_EQ(tags.size(), 6u);
    EXPECT_EQ(tags[1].number(), 1.5);
    EXPECT_EQ(tags[2].number(), -20.0);
    EXPECT_EQ(tags[3].integer(), 7);
    EXPECT_EQ(tags[4].integer(), -1);
    for (const char* bad : {"62\n+-7\n", "62\n++7\n", "62\n+\n", "62\n99999999999999999999\n", "10\n1e5x\n",
                            "10\nnan\n"}) {
        EXPECT_FALSE(VRxDxf::detail::tokenize(std::string("0\nLINE\n") + bad + "0\nEOF\n", tags, error)) << bad;
    }
}

}  // namespace

namespace {

// Damage anywhere in a file: every read either succeeds or is refused with a
// message; none crashes or trips the sanitizers.
TEST(DxfDamage, RandomlyDamagedFilesNeverCrashTheReader) {
    VRxDbDatabase sample;
    buildSample(sample);
    const std::string good = VRxDxf::writeDxf(sample);
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    };
    const char* replacements[] = {"-9223372036854775808", "1e308", "-1", "999999", "", "0", "*D1", "EOF"};
    int refused = 0;
    for (int round = 0; round < 200; ++round) {
        std::string damaged = good;
        for (int k = 0; k < 3; ++k) {
            // Replace one whole line with a troublesome value, or flip a byte.
            size_t at = next() % damaged.size();
            size_t start = damaged.rfind('\n', at);
            start = start == std::string::npos ? 0 : start + 1;
            size_t end = damaged.find('\n', start);
            if (end == std::string::npos) end = damaged.size();
            if (next() % 2 == 0) damaged.replace(start, end - start, replacements[next() % 8]);
            else damaged[at] = static_cast<char>(next() & 0xFF);
        }
        VRxDbDatabase db(false);
        std::wstring error;
        Vrx::ErrorStatus es = VRxDxf::readDxf(db, damaged, error);
        ASSERT_TRUE(es == Vrx::eOk || es == Vrx::eBadDxfFile) << round;
        if (es != Vrx::eOk) {
            ++refused;
            EXPECT_FALSE(error.empty()) << round;
        } else {
            // What was read can be written again.
            EXPECT_FALSE(VRxDxf::writeDxf(db).empty()) << round;
        }
        EXPECT_EQ(db.openObjectCount(), 0);
    }
    EXPECT_GT(refused, 50) << "most damage must be noticed";
}

}  // namespace
