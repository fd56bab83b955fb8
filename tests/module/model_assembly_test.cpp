// The assembly drawing of a whole mould base from the shipped catalogue: the
// title first, then every plan view before any side view, each plate with its
// name and datum mark; a mould the catalogue has no plates for gets its title.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "draw_fixture.h"
#include "model/assembly_drawing.h"
#include "model/plate_stack.h"
#include "vrxdbobjecttable.h"

namespace {

class AssemblyDrawing : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        addLayer(L"中心线层");
        ASSERT_TRUE(setupDrawingStyles(6.0));
        model.params->mouldCode = L"3035";
        model.params->style = L"SAI";
        model.params->aPlateThickness = L"70";
        model.params->bPlateThickness = L"80";
        model.params->spacerThickness = L"100";
        model.params->retainerThickness = L"20";
        model.params->ejectorThickness = L"25";
    }

    // The lowest y an entity reaches, which tells the plan views' band (top)
    // from the side views' band below it.
    double lowestY(VRxDbObjectId id) {
        VRxDbObject* object = vrxdbObjectAt(*db, id);
        switch (object->kind()) {
        case VRxDbKind::Line: {
            auto* line = static_cast<VRxDbLine*>(object);
            return std::min(line->startPoint().y, line->endPoint().y);
        }
        case VRxDbKind::Text:
            return static_cast<VRxDbText*>(object)->position().y;
        case VRxDbKind::RotatedDimension: {
            auto* dim = static_cast<VRxDbRotatedDimension*>(object);
            return std::min(dim->xLine1Point().y, dim->xLine2Point().y);
        }
        case VRxDbKind::BlockReference:
            return static_cast<VRxDbBlockReference*>(object)->position().y;
        default:
            return 0.0;
        }
    }

    MouldBaseModel model;
};

TEST_F(AssemblyDrawing, TitleThenAllPlanViewsThenAllSideViews) {
    ComputePlateStack(model);
    ASSERT_EQ(10u, model.views[L"A1"].size()) << "nine catalogue plates and the derived spacer plate";
    DrawAssembly(model);

    std::vector<VRxDbObjectId> ids = modelSpaceEntities();
    ASSERT_GT(ids.size(), 1u);
    auto* title = static_cast<VRxDbText*>(vrxdbObjectAt(*db, ids[0]));
    ASSERT_EQ(VRxDbKind::Text, title->kind());
    EXPECT_EQ(L"3035 SAI", title->textString());
    EXPECT_DOUBLE_EQ(12.0, title->height());

    // Side views start a gap (a third of the first plate's width) below the
    // 350 long plan views; the marks and names sit in between.
    const double sideBand = -350.0 - 100.0 + 1e-6;
    bool inSideViews = false;
    std::set<std::wstring> names;
    int marks = 0;
    for (size_t i = 1; i < ids.size(); ++i) {
        const bool side = lowestY(ids[i]) < sideBand;
        EXPECT_FALSE(inSideViews && !side) << "entity " << i << " of a plan view comes after a side view";
        inSideViews = inSideViews || side;
        VRxDbObject* object = vrxdbObjectAt(*db, ids[i]);
        if (object->kind() == VRxDbKind::Text) {
            EXPECT_FALSE(side) << "names only under plan views";
            names.insert(static_cast<VRxDbText*>(object)->textString());
        }
        if (object->kind() == VRxDbKind::BlockReference) {
            auto* block = static_cast<VRxDbBlockTableRecord*>(
                vrxdbObjectAt(*db, static_cast<VRxDbBlockReference*>(object)->blockTableRecord()));
            const std::wstring name = block->getName();
            if (name.find(L"BlockRes/DA") != std::wstring::npos) ++marks;
        }
    }
    EXPECT_TRUE(inSideViews);
    EXPECT_EQ((std::set<std::wstring>{L"工面", L"A板", L"B板", L"托板", L"方铁", L"面针板", L"底针板", L"工底"}),
              names);
    EXPECT_EQ(8, marks) << "every plate but the two spacer blocks";
}

TEST_F(AssemblyDrawing, AMouldWithoutPlatesGetsItsTitleOnly) {
    model.params->style = L"不存在";
    ComputePlateStack(model);
    DrawAssembly(model);
    std::vector<VRxDbObjectId> ids = modelSpaceEntities();
    ASSERT_EQ(1u, ids.size());
    EXPECT_EQ(L"3035 不存在", static_cast<VRxDbText*>(vrxdbObjectAt(*db, ids[0]))->textString());
}

}  // namespace
