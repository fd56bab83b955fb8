// Tests of the entity services: entities refused by the drawing are freed,
// arcs through three points run counterclockwise, leaders get their fixed look,
// and entities go onto a layer only when the drawing has it.
#include <cmath>
#include <cstdio>
#include <fstream>

#include "draw/entity_services.h"
#include "draw_fixture.h"

namespace {
const double kPi = 4.0 * std::atan(1.0);
using EntityServicesTest = DrawFixture;
}  // namespace

TEST_F(EntityServicesTest, EntitiesTheDrawingRefusesAreFreedAndNothingIsAdded) {
    const VRxDbObjectId id = appendToCurrentSpace(std::make_unique<VRxDbLine>(VRxGePoint3d(0, 0), VRxGePoint3d(1, 1)));
    ASSERT_FALSE(id.isNull());
    EXPECT_TRUE(appendToCurrentSpace(nullptr).isNull());

    // The space held open for write elsewhere: the sanitizer build reports any entity not freed.
    VRxDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(vrxdbOpenObject(space, db->currentSpaceId(), VRxDb::kForWrite), Vrx::eOk);
    EXPECT_TRUE(addLine(VRxGePoint3d(0, 0), VRxGePoint3d(2, 2), 3, L"Continuous").isNull());
    EXPECT_TRUE(addDimLeader(VRxGePoint3d(0, 0), {}, VRxGePoint3d(1, 0), L"OFFSET", nullptr, {}).isNull());
    space->close();
    vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_TRUE(addText(VRxGePoint3d(0, 0), L"A板", {}, 6, 0).isNull());
    vrxdbHostApplicationServices()->setWorkingDatabase(db.get());
    EXPECT_EQ(modelSpaceEntities(), std::vector<VRxDbObjectId>{id});
}

TEST_F(EntityServicesTest, ArcThroughPointsRunsCounterclockwiseFromFirstToLast) {
    const VRxDbObjectId upper = addArcThroughPoints({15, 5}, {5, 15}, {-5, 5});
    read<VRxDbArc>(upper, [](VRxDbArc& a) {
        EXPECT_TRUE(a.center().isEqualTo(VRxGePoint3d(5, 5, 0), 1e-9));
        EXPECT_NEAR(a.radius(), 10.0, 1e-9);
        EXPECT_NEAR(a.startAngle(), 0.0, 1e-9);
        EXPECT_NEAR(a.endAngle(), kPi, 1e-9);
    });
    // The same points given clockwise: the other half of the circle, through the bottom.
    read<VRxDbArc>(addArcThroughPoints({-5, 5}, {5, 15}, {15, 5}), [](VRxDbArc& a) {
        EXPECT_NEAR(a.startAngle(), kPi, 1e-9);
        EXPECT_NEAR(a.endAngle(), 0.0, 1e-9);
    });
    // Collinear points fix no circle: nothing is drawn.
    EXPECT_TRUE(addArcThroughPoints({0, 0}, {1, 1}, {2, 2}).isNull());
    EXPECT_EQ(modelSpaceEntities().size(), 2u);
}

TEST_F(EntityServicesTest, LinesAndLeadersTakeTheirColourLinetypeAndWeight) {
    read<VRxDbLine>(addLine(VRxGePoint3d(0, 0), VRxGePoint3d(10, 0)), [](VRxDbLine& l) {
        EXPECT_EQ(l.colorIndex(), VRxDb::kColorByLayer);  // -1: left as it comes
        EXPECT_EQ(l.linetype(), L"ByLayer");
    });
    read<VRxDbLine>(addLine(VRxGePoint3d(0, 0), VRxGePoint3d(10, 0), 3, L"Continuous"), [](VRxDbLine& l) {
        EXPECT_EQ(l.colorIndex(), 3);
        EXPECT_EQ(l.linetype(), L"Continuous");
    });
    const VRxDbObjectId leader =
        addDimLeader(VRxGePoint3d(0, 0), {VRxGePoint3d(10, 10)}, VRxGePoint3d(40, 10), L"OFFSET", nullptr, {});
    read<VRxDbDimLeader>(leader, [](VRxDbDimLeader& l) {
        EXPECT_EQ(l.colorIndex(), 1);
        EXPECT_EQ(l.lineWeight(), VRxDb::kLnWt000);
        EXPECT_EQ(l.text1(), L"OFFSET");
        EXPECT_EQ(l.points().size(), 3u);
    });
    // A layer is an object but no entity: refused, and not left open.
    EXPECT_EQ(openEntity(findLayer(L"0"), VRxDb::kForRead), nullptr);
}

TEST_F(EntityServicesTest, ApplyLayerStyleMovesEntitiesOntoAnExistingLayerOnly) {
    const VRxDbObjectId first = addLine(VRxGePoint3d(0, 0), VRxGePoint3d(1, 0), 3, L"Continuous");
    const VRxDbObjectId second = addLine(VRxGePoint3d(0, 1), VRxGePoint3d(1, 1), 5);

    EXPECT_TRUE(findLayer(L"中心线层").isNull());
    EXPECT_FALSE(applyLayerStyle(std::make_unique<VRxDbObjectIdArray>(VRxDbObjectIdArray{first, second}), L"中心线层", 1));
    read<VRxDbLine>(first, [](VRxDbLine& l) {
        EXPECT_EQ(l.layer(), L"0");
        EXPECT_EQ(l.colorIndex(), 3);
        EXPECT_EQ(l.linetype(), L"Continuous");
    });

    addLayer(L"中心线层");
    EXPECT_FALSE(findLayer(L"中心线层").isNull());
    // An entity held open elsewhere is skipped; the others are still done.
    VRxDbEntity* held = openEntity(second, VRxDb::kForWrite);
    ASSERT_NE(held, nullptr);
    held->setLineWeight(VRxDb::kLnWt050);
    EXPECT_TRUE(applyLayerStyle(std::make_unique<VRxDbObjectIdArray>(VRxDbObjectIdArray{second, first}), L"中心线层", 2));
    held->close();
    read<VRxDbLine>(first, [](VRxDbLine& l) {
        EXPECT_EQ(l.layer(), L"中心线层");
        EXPECT_EQ(l.colorIndex(), 2);
        EXPECT_EQ(l.linetype(), L"ByLayer");
    });
    read<VRxDbLine>(second, [](VRxDbLine& l) { EXPECT_EQ(l.layer(), L"0"); });

    // Colour 0 leaves the colour alone; weight and linetype go by layer.
    EXPECT_TRUE(applyLayerStyle(std::make_unique<VRxDbObjectIdArray>(VRxDbObjectIdArray{second}), L"中心线层", 0));
    read<VRxDbLine>(second, [](VRxDbLine& l) {
        EXPECT_EQ(l.colorIndex(), 5);
        EXPECT_EQ(l.lineWeight(), VRxDb::kLnWtByLayer);
    });
    EXPECT_TRUE(applyLayerStyle(nullptr, L"中心线层", 1));
}

TEST(DrawFileExists, FindsFilesOnly) {
    const std::string path = ::testing::TempDir() + "zdt_draw_exists.dwg";
    std::ofstream(path) << "0\nEOF\n";
    const std::wstring wide(path.begin(), path.end());
    EXPECT_TRUE(fileExists(wide.c_str()));
    std::remove(path.c_str());
    EXPECT_FALSE(fileExists(wide.c_str()));
    EXPECT_FALSE(fileExists(nullptr));
}
