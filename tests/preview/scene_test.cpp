// What the preview makes of a drawing before painting it: where every shape and
// text lands, in which colour and with which dashes, and how the page is fitted.
#include <cmath>

#include "aci_colour.h"
#include "page_fit.h"
#include "preview_fixture.h"
#include "scene_painter.h"

using namespace zdtpreview;

namespace {

const double kPi = 3.14159265358979323846;

void expectPoint(const VRxGePoint2d& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

}  // namespace

TEST_F(PreviewDrawing, ALineIsFittedWithItsExtentsAndAMargin) {
    line(0, 0, 100, 50);
    const Scene s = scene();
    const Bounds b = s.bounds();
    EXPECT_DOUBLE_EQ(b.x0, 0.0);
    EXPECT_DOUBLE_EQ(b.y0, 0.0);
    EXPECT_DOUBLE_EQ(b.x1, 100.0);
    EXPECT_DOUBLE_EQ(b.y1, 50.0);

    // The longer side fills the picture, less its margins.
    const double scale = pictureScale(b, s.labels);
    EXPECT_NEAR(scale, kPictureSide * 0.96 / 100.0, 1e-9);
    const PageFit fit = fitPage(b, scale, 1.0);
    EXPECT_NEAR(fit.width, 100.0 * scale + 2 * fit.margin, 1e-9);
    EXPECT_NEAR(fit.height, 50.0 * scale + 2 * fit.margin, 1e-9);
    EXPECT_GT(fit.margin, 0.0);
    // Drawing y runs up, page y down: the origin is the lower left corner inside the margin.
    expectPoint(fit.toPage(VRxGePoint2d(0, 0)), fit.margin, fit.margin + 50.0 * scale);
    expectPoint(fit.toPage(VRxGePoint2d(100, 50)), fit.margin + 100.0 * scale, fit.margin);
}

TEST_F(PreviewDrawing, SmallTextMakesTheLongDrawingsPictureBigger) {
    // A mould base drawing several metres long with values 6 high: the values must
    // be at least a dozen pixels high, within the largest picture allowed.
    line(0, 0, 4000, 800);
    auto* t = new VRxDbText(VRxGePoint3d(10, 10), L"350", VRxDbObjectId::kNull, 6.0);
    add(t);
    const Scene s = scene();
    const double scale = pictureScale(s.bounds(), s.labels);
    EXPECT_GE(scale * 6.0, 12.0 - 1e-9);
    EXPECT_LE(s.bounds().width() * scale, kPictureMaxSide);

    // An empty drawing still gets a page.
    VRxDbDatabase empty(true);
    const Scene none = buildScene(empty, metrics);
    EXPECT_TRUE(none.bounds().empty);
    const PageFit fit = fitPage(none.bounds(), pictureScale(none.bounds(), none.labels), 1.0);
    EXPECT_GT(fit.width, 0.0);
    EXPECT_GT(fit.height, 0.0);
}

TEST_F(PreviewDrawing, BlockReferencesAreDrawnAtTheirPositionScaledAndTurned) {
    // The block's base point (10,0) is what lands on the insertion point.
    const VRxDbObjectId block = addBlock(L"PIN", VRxGePoint3d(10, 0));
    line(10, 0, 20, 0, block);
    auto* ref = new VRxDbBlockReference(VRxGePoint3d(100, 50), block);
    ref->setScaleFactors(VRxGeScale3d(2.0));
    ref->setRotation(kPi / 2);
    add(ref);

    // Nested: a block holding the same reference, inserted moved by (1000, 0).
    const VRxDbObjectId outer = addBlock(L"ASSEMBLY");
    add(static_cast<VRxDbEntity*>(ref->clone()), outer);
    add(new VRxDbBlockReference(VRxGePoint3d(1000, 0), outer));

    const Scene s = scene();
    ASSERT_EQ(s.strokes.size(), 2u);
    expectPoint(s.strokes[0].points[0], 100, 50);
    expectPoint(s.strokes[0].points[1], 100, 70);
    expectPoint(s.strokes[1].points[0], 1100, 50);
    expectPoint(s.strokes[1].points[1], 1100, 70);
}

TEST_F(PreviewDrawing, ABlockInsideItselfIsDrawnOnceNotForever) {
    const VRxDbObjectId block = addBlock(L"LOOP");
    line(0, 0, 1, 0, block);
    add(new VRxDbBlockReference(VRxGePoint3d(5, 0), block), block);
    add(new VRxDbBlockReference(VRxGePoint3d(0, 0), block));
    EXPECT_EQ(scene().strokes.size(), 1u);
}

TEST_F(PreviewDrawing, ColoursComeFromTheEntityItsLayerOrTheInsertingReference) {
    addLinetype(L"中心线", {24.0, -3.0, 6.0, -3.0});
    addLayer(L"中心线层", 1, L"中心线");
    addLayer(L"GREEN", 3);
    addLayer(L"HIDDEN", 5)->setIsOff(true);

    auto* centre = new VRxDbLine(VRxGePoint3d(0, 0), VRxGePoint3d(100, 0));
    centre->setLayer(L"中心线层");
    add(centre);
    auto* own = new VRxDbLine(VRxGePoint3d(0, 10), VRxGePoint3d(100, 10));
    own->setColorIndex(6);
    add(own);
    auto* hidden = new VRxDbLine(VRxGePoint3d(0, 20), VRxGePoint3d(100, 20));
    hidden->setLayer(L"HIDDEN");
    add(hidden);

    // Inside a block: ByBlock takes the reference's colour, layer "0" its layer.
    const VRxDbObjectId block = addBlock(L"B");
    auto* byBlock = new VRxDbLine(VRxGePoint3d(0, 0), VRxGePoint3d(1, 0));
    byBlock->setColorIndex(VRxDb::kColorByBlock);
    add(byBlock, block);
    line(0, 1, 1, 1, block);  // layer 0, ByLayer
    auto* ref = new VRxDbBlockReference(VRxGePoint3d(0, 100), block);
    ref->setColorIndex(4);
    ref->setLayer(L"GREEN");
    add(ref);

    const Scene s = scene();
    ASSERT_EQ(s.strokes.size(), 4u);  // the line on the layer that is off is left out
    EXPECT_EQ(s.strokes[0].colour, 1);
    ASSERT_EQ(s.strokes[0].dashes.size(), 4u);
    EXPECT_DOUBLE_EQ(s.strokes[0].dashes[0], 24.0 * db.header().ltscale);
    EXPECT_EQ(s.strokes[1].colour, 6);
    EXPECT_TRUE(s.strokes[1].dashes.empty());
    EXPECT_EQ(s.strokes[2].colour, 4);
    EXPECT_EQ(s.strokes[3].colour, 3);

    const Rgb red = aciColour(1);
    EXPECT_EQ(red.r, 1.0);
    EXPECT_EQ(red.g + red.b, 0.0);
    const Rgb foreground = aciColour(7);
    EXPECT_EQ(foreground.r + foreground.g + foreground.b, 0.0);  // black on the white paper
}

TEST_F(PreviewDrawing, DashesStayVisibleAtAnyScale) {
    PageFit fit;
    fit.scale = 0.01;  // a 9-unit pattern would be a tenth of a pixel
    const std::vector<double> page = pageDashes({6.0, -3.0}, fit);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_GE(page[0] + page[1], 12.0);
    EXPECT_NEAR(page[0] / page[1], 2.0, 1e-9);

    // A pattern starting with a gap and dots still alternates dash and gap for cairo.
    fit.scale = 1.0;
    const std::vector<double> dotted = pageDashes({-2.0, 0.0, -2.0, 10.0}, fit);
    ASSERT_EQ(dotted.size() % 2, 0u);
    EXPECT_EQ(dotted[0], 0.0);
    for (double d : dotted) EXPECT_GE(d, 0.0);

    // A linetype named but with no pattern is dashed all the same.
    addLinetype(L"虚线", {});
    auto* hidden = new VRxDbLine(VRxGePoint3d(0, 0), VRxGePoint3d(100, 0));
    hidden->setLinetype(L"虚线");
    add(hidden);
    EXPECT_FALSE(scene().strokes.at(0).dashes.empty());
}

TEST_F(PreviewDrawing, DimensionsShowTheirGeometryAndValue) {
    add(new VRxDbRotatedDimension(0.0, VRxGePoint3d(0, 0), VRxGePoint3d(100, 0), VRxGePoint3d(50, 20)));
    add(new VRxDbDiametricDimension(VRxGePoint3d(200, 0), VRxGePoint3d(240, 0), 10.0));
    const Scene s = scene();
    const Label* value = findLabel(s, "100");
    ASSERT_NE(value, nullptr);
    // Centred over the dimension line, above it.
    EXPECT_NEAR(value->origin.x + value->advance / 2.0, 50.0, 1e-6);
    EXPECT_GT(value->origin.y, 20.0);
    EXPECT_NE(findLabel(s, "\xC3\x98" "40"), nullptr);  // Ø40
    EXPECT_GE(s.strokes.size(), 3u);                    // extension lines and dimension line
    EXPECT_GE(s.fills.size(), 2u);                      // arrowheads
}

TEST_F(PreviewDrawing, LeadersShowTheirText) {
    add(new VRxDbDimLeader(VRxGePoint3d(30, -30), {VRxGePoint3d(-30, 30)}, VRxGePoint3d(-66, 30), L"OFFSET",
                           L""));
    const Scene s = scene();
    const Label* text = findLabel(s, "OFFSET");
    ASSERT_NE(text, nullptr);
    // Above the last segment, starting at the leader's end.
    EXPECT_NEAR(text->origin.x, -66.0, 1e-6);
    EXPECT_GT(text->origin.y, 30.0);
    EXPECT_EQ(s.fills.size(), 1u);
}

TEST_F(PreviewDrawing, TextIsPlacedByItsAlignment) {
    auto* left = new VRxDbText(VRxGePoint3d(0, 0), L"A板", VRxDbObjectId::kNull, 10.0);
    add(left);
    auto* centred = new VRxDbText(VRxGePoint3d(0, 0), L"工面", VRxDbObjectId::kNull, 10.0, kPi / 2);
    centred->setHorizontalMode(VRxDb::kTextCenter);
    centred->setVerticalMode(VRxDb::kTextTop);
    centred->setAlignmentPoint(VRxGePoint3d(100, 100));
    add(centred);
    auto* paragraph = new VRxDbMText();
    paragraph->setContents(L"第一行\n2");
    paragraph->setLocation(VRxGePoint3d(500, 0));
    paragraph->setTextHeight(5.0);
    paragraph->setAttachment(VRxDbMText::kBottomRight);
    add(paragraph);

    const Scene s = scene();
    const Label* a = findLabel(s, "A板");
    ASSERT_NE(a, nullptr);
    expectPoint(a->origin, 0, 0);
    EXPECT_NEAR(a->advance, metrics.advance("A板", 10.0), 1e-9);
    EXPECT_GT(a->advance, 10.0);

    // Turned a quarter: the text runs up, centred on x = 100 - its height below the top.
    const Label* c = findLabel(s, "工面");
    ASSERT_NE(c, nullptr);
    EXPECT_NEAR(c->origin.x, 110.0, 1e-9);
    EXPECT_NEAR(c->origin.y, 100.0 - c->advance / 2.0, 1e-9);

    // Bottom right: the last line stands on the location and ends there.
    const Label* last = findLabel(s, "2");
    ASSERT_NE(last, nullptr);
    EXPECT_NEAR(last->origin.x + last->advance, 500.0, 1e-9);
    EXPECT_NEAR(last->origin.y, 0.0, 1e-9);
    const Label* first = findLabel(s, "第一行");
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(first->origin.y, 5.0 * 5.0 / 3.0, 1e-9);

    // Text boxes count in the extents.
    EXPECT_GT(s.bounds().x1, 500.0 - 1e-9);
    EXPECT_LT(s.bounds().y0, 0.0);
}

TEST_F(PreviewDrawing, SpecialCodesBecomeTheirCharacters) {
    EXPECT_EQ(shownText(L"%%c20 %%p0.1 45%%d 5%%%"), "\xC3\x98" "20 \xC2\xB1" "0.1 45\xC2\xB0 5%");
    EXPECT_EQ(shownText(L"%%uA%%u"), "A");
}
