// The mould base model's records and ownership: what a fresh model holds, and
// that destroying a model frees every record it owns, in the order that lets
// later records refer to earlier ones (the sanitizer build also reports any
// record left behind).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/text_conversion.h"
#include "model/mould_base_model.h"
#include "resources/module_resources.h"
#include "winhost.h"

namespace {

// Every destroyed record writes its kind here, so a test sees what was freed
// and in which order.
std::vector<std::string> g_freed;

// A real hole model over the shipped catalogue, so its holes and its own
// connection are freed with it.
struct CountedHoles : Models::HolesModel {
    CountedHoles() : Models::HolesModel(L"A板", L"SAI", L"3035", L"有") {}
    ~CountedHoles() override { g_freed.push_back("holes"); }
};
struct CountedGroup : DrawnHoleGroup {
    ~CountedGroup() override { g_freed.push_back("group"); }
};
struct CountedDrawer : PocketDrawer {
    CountedDrawer() : PocketDrawer(nullptr, nullptr) {}
    ~CountedDrawer() override { g_freed.push_back("drawer"); }
};
struct CountedPlacement : LockPlacement {
    CountedPlacement() : LockPlacement(nullptr) {}
    ~CountedPlacement() override { g_freed.push_back("placement"); }
};

int countOf(const std::string& kind) {
    int n = 0;
    for (const auto& k : g_freed) n += k == kind;
    return n;
}

size_t firstOf(const std::string& kind) {
    for (size_t i = 0; i < g_freed.size(); ++i)
        if (g_freed[i] == kind) return i;
    return g_freed.size();
}

}  // namespace

TEST(ModelRecords, FreshModelAndRecordsStartEmpty) {
    MouldBaseModel model;
    EXPECT_TRUE(model.plates.empty());
    ASSERT_NE(nullptr, model.lockTable);
    EXPECT_TRUE(model.lockTable->empty());
    ASSERT_NE(nullptr, model.params);
    EXPECT_FALSE(model.stackComputed);
    EXPECT_EQ(0.0, model.insertPoint.x + model.insertPoint.y + model.insertPoint.z + model.gapX + model.gapY);

    // A new pocket has its four corners, none of them chosen yet.
    PocketRecord pocket;
    ASSERT_EQ(4u, pocket.corners.size());
    int corner = 4;
    for (const auto& entry : pocket.corners) {
        EXPECT_EQ(corner++, entry.first);
        EXPECT_EQ(-1, entry.second.type);
    }
}

TEST(ModelRecords, DestroyingTheModelFreesEveryRecordInOrder) {
    g_freed.clear();
    winOverrideModuleFileName(zdtModuleInstance(), fromUtf8(std::string(ZDT_BIN_DIR) + "/libzdtmould.so"));
    {
        MouldBaseModel model;
        for (const wchar_t* name : {L"A板", L"B板"}) {
            auto* plate = new PlateRecord;
            plate->name = name;
            model.plates[name] = plate;
            for (const wchar_t* code : {L"A1", L"A3"}) {
                auto* view = new PlateView;
                view->plate = plate;
                (*view->sideLines)[0] = VRxDbObjectId();
                model.views[code][name] = view;
                model.pocketDrawers[code][name] = new CountedDrawer;
            }
            auto* holes = new CountedHoles;
            model.holes[name] = holes;
            auto* set = new PlateHoleSet;
            set->holes = holes;
            set->groups[L"拉令孔"] = new CountedGroup;
            set->groups[L"导柱孔"] = new CountedGroup;
            set->options[L"导柱"] = 1;
            model.holeSets[name] = set;
            auto* pocket = new PocketRecord;
            pocket->plateName = name;
            model.pocketTable[name] = pocket;
            model.lockPlacements[name][L"T"] = new CountedPlacement;
            model.lockPlacements[name][L"B"] = new CountedPlacement;
        }
        for (const wchar_t* side : {L"T", L"B", L"L", L"R"}) {
            auto* lock = new LockRecord;
            lock->side = side;
            (*model.lockTable)[side] = lock;
        }
    }
    winOverrideModuleFileName(zdtModuleInstance(), L"");
    EXPECT_EQ(4, countOf("drawer"));
    EXPECT_EQ(2, countOf("holes"));
    EXPECT_EQ(4, countOf("group"));
    EXPECT_EQ(4, countOf("placement"));
    // Pocket drawers go before the hole models, hole sets after them, lock
    // placements last.
    EXPECT_LT(firstOf("drawer"), firstOf("holes"));
    EXPECT_LT(firstOf("holes"), firstOf("group"));
    EXPECT_LT(firstOf("group"), firstOf("placement"));
}
