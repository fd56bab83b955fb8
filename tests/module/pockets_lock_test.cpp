// Lock placement on the A and B plates: blocks at the middles of the chosen
// edges in the plan view, on the parting face in the side view, the room they
// take outside the outline, a line on the command line for every lock the
// catalogue has no block for, and the missing drawing reported with its full path.
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

TEST_F(LockPlacementTest, SideViewsStandTheLocksOnThePartingFace) {
    // Every side view has the plate's parting face on top, the A plate's as the
    // B plate's; the far lock (T) hides behind the front one and is left out
    // silently.
    view.code = L"A3";
    plate.location = L"上模";
    LockRecord left = lock(L"L"), right = lock(L"R", L"GTL-075", 0), front = lock(L"B"), far = lock(L"T");
    for (LockRecord* r : {&left, &right, &front, &far}) LockPlacement(r).place(view);
    plate.name = L"B板";
    plate.location = L"下模";
    LockPlacement(&front).place(view);

    EXPECT_EQ(commandLine.output, L"");
    const auto seen = blocks();
    const std::vector<std::pair<VRxGePoint3d, std::wstring>> expected = {
        {{350, 330, 0}, L"/BlockRes/TL050M-A3-L.dwg"},
        {{650, 330, 0}, L"/BlockRes/GTL075M-A3-R.dwg"},
        {{500, 330, 0}, L"/BlockRes/TL050M-A3-B.dwg"},
        {{500, 330, 0}, L"/BlockRes/TL050F-A3-B.dwg"}};
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(seen[i].first.isEqualTo(expected[i].first, 1e-9)) << seen[i].first.x << "," << seen[i].first.y;
        EXPECT_TRUE(endsWith(seen[i].second, expected[i].second)) << toUtf8(seen[i].second);
    }
}

TEST_F(LockPlacementTest, RoomIsReservedForWhatStandsOutOfTheOutline) {
    // A TL-050 male half stands out 0.4 of its width (28) and half its tongue
    // (10) past the edge in plan; in the side view its profile stands out 0.4 of
    // its width at the end and its tongue reaches 10 above the parting face on
    // top, the screw's centre line 1.5 further.
    view.origin = VRxGePoint3d(350, 475, 0);
    LockRecord top = lock(L"T"), left = lock(L"L");
    LockPlacement(&top).reserveRoom(view);
    LockPlacement(&left).reserveRoom(view);
    EXPECT_NEAR(view.standOut[DrawingTools::kTop], 16.2, 1e-9);
    EXPECT_NEAR(view.standOut[DrawingTools::kLeft], 16.2, 1e-9);
    EXPECT_EQ(view.standOut[DrawingTools::kBottom], 0.0);
    EXPECT_EQ(view.standOut[DrawingTools::kRight], 0.0);

    PlateView side;
    side.plate = &plate;
    plate.location = L"上模";
    side.code = L"A3";
    side.origin = VRxGePoint3d(350, 330, 0);
    side.centreX = 500;
    side.centreY = 300;
    LockPlacement(&left).reserveRoom(side);
    LockPlacement(&top).reserveRoom(side);
    EXPECT_NEAR(side.standOut[DrawingTools::kLeft], 11.2, 1e-9);
    EXPECT_NEAR(side.standOut[DrawingTools::kTop], 11.5, 1e-9);
    EXPECT_EQ(side.standOut[DrawingTools::kBottom], 0.0);
    EXPECT_TRUE(modelSpaceEntities().empty()) << "room is reserved, nothing drawn yet";
    EXPECT_EQ(commandLine.output, L"");
}

TEST_F(LockPlacementTest, UnlistedSizesGetALineEach) {
    // The mounting changes nothing but the number in the line.
    LockRecord unlisted = lock(L"T", L"TL-100", 0);
    LockPlacement(&unlisted).reserveRoom(view);
    LockPlacement(&unlisted).place(view);
    plate.name = L"托板";  // the catalogue has locks for the A and B plates only
    LockRecord upright = lock(L"L");
    LockPlacement(&upright).place(view);
    view.code = L"A3";
    LockPlacement(&upright).place(view);

    EXPECT_TRUE(modelSpaceEntities().empty());
    EXPECT_EQ(commandLine.lines(),
              (std::vector<std::wstring>{L"TL-100-A板-0-A1", L"TL-050-托板-1-A1", L"TL-050-托板-1-A3"}));
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
