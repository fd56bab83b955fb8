// Tests of the drawing styles: names carry the scale x 1000 cut toward zero,
// existing styles are reused untouched.
#include <limits>

#include "draw/drawing_styles.h"
#include "draw_fixture.h"
#include "vrxdbobjecttable.h"

namespace {
class DrawingStylesTest : public DrawFixture {
protected:
    VRxDbObjectId dimStyleNamed(const wchar_t* name) {
        VRxDbObjectId id;
        read<VRxDbDimStyleTable>(db->dimStyleTableId(), [&](VRxDbDimStyleTable& t) { t.getAt(name, id); });
        return id;
    }
};
}  // namespace

TEST_F(DrawingStylesTest, NamesUseTheScaleTimesAThousandCutTowardZero) {
    EXPECT_EQ(drawingStyleNumber(205 / 50.0), 4100);
    EXPECT_EQ(drawingStyleNumber(333 / 50.0), 6660);
    // 201/50*1000 is 4019.9999999999995 in binary: still the scale 4.02.
    EXPECT_EQ(drawingStyleNumber(201 / 50.0), 4020);
    EXPECT_EQ(drawingStyleNumber(6.6669), 6666);  // a real fraction is cut, not rounded
    EXPECT_EQ(drawingStyleNumber(-1.2345), -1234);

    ASSERT_TRUE(setupDrawingStyles(205 / 50.0));
    EXPECT_EQ(dimStyleId, dimStyleNamed(L"zdt_dim_4100"));
    ASSERT_TRUE(setupDrawingStyles(333 / 50.0));
    EXPECT_EQ(assemblyDimStyleId, dimStyleNamed(L"zdt_assemble_6660"));
    read<VRxDbDimStyleTableRecord>(dimStyleId, [](VRxDbDimStyleTableRecord& r) {
        EXPECT_EQ(r.getName(), L"zdt_dim_6660");
        EXPECT_DOUBLE_EQ(r.dimtxt(), 333 / 50.0);  // sizes use the scale itself
    });

    // A scale that cannot name a style changes nothing.
    EXPECT_FALSE(setupDrawingStyles(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(setupDrawingStyles(1e12));
    EXPECT_DOUBLE_EQ(drawingScale, 333 / 50.0);
}

TEST_F(DrawingStylesTest, ExistingStylesAreUsedUnchangedAndFailuresKeepEarlierIds) {
    auto* mine = new VRxDbDimStyleTableRecord();
    mine->setName(L"zdt_dim_6000");
    mine->setDimtxt(2.5);
    VRxDbObjectId existing;
    ASSERT_EQ(vrxdbAddRecordTo(*db, db->dimStyleTableId(), mine, existing), Vrx::eOk);

    ASSERT_TRUE(setupDrawingStyles(6.0));
    EXPECT_EQ(dimStyleId, existing);
    read<VRxDbDimStyleTableRecord>(existing, [](VRxDbDimStyleTableRecord& r) {
        EXPECT_DOUBLE_EQ(r.dimtxt(), 2.5);
        EXPECT_TRUE(r.dimtxsty().isNull());
    });
    const VRxDbObjectId text = textStyleId, assembly = assemblyDimStyleId;
    ASSERT_TRUE(setupDrawingStyles(6.0));  // a second run finds all three again
    EXPECT_EQ(textStyleId, text);
    EXPECT_EQ(assemblyDimStyleId, assembly);

    // The dimension style table busy: the new text style is kept, the dimension ids stay.
    VRxDbDimStyleTable* busy = nullptr;
    ASSERT_EQ(db->getDimStyleTable(busy, VRxDb::kForWrite), Vrx::eOk);
    EXPECT_FALSE(setupDrawingStyles(5.0));
    busy->close();
    EXPECT_NE(textStyleId, text);
    EXPECT_EQ(dimStyleId, existing);
    EXPECT_EQ(assemblyDimStyleId, assembly);
}
