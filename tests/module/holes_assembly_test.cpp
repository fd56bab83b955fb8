// The hole stage of a whole mould base from the shipped catalogue and BlockRes:
// every plate's hole model with its eyebolt holes and the guide pillar option,
// then the assembly drawing: hole blocks at the catalogue positions in every
// view, one "OFFSET" leader per plan view with guide pillars, starting at the
// offset pillar (at the offset support pin where there are none), and the
// reversed guide pillars' own blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "assembly/assembly_drawing.h"
#include "assembly/plate_stack.h"
#include "draw/drawing_styles.h"
#include "draw_fixture.h"
#include "holes/drawn_hole_group.h"
#include "holes/holes_model.h"
#include "holes_fixture.h"
#include "vrxdbdims.h"
#include "vrxdbents.h"
#include "vrxed.h"

using namespace holetest;

namespace {

class MouldBaseHoles : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        previousEditor = vrxedSetHost(&commandLine);
    }
    void TearDown() override {
        vrxedSetHost(previousEditor);
        DrawFixture::TearDown();
    }

    void design(MouldBaseModel& model, const std::wstring& code, const std::wstring& style) {
        model.insertPoint = VRxGePoint3d(100, 200, 0);
        model.params->mouldCode = code;
        model.params->style = style;
        model.params->aPlateThickness = L"60";
        model.params->bPlateThickness = L"70";
        model.params->spacerThickness = L"90";
        model.params->retainerThickness = L"20";
        model.params->ejectorThickness = L"25";
        if (model.params->ejectorGuide.empty()) model.params->ejectorGuide = L"有";
        if (model.params->guideReversed.empty()) model.params->guideReversed = L"否";
    }
    void draw(MouldBaseModel& model) {
        ComputePlateStack(model);
        auto a = model.plates.find(L"A板");
        if (a != model.plates.end()) setupDrawingStyles(a->second->width / 50.0);
        DrawAssembly(model);
    }

    struct Reference {
        std::wstring file;
        VRxGePoint3d position;
    };
    std::vector<Reference> references() {
        std::vector<Reference> out;
        for (VRxDbObjectId id : modelSpaceEntities()) {
            VRxDbBlockReference* ref = nullptr;
            if (vrxdbOpenObject(ref, id, VRxDb::kForRead) != Vrx::eOk) continue;
            Reference r{L"", ref->position()};
            VRxDbObjectId block = ref->blockTableRecord();
            ref->close();
            read<VRxDbBlockTableRecord>(block, [&](VRxDbBlockTableRecord& b) { r.file = b.getName(); });
            out.push_back(r);
        }
        return out;
    }
    std::vector<VRxGePoint3d> offsetLeaderStarts() {
        std::vector<VRxGePoint3d> out;
        for (VRxDbObjectId id : modelSpaceEntities()) {
            VRxDbDimLeader* leader = nullptr;
            if (vrxdbOpenObject(leader, id, VRxDb::kForRead) != Vrx::eOk) continue;
            if (leader->text1() == L"OFFSET") out.push_back(leader->startPoint());
            leader->close();
        }
        return out;
    }
    bool referenceAt(const std::vector<Reference>& refs, const std::wstring& fileEnd, double x, double y) {
        for (const Reference& r : refs)
            if (r.file.size() >= fileEnd.size() &&
                r.file.compare(r.file.size() - fileEnd.size(), fileEnd.size(), fileEnd) == 0 &&
                std::fabs(r.position.x - x) < 1e-9 && std::fabs(r.position.y - y) < 1e-9)
                return true;
        return false;
    }

    ModuleFolder folder{ZDT_BIN_DIR};
    cattest::MessageBoxRecorder boxes;
    CommandLine commandLine;
    VRxEditorHost* previousEditor = nullptr;
};

}  // namespace

TEST_F(MouldBaseHoles, EveryPlateHasItsHolesEyeboltsAndGuidePillarOption) {
    MouldBaseModel model;
    design(model, L"3035", L"SBI");
    model.params->guideReversed = L"是";
    ComputePlateStack(model);
    ASSERT_EQ(model.plates.size(), model.holes.size());
    ASSERT_EQ(model.plates.size(), model.holeSets.size());
    for (const auto& set : model.holeSets) {
        SCOPED_TRACE(std::string(toUtf8(set.first)));
        EXPECT_EQ(model.holes.at(set.first), set.second->holes);
        EXPECT_EQ((std::map<std::wstring, int32_t>{{L"导柱", 0}}), set.second->options);
    }
    // A 300 mould is lifted by its A and B plates among others (M12, in pairs
    // either side of the lock in each end face); the eyebolts are numbered from
    // 0 in the order the rules place them.
    Models::ProcessHoleMap& a = model.holes.at(L"A板")->processMap();
    ASSERT_EQ(1u, a.count(L"拉令孔"));
    int32_t expected = 0;
    for (const auto& hole : *a.at(L"拉令孔")) {
        EXPECT_EQ(expected++, hole.first);
        EXPECT_DOUBLE_EQ(6, hole.second->getKeyRadius()) << "M12";
        EXPECT_NE(0, hole.second->getX());
    }
    EXPECT_GE(expected, 4);
    EXPECT_EQ(1u, model.holes.at(L"面针板")->processMap().count(L"针板边"));
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(MouldBaseHoles, HoleBlocksSitAtTheCataloguePositionsAndTheLeaderAtTheOffsetPillar) {
    MouldBaseModel model;
    design(model, L"3035", L"SAI");
    draw(model);
    EXPECT_EQ(L"", commandLine.output) << "no block configuration or drawing is missing";
    EXPECT_TRUE(boxes.texts.empty());

    const std::vector<Reference> refs = references();
    int plateViewsWithPillars = 0;
    std::vector<VRxGePoint3d> expectedStarts;
    for (const auto& byView : model.views) {
        for (const auto& byPlate : byView.second) {
            const PlateView& view = *byPlate.second;
            SCOPED_TRACE(std::string(toUtf8(byView.first + L" " + byPlate.first)));
            for (const auto& process : model.holes.at(byPlate.first)->processMap()) {
                for (const auto& hole : *process.second) {
                    const Models::StandardMultiHole& h = *hole.second;
                    const bool plan = view.code == L"A1";
                    if (!plan && std::fabs(h.rotation) >= 0.001) continue;
                    const double y = plan ? view.centreY + h.getY() : view.centreY;
                    // The side view takes the drawing made for the plate's thickness;
                    // an eyebolt hole, seen face-on, looks alike in every plate.
                    const std::wstring file =
                        plan || process.first == L"拉令孔"
                            ? L"-" + view.code + L".dwg"
                            : L"-A3-" + std::to_wstring(static_cast<int>(view.plate->thickness)) + L".dwg";
                    EXPECT_TRUE(referenceAt(refs, file, view.centreX + h.getX(), y))
                        << std::string(toUtf8(process.first)) << " " << hole.first;
                }
            }
            if (view.code != L"A1") continue;
            auto pillars = model.holes.at(byPlate.first)->processMap().find(L"导柱");
            if (pillars == model.holes.at(byPlate.first)->processMap().end()) continue;
            ++plateViewsWithPillars;
            // The offset pillar is the one moved off the corner: lower left on the
            // upper mould, lower right on the lower mould.
            const bool upper = view.plate->location == L"上模";
            const Models::StandardMultiHole* offset = nullptr;
            for (const auto& hole : *pillars->second)
                if (hole.second->getY() < 0 && (upper ? hole.second->getX() < 0 : hole.second->getX() > 0))
                    offset = hole.second;
            ASSERT_NE(nullptr, offset);
            double mirrorX = 0;
            for (const auto& hole : *pillars->second)
                if (hole.second->getY() > 0 && (upper ? hole.second->getX() < 0 : hole.second->getX() > 0))
                    mirrorX = hole.second->getX();
            EXPECT_NE(std::fabs(mirrorX), std::fabs(offset->getX())) << "the pillar is off its corner";
            expectedStarts.push_back(VRxGePoint3d(view.centreX + offset->getX(), view.centreY + offset->getY(), 0));
            EXPECT_EQ(offset, model.holeSets.at(byPlate.first)->groups.at(L"导柱")->representative);
        }
    }
    EXPECT_EQ(3, plateViewsWithPillars) << "the A, B and support plates";
    const std::vector<VRxGePoint3d> starts = offsetLeaderStarts();
    ASSERT_EQ(expectedStarts.size(), starts.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        EXPECT_DOUBLE_EQ(expectedStarts[i].x, starts[i].x);
        EXPECT_DOUBLE_EQ(expectedStarts[i].y, starts[i].y);
    }
}

TEST_F(MouldBaseHoles, ReversedGuidePillarsUseTheirOwnBlocks) {
    MouldBaseModel normal;
    design(normal, L"3035", L"SAI");
    draw(normal);
    const size_t before = references().size();
    MouldBaseModel reversed;
    design(reversed, L"3035", L"SAI");
    reversed.params->guideReversed = L"是";
    draw(reversed);
    EXPECT_EQ(L"GB-A1", normal.holeSets.at(L"A板")->groups.at(L"导柱")->blockName);
    EXPECT_EQ(L"GPT-A1", reversed.holeSets.at(L"A板")->groups.at(L"导柱")->blockName);
    EXPECT_EQ(L"GBU-A1", reversed.holeSets.at(L"B板")->groups.at(L"导柱")->blockName);
    EXPECT_EQ(2 * before, references().size());
    EXPECT_EQ(L"", commandLine.output);
}

// A pin-point plate without guide pillars takes its OFFSET leader from the
// offset support pin: in the simplified style every plate the pins pass has
// one, the spacer blocks too, whose reliefs take the pins' ends. (The sweep
// checks that the pins stand in line.)
TEST_F(MouldBaseHoles, PinPointOffsetLeadersFromTheSupportPins) {
    for (const wchar_t* style : {L"DBI", L"JAH"}) {
        SCOPED_TRACE(std::string(toUtf8(style)));
        const size_t leadersBefore = offsetLeaderStarts().size();
        MouldBaseModel model;
        design(model, L"3035", style);
        model.params->topPlateThickness = L"30";
        model.params->runnerPlateThickness = L"35";
        draw(model);
        size_t leaders = 0;
        for (const auto& plate : model.holeSets) {
            const auto& groups = plate.second->groups;
            auto pillar = groups.count(L"导柱") ? groups.find(L"导柱") : groups.find(L"拉杆");
            if (pillar != groups.end() && pillar->second->representative != nullptr) ++leaders;
        }
        EXPECT_EQ(leaders, offsetLeaderStarts().size() - leadersBefore);
        if (style[0] == L'J') {
            EXPECT_EQ(6u, leaders) << "the top clamp, runner stripper, A, B and support plates, the spacer blocks";
        }
    }
    EXPECT_EQ(L"", commandLine.output);
}
