// Tests of what the host measures and draws for dimensions: the value shown,
// formatted as a drafter expects, and the numbers of the exploded geometry
// (extension line ends, arrowheads, text place), which is what every reader sees.
#include <gtest/gtest.h>

#include "vrxdb.h"

namespace {
const double kPi = 4.0 * std::atan(1.0);
using Pieces = std::vector<std::unique_ptr<VRxDbEntity>>;

template <class T>
std::vector<const T*> piecesOf(const Pieces& pieces) {
    std::vector<const T*> found;
    for (const auto& p : pieces)
        if (const T* t = T::cast(p.get())) found.push_back(t);
    return found;
}

void expectPoint(const VRxGePoint3d& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

// The style the mould drawings use at scale 6.
VRxDbDimStyleTableRecord mouldStyle() {
    VRxDbDimStyleTableRecord s;
    s.setDimclrd(VRxCmColor(1));
    s.setDimclre(VRxCmColor(1));
    s.setDimclrt(VRxCmColor(255));
    s.setDimtad(1);
    s.setDimtxt(6.0);
    s.setDimasz(6.6);
    s.setDimdle(7.8);
    s.setDimexe(2.52);
    s.setDimexo(1.998);
    s.setDimgap(1.26);
    return s;
}
}  // namespace

TEST(VrxDimFormat, ValuesAsADrafterReadsThem) {
    VRxDbDimStyleTableRecord s;
    EXPECT_EQ(s.formatValue(30.0), L"30");
    EXPECT_EQ(s.formatValue(12.5), L"12.5");
    EXPECT_EQ(s.formatValue(0.33), L"0.33");
    EXPECT_EQ(s.formatValue(1.0 / 3.0), L"0.33");
    EXPECT_EQ(s.formatValue(2.005), L"2.01");
    EXPECT_EQ(s.formatValue(2.0049), L"2");
    EXPECT_EQ(s.formatValue(-0.001), L"0");
    EXPECT_EQ(s.formatValue(-12.5), L"-12.5");
    EXPECT_EQ(s.formatValue(299.999), L"300");
    EXPECT_EQ(s.formatValue(std::nan("")), L"?");
    EXPECT_FALSE(s.formatValue(1e300).empty());
    s.setDimzin(0);
    EXPECT_EQ(s.formatValue(30.0), L"30.00");
    s.setDimdec(0);
    EXPECT_EQ(s.formatValue(12.5), L"13");
    s.setDimdec(3);
    s.setDimzin(8 | 4);
    EXPECT_EQ(s.formatValue(0.5), L".5");
    EXPECT_EQ(s.formatValue(0.0), L"0");
    s.setDimdec(-4);  // nonsense settles on whole numbers
    EXPECT_EQ(s.formatValue(7.4), L"7");
    s.setDimdec(8);  // scaling a huge value by 10^8 overflows; it still prints as a number
    std::wstring huge = s.formatValue(1e301);
    EXPECT_EQ(huge.find(L"inf"), std::wstring::npos);
    EXPECT_EQ(huge.substr(0, 2), L"10");
}

TEST(VrxDimText, MeasuredValueAndUserText) {
    VRxDbRotatedDimension width(0.0, {0, 0}, {300, 0}, {150, 18});
    EXPECT_DOUBLE_EQ(width.measurement(), 300.0);
    EXPECT_EQ(width.displayText(), L"300");
    VRxDbRotatedDimension slanted(0.0, {0, 0}, {12.5, 40}, {0, 50});
    EXPECT_DOUBLE_EQ(slanted.measurement(), 12.5);  // only the part along the rotation counts
    EXPECT_EQ(slanted.displayText(), L"12.5");
    VRxDbRotatedDimension vertical(kPi / 2, {0, 0}, {0, -350}, {-18, -175});
    EXPECT_NEAR(vertical.measurement(), 350.0, 1e-9);
    vertical.setDimensionText(L"<> (总长)");
    EXPECT_EQ(vertical.displayText(), L"350 (总长)");
    vertical.setDimensionText(L"深度");
    EXPECT_EQ(vertical.displayText(), L"深度");

    VRxDbRadialDimension r({90, 40}, {97.0710678118654755, 47.0710678118654755}, 10.0);
    EXPECT_EQ(r.displayText(), L"R10");
    VRxDbDiametricDimension d({10, 0}, {-10, 0}, 5.0);
    EXPECT_EQ(d.displayText(), L"%%c20");
}

TEST(VrxDimText, StyleComesFromTheDrawing) {
    VRxDbDatabase db;
    auto* style = new VRxDbDimStyleTableRecord;
    style->setName(L"zdt_dim_6000");
    style->setDimdec(1);
    style->setDimzin(0);
    VRxDbDimStyleTable* table = nullptr;
    ASSERT_EQ(db.getDimStyleTable(table, VRxDb::kForWrite), Vrx::eOk);
    VRxDbObjectId styleId;
    ASSERT_EQ(table->add(styleId, style), Vrx::eOk);
    style->close();
    table->close();

    VRxDbRotatedDimension dim(0.0, {0, 0}, {30, 0}, {15, 10}, nullptr, styleId);
    EXPECT_EQ(dim.displayText(), L"30.0");
    VRxDbRotatedDimension noStyle(0.0, {0, 0}, {30, 0}, {15, 10});
    EXPECT_EQ(noStyle.displayText(), L"30");  // built-in defaults when there is no drawing

    // Outside any drawing, with a working one set: its current style applies.
    VRxDbDatabase* previous = vrxdbHostApplicationServices()->workingDatabase();
    vrxdbHostApplicationServices()->setWorkingDatabase(&db);
    ASSERT_EQ(db.setDimstyle(styleId), Vrx::eOk);
    EXPECT_EQ(noStyle.displayText(), L"30.0");
    Pieces pieces;
    noStyle.explode(pieces);
    ASSERT_EQ(piecesOf<VRxDbMText>(pieces).size(), 1u);
    EXPECT_EQ(piecesOf<VRxDbMText>(pieces)[0]->contents(), L"30.0");
    vrxdbHostApplicationServices()->setWorkingDatabase(previous);
    EXPECT_EQ(db.setDimstyle(db.clayer()), Vrx::eNotThatKindOfClass);
}

TEST(VrxDimExplode, HorizontalWidthDimension) {
    // The 300-wide plate of the plan view, dimension line 18 above it.
    VRxDbDimStyleTableRecord s = mouldStyle();
    VRxDbRotatedDimension dim(0.0, {0, 0}, {300, 0}, {150, 18});
    dim.setLayer(L"0");
    Pieces pieces;
    dim.explode(s, pieces);

    auto lines = piecesOf<VRxDbLine>(pieces);
    ASSERT_EQ(lines.size(), 3u);
    // Extension lines: off the plate by dimexo, past the dimension line by dimexe.
    expectPoint(lines[0]->startPoint(), 0, 1.998);
    expectPoint(lines[0]->endPoint(), 0, 18 + 2.52);
    expectPoint(lines[1]->startPoint(), 300, 1.998);
    expectPoint(lines[1]->endPoint(), 300, 18 + 2.52);
    EXPECT_EQ(lines[0]->colorIndex(), 1);
    // Dimension line between the extension lines: with arrowheads the
    // style's dimdle does not run it on.
    expectPoint(lines[2]->startPoint(), 0, 18);
    expectPoint(lines[2]->endPoint(), 300, 18);

    auto arrows = piecesOf<VRxDbSolid>(pieces);
    ASSERT_EQ(arrows.size(), 2u);
    // Tips on the extension lines, bodies inside, dimasz long and a third as wide.
    expectPoint(arrows[0]->pointAt(0), 0, 18);
    expectPoint(arrows[0]->pointAt(1), 6.6, 18 + 1.1);
    expectPoint(arrows[0]->pointAt(2), 6.6, 18 - 1.1);
    expectPoint(arrows[1]->pointAt(0), 300, 18);
    EXPECT_NEAR(arrows[1]->pointAt(1).x, 300 - 6.6, 1e-9);

    auto texts = piecesOf<VRxDbMText>(pieces);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->contents(), L"300");
    EXPECT_EQ(texts[0]->attachment(), VRxDbMText::kMiddleCenter);
    // Centred between the extension lines, gap plus half its height above the line.
    expectPoint(texts[0]->location(), 150, 18 + 1.26 + 3.0);
    EXPECT_DOUBLE_EQ(texts[0]->textHeight(), 6.0);
    EXPECT_NEAR(texts[0]->rotation(), 0.0, 1e-12);
    // The style's white (255) would vanish on paper: the value is drawn in the
    // foreground colour, while another text colour is kept as it is.
    EXPECT_EQ(texts[0]->colorIndex(), 7);
    EXPECT_EQ(texts[0]->layer(), L"0");
    s.setDimclrt(VRxCmColor(3));
    Pieces green;
    dim.explode(s, green);
    EXPECT_EQ(piecesOf<VRxDbMText>(green).at(0)->colorIndex(), 3);
}

TEST(VrxDimExplode, VerticalDimensionReadsBottomToTop) {
    VRxDbDimStyleTableRecord s = mouldStyle();
    VRxDbRotatedDimension dim(kPi / 2, {0, 0}, {0, -350}, {-18, -175});
    Pieces pieces;
    dim.explode(s, pieces);
    auto lines = piecesOf<VRxDbLine>(pieces);
    ASSERT_EQ(lines.size(), 3u);
    expectPoint(lines[0]->startPoint(), -1.998, 0);
    expectPoint(lines[0]->endPoint(), -18 - 2.52, 0);
    auto texts = piecesOf<VRxDbMText>(pieces);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->contents(), L"350");
    EXPECT_NEAR(texts[0]->rotation(), kPi / 2, 1e-12);
    // "Above" a bottom-to-top text is to the left of the line.
    expectPoint(texts[0]->location(), -18 - 1.26 - 3.0, -175);

    // Forced horizontal text sits on the line, which is broken around it.
    s.setDimtih(true);
    Pieces horizontal;
    dim.explode(s, horizontal);
    auto htexts = piecesOf<VRxDbMText>(horizontal);
    ASSERT_EQ(htexts.size(), 1u);
    EXPECT_NEAR(htexts[0]->rotation(), 0.0, 1e-12);
    expectPoint(htexts[0]->location(), -18, -175);
    EXPECT_EQ(piecesOf<VRxDbLine>(horizontal).size(), 4u);
}

TEST(VrxDimExplode, NarrowDimensionPutsArrowsOutside) {
    VRxDbDimStyleTableRecord s = mouldStyle();
    VRxDbRotatedDimension dim(0.0, {0, 0}, {5, 0}, {2.5, 10});
    Pieces pieces;
    dim.explode(s, pieces);
    auto arrows = piecesOf<VRxDbSolid>(pieces);
    ASSERT_EQ(arrows.size(), 2u);
    expectPoint(arrows[0]->pointAt(0), 0, 10);
    EXPECT_LT(arrows[0]->pointAt(1).x, 0.0);  // body outside, pointing in
    EXPECT_GT(arrows[1]->pointAt(1).x, 5.0);
}

TEST(VrxDimExplode, RadiusDiameterAndLeader) {
    VRxDbDimStyleTableRecord s = mouldStyle();
    double k = 10.0 * std::cos(kPi / 4);
    VRxDbRadialDimension r({90, 40}, {90 + k, 40 + k}, 10.0);
    Pieces pieces;
    r.explode(s, pieces);
    auto lines = piecesOf<VRxDbLine>(pieces);
    ASSERT_EQ(lines.size(), 1u);
    expectPoint(lines[0]->startPoint(), 90 + k, 40 + k);
    expectPoint(lines[0]->endPoint(), 90 + 2 * k, 40 + 2 * k);  // leader runs outward by its length
    auto arrows = piecesOf<VRxDbSolid>(pieces);
    ASSERT_EQ(arrows.size(), 1u);
    expectPoint(arrows[0]->pointAt(0), 90 + k, 40 + k);  // tip on the curve
    auto texts = piecesOf<VRxDbMText>(pieces);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->contents(), L"R10");
    EXPECT_GT(texts[0]->location().x, 90 + 2 * k);
    EXPECT_NEAR(texts[0]->rotation(), kPi / 4, 1e-12);

    VRxDbDiametricDimension d({10, 0}, {-10, 0}, 5.0);
    Pieces dp;
    d.explode(s, dp);
    ASSERT_EQ(piecesOf<VRxDbSolid>(dp).size(), 2u);
    ASSERT_EQ(piecesOf<VRxDbMText>(dp).size(), 1u);
    EXPECT_EQ(piecesOf<VRxDbMText>(dp)[0]->contents(), L"%%c20");

    // The "OFFSET" leader of an upper-half plate: up from the hole, then left.
    VRxDbDimLeader leader({50, -50}, {{50, 20}}, {32, 20}, L"OFFSET", L"下");
    leader.setColorIndex(1);
    Pieces lp;
    leader.explode(s, lp);
    auto paths = piecesOf<VRxDbPolyline>(lp);
    ASSERT_EQ(paths.size(), 1u);
    ASSERT_EQ(paths[0]->numVerts(), 3u);
    EXPECT_DOUBLE_EQ(paths[0]->pointAt(2).x, 32.0);
    auto head = piecesOf<VRxDbSolid>(lp);
    ASSERT_EQ(head.size(), 1u);
    expectPoint(head[0]->pointAt(0), 50, -50);
    EXPECT_GT(head[0]->pointAt(1).y, -50.0);  // body along the leader, tip at the start
    auto ltexts = piecesOf<VRxDbMText>(lp);
    ASSERT_EQ(ltexts.size(), 2u);
    EXPECT_EQ(ltexts[0]->contents(), L"OFFSET");
    expectPoint(ltexts[0]->location(), 32, 20 + 1.26);
    EXPECT_EQ(ltexts[0]->attachment(), VRxDbMText::kBottomLeft);
    EXPECT_NEAR(ltexts[0]->rotation(), 0.0, 1e-12);
    expectPoint(ltexts[1]->location(), 32, 20 - 1.26);
    EXPECT_EQ(ltexts[1]->attachment(), VRxDbMText::kTopLeft);
    // The leader's texts are in its colour, as the saved file has them.
    EXPECT_EQ(ltexts[0]->colorIndex(), 1);
    EXPECT_EQ(ltexts[1]->colorIndex(), 1);
}
