// Drawing a plate's machining holes as blocks: which block file a hole asks
// for, which hole the "OFFSET" leader starts from, and what is said on the
// command line when a block's file is missing (hand-made BlockRes drawings).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "draw_fixture.h"
#include "holes/hole_drawing.h"
#include "holes_fixture.h"
#include "vrxdbents.h"
#include "vrxdxf.h"
#include "vrxed.h"
#include "vrxdbobjecttable.h"

using namespace cattest;
using namespace holetest;
using Models::StandardMultiHole;
using Models::StandarHole;

namespace {

struct Inserted {
    std::wstring file;  // the block's name is its file path
    VRxGePoint3d position;
    double rotation;
};

StandardMultiHole* makeHole(double x, double y, std::vector<double> diameters, double rotation = 0) {
    auto* hole = new StandardMultiHole;
    for (double d : diameters) hole->addStep(new StandarHole(x, y, d / 2, L"t"));
    hole->rotation = rotation;
    return hole;
}

class HoleDrawingTest : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        previousEditor = vrxedSetHost(&commandLine);
        std::filesystem::create_directory(dir.file("BlockRes"));
        plate.name = L"A板";
        plate.location = L"上模";
        plate.width = 300;
        plate.length = 350;
        plate.thickness = 70;
        plan.plate = &plate;
        plan.code = L"A1";
        plan.centreX = 1000;
        plan.centreY = 2000;
    }
    void TearDown() override {
        vrxedSetHost(previousEditor);
        DrawFixture::TearDown();
    }

    // A drawing with one circle, under BlockRes/name.
    void writeBlock(const std::string& name) {
        VRxDbDatabase block(true);
        vrxdbAddEntityTo(block, block.modelSpaceId(), new VRxDbCircle(VRxGePoint3d(0, 0, 0), VRxGeVector3d::kZAxis, 5));
        std::wstring error;
        ASSERT_EQ(Vrx::eOk, VRxDxf::writeDxfFile(block, fromUtf8(dir.file("BlockRes/" + name)), error));
    }
    std::wstring blockFile(const std::string& name) { return fromUtf8(dir.file("BlockRes/" + name)); }

    std::vector<Inserted> inserted() {
        std::vector<Inserted> out;
        for (VRxDbObjectId id : modelSpaceEntities()) {
            VRxDbBlockReference* ref = nullptr;
            if (vrxdbOpenObject(ref, id, VRxDb::kForRead) != Vrx::eOk) continue;
            Inserted i{L"", ref->position(), ref->rotation()};
            VRxDbObjectId block = ref->blockTableRecord();
            ref->close();
            read<VRxDbBlockTableRecord>(block, [&](VRxDbBlockTableRecord& r) { i.file = r.getName(); });
            out.push_back(i);
        }
        return out;
    }

    MessageBoxRecorder boxes;
    TempDir dir;
    ModuleFolder folder{dir.path()};
    CommandLine commandLine;
    VRxEditorHost* previousEditor = nullptr;
    PlateRecord plate;
    PlateView plan;
};

}  // namespace

TEST(HoleDrawingRules, RepresentativeQuadrantAndNominalDiameter) {
    std::unique_ptr<StandardMultiHole> left(makeHole(-50, -80, {10}));
    std::unique_ptr<StandardMultiHole> right(makeHole(50, -80, {10}));
    std::unique_ptr<StandardMultiHole> onAxis(makeHole(0, -80, {10}));
    std::unique_ptr<StandardMultiHole> top(makeHole(-50, 80, {10}));
    EXPECT_TRUE(isInViewQuadrant(*left, L"上模"));
    EXPECT_FALSE(isInViewQuadrant(*right, L"上模"));
    EXPECT_FALSE(isInViewQuadrant(*left, L"下模"));
    EXPECT_TRUE(isInViewQuadrant(*right, L"下模"));
    EXPECT_TRUE(isInViewQuadrant(*right, L""));
    EXPECT_FALSE(isInViewQuadrant(*onAxis, L"上模"));
    EXPECT_FALSE(isInViewQuadrant(*onAxis, L"下模"));
    EXPECT_FALSE(isInViewQuadrant(*top, L"上模"));

    std::unique_ptr<StandardMultiHole> counterbored(makeHole(0, 0, {14, 9}));
    std::unique_ptr<StandardMultiHole> half(makeHole(0, 0, {10.5}));
    std::unique_ptr<StandardMultiHole> negative(makeHole(0, 0, {-10.5}));
    StandardMultiHole empty;
    std::unique_ptr<StandardMultiHole> huge(makeHole(0, 0, {1e300}));
    EXPECT_EQ(9, nominalDiameter(*counterbored));
    EXPECT_EQ(11, nominalDiameter(*half));
    EXPECT_EQ(-11, nominalDiameter(*negative));
    EXPECT_EQ(0, nominalDiameter(empty));
    EXPECT_EQ(0, nominalDiameter(*huge));
}

TEST_F(HoleDrawingTest, MissingFilesAreNamedAndTheOtherHolesStillDrawn) {
    writeBlock("20GB-A1.dwg");
    Models::HoleGroupMap pillars{{1, makeHole(-120, -140, {20})}, {2, makeHole(120, 140, {9, 14})},
                                 {3, makeHole(120, -140, {20})}};
    DrawnHoleGroup group;
    group.holeGroups = &pillars;
    group.blockName = L"GB-A1";
    drawHoleGroup(group, plan);
    EXPECT_EQ(2u, inserted().size());
    EXPECT_EQ(L"\n无法找到文件" + blockFile("9GB-A1.dwg"), commandLine.output);
    for (auto& h : pillars) delete h.second;
}
