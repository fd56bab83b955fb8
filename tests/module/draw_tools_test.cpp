// Tests of the shared drawing tools: rectangle sides by index, centre lines by
// view name, and corner radius dimension points for every corner and placement.
#include <cmath>

#include "draw/drawing_styles.h"
#include "draw/drawing_tools.h"
#include "draw/entity_services.h"
#include "draw_fixture.h"

namespace {
const double kK = 10.0 * std::cos(std::atan(1.0));  // 10 cos 45 degrees

class DrawingToolsTest : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        ASSERT_TRUE(setupDrawingStyles(6.0));
    }
    void expectLine(VRxDbObjectId id, VRxGePoint3d start, VRxGePoint3d end) {
        read<VRxDbLine>(id, [&](VRxDbLine& l) {
            EXPECT_TRUE(l.startPoint().isEqualTo(start, 1e-9) && l.endPoint().isEqualTo(end, 1e-9))
                << l.startPoint().x << "," << l.startPoint().y << " - " << l.endPoint().x << "," << l.endPoint().y;
        });
    }
    // Draws one corner radius dimension, checks it, and erases it again.
    void expectRadial(int placement, int code, VRxGePoint3d p, VRxGePoint3d base, double dx, double dy) {
        SCOPED_TRACE(testing::Message() << "code " << code << " placement " << placement);
        ASSERT_TRUE(DrawingTools::instance()->addCornerRadiusDimension(p, placement, code, 10.0));
        const std::vector<VRxDbObjectId> ids = modelSpaceEntities();
        ASSERT_EQ(ids.size(), 1u);
        read<VRxDbRadialDimension>(ids[0], [&](VRxDbRadialDimension& d) {
            const VRxGePoint3d chord(base.x + 10 * dx, base.y + 10 * dy, base.z);
            EXPECT_TRUE(d.center().isEqualTo(base, 1e-9)) << d.center().x << "," << d.center().y;
            EXPECT_TRUE(d.chordPoint().isEqualTo(chord, 1e-9)) << d.chordPoint().x << "," << d.chordPoint().y;
            EXPECT_DOUBLE_EQ(d.leaderLength(), 10.0);
            EXPECT_EQ(d.dimensionStyle(), dimStyleId);
        });
        VRxDbEntity* e = openEntity(ids[0], VRxDb::kForWrite);
        ASSERT_NE(e, nullptr);
        e->erase();
        e->close();
    }
};
}  // namespace

TEST_F(DrawingToolsTest, RectangleRecordsItsSidesByIndex) {
    SideLineMap sides;
    DrawingTools::instance()->drawRectangle(VRxGePoint3d(0, 0), 300, 350, sides);
    const std::vector<VRxDbObjectId> drawn = modelSpaceEntities();
    ASSERT_EQ(drawn.size(), 4u);
    expectLine(drawn[0], {0, 0}, {0, -350});
    expectLine(drawn[1], {0, 0}, {300, 0});
    expectLine(drawn[2], {300, 0}, {300, -350});
    expectLine(drawn[3], {300, -350}, {0, -350});
    EXPECT_EQ(sides, (SideLineMap{{0, drawn[2]}, {1, drawn[3]}, {2, drawn[0]}, {3, drawn[1]}}));

    // A side already in the map keeps its id; colour and linetype reach every edge.
    SideLineMap partial{{1, drawn[0]}};
    DrawingTools::instance()->drawRectangle(VRxGePoint3d(10, 20, 5), 30, 40, partial, 2, L"Continuous");
    const std::vector<VRxDbObjectId> all = modelSpaceEntities();
    EXPECT_EQ(partial, (SideLineMap{{0, all[6]}, {1, drawn[0]}, {2, all[4]}, {3, all[5]}}));
    expectLine(all[6], {40, 20, 0}, {40, -20, 0});
    read<VRxDbLine>(all[7], [](VRxDbLine& l) {
        EXPECT_EQ(l.colorIndex(), 2);
        EXPECT_EQ(l.linetype(), L"Continuous");
    });
}

TEST_F(DrawingToolsTest, CentreLinesFollowTheViewName) {
    DrawingTools* tools = DrawingTools::instance();
    VRxDbObjectIdArray plan;
    tools->drawCentreLines(VRxGePoint3d(0, 0), 300, 350, plan, L"A1");
    ASSERT_EQ(plan.size(), 2u);
    expectLine(plan[0], {150, 0}, {150, -350});
    expectLine(plan[1], {0, -175}, {300, -175});
    read<VRxDbLine>(plan[0], [](VRxDbLine& l) { EXPECT_EQ(l.layer(), L"0"); });  // no centre-line layer yet

    addLayer(L"中心线层");
    VRxDbObjectIdArray side;
    tools->drawCentreLines(VRxGePoint3d(0, -400), 300, 40, side, L"A3");
    ASSERT_EQ(side.size(), 1u);
    expectLine(side[0], {150, -400}, {150, -440});
    // A view name without a capital "A" draws nothing but styles what the list holds.
    VRxDbObjectIdArray list = plan;
    tools->drawCentreLines(VRxGePoint3d(0, 0), 300, 350, list, L"a1");
    EXPECT_EQ(list, plan);
    EXPECT_EQ(modelSpaceEntities().size(), 3u);
    for (VRxDbObjectId id : {plan[0], plan[1], side[0]}) {
        read<VRxDbLine>(id, [](VRxDbLine& l) {
            EXPECT_EQ(l.layer(), L"中心线层");
            EXPECT_EQ(l.colorIndex(), 1);
            EXPECT_EQ(l.linetype(), L"ByLayer");
            EXPECT_EQ(l.lineWeight(), VRxDb::kLnWtByLayer);
        });
    }
}

TEST_F(DrawingToolsTest, CornerRadiusPointsForEveryCornerAndPlacement) {
    const double d = std::sqrt(0.5);
    const VRxGePoint3d p(100, 50, 0);
    // Top-right: M and N one radius from the corner.
    expectRadial(0, 4, p, {90, 40}, d, d);
    expectRadial(1, 4, p, {100 - kK, 50 - kK}, d, d);
    expectRadial(2, 4, p, {100, 40}, d, d);
    expectRadial(3, 4, p, {90, 50}, d, d);
    // The other corners: M and N two radii away; every point at the reference z.
    const VRxGePoint3d q(0, 0, 3);
    expectRadial(0, 5, q, {-10, 10, 3}, d, -d);
    expectRadial(1, 5, q, {-kK, kK, 3}, d, -d);
    expectRadial(2, 5, q, {0, 20, 3}, d, -d);
    expectRadial(3, 5, q, {-20, 0, 3}, d, -d);
    expectRadial(0, 6, q, {10, 10, 3}, -d, -d);
    expectRadial(1, 6, q, {kK, kK, 3}, -d, -d);
    expectRadial(2, 6, q, {0, 20, 3}, -d, -d);
    expectRadial(3, 6, q, {20, 0, 3}, -d, -d);
    expectRadial(0, 7, q, {10, -10, 3}, -d, d);
    expectRadial(1, 7, q, {kK, -kK, 3}, -d, d);
    expectRadial(2, 7, q, {0, -20, 3}, -d, d);
    expectRadial(3, 7, q, {20, 0, 3}, -d, d);
}

TEST_F(DrawingToolsTest, CornerRadiusRefusesWhatItCannotDraw) {
    DrawingTools* tools = DrawingTools::instance();
    const VRxGePoint3d p(100, 50, 0);
    EXPECT_FALSE(tools->addCornerRadiusDimension(p, 0, 4, 0.0005));
    EXPECT_FALSE(tools->addCornerRadiusDimension(p, 0, 4, std::nan("")));
    EXPECT_FALSE(tools->addCornerRadiusDimension(p, 0, 3, 10.0));
    EXPECT_FALSE(tools->addCornerRadiusDimension(p, 0, 8, 10.0));
    EXPECT_FALSE(tools->addCornerRadiusDimension(p, 4, 4, 10.0));
    EXPECT_FALSE(tools->addCornerRadiusDimension(p, -1, 5, 10.0));
    EXPECT_TRUE(modelSpaceEntities().empty());
}
