// The pocket as drawn: its radius labels, its four dimensions from the plate's
// centre lines, and the hidden-line rectangle with its depth in the side view,
// on the parting face. The plate view's centre is at (500, 300) and the scale 6
// throughout.
#include <cmath>

#include "model/mould_base_model.h"
#include "pockets/pocket_drawer.h"
#include "pockets_fixture.h"
#include "vrxdbobjecttable.h"

using pockettest::Drawn;

namespace {

const double kRoot2 = std::sqrt(2.0);
const double kX0 = 500.0, kY0 = 300.0;

class PocketDrawerTest : public pockettest::PocketFixture {
protected:
    void SetUp() override {
        PocketFixture::SetUp();
        plate.name = L"A板";
        plate.width = 300;
        plate.length = 350;
        plate.thickness = 50;
        view.plate = &plate;
        view.code = L"A1";
        view.centreX = kX0;
        view.centreY = kY0;
    }
    // A 100 x 60 pocket centred on the plate, 35 deep, every corner alike.
    PocketRecord pocket(CornerSpec every) {
        PocketRecord p;
        p.plateName = plate.name;
        p.width = 100;
        p.length = 60;
        p.depth = 35;
        p.setAllCorners(every);
        return p;
    }

    PlateRecord plate;
    PlateView view;
};

}  // namespace

TEST_F(PocketDrawerTest, ADatumCornerOfItsOwnGetsItsOwnLabel) {
    // Lower half: the datum corner is 5, a relief corner; the others fillets of 5.
    PocketRecord p = pocket({5.0, FilletCorner});
    p.setDatumSpec({10.0, ReliefCorner});
    PocketDrawer drawer(&p, &view);
    drawer.draw();
    ASSERT_EQ(drawer.lines().size(), 4u);
    const double a = 10.0 * kRoot2;
    expectLine(drawer.lines().at(0), kX0 + 50, kY0 - 30 + a, kX0 + 50, kY0 + 30 - 5);
    expectLine(drawer.lines().at(1), kX0 - 50 + 5, kY0 - 30, kX0 + 50 - a, kY0 - 30);
    expectLine(drawer.lines().at(3), kX0 + 50 - 5, kY0 + 30, kX0 - 50 + 5, kY0 + 30);

    const Drawn d = drawn();
    ASSERT_EQ(d.radial.size(), 2u);
    read<VRxDbRadialDimension>(d.radial[0], [&](VRxDbRadialDimension& r) {
        EXPECT_TRUE(r.center().isEqualTo(VRxGePoint3d(kX0 + 50, kY0 - 30, 0), 1e-9));
        EXPECT_NEAR(r.measurement(), 10.0, 1e-9);
    });
    read<VRxDbRadialDimension>(d.radial[1], [&](VRxDbRadialDimension& r) {
        EXPECT_TRUE(r.center().isEqualTo(VRxGePoint3d(kX0 - 50, kY0 - 30, 0), 1e-9))
            << r.center().x << "," << r.center().y;
        EXPECT_NEAR(r.measurement(), 5.0, 1e-9);
    });

    // Upper half: the datum corner is 6; differing in type only still gives it a label.
    PocketRecord upper = pocket({8.0, ReliefCorner});
    upper.mouldHalf = L"上模";
    upper.setDatumSpec({8.0, FilletCorner});
    PocketDrawer(&upper, &view).draw();
    EXPECT_EQ(drawn().radial.size(), 4u);
}

TEST_F(PocketDrawerTest, EdgesAreDimensionedFromThePlateCentreLines) {
    PocketRecord p = pocket({10.0, FilletCorner});
    p.width = 200;
    p.centreX = 30;
    p.centreY = -10;  // top edge 20 above the centre, bottom 40 below
    PocketDrawer drawer(&p, &view);
    drawer.draw();
    const Drawn d = drawn();
    ASSERT_EQ(d.rotated.size(), 4u);
    const double s = 6.0, top = kY0 + 20, left = kX0 - 70;
    const double want[4] = {70, 130, 20, 40};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(measured(d.rotated[i]), want[i], 1e-9);
        read<VRxDbRotatedDimension>(d.rotated[i], [&](VRxDbRotatedDimension& r) {
            EXPECT_EQ(r.dimensionStyle(), dimStyleId);
            if (i < 2) {
                // Horizontal, 2 s above the pocket.
                EXPECT_DOUBLE_EQ(r.rotation(), 0.0);
                EXPECT_NEAR(r.dimLinePoint().y, top + 2 * s, 1e-9);
            } else {
                // Vertical, 2 s left of the pocket.
                EXPECT_NEAR(r.rotation(), M_PI / 2, 1e-12);
                EXPECT_NEAR(r.dimLinePoint().x, left - 2 * s, 1e-9);
            }
        });
    }
}

TEST_F(PocketDrawerTest, APocketHangsFromTheTopEdgeInTheSideView) {
    // The drawing template brings the hidden-line linetype.
    auto* dashed = new VRxDbLinetypeTableRecord();
    dashed->setName(L"虚线");
    VRxDbObjectId dashedId;
    ASSERT_EQ(vrxdbAddRecordTo(*db, db->linetypeTableId(), dashed, dashedId), Vrx::eOk);
    view.code = L"A3";
    view.centreY = 100;  // middle of the 50 thick plate: top edge at 125
    PocketRecord p = pocket({10.0, FilletCorner});
    p.centreX = -20;
    PocketDrawer drawer(&p, &view);
    drawer.draw();
    EXPECT_TRUE(drawer.arcs().empty());
    ASSERT_EQ(drawer.lines().size(), 4u);
    expectLine(drawer.lines().at(0), kX0 + 30, 125, kX0 + 30, 90);
    expectLine(drawer.lines().at(1), kX0 + 30, 90, kX0 - 70, 90);
    expectLine(drawer.lines().at(2), kX0 - 70, 125, kX0 - 70, 90);
    expectLine(drawer.lines().at(3), kX0 - 70, 125, kX0 + 30, 125);
    for (const auto& side : drawer.lines())
        read<VRxDbLine>(side.second, [](VRxDbLine& l) { EXPECT_EQ(l.linetype(), L"虚线"); });

    const Drawn d = drawn();
    EXPECT_TRUE(d.arcs.empty());
    EXPECT_TRUE(d.radial.empty());
    ASSERT_EQ(d.rotated.size(), 1u);
    EXPECT_NEAR(measured(d.rotated[0]), 35.0, 1e-9);
    read<VRxDbRotatedDimension>(d.rotated[0], [&](VRxDbRotatedDimension& r) {
        EXPECT_NEAR(r.rotation(), M_PI / 2, 1e-12);
        EXPECT_NEAR(r.dimLinePoint().x, kX0 + 30 + 12, 1e-9);
        EXPECT_NEAR(r.dimLinePoint().y, 107.5, 1e-9);
    });
}

TEST_F(PocketDrawerTest, ARecordMissingACornerDrawsNothingInPlan) {
    PocketRecord p = pocket({10.0, FilletCorner});
    p.corners.erase(7);
    PocketDrawer drawer(&p, &view);
    drawer.draw();
    EXPECT_TRUE(drawer.lines().empty());
    EXPECT_TRUE(drawer.arcs().empty());
    EXPECT_TRUE(modelSpaceEntities().empty());

    // A view without its plate cannot tell where the pocket's top is.
    view.code = L"A3";
    view.plate = nullptr;
    PocketDrawer side(&p, &view);
    side.draw();
    EXPECT_TRUE(modelSpaceEntities().empty());
}
