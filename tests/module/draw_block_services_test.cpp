// Tests of block insertion from drawing files: one definition per file, one
// reference per insertion, only the file's model content, nothing added when the
// file cannot be read, and references turned by degrees.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "draw/block_services.h"
#include "draw_fixture.h"
#include "vrxdxf.h"
#include "vrxdbobjecttable.h"

namespace {
class BlockServicesTest : public DrawFixture {
protected:
    void TearDown() override {
        for (const std::string& f : m_files) std::remove(f.c_str());
        DrawFixture::TearDown();
    }
    std::wstring tempPath(const std::string& name) {
        m_files.push_back(::testing::TempDir() + name);
        return std::wstring(m_files.back().begin(), m_files.back().end());
    }
    // Two lines in model space; with a sheet, a circle in paper space and "Layout1" current.
    std::wstring writeBlockFile(const std::string& name, bool withSheetCurrent = false) {
        VRxDbDatabase side(true);
        vrxdbAddEntityTo(side, side.modelSpaceId(), new VRxDbLine(VRxGePoint3d(0, 0), VRxGePoint3d(10, 0)));
        vrxdbAddEntityTo(side, side.modelSpaceId(), new VRxDbLine(VRxGePoint3d(0, 0), VRxGePoint3d(0, 10)));
        if (withSheetCurrent) {
            vrxdbAddEntityTo(side, side.paperSpaceId(), new VRxDbCircle(VRxGePoint3d(5, 5), VRxGeVector3d(0, 0, 1), 5));
            VRxDbPaperTable* papers = nullptr;
            EXPECT_EQ(side.getPaperTable(papers, VRxDb::kForWrite), Vrx::eOk);
            EXPECT_EQ(papers->setCurrentPaper(vrxdbRecordId(side, side.paperTableId(), L"Layout1")), Vrx::eOk);
            papers->close();
        }
        const std::wstring path = tempPath(name);
        std::wstring error;
        EXPECT_EQ(VRxDxf::writeDxfFile(side, path, error), Vrx::eOk);
        return path;
    }
    VRxDbObjectId blockOf(VRxDbObjectId reference) {
        VRxDbObjectId block;
        read<VRxDbBlockReference>(reference, [&](VRxDbBlockReference& r) { block = r.blockTableRecord(); });
        return block;
    }
    size_t blockCount() {
        size_t n = 0;
        read<VRxDbBlockTable>(db->blockTableId(), [&](VRxDbBlockTable& t) { n = t.recordIds().size(); });
        return n;
    }

private:
    std::vector<std::string> m_files;
};
}  // namespace

TEST_F(BlockServicesTest, SameFileTwiceMakesOneDefinitionAndTwoReferences) {
    const std::wstring file = writeBlockFile("zdt_draw_block_twice.dwg");
    const size_t blocksBefore = blockCount();
    const VRxDbObjectId first = insertBlockFromFile(file.c_str(), VRxGePoint3d(100, 50), 2.0, 0.0);
    const VRxDbObjectId second = insertBlockFromFile(file.c_str(), VRxGePoint3d(200, 50), 1.0, 0.0);
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(blockCount(), blocksBefore + 1);
    EXPECT_EQ(modelSpaceEntities(), (std::vector<VRxDbObjectId>{first, second}));
    EXPECT_EQ(blockOf(first), blockOf(second));
    read<VRxDbBlockTableRecord>(blockOf(first), [&](VRxDbBlockTableRecord& r) {
        EXPECT_EQ(r.getName(), file);  // the path, unchanged, is the name
        EXPECT_EQ(r.entityIds().size(), 2u);
    });
}

TEST_F(BlockServicesTest, FileSavedWithLayout1CurrentGivesOnlyItsModelContent) {
    const std::wstring file = writeBlockFile("zdt_draw_block_sheet.dwg", true);
    const VRxDbObjectId ref = insertBlockFromFile(file.c_str(), VRxGePoint3d(0, 0), 1.0, 0.0);
    ASSERT_FALSE(ref.isNull());
    std::vector<VRxDbObjectId> content;
    read<VRxDbBlockTableRecord>(blockOf(ref), [&](VRxDbBlockTableRecord& r) { content = r.entityIds(); });
    ASSERT_EQ(content.size(), 2u);
    for (VRxDbObjectId id : content) read<VRxDbLine>(id, [](VRxDbLine&) {});
}

TEST_F(BlockServicesTest, UnreadableFilesAndBusyTablesAddNothing) {
    const size_t blocksBefore = blockCount();
    const std::wstring corrupt = tempPath("zdt_draw_corrupt.dwg");
    std::ofstream(std::string(corrupt.begin(), corrupt.end())) << "not a drawing\n0\nSECTION\n2\n";
    const std::wstring missing = tempPath("zdt_draw_no_such_block.dwg");
    for (const wchar_t* path : {corrupt.c_str(), missing.c_str(), L"", static_cast<const wchar_t*>(nullptr)})
        EXPECT_TRUE(insertBlockFromFile(path, VRxGePoint3d(0, 0), 1.0, 0.0).isNull());
    EXPECT_EQ(blockCount(), blocksBefore);

    // A space that cannot be opened: the new reference is freed, not leaked.
    const std::wstring file = writeBlockFile("zdt_draw_block_busy.dwg");
    VRxDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(vrxdbOpenObject(space, db->currentSpaceId(), VRxDb::kForWrite), Vrx::eOk);
    EXPECT_TRUE(insertBlockFromFile(file.c_str(), VRxGePoint3d(0, 0), 1.0, 0.0).isNull());
    space->close();
    EXPECT_TRUE(modelSpaceEntities().empty());
}

TEST_F(BlockServicesTest, ReferenceIsTurnedByDegreesAndScaledInXYZ) {
    const std::wstring file = writeBlockFile("zdt_draw_block_ref.dwg");
    ASSERT_FALSE(insertBlockFromFile(file.c_str(), VRxGePoint3d(0, 0), 1.0, 0.0).isNull());
    const VRxDbObjectId ref = insertBlockReference(file.c_str(), VRxGePoint3d(5, 6), 2.5, 90.0);
    read<VRxDbBlockReference>(ref, [](VRxDbBlockReference& r) {
        EXPECT_NEAR(r.rotation(), 2.0 * std::atan(1.0), 1e-12);
        EXPECT_DOUBLE_EQ(r.scaleFactors().sx, 2.5);
        EXPECT_DOUBLE_EQ(r.scaleFactors().sy, 2.5);
        EXPECT_DOUBLE_EQ(r.scaleFactors().sz, 2.5);
        EXPECT_TRUE(r.position().isEqualTo(VRxGePoint3d(5, 6)));
    });
    EXPECT_TRUE(insertBlockReference(L"no such block", VRxGePoint3d(0, 0), 1.0, 0.0).isNull());
}
