// Lock placement on the A and B plates: blocks at the middles of the chosen
// edges in the plan view only, a line on the command line for every side view
// and every lock the catalogue has no block for, and the missing drawing
// reported with its full path.
#include <string>
#include <vector>

#include "catalogue_fixture.h"
#include "model/mould_base_model.h"
#include "pockets/lock_placement.h"
#include "pockets_fixture.h"

namespace {

class LockPlacementTest : public pockettest::PocketFixture {
protected:
    void SetUp() override {
        PocketFixture::SetUp();
        plate.name = L"A板";
        plate.width = 300;
        plate.length = 350;
        plate.thickness = 60;
        view.plate = &plate;
        view.code = L"A1";
        view.centreX = 500;
        view.centreY = 300;
    }
    LockRecord lock(const wchar_t* side, const wchar_t* size = L"TL-050", int upright = 1) {
        LockRecord r;
        r.size = size;
        r.side = side;
        r.upright = upright;
        r.type = L"顶锁";
        return r;
    }
    // Position and block name of every block reference drawn.
    std::vector<std::pair<VRxGePoint3d, std::wstring>> blocks() {
        std::vector<std::pair<VRxGePoint3d, std::wstring>> seen;
        for (VRxDbObjectId id : drawn().blocks) {
            VRxGePoint3d at;
            VRxDbObjectId definition;
            read<VRxDbBlockReference>(id, [&](VRxDbBlockReference& b) {
                at = b.position();
                definition = b.blockTableRecord();
                EXPECT_DOUBLE_EQ(b.rotation(), 0.0);
                EXPECT_DOUBLE_EQ(b.scaleFactors().sx, 1.0);
            });
            std::wstring name;
            read<VRxDbBlockTableRecord>(definition, [&](VRxDbBlockTableRecord& r) { name = r.getName(); });
            seen.emplace_back(at, name);
        }
        return seen;
    }
    static bool endsWith(const std::wstring& text, const std::wstring& tail) {
        return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    }

    PlateRecord plate;
    PlateView view;
};

}  // namespace

TEST_F(LockPlacementTest, FourLocksSitAtTheMiddlesOfTheFourEdges) {
    struct Case {
        const wchar_t* plateName;
        const wchar_t* side;
        VRxGePoint3d at;
        const wchar_t* file;
    };
    const Case cases[] = {
        {L"A板", L"B", {500, 125, 0}, L"/BlockRes/TL050M-B.dwg"},
        {L"A板", L"L", {350, 300, 0}, L"/BlockRes/TL050M-L.dwg"},
        {L"A板", L"R", {650, 300, 0}, L"/BlockRes/TL050M-R.dwg"},
        {L"A板", L"T", {500, 475, 0}, L"/BlockRes/TL050M-T.dwg"},
        // The B plate carries the other half of the lock.
        {L"B板", L"T", {500, 475, 0}, L"/BlockRes/TL050F-T.dwg"},
    };
    for (const Case& c : cases) {
        plate.name = c.plateName;
        LockRecord record = lock(c.side);
        LockPlacement(&record).place(view);
    }
    EXPECT_EQ(commandLine.output, L"");
    const auto seen = blocks();
    ASSERT_EQ(seen.size(), 5u);
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(seen[i].first.isEqualTo(cases[i].at, 1e-9)) << seen[i].first.x << "," << seen[i].first.y;
        EXPECT_TRUE(endsWith(seen[i].second, cases[i].file)) << toUtf8(seen[i].second);
    }
}

TEST_F(LockPlacementTest, SideViewsAndUnlistedSizesGetALineEach) {
    // The mounting changes nothing but the number in the line.
    view.code = L"A3";
    LockRecord upright = lock(L"L");
    LockRecord inverted = lock(L"R", L"GTL-075", 0);
    LockPlacement(&upright).place(view);
    LockPlacement(&inverted).place(view);
    view.code = L"A1";
    LockRecord unlisted = lock(L"T", L"TL-100");
    LockPlacement(&unlisted).place(view);
    plate.name = L"托板";  // the catalogue has locks for the A and B plates only
    LockPlacement(&upright).place(view);

    EXPECT_TRUE(modelSpaceEntities().empty());
    EXPECT_EQ(commandLine.lines(),
              (std::vector<std::wstring>{L"TL-050-A板-1-A3", L"GTL-075-A板-0-A3", L"TL-100-A板-1-A1",
                                         L"TL-050-托板-1-A1"}));
}

TEST_F(LockPlacementTest, AMissingDrawingIsReportedWithItsPath) {
    // A catalogue that names a block no drawing exists for.
    cattest::TempDir dir;
    cattest::writeCatalogue(dir.file("ZDTSTANDARDMOULD.db"),
                            std::string(cattest::looseSchema()) +
                                "INSERT INTO STANDITEMBLOCKSETUP VALUES ('A板','TL-050',1,'A1','NOSUCH');");
    useModuleDirectory(dir.path());
    LockRecord record = lock(L"T");
    LockPlacement(&record).place(view);
    EXPECT_TRUE(modelSpaceEntities().empty());
    EXPECT_EQ(commandLine.lines(),
              std::vector<std::wstring>{L"无法找到文件" + fromUtf8(dir.path()) + L"/BlockRes/NOSUCH-T.dwg"});
}
