// Saving drawings: the file appears whole or not at all, an existing file
// survives a failed save untouched, and what is written passes the audit of an
// independent DXF reader (and so opens in other CAD programs).
#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>

#include "../../platform/dxf/src/dxf_internal.h"
#include "dxf_test_support.h"

using namespace dxftest;

namespace {

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    return names;
}

TEST(DxfSave, SavesUtf8TextThatReadsBack) {
    TempDir dir;
    VRxDbDatabase db;
    buildSample(db);
    std::wstring path = dir.wpath("") + L"模架图.dxf";  // a Chinese file name goes to the file system as UTF-8
    ASSERT_EQ(db.saveAs(path.c_str()), Vrx::eOk) << narrow(VRxDxf::lastSaveError());
    EXPECT_TRUE(VRxDxf::lastSaveError().empty());
    std::string text = readBytes(dir.path("模架图.dxf"));
    EXPECT_TRUE(text == VRxDxf::writeDxf(db)) << "the file holds the drawing's text";
    EXPECT_NE(text.find("A板 模架"), std::string::npos);
    EXPECT_EQ(filesIn(dir.dir()).size(), 1u) << "no temporary file is left behind";
    struct stat st;
    ASSERT_EQ(stat(dir.path("模架图.dxf").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IRGRP, 0u) << "a saved drawing is readable like any new file";

    VRxDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(path.c_str()), Vrx::eOk) << narrow(back.lastReadError());
    EXPECT_EQ(entitiesOf<VRxDbDimLeader>(back, back.modelSpaceId()).size(), 1u);
}

TEST(DxfSave, FailedSavesLeaveNothingAndKeepTheOldFile) {
    TempDir dir;
    VRxDbDatabase db;
    buildSample(db);

    // Into a folder that does not exist: an error with a message, and nothing written.
    EXPECT_EQ(db.saveAs(dir.wpath("missing/folder/out.dxf").c_str()), Vrx::eFileAccessErr);
    EXPECT_NE(VRxDxf::lastSaveError().find(L"out.dxf"), std::wstring::npos);
    EXPECT_TRUE(filesIn(dir.dir()).empty());

    // Over an existing drawing, failing at the last moment: the old text stays, no temporary remains.
    writeBytes(dir.path("old.dxf"), "the previous drawing\n");
    chmod(dir.path("old.dxf").c_str(), 0640);
    VRxDxf::detail::failNextSaveForTesting();
    EXPECT_EQ(db.saveAs(dir.wpath("old.dxf").c_str()), Vrx::eFileAccessErr);
    EXPECT_FALSE(VRxDxf::lastSaveError().empty());
    EXPECT_EQ(readBytes(dir.path("old.dxf")), "the previous drawing\n");
    EXPECT_EQ(filesIn(dir.dir()).size(), 1u);

    // Over a folder of that name: refused, the folder stays a folder.
    mkdir(dir.path("taken.dxf").c_str(), 0755);
    EXPECT_EQ(db.saveAs(dir.wpath("taken.dxf").c_str()), Vrx::eFileAccessErr);
    EXPECT_EQ(filesIn(dir.dir()).size(), 2u);

    EXPECT_EQ(db.saveAs(nullptr), Vrx::eInvalidInput);

    // The next save succeeds and replaces the old drawing, keeping its permissions.
    ASSERT_EQ(db.saveAs(dir.wpath("old.dxf").c_str()), Vrx::eOk);
    EXPECT_EQ(readBytes(dir.path("old.dxf")).rfind("  0\nSECTION", 0), 0u);
    struct stat st;
    ASSERT_EQ(stat(dir.path("old.dxf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// The independent reader's audit, run on what this host writes.
int audit(const std::string& file, std::string& output) {
    std::string script = std::string(ZDT_SOURCE_DIR) + "/tests/platform/dxf_audit.py";
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        std::string cmd = std::string(python) + " '" + script + "' '" + file + "' 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        if (p == nullptr) continue;
        output.clear();
        char buf[512];
        while (fgets(buf, sizeof buf, p)) output += buf;
        int status = pclose(p);
        int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (code == 77 || code == 127) continue;  // no library under this interpreter
        return code;
    }
    return 77;
}

TEST(DxfSave, IndependentReaderAuditsTheSavedDrawingClean) {
    TempDir dir;
    VRxDbDatabase db;
    buildSample(db);
    ASSERT_EQ(db.saveAs(dir.wpath("sample.dxf").c_str()), Vrx::eOk);
    std::string output;
    int code = audit(dir.path("sample.dxf"), output);
    if (code == 77) GTEST_SKIP() << "python3-ezdxf is not installed";
    EXPECT_EQ(code, 0) << output;

    // An empty drawing and one read back from a file of another writer are as clean.
    VRxDbDatabase empty;
    ASSERT_EQ(empty.saveAs(dir.wpath("empty.dxf").c_str()), Vrx::eOk);
    EXPECT_EQ(audit(dir.path("empty.dxf"), output), 0) << output;
}

}  // namespace
