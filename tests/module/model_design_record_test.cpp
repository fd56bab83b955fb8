// A design kept in the drawing and read back: every choice, pocket and lock
// comes back; a record damaged in any way is refused with what is wrong;
// listed bases are found, erased ones passed over, and the order table's
// entities are remembered with the title.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "draw/entity_services.h"
#include "catalogue/text_conversion.h"
#include "model/design_record.h"
#include "model/stored_designs.h"

namespace {

void fillDesign(MouldBaseModel& model) {
    MouldBaseParams& p = *model.params;
    p = {L"3035", L"SAI", L"有", L"否", L"70", L"80", L"100", L"20", L"25", L"", L""};
    auto* aPlate = new PlateRecord;
    aPlate->width = 300;
    aPlate->thickness = 70;
    model.plates[L"A板"] = aPlate;
    model.plates[L"B板"] = new PlateRecord;
    auto* side = new PlateView;
    side->plate = model.plates[L"A板"];
    side->origin = VRxGePoint3d(466.7, -466.7, 0);
    model.views[L"A3"][L"A板"] = side;
    model.insertPoint = VRxGePoint3d(4200, 0, 0);  // where the title went
    auto* pocket = new PocketRecord;
    pocket->plateName = L"A板";
    pocket->mouldHalf = L"上模";
    pocket->centreX = -12.5;
    pocket->width = 100;
    pocket->length = 150;
    pocket->depth = 25;
    pocket->setAllCorners({5.0, FilletCorner});
    pocket->setDatumSpec({8.0, ReliefCorner});
    model.pocketTable[L"A板"] = pocket;
    (*model.lockTable)[L"L"] = new LockRecord{L"TL-050", 1, L"L", L"顶锁"};
    (*model.lockTable)[L"R"] = new LockRecord{L"TL-075", 0, L"R", L"超薄顶锁"};
}

// A copy of the record with one change made to its list.
bool readAltered(const std::function<void(resbuf*&)>& alter, std::wstring& problem) {
    MouldBaseModel source;
    fillDesign(source);
    resbuf* record = makeDesignRecord(source, VRxGePoint3d(0, 0, 0), 6.0);
    alter(record);
    MouldBaseModel back;
    DrawnLayout layout;
    const bool ok = readDesignRecord(record, back, layout, problem);
    vrxutRelRb(record);
    return ok;
}

// The record's values: 0 kind, 1 version, 2-10 choices, 11 point, 12 count and
// 13-14 plates, 15 count and 16-30 the pocket, 31 count and 32-39 the locks,
// 40 scale, 41 title, 42 count and 43-47 the view.
resbuf* nth(resbuf* rb, int n) {
    while (n-- > 0 && rb != nullptr) rb = rb->rbnext;
    return rb;
}

TEST(DesignRecord, EveryChoicePocketAndLockComesBack) {
    MouldBaseModel source;
    fillDesign(source);
    resbuf* record = makeDesignRecord(source, VRxGePoint3d(100, 200, 0), 6.0);
    MouldBaseModel back;
    DrawnLayout layout;
    std::wstring problem;
    ASSERT_TRUE(readDesignRecord(record, back, layout, problem)) << toUtf8(problem);
    vrxutRelRb(record);
    EXPECT_EQ(back.params->ejectorThickness, L"25");
    EXPECT_EQ(back.params->spacerThickness, L"100");
    EXPECT_EQ(back.insertPoint.x, 100);
    EXPECT_EQ(back.insertPoint.y, 200);
    EXPECT_FALSE(back.stackComputed);
    // The plates drawn become the filter that lays the design out as drawn.
    EXPECT_EQ(back.displayFilter.size(), 2u);
    EXPECT_EQ(back.displayFilter.count(L"B板"), 1u);
    ASSERT_EQ(back.pocketTable.count(L"A板"), 1u);
    const PocketRecord& pocket = *back.pocketTable[L"A板"];
    EXPECT_EQ(pocket.centreX, -12.5);
    EXPECT_EQ(pocket.depth, 25);
    EXPECT_EQ(pocket.datumSpec(), (CornerSpec{8.0, ReliefCorner}));
    EXPECT_EQ(pocket.nonDatumSpec(), (CornerSpec{5.0, FilletCorner}));
    ASSERT_EQ(back.lockTable->size(), 2u);
    EXPECT_EQ(back.lockTable->at(L"R")->size, L"TL-075");
    EXPECT_EQ(back.lockTable->at(L"R")->upright, 0);
    EXPECT_EQ(back.lockTable->at(L"R")->type, L"超薄顶锁");
    // Where it was drawn: the scale, the title, the side view's outline.
    EXPECT_EQ(layout.scale, 6.0);
    EXPECT_EQ(layout.titlePosition.x, 4200);
    ASSERT_EQ(layout.views.size(), 1u);
    EXPECT_EQ(layout.views[0].code, L"A3");
    EXPECT_EQ(layout.views[0].origin.x, 466.7);
    EXPECT_EQ(layout.views[0].height, 70);
}

TEST(DesignRecord, DamagedRecordsAreRefusedWithWhatIsWrong) {
    struct Case {
        const char* what;
        std::function<void(resbuf*&)> alter;
        const wchar_t* told;
    };
    const Case cases[] = {
        {"empty", [](resbuf*& r) { vrxutRelRb(r); r = nullptr; }, L"不是模架记录"},
        {"another version", [](resbuf*& r) { r->rbnext->resval.rint = 3; }, L"格式版本 3 无法识别"},
        {"a value cut off",
         [](resbuf*& r) {
             vrxutRelRb(nth(r, 11)->rbnext);
             nth(r, 11)->rbnext = nullptr;
         },
         L"第 13 项（显示模板数）缺失"},
        {"a value too many", [](resbuf*& r) { nth(r, 47)->rbnext = vrxutBuildList(40, 1.0, 0); },
         L"记录末尾）多出数据"},
        {"a value of the wrong type", [](resbuf*& r) { nth(r, 11)->restype = 40; }, L"第 12 项（插入点）类型不符"},
        {"a count out of range", [](resbuf*& r) { nth(r, 12)->resval.rlong = 100000; }, L"数目超出范围"},
        {"a pocket without depth", [](resbuf*& r) { nth(r, 22)->resval.rreal = 0; }, L"（框）尺寸或角不可用"},
    };
    for (const Case& c : cases) {
        std::wstring problem;
        EXPECT_FALSE(readAltered(c.alter, problem)) << c.what;
        EXPECT_NE(problem.find(c.told), std::wstring::npos) << c.what << ": " << toUtf8(problem);
    }
}

TEST(StoredDesigns, ListedBasesAreFoundAndErasedOnesPassedOver) {
    VRxDbDatabase db;
    VRxDbHostApplicationServices* host = vrxdbHostApplicationServices();
    VRxDbDatabase* previous = host->workingDatabase();
    host->setWorkingDatabase(&db);
    bool hasList = true;
    EXPECT_TRUE(readStoredMouldBases(db, hasList).empty());
    EXPECT_FALSE(hasList);

    MouldBaseModel design;
    fillDesign(design);
    VRxDbObjectId first = addText(VRxGePoint3d(1300, 0, 0), L"3035 SAI", VRxDbObjectId::kNull, 12, 0);
    VRxDbObjectId second = addText(VRxGePoint3d(2600, 0, 0), L"3035 SAI", VRxDbObjectId::kNull, 12, 0);
    std::wstring why;
    ASSERT_TRUE(storeMouldBaseDesign(db, design, VRxGePoint3d(0, 0, 0), 6.0, first, why)) << toUtf8(why);
    ASSERT_TRUE(storeMouldBaseDesign(db, design, VRxGePoint3d(1400, 0, 0), 6.0, second, why)) << toUtf8(why);
    const VRxDbObjectId table[] = {first, second};
    EXPECT_TRUE(storeOrderTable(second, {table[0], table[1]}));
    EXPECT_EQ(storedOrderTable(second), std::vector<VRxDbObjectId>(table, table + 2));
    EXPECT_TRUE(storedOrderTable(first).empty());

    VRxDbEntity* title = openEntity(first, VRxDb::kForWrite);
    ASSERT_NE(title, nullptr);
    title->erase();
    title->close();
    std::vector<StoredMouldBase> bases = readStoredMouldBases(db, hasList);
    EXPECT_TRUE(hasList);
    ASSERT_EQ(bases.size(), 1u);
    EXPECT_EQ(bases[0].title, second);
    EXPECT_EQ(bases[0].titlePosition.x, 2600);
    ASSERT_TRUE(bases[0].design != nullptr) << toUtf8(bases[0].problem);
    EXPECT_EQ(bases[0].design->insertPoint.x, 1400);
    EXPECT_EQ(db.openObjectCount(), 0);
    host->setWorkingDatabase(previous);
}

}  // namespace
