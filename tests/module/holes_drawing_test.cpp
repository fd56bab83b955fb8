// Drawing a plate's machining holes as blocks: where each block goes in plan
// and side view, which block file a hole asks for, which hole the "OFFSET"
// leader starts from, the install way of reversed guide pillars, and what is
// said on the command line when a block is not configured or its file is
// missing. A small catalogue and hand-made BlockRes drawings are written for
// each test.
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
        side.plate = &plate;
        side.code = L"A3";
        side.centreX = 1000;
        side.centreY = 1500;
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
    PlateView side;
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

TEST_F(HoleDrawingTest, BlocksAtTheHolesInPlanAndOnTheMidLineInTheSideView) {
    writeBlock("20GB-A1.dwg");
    writeBlock("20GB-A3.dwg");
    writeBlock("12EB-A1.dwg");
    writeBlock("12EB-A3.dwg");
    Models::HoleGroupMap pillars{{1, makeHole(-120, -140, {25, 20})}, {2, makeHole(-100, 140, {20, 25})},
                                 {3, makeHole(120, -140, {20})}};
    Models::HoleGroupMap eyebolts{{0, makeHole(0, 175, {12}, 90)}, {1, makeHole(150, 0, {12}, 0)},
                                  {2, makeHole(-150, 0, {12}, 180)}};

    DrawnHoleGroup group;
    group.holeGroups = &pillars;
    group.blockName = L"GB-A1";
    drawHoleGroup(group, plan);
    EXPECT_EQ(pillars.at(1), group.representative);
    DrawnHoleGroup lower = group;
    lower.representative = nullptr;
    plate.location = L"下模";
    drawHoleGroup(lower, plan);
    EXPECT_EQ(pillars.at(3), lower.representative);
    plate.location = L"上模";

    DrawnHoleGroup sideGroup;
    sideGroup.holeGroups = &eyebolts;
    sideGroup.blockName = L"EB-A3";
    drawHoleGroup(sideGroup, side);

    std::vector<Inserted> refs = inserted();
    ASSERT_EQ(7u, refs.size());
    EXPECT_EQ(blockFile("20GB-A1.dwg"), refs[0].file);
    EXPECT_DOUBLE_EQ(880, refs[0].position.x);
    EXPECT_DOUBLE_EQ(1860, refs[0].position.y);
    EXPECT_DOUBLE_EQ(900, refs[1].position.x);
    EXPECT_DOUBLE_EQ(2140, refs[1].position.y);
    EXPECT_DOUBLE_EQ(1120, refs[2].position.x);
    // Side view: the turned eyebolts (90 and 180 degrees) are not seen; the
    // straight one sits at its X on the plate's mid-thickness line.
    EXPECT_EQ(blockFile("12EB-A3.dwg"), refs[6].file);
    EXPECT_DOUBLE_EQ(1150, refs[6].position.x);
    EXPECT_DOUBLE_EQ(1500, refs[6].position.y);
    EXPECT_DOUBLE_EQ(0, refs[6].rotation);
    EXPECT_EQ(L"", commandLine.output);

    // In plan the eyebolts are drawn turned as the rules place them.
    DrawnHoleGroup planEyebolts;
    planEyebolts.holeGroups = &eyebolts;
    planEyebolts.blockName = L"EB-A1";
    drawHoleGroup(planEyebolts, plan);
    refs = inserted();
    ASSERT_EQ(10u, refs.size());
    EXPECT_DOUBLE_EQ(2175, refs[7].position.y);
    EXPECT_NEAR(M_PI / 2, refs[7].rotation, 1e-12) << "90 degrees";

    for (auto& h : pillars) delete h.second;
    for (auto& h : eyebolts) delete h.second;
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

TEST_F(HoleDrawingTest, PlateHolesUseTheCatalogueBlocksAndTheGuidePillarInstallWay) {
    std::string sql = rows(step("A板", 1, 1, 1, -120, -140, 20));  // 导柱
    sql += rows(step("A板", 1, 1, 2, 120, 140, 20));
    sql += rows(step("A板", 4, 1, 1, 50, 50, 10));  // 回针: no block configured
    sql += "INSERT INTO STANDITEMBLOCKSETUP VALUES ('A板','导柱',1,'A1','GB-A1'),('A板','导柱',1,'A3','GB-A3'),"
           "('A板','导柱',0,'A1','GP-A1'),('A板','导柱',0,'A3','GP-A3'),('B板','回针',1,'A1','RP-A1');";
    writeCatalogue(dir.file("ZDTSTANDARDMOULD.db"), machiningSchema() + sql);
    for (const char* f : {"20GB-A1.dwg", "20GB-A3.dwg", "20GP-A1.dwg", "20GP-A3.dwg"}) writeBlock(f);

    Models::HolesModel holes(L"A板", L"SAI", L"3035", L"有");
    PlateHoleSet normal;
    normal.holes = &holes;
    normal.options[L"导柱"] = 1;
    drawPlateHoles(normal, plan);
    ASSERT_EQ(1u, normal.groups.size());
    DrawnHoleGroup* planGroup = normal.groups.at(L"导柱");
    EXPECT_EQ(L"GB-A1", planGroup->blockName);
    EXPECT_EQ(holes.processMap().at(L"导柱"), planGroup->holeGroups);
    EXPECT_EQ(holes.processMap().at(L"导柱")->at(1), planGroup->representative);
    EXPECT_EQ(L"\n回针-A板-1-A1", commandLine.output);

    // The side view drawn after the plan view leaves the plan view's record.
    commandLine.output.clear();
    drawPlateHoles(normal, side);
    EXPECT_EQ(planGroup, normal.groups.at(L"导柱"));
    EXPECT_EQ(L"\n回针-A板-1-A3", commandLine.output);

    PlateHoleSet reversed;
    reversed.holes = &holes;
    reversed.options[L"导柱"] = 0;
    drawPlateHoles(reversed, plan);
    EXPECT_EQ(L"GP-A1", reversed.groups.at(L"导柱")->blockName);

    std::vector<Inserted> refs = inserted();
    ASSERT_EQ(6u, refs.size());
    EXPECT_EQ(blockFile("20GB-A3.dwg"), refs[2].file);
    EXPECT_DOUBLE_EQ(1500, refs[2].position.y);
    EXPECT_EQ(blockFile("20GP-A1.dwg"), refs[4].file);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(HoleDrawingTest, EmptyPlateDrawsAndSaysNothing) {
    writeCatalogue(dir.file("ZDTSTANDARDMOULD.db"), machiningSchema());
    Models::HolesModel holes(L"A板", L"SAI", L"3035", L"有");
    PlateHoleSet set;
    set.holes = &holes;
    drawPlateHoles(set, plan);
    PlateHoleSet none;
    drawPlateHoles(none, plan);
    EXPECT_TRUE(set.groups.empty());
    EXPECT_TRUE(modelSpaceEntities().empty());
    EXPECT_EQ(L"", commandLine.output);
}
