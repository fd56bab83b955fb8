// The plate views as a CAD user finds them in the saved drawing: each view is
// drawn into a fresh drawing, written as DXF, read back, and the size
// dimensions and name standing clear of locks, and the upper half's datum mark
// and leader are looked up there.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "draw_fixture.h"
#include "model/plate_views.h"
#include "vrxdxf.h"
#include "vrxdbobjecttable.h"

namespace {

const double kTol = 1e-9;

struct SavedDimension {
    VRxGePoint3d x1, x2, dimLine;
    double measurement;
};

// What a drawing holds in model space after a save and a read.
struct SavedDrawing {
    std::vector<SavedDimension> dimensions;
    std::vector<const VRxDbText*> texts;
    std::vector<std::pair<std::wstring, VRxGePoint3d>> marks;  // block name, insertion point
    std::vector<const VRxDbDimLeader*> leaders;
};

class PlateViews : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        addLayer(L"中心线层");
        ASSERT_TRUE(setupDrawingStyles(6.0));
        plate.width = 300;
        plate.length = 350;
        plate.thickness = 60;
        plate.name = L"B板";
        plate.location = L"下模";
    }

    PlateView& view(const wchar_t* code, double x = 0, double y = 0) {
        views.push_back(std::make_unique<PlateView>());
        PlateView& v = *views.back();
        v.plate = &plate;
        v.code = code;
        v.origin = VRxGePoint3d(x, y, 0);
        return v;
    }

    // Saves the drawing and reads it back: what another CAD program would open.
    void save() {
        std::wstring error;
        ASSERT_EQ(Vrx::eOk, VRxDxf::readDxf(back, VRxDxf::writeDxf(*db), error));
        VRxDbBlockTableRecord* space = static_cast<VRxDbBlockTableRecord*>(vrxdbObjectAt(back, back.modelSpaceId()));
        for (VRxDbObjectId id : space->entityIds()) {
            VRxDbObject* object = vrxdbObjectAt(back, id);
            switch (object->kind()) {
            case VRxDbKind::RotatedDimension: {
                auto* dim = static_cast<VRxDbRotatedDimension*>(object);
                saved.dimensions.push_back({dim->xLine1Point(), dim->xLine2Point(), dim->dimLinePoint(),
                                            dim->measurement()});
                break;
            }
            case VRxDbKind::Text:
                saved.texts.push_back(static_cast<VRxDbText*>(object));
                break;
            case VRxDbKind::BlockReference: {
                auto* ref = static_cast<VRxDbBlockReference*>(object);
                auto* block = static_cast<VRxDbBlockTableRecord*>(vrxdbObjectAt(back, ref->blockTableRecord()));
                saved.marks.emplace_back(block->getName(), ref->position());
                break;
            }
            case VRxDbKind::DimLeader:
                saved.leaders.push_back(static_cast<VRxDbDimLeader*>(object));
                break;
            default:
                break;
            }
        }
    }

    PlateRecord plate;
    std::vector<std::unique_ptr<PlateView>> views;
    VRxDbDatabase back{false};
    SavedDrawing saved;
};

bool endsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(PlateViews, DimensionsAndNameStandClearOfLocksAndTheSpacerGap) {
    // Locks standing out of the left, top and bottom edges push the size
    // dimensions and the name out by as much.
    PlateView& plan = view(L"A1");
    plan.standOut[DrawingTools::kLeft] = 11.2;
    plan.standOut[DrawingTools::kTop] = 16.2;
    plan.standOut[DrawingTools::kBottom] = 16.2;
    drawPlateView(plan);
    addPlateNameLabel(plan);
    // The right spacer is measured on its outer edge, in both views.
    plate.name = L"方铁R";
    PlateRecord spacer = plate;
    spacer.width = 58;
    PlateView& spacerPlan = view(L"A1", 1000, 0);
    spacerPlan.plate = &spacer;
    PlateView& spacerSide = view(L"A3", 1000, -450);
    spacerSide.plate = &spacer;
    drawPlateView(spacerPlan);
    drawPlateView(spacerSide);
    save();

    ASSERT_EQ(5u, saved.dimensions.size());
    EXPECT_NEAR(18.0 + 16.2, saved.dimensions[0].dimLine.y, kTol);
    EXPECT_NEAR(-18.0 - 11.2, saved.dimensions[1].dimLine.x, kTol);
    ASSERT_EQ(1u, saved.texts.size());
    EXPECT_NEAR(-386.0 - 16.2, saved.texts[0]->position().y, kTol);
    for (size_t i : {3, 4}) {
        EXPECT_NEAR(1058.0, saved.dimensions[i].x1.x, kTol);
        EXPECT_NEAR(1058.0 + 18.0, saved.dimensions[i].dimLine.x, kTol);
    }
    EXPECT_NEAR(350.0, saved.dimensions[3].measurement, kTol);
    EXPECT_NEAR(60.0, saved.dimensions[4].measurement, kTol);
}

TEST_F(PlateViews, UpperHalfMarksToTheLeft) {
    plate.name = L"A板";
    plate.location = L"上模";
    PlateView& plan = view(L"A1", 400, 0);
    insertOffsetMark(plan);
    addOffsetLeader(plan, VRxGePoint3d(450, -300, 0));
    save();

    ASSERT_EQ(1u, saved.marks.size());
    EXPECT_TRUE(endsWith(saved.marks[0].first, L"BlockRes/DA2.dwg"));
    EXPECT_NEAR(382.0, saved.marks[0].second.x, kTol);
    EXPECT_NEAR(-374.0, saved.marks[0].second.y, kTol);
    ASSERT_EQ(1u, saved.leaders.size());
    EXPECT_NEAR(400.0, saved.leaders[0]->vertices()[0].x, kTol);
    EXPECT_NEAR(388.0, saved.leaders[0]->endPoint().x, kTol) << "clear of the length dimension line at 382";
}

}  // namespace
