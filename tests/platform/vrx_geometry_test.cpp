// Tests of the geometry types and of how entities follow transforms: a wrong
// matrix or a mirrored arc turned inside out shows up here as wrong numbers.
#include <gtest/gtest.h>

#include "vrxdb.h"
#include "vrxdbobjecttable.h"

namespace {
const double kPi = 4.0 * std::atan(1.0);

void expectPoint(const VRxGePoint3d& p, double x, double y, double z = 0.0) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}
}  // namespace

TEST(VrxGeometry, MatricesAndHelpers) {
    VRxGeMatrix3d rot = VRxGeMatrix3d::rotation(kPi / 2, VRxGeVector3d::kZAxis, VRxGePoint3d(10, 0, 0));
    expectPoint(rot.transform(VRxGePoint3d(20, 0, 0)), 10, 10);
    VRxGeMatrix3d mirror = VRxGeMatrix3d::mirroring(VRxGePoint3d(100, 0, 0), VRxGeVector3d::kXAxis);
    expectPoint(mirror.transform(VRxGePoint3d(90, 5, 0)), 110, 5);
    EXPECT_TRUE(mirror.isMirroredXY());
    EXPECT_FALSE(rot.isMirroredXY());
    VRxGeMatrix3d both = VRxGeMatrix3d::translation({1, 2, 3}) * VRxGeMatrix3d::scaling(2.0);  // scale first
    expectPoint(both.transform(VRxGePoint3d(1, 1, 1)), 3, 4, 5);
    EXPECT_DOUBLE_EQ(both.scaleXY(), 2.0);
    // Vectors ignore the translation.
    VRxGeVector3d v = both.transform(VRxGeVector3d(1, 0, 0));
    EXPECT_DOUBLE_EQ(v.x, 2.0);
    EXPECT_DOUBLE_EQ(v.y, 0.0);

    EXPECT_NEAR(VRxGeVector2d(0, -1).angle(), 3 * kPi / 2, 1e-12);
    EXPECT_EQ(VRxGeVector2d(0, 0).angle(), 0.0);
    EXPECT_LT(VRxGeVector2d(1, -1e-300).angle(), 2 * kPi);

    VRxGeCircArc2d arc(VRxGePoint2d(10, 0), VRxGePoint2d(0, 10), VRxGePoint2d(-10, 0));
    ASSERT_TRUE(arc.isValid());
    EXPECT_NEAR(arc.center().x, 0.0, 1e-12);
    EXPECT_NEAR(arc.center().y, 0.0, 1e-12);
    EXPECT_NEAR(arc.radius(), 10.0, 1e-12);
    VRxGeCircArc2d line(VRxGePoint2d(0, 0), VRxGePoint2d(1, 1), VRxGePoint2d(2, 2));
    EXPECT_FALSE(line.isValid());
    EXPECT_EQ(line.radius(), 0.0);

    VRxGeLine3d l(VRxGePoint3d(0, 0, 0), VRxGePoint3d(10, 0, 0));
    expectPoint(l.closestPointTo(VRxGePoint3d(3, 7, 0)), 3, 0);
    VRxGeLine3d degenerate(VRxGePoint3d(1, 1, 0), VRxGePoint3d(1, 1, 0));
    expectPoint(degenerate.closestPointTo(VRxGePoint3d(5, 5, 0)), 1, 1);
}

TEST(VrxTransform, MirroredArcKeepsItsSide) {
    // A quarter arc in the first quadrant, mirrored in the y axis, must be the
    // quarter in the second quadrant, still counterclockwise.
    VRxDbArc arc(VRxGePoint3d(0, 0, 0), 10.0, 0.0, kPi / 2);
    ASSERT_EQ(arc.transformBy(VRxGeMatrix3d::mirroring(VRxGePoint3d::kOrigin, VRxGeVector3d::kXAxis)), Vrx::eOk);
    EXPECT_NEAR(arc.startAngle(), kPi / 2, 1e-12);
    EXPECT_NEAR(arc.endAngle(), kPi, 1e-12);
    EXPECT_DOUBLE_EQ(arc.radius(), 10.0);
    EXPECT_NEAR(arc.normal().z, 1.0, 0.0);

    // Mirrored in the x axis: the fourth quadrant.
    VRxDbArc arc2(VRxGePoint3d(5, 5, 0), 2.0, kPi / 6, kPi / 3);
    ASSERT_EQ(arc2.transformBy(VRxGeMatrix3d::mirroring(VRxGePoint3d(0, 5, 0), VRxGeVector3d::kYAxis)), Vrx::eOk);
    expectPoint(arc2.center(), 5, 5);
    EXPECT_NEAR(arc2.startAngle(), 2 * kPi - kPi / 3, 1e-12);
    EXPECT_NEAR(arc2.endAngle(), 2 * kPi - kPi / 6, 1e-12);

    // Turned and scaled: angles follow the turn, radius the scale.
    VRxDbArc arc3(VRxGePoint3d(0, 0, 0), 1.0, 0.0, kPi / 2);
    arc3.transformBy(VRxGeMatrix3d::scaling(3.0) * VRxGeMatrix3d::rotation(kPi / 2, VRxGeVector3d::kZAxis));
    EXPECT_NEAR(arc3.startAngle(), kPi / 2, 1e-12);
    EXPECT_NEAR(arc3.endAngle(), kPi, 1e-12);
    EXPECT_NEAR(arc3.radius(), 3.0, 1e-12);

    // Uneven scaling would make an ellipse: refused, nothing changes.
    VRxDbCircle circle(VRxGePoint3d(1, 1, 0), VRxGeVector3d::kZAxis, 4.0);
    EXPECT_EQ(circle.transformBy(VRxGeMatrix3d::scaling(VRxGeScale3d(2, 1, 1))), Vrx::eNotImplemented);
    EXPECT_DOUBLE_EQ(circle.radius(), 4.0);
    expectPoint(circle.center(), 1, 1);
}

TEST(VrxTransform, LinesPolylinesAndSolids) {
    VRxDbLine line(VRxGePoint3d(0, 0, 0), VRxGePoint3d(10, 0, 0));
    line.transformBy(VRxGeMatrix3d::scaling(VRxGeScale3d(2, 3, 1)));
    expectPoint(line.endPoint(), 20, 0);

    VRxDbPolyline pl;
    pl.addVertexAt(0, VRxGePoint2d(0, 0), 1.0);
    pl.addVertexAt(1, VRxGePoint2d(10, 0));
    EXPECT_EQ(pl.addVertexAt(5, VRxGePoint2d(1, 1)), Vrx::eInvalidInput);
    pl.setConstantWidth(0.5);
    ASSERT_EQ(pl.transformBy(VRxGeMatrix3d::mirroring(VRxGePoint3d::kOrigin, VRxGeVector3d::kXAxis)), Vrx::eOk);
    EXPECT_DOUBLE_EQ(pl.pointAt(1).x, -10.0);
    EXPECT_DOUBLE_EQ(pl.bulgeAt(0), -1.0);  // the arc bulges to the mirrored side
    EXPECT_DOUBLE_EQ(pl.constantWidth(), 0.5);

    VRxDbSolid solid(VRxGePoint3d(0, 0, 0), VRxGePoint3d(1, 0, 0), VRxGePoint3d(0, 1, 0));
    solid.transformBy(VRxGeMatrix3d::translation({5, 5, 0}));
    expectPoint(solid.pointAt(3), 5, 6);
}

TEST(VrxTransform, TextStaysReadable) {
    VRxDbText text(VRxGePoint3d(10, 0, 0), L"A板", VRxDbObjectId::kNull, 5.0, 0.0);
    // Mirrored in a vertical line: the text must not read right to left.
    ASSERT_EQ(text.transformBy(VRxGeMatrix3d::mirroring(VRxGePoint3d::kOrigin, VRxGeVector3d::kXAxis)), Vrx::eOk);
    EXPECT_NEAR(text.rotation(), 0.0, 1e-12);
    EXPECT_EQ(text.horizontalMode(), VRxDb::kTextRight);  // it now ends where it used to start
    expectPoint(text.alignmentPoint(), -10, 0);
    EXPECT_DOUBLE_EQ(text.height(), 5.0);

    // Mirrored in a horizontal line: same reading direction, hanging below.
    VRxDbText t2(VRxGePoint3d(0, 10, 0), L"B", VRxDbObjectId::kNull, 5.0, 0.0);
    t2.transformBy(VRxGeMatrix3d::mirroring(VRxGePoint3d::kOrigin, VRxGeVector3d::kYAxis));
    EXPECT_NEAR(t2.rotation(), 0.0, 1e-12);
    EXPECT_EQ(t2.verticalMode(), VRxDb::kTextTop);
    expectPoint(t2.alignmentPoint(), 0, -10);

    // Turned and scaled.
    VRxDbText t3(VRxGePoint3d(1, 0, 0), L"C", VRxDbObjectId::kNull, 2.0, 0.0);
    t3.transformBy(VRxGeMatrix3d::rotation(kPi / 2, VRxGeVector3d::kZAxis) * VRxGeMatrix3d::scaling(2.0));
    EXPECT_NEAR(t3.rotation(), kPi / 2, 1e-12);
    EXPECT_NEAR(t3.height(), 4.0, 1e-12);
    expectPoint(t3.position(), 0, 2);

    // Stretched only along its reading direction: wider, not taller.
    VRxDbText t4(VRxGePoint3d(0, 0, 0), L"D", VRxDbObjectId::kNull, 2.0, 0.0);
    t4.transformBy(VRxGeMatrix3d::scaling(VRxGeScale3d(3, 1, 1)));
    EXPECT_NEAR(t4.height(), 2.0, 1e-12);
    EXPECT_NEAR(t4.widthFactor(), 3.0, 1e-12);

    VRxDbMText m;
    m.setAttachment(VRxDbMText::kTopLeft);
    m.setTextHeight(3.0);
    m.transformBy(VRxGeMatrix3d::mirroring(VRxGePoint3d::kOrigin, VRxGeVector3d::kXAxis));
    EXPECT_EQ(m.attachment(), VRxDbMText::kTopRight);
    EXPECT_NEAR(m.rotation(), 0.0, 1e-12);
}

TEST(VrxTransform, BlockReferenceAndDimensions) {
    VRxDbBlockReference ref(VRxGePoint3d(10, 0, 0), VRxDbObjectId::kNull);
    EXPECT_EQ(ref.setScaleFactors(VRxGeScale3d(0, 1, 1)), Vrx::eInvalidInput);
    ref.setScaleFactors(VRxGeScale3d(2.0));
    ref.setRotation(kPi / 2);
    // Block (1, 0) -> scaled (2, 0) -> turned (0, 2) -> moved (10, 2).
    expectPoint(ref.blockTransform().transform(VRxGePoint3d(1, 0, 0)), 10, 2);
    expectPoint(ref.blockTransform(VRxGePoint3d(1, 0, 0)).transform(VRxGePoint3d(1, 0, 0)), 10, 0);

    // A mirrored reference maps every block point to the mirror of where it was.
    VRxGeMatrix3d mirror = VRxGeMatrix3d::mirroring(VRxGePoint3d::kOrigin, VRxGeVector3d::kXAxis);
    VRxGePoint3d before = mirror.transform(ref.blockTransform().transform(VRxGePoint3d(3, 1, 0)));
    ASSERT_EQ(ref.transformBy(mirror), Vrx::eOk);
    VRxGePoint3d after = ref.blockTransform().transform(VRxGePoint3d(3, 1, 0));
    expectPoint(after, before.x, before.y);

    VRxDbRotatedDimension dim(0.0, VRxGePoint3d(0, 0, 0), VRxGePoint3d(300, 0, 0), VRxGePoint3d(150, 18, 0));
    dim.transformBy(VRxGeMatrix3d::rotation(kPi / 2, VRxGeVector3d::kZAxis));
    EXPECT_NEAR(dim.rotation(), kPi / 2, 1e-12);
    EXPECT_NEAR(dim.measurement(), 300.0, 1e-9);
    expectPoint(dim.dimLinePoint(), -18, 150);

    VRxDbDimLeader leader(VRxGePoint3d(0, 0, 0), {VRxGePoint3d(5, 5, 0)}, VRxGePoint3d(10, 5, 0), L"OFFSET", nullptr);
    leader.transformBy(VRxGeMatrix3d::translation({1, 1, 0}));
    expectPoint(leader.vertices()[0], 6, 6);
    EXPECT_EQ(leader.points().size(), 3u);
}

// What an entity covers: the header extents of a saved drawing and the room
// annotations keep from each other are taken from these boxes.
TEST(VrxExtents, CurvesTextsAndBlockContent) {
    VRxDbDatabase db;
    auto box = [&](VRxDbEntity* e) {
        VRxDbExtents ext;
        EXPECT_EQ(e->getGeomExtents(ext), Vrx::eOk);
        delete e;
        return ext;
    };
    // A quarter arc reaches its quarter points only, not its whole circle.
    VRxDbExtents arc = box(new VRxDbArc(VRxGePoint3d(0, 0), 10, 0.25 * kPi, 0.75 * kPi));
    expectPoint(arc.minPoint(), -10 * std::cos(0.25 * kPi), 10 * std::sin(0.25 * kPi));
    expectPoint(arc.maxPoint(), 10 * std::cos(0.25 * kPi), 10);

    // Text: one height per character, from the baseline up; a centred text about its alignment point.
    VRxDbExtents title = box(new VRxDbText(VRxGePoint3d(100, 0), L"3035 SAI", VRxDbObjectId::kNull, 12));
    expectPoint(title.minPoint(), 100, 0);
    expectPoint(title.maxPoint(), 196, 12);
    auto* centred = new VRxDbText(VRxGePoint3d(), L"A板", VRxDbObjectId::kNull, 10, kPi / 2);
    centred->setHorizontalMode(VRxDb::kTextCenter);
    centred->setAlignmentPoint(VRxGePoint3d(50, 50));
    VRxDbExtents upright = box(centred);
    expectPoint(upright.minPoint(), 40, 40);
    expectPoint(upright.maxPoint(), 50, 60);
    auto* paragraph = new VRxDbMText();
    paragraph->setContents(L"OFFSET\nA");
    paragraph->setTextHeight(6);
    paragraph->setAttachment(VRxDbMText::kBottomRight);
    paragraph->setLocation(VRxGePoint3d(0, 0));
    VRxDbExtents twoLines = box(paragraph);
    expectPoint(twoLines.minPoint(), -36, 0);
    expectPoint(twoLines.maxPoint(), 0, 16);

    // A block reference covers its block's content, turned and scaled with it.
    auto* block = new VRxDbBlockTableRecord;
    block->setName(L"MARK");
    VRxDbObjectId blockId;
    ASSERT_EQ(vrxdbAddRecordTo(db, db.blockTableId(), block, blockId), Vrx::eOk);
    vrxdbAddEntityTo(db, blockId, new VRxDbCircle(VRxGePoint3d(20, 0), VRxGeVector3d::kZAxis, 5));
    auto* reference = new VRxDbBlockReference(VRxGePoint3d(100, 100), blockId);
    reference->setRotation(kPi / 2);
    reference->setScaleFactors(VRxGeScale3d(2));
    VRxDbExtents turned = box(reference);
    expectPoint(turned.minPoint(), 90, 130);
    expectPoint(turned.maxPoint(), 110, 150);

    // An empty block covers nothing.
    auto* emptyBlock = new VRxDbBlockTableRecord;
    emptyBlock->setName(L"EMPTY");
    VRxDbObjectId emptyId;
    ASSERT_EQ(vrxdbAddRecordTo(db, db.blockTableId(), emptyBlock, emptyId), Vrx::eOk);
    VRxDbBlockReference nothing(VRxGePoint3d(), emptyId);
    VRxDbExtents none;
    EXPECT_EQ(nothing.getGeomExtents(none), Vrx::eInvalidExtents);
    EXPECT_TRUE(none.isEmpty());
}
