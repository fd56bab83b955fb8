// The plate stack: plates, views, gaps and the cursor computed from small
// catalogues built here, the derived spacer plate under the B plate's outline,
// the display filter, running only once, and a catalogue that has nothing for
// the choices.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assembly/plate_stack.h"
#include "catalogue/catalogue_queries.h"
#include "catalogue_fixture.h"
#include "resources/module_resources.h"

using namespace cattest;

namespace {

// Style SBI lists its plates as the shipped catalogue does; SPL lists the left
// spacer before the B plate; SDU lists the A plate twice; DAI starts with the
// pin-point series' top plates. Code 3035 is 300 wide
// and 350 long, with 58 wide spacers and 180 wide ejector plates.
const char* kRows =
    "INSERT INTO MODEL_PLATE_LIST VALUES ('SBI','A板','上模',2),('SBI','成品推板','下模',3),"
    "('SBI','B板','下模',4),('SBI','托板','下模',5),('SBI','方铁L','下模',6),('SBI','方铁R','下模',7),"
    "('SBI','面针板','下模',8),('SBI','底针板','下模',9),"
    "('SPL','方铁L','下模',1),('SPL','B板','下模',2),('SPL','方铁R','下模',3),"
    "('SDU','A板','上模',1),('SDU','A板','上模',2),('SDU','B板','下模',3),"
    "('DAI','工面','上模',1),('DAI','水口板','上模',2),('DAI','A板','上模',3);"
    "INSERT INTO MODE_PLATE_SIZE VALUES ('3035',300,350,'AB-30',90,25,40,58,180,'ER-30',25,30,31,350);";

// Points the module's paths at a scratch folder for one test, so the plate
// stack finds (or misses) the catalogue written there.
class PlateStackTest : public testing::Test {
protected:
    void SetUp() override {
        winOverrideModuleFileName(zdtModuleInstance(), fromUtf8(dir.file("libzdtmould.so")));
        model.params->mouldCode = L"3035";
        model.params->style = L"SBI";
        model.params->aPlateThickness = L"70";
        model.params->bPlateThickness = L"80";
        model.params->spacerThickness = L"100";
        model.params->retainerThickness = L"20";
        model.params->ejectorThickness = L"25.5";
    }
    void TearDown() override { winOverrideModuleFileName(zdtModuleInstance(), L""); }

    void writeSmallCatalogue() { writeCatalogue(dir.file("ZDTSTANDARDMOULD.db"), std::string(looseSchema()) + kRows); }

    const PlateView* view(const wchar_t* code, const wchar_t* plate) {
        auto byPlate = model.views.find(code);
        if (byPlate == model.views.end()) return nullptr;
        auto v = byPlate->second.find(plate);
        return v == byPlate->second.end() ? nullptr : v->second;
    }
    const PlateRecord* plate(const wchar_t* name) {
        auto p = model.plates.find(name);
        return p == model.plates.end() ? nullptr : p->second;
    }
    std::vector<std::wstring> plateNames() {
        std::vector<std::wstring> names;
        for (const auto& p : model.plates) names.push_back(p.first);
        return names;
    }

    MessageBoxRecorder boxes;
    TempDir dir;
    MouldBaseModel model;
};

}  // namespace

TEST_F(PlateStackTest, LaysOutEveryPlateToTheRightOfTheInsertionPoint) {
    writeSmallCatalogue();
    model.insertPoint = VRxGePoint3d(100, 200, 0);
    ComputePlateStack(model);
    ASSERT_TRUE(model.stackComputed);
    EXPECT_TRUE(boxes.texts.empty());

    // The first plate (300 wide) fixes both gaps.
    EXPECT_DOUBLE_EQ(100, model.gapX);
    EXPECT_DOUBLE_EQ(100, model.gapY);

    struct Expect {
        const wchar_t* name;
        double x, width, length, thickness;
    };
    // The derived spacer plate starts with the left spacer, which ends its run
    // early so that the right spacer ends on the B plate outline's right edge.
    const Expect expected[] = {
        {L"A板", 100, 300, 350, 70},       {L"成品推板", 500, 300, 350, 25}, {L"B板", 900, 300, 350, 80},
        {L"托板", 1300, 300, 350, 40},     {L"方铁", 1700, 300, 350, 100},   {L"方铁L", 1700, 58, 350, 100},
        {L"方铁R", 1942, 58, 350, 100},    {L"面针板", 2100, 180, 350, 20},  {L"底针板", 2380, 180, 350, 25.5},
    };
    ASSERT_EQ(9u, model.plates.size());
    for (const Expect& e : expected) {
        SCOPED_TRACE(std::string(toUtf8(e.name)));
        const PlateRecord* p = plate(e.name);
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(e.name, p->name);
        EXPECT_DOUBLE_EQ(e.width, p->width);
        EXPECT_DOUBLE_EQ(e.length, p->length);
        EXPECT_DOUBLE_EQ(e.thickness, p->thickness);
        EXPECT_EQ(L"3035", p->mouldCode);
        EXPECT_EQ(L"SBI", p->style);

        const PlateView* plan = view(L"A1", e.name);
        const PlateView* side = view(L"A3", e.name);
        ASSERT_NE(nullptr, plan);
        ASSERT_NE(nullptr, side);
        EXPECT_EQ(p, plan->plate);
        EXPECT_EQ(p, side->plate);
        EXPECT_EQ(L"A3", side->code);
        EXPECT_DOUBLE_EQ(e.x, plan->origin.x);
        EXPECT_DOUBLE_EQ(200, plan->origin.y);
        EXPECT_DOUBLE_EQ(e.x + e.width / 2, plan->centreX);
        EXPECT_DOUBLE_EQ(200 - e.length / 2, plan->centreY);
        // The side view hangs one gap under the plan view.
        EXPECT_DOUBLE_EQ(e.x, side->origin.x);
        EXPECT_DOUBLE_EQ(200 - e.length - 100, side->origin.y);
        EXPECT_DOUBLE_EQ(200 - e.length - 100 - e.thickness / 2, side->centreY);
    }
    EXPECT_EQ(L"下模", plate(L"方铁")->location);
    EXPECT_EQ(4, plate(L"方铁")->sortNumber) << "the derived plate is a copy of the B plate row";
    EXPECT_DOUBLE_EQ(2380 + 180 + 100, model.insertPoint.x);
    EXPECT_DOUBLE_EQ(200, model.insertPoint.y);
    // Every plate, the derived one too, has its hole model and hole set.
    EXPECT_EQ(model.plates.size(), model.holes.size());
    ASSERT_EQ(model.plates.size(), model.holeSets.size());
    for (const auto& set : model.holeSets) EXPECT_EQ(model.holes.at(set.first), set.second->holes);
}

TEST_F(PlateStackTest, DisplayFilterAndTheABExample) {
    writeSmallCatalogue();
    model.displayFilter = {{L"A板", 1}, {L"B板", 1}};
    ComputePlateStack(model);
    EXPECT_EQ((std::vector<std::wstring>{L"A板", L"B板"}), plateNames());
    // A 300 x 350 A plate from the origin: gaps of 100, its side view's top
    // edge at -450, the B plate's views starting at X = 400.
    const PlateView* aPlan = view(L"A1", L"A板");
    ASSERT_NE(nullptr, aPlan);
    EXPECT_DOUBLE_EQ(150, aPlan->centreX);
    EXPECT_DOUBLE_EQ(-175, aPlan->centreY);
    ASSERT_NE(nullptr, view(L"A3", L"A板"));
    EXPECT_DOUBLE_EQ(-450, view(L"A3", L"A板")->origin.y);
    ASSERT_NE(nullptr, view(L"A3", L"B板"));
    EXPECT_DOUBLE_EQ(400, view(L"A1", L"B板")->origin.x);
    EXPECT_DOUBLE_EQ(400, view(L"A3", L"B板")->origin.x);

    // The simplified display: the spacers are skipped, and with them the
    // derived plate.
    MouldBaseModel simplified;
    *simplified.params = *model.params;
    simplified.displayFilter = {{L"A板", 1}, {L"B板", 1}, {L"成品推板", 1}, {L"托板", 1}};
    ComputePlateStack(simplified);
    ASSERT_EQ(4u, simplified.plates.size());
    EXPECT_EQ(0u, simplified.plates.count(L"方铁"));
    EXPECT_EQ(4u, simplified.views[L"A3"].size());
}

TEST_F(PlateStackTest, RunsOnlyOncePerModel) {
    writeSmallCatalogue();
    ComputePlateStack(model);
    const size_t plates = model.plates.size();
    const double cursor = model.insertPoint.x;
    const PlateRecord* aPlate = plate(L"A板");
    ASSERT_NE(nullptr, aPlate);

    // Changed choices after the first computation change nothing.
    model.params->aPlateThickness = L"200";
    model.params->style = L"SPL";
    model.displayFilter = {{L"A板", 1}};
    ComputePlateStack(model);
    EXPECT_EQ(plates, model.plates.size());
    EXPECT_EQ(aPlate, plate(L"A板"));
    EXPECT_DOUBLE_EQ(70, aPlate->thickness);
    EXPECT_DOUBLE_EQ(cursor, model.insertPoint.x);
    EXPECT_EQ(plates, model.views[L"A1"].size());
    EXPECT_EQ(plates, model.views[L"A3"].size());
}

TEST_F(PlateStackTest, UnusualPlateListsStaySound) {
    writeSmallCatalogue();
    // The left spacer before any B plate: no outline to derive a plate from.
    model.params->style = L"SPL";
    ComputePlateStack(model);
    EXPECT_EQ((std::vector<std::wstring>{L"B板", L"方铁L", L"方铁R"}), plateNames());
    ASSERT_NE(nullptr, view(L"A1", L"B板"));
    // The left spacer, now first, sets the gaps to a third of its width.
    EXPECT_DOUBLE_EQ(58 + 58 / 3.0, view(L"A1", L"B板")->origin.x);

    // A plate listed twice keeps its first record and views; the cursor still
    // moves past the second row.
    MouldBaseModel twice;
    *twice.params = *model.params;
    twice.params->style = L"SDU";
    ComputePlateStack(twice);
    ASSERT_EQ(2u, twice.plates.size());
    ASSERT_EQ(1u, twice.views[L"A1"].count(L"A板"));
    EXPECT_EQ(twice.plates[L"A板"], twice.views[L"A1"][L"A板"]->plate);
    EXPECT_DOUBLE_EQ(0, twice.views[L"A1"][L"A板"]->origin.x);
    EXPECT_DOUBLE_EQ(800, twice.views[L"A1"][L"B板"]->origin.x);
}

TEST_F(PlateStackTest, NothingForTheChoicesGivesAnEmptyStack) {
    writeSmallCatalogue();
    model.params->mouldCode = L"9999";
    model.params->style = L"NONE";
    ComputePlateStack(model);
    EXPECT_TRUE(model.plates.empty());
    EXPECT_TRUE(model.views.empty());
    EXPECT_FALSE(model.stackComputed);
    EXPECT_TRUE(boxes.texts.empty());

    // A code the size table lacks still lists the style's plates, with no sizes.
    model.params->style = L"SPL";
    ComputePlateStack(model);
    ASSERT_EQ(3u, model.plates.size());
    EXPECT_DOUBLE_EQ(-1, model.plates[L"B板"]->width);
}
