// The pocket's limits on its plate, at their boundaries: the 5 mm wall to each
// edge (a relief corner's bulge counted), the 5 mm floor, a centre that pushes
// the outline out, numbers that are not finite, and plates without sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pockets/pocket_fit.h"

namespace {

PlateRecord plate300x350x30() {
    PlateRecord p;
    p.name = L"A板";
    p.width = 300;
    p.length = 350;
    p.thickness = 30;
    return p;
}

PocketRecord pocket(double width, double length, double depth, int32_t type = FilletCorner, double radius = 10) {
    PocketRecord r;
    r.plateName = L"A板";
    r.width = width;
    r.length = length;
    r.depth = depth;
    r.setAllCorners({radius, type});
    return r;
}

}  // namespace

TEST(PocketFit, TheLimitsThemselvesFitAndOneStepBeyondIsNamed) {
    const PlateRecord plate = plate300x350x30();
    EXPECT_EQ(pocketMisfit(pocket(290, 340, 25), plate), L"");
    EXPECT_EQ(pocketMisfit(pocket(290.01, 340, 25), plate), L"宽超出[A板]：框边离板边至少留5.00，宽不能大于290.00");
    EXPECT_EQ(pocketMisfit(pocket(290, 340.01, 25), plate), L"长超出[A板]：框边离板边至少留5.00，长不能大于340.00");
    EXPECT_EQ(pocketMisfit(pocket(290, 340, 25.01), plate),
              L"深超出[A板]：板厚30.00，框底至少留5.00，深不能大于25.00");
    EXPECT_NE(pocketMisfit(pocket(290, 340, 30), plate), L"") << "as deep as the plate";

    PocketRecord shifted = pocket(100, 150, 20);
    shifted.centreX = 95;  // the right edge exactly 5 mm from the plate's
    EXPECT_EQ(pocketMisfit(shifted, plate), L"");
    shifted.centreX = 95.01;
    EXPECT_EQ(pocketMisfit(shifted, plate),
              L"中心坐标X使框超出[A板]：框边离板边至少留5.00，中心坐标X须在-95.00到95.00之间");
}

TEST(PocketFit, ReliefCornersBulgeBeyondTheRectangle) {
    const PlateRecord plate = plate300x350x30();
    // A 12.5 relief arc reaches 12.5 * (1 - sqrt(2)/2) = 3.66 past each edge.
    const double bulge = 12.5 * (1 - std::sqrt(2.0) / 2);
    EXPECT_EQ(pocketMisfit(pocket(290 - 2 * bulge, 100, 20, ReliefCorner, 12.5), plate), L"");
    EXPECT_NE(pocketMisfit(pocket(290 - 2 * bulge + 0.01, 100, 20, ReliefCorner, 12.5), plate), L"");
    // Only the datum corner (5, bottom right) a relief: the left side keeps its
    // full room, so the pocket fits when it moves away from the bulge.
    PocketRecord one = pocket(290 - bulge, 100, 20);
    one.corners[5] = {12.5, ReliefCorner};
    EXPECT_NE(pocketMisfit(one, plate), L"");
    one.centreX = -bulge / 2;
    EXPECT_EQ(pocketMisfit(one, plate), L"");
}

TEST(PocketFit, NumbersThatAreNotFiniteAndPlatesWithoutSizes) {
    PocketRecord huge = pocket(1e308, 100, 20);
    EXPECT_NE(pocketMisfit(huge, plate300x350x30()), L"");
    huge.width = std::numeric_limits<double>::infinity();
    EXPECT_EQ(pocketMisfit(huge, plate300x350x30()), L"宽不是有效的数字");
    PlateRecord unknown;  // no sizes known: only the numbers themselves are judged
    EXPECT_EQ(pocketMisfit(pocket(500, 600, 250), unknown), L"");
}
