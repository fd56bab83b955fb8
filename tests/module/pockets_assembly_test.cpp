// The pocket and lock stages of the assembly drawing on mould bases computed
// from the shipped catalogue: every plate that can carry a pocket gets it in
// both views and the model keeps one drawer per view and plate; the locks go
// onto both views of the A and B plates and the model keeps one placement per
// plate and side, also when the same model is drawn again (the sanitizer build
// sees a leaked or twice freed drawer or placement).
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue_queries.h"
#include "model/assembly_drawing.h"
#include "model/mould_base_model.h"
#include "model/plate_stack.h"
#include "pockets_fixture.h"
#include "resources/module_paths.h"

namespace {

class AssemblyPocketsTest : public pockettest::PocketFixture {
protected:
    // A 3035 mould base of the style, with its stack computed.
    std::unique_ptr<MouldBaseModel> mouldBase(const std::wstring& style) {
        auto model = std::make_unique<MouldBaseModel>();
        MouldBaseParams& p = *model->params;
        p.mouldCode = L"3035";
        p.style = style;
        p.aPlateThickness = L"60";
        p.bPlateThickness = L"70";
        p.spacerThickness = L"90";
        p.retainerThickness = L"25";
        p.ejectorThickness = L"30";
        ComputePlateStack(*model);
        return model;
    }
    static void addPocket(MouldBaseModel& model, const std::wstring& plateName) {
        auto* pocket = new PocketRecord;
        pocket->plateName = plateName;
        pocket->mouldHalf = model.plates.at(plateName)->location;
        pocket->width = 150;
        pocket->length = 120;
        pocket->depth = 35;
        pocket->centreX = plateName == L"A板" ? -10 : 10;
        pocket->setAllCorners({10.0, FilletCorner});
        pocket->setDatumSpec({12.5, ReliefCorner});
        model.pocketTable[plateName] = pocket;
    }
    static void addLocks(MouldBaseModel& model, std::vector<const wchar_t*> sides) {
        for (const wchar_t* side : sides) {
            auto* lock = new LockRecord;
            lock->size = L"TL-050";
            lock->side = side;
            lock->type = L"顶锁";
            (*model.lockTable)[side] = lock;
        }
    }
    // Lock blocks drawn, by the name of their drawing.
    std::vector<std::wstring> lockBlocks() {
        std::vector<std::wstring> names;
        for (VRxDbObjectId id : drawn().blocks) {
            VRxDbObjectId definition;
            read<VRxDbBlockReference>(id, [&](VRxDbBlockReference& b) { definition = b.blockTableRecord(); });
            read<VRxDbBlockTableRecord>(definition, [&](VRxDbBlockTableRecord& r) {
                const std::wstring name = r.getName();
                if (name.find(L"TL050") != std::wstring::npos) names.push_back(name.substr(name.rfind(L'/') + 1));
            });
        }
        return names;
    }
};

}  // namespace

TEST_F(AssemblyPocketsTest, EveryPlateThatCanCarryAPocketShowsItInBothViews) {
    std::vector<std::wstring> styles;
    {
        CatalogueDb catalogue;
        ASSERT_TRUE(catalogue.open(ModulePaths::getCatalogPathUtf8()));
        listMouldTypes(catalogue, kSideGateSeries, styles);
    }
    ASSERT_FALSE(styles.empty());
    for (const std::wstring& style : styles) {
        SCOPED_TRACE(toUtf8(style));
        db = std::make_unique<VRxDbDatabase>(true);
        vrxdbHostApplicationServices()->setWorkingDatabase(db.get());
        ASSERT_TRUE(setupDrawingStyles(6.0));
        commandLine.output.clear();

        auto model = mouldBase(style);
        // The plates the pocket dialog offers for this style.
        std::vector<std::wstring> carriers{L"A板", L"B板"};
        if (style.size() > 1 && style[1] != L'A' && style[1] != L'C') carriers.push_back(L"成品推板");
        for (const std::wstring& name : carriers) {
            ASSERT_EQ(model->plates.count(name), 1u) << toUtf8(name);
            addPocket(*model, name);
        }
        DrawAssembly(*model);

        for (const wchar_t* code : {L"A1", L"A3"}) {
            SCOPED_TRACE(toUtf8(code));
            ASSERT_EQ(model->pocketDrawers[code].size(), carriers.size());
            for (const std::wstring& name : carriers) {
                const PocketDrawer* drawer = model->pocketDrawers[code][name];
                ASSERT_NE(drawer, nullptr) << toUtf8(name);
                EXPECT_EQ(drawer->view(), model->views[code][name]);
                EXPECT_EQ(drawer->pocket(), model->pocketTable[name]);
                EXPECT_EQ(drawer->lines().size(), 4u);
                EXPECT_EQ(drawer->arcs().size(), std::wstring(code) == L"A1" ? 4u : 0u);
            }
        }
        // Each plan view labels the shared radius and the datum corner's own.
        EXPECT_EQ(drawn().radial.size(), 2 * carriers.size());
        EXPECT_TRUE(model->lockPlacements.empty());
        EXPECT_EQ(commandLine.output, L"");
    }
}

TEST_F(AssemblyPocketsTest, FourLocksGoOntoTheAAndBPlatesAndStayOnceEach) {
    auto model = mouldBase(L"SAI");
    addPocket(*model, L"A板");
    addPocket(*model, L"B板");
    addPocket(*model, L"托板");
    addLocks(*model, {L"T", L"B", L"L", L"R"});
    DrawAssembly(*model);

    // A pocket on any plate is drawn: the support plate's is kept under both views.
    EXPECT_EQ(model->pocketDrawers[L"A1"].count(L"托板"), 1u);
    EXPECT_EQ(model->pocketDrawers[L"A3"].count(L"托板"), 1u);

    // Plan views first, then the side views, where the far lock (T) hides behind the front one.
    const std::vector<std::wstring> drawnLocks{
        L"TL050M-B.dwg",    L"TL050M-L.dwg",    L"TL050M-R.dwg",    L"TL050M-T.dwg",    L"TL050F-B.dwg",
        L"TL050F-L.dwg",    L"TL050F-R.dwg",    L"TL050F-T.dwg",    L"TL050M-A3-B.dwg", L"TL050M-A3-L.dwg",
        L"TL050M-A3-R.dwg", L"TL050F-A3-B.dwg", L"TL050F-A3-L.dwg", L"TL050F-A3-R.dwg"};
    EXPECT_EQ(lockBlocks(), drawnLocks);
    EXPECT_EQ(commandLine.output, L"") << "a clean design prints nothing";

    ASSERT_EQ(model->lockPlacements.size(), 2u);
    std::map<std::wstring, const LockPlacement*> kept;
    for (const wchar_t* plate : {L"A板", L"B板"}) {
        const auto& bySide = model->lockPlacements[plate];
        ASSERT_EQ(bySide.size(), 4u);
        for (const auto& placement : bySide) {
            ASSERT_NE(placement.second, nullptr);
            EXPECT_EQ(placement.second->lock(), model->lockTable->at(placement.first));
        }
        kept[plate] = bySide.at(L"T");
    }
    const PocketDrawer* aPlan = model->pocketDrawers[L"A1"][L"A板"];

    // Drawing the model again draws everything again; what the model holds stays.
    DrawAssembly(*model);
    EXPECT_EQ(lockBlocks().size(), 2 * drawnLocks.size());
    EXPECT_EQ(commandLine.output, L"");
    EXPECT_EQ(model->lockPlacements[L"A板"].size(), 4u);
    EXPECT_EQ(model->lockPlacements[L"A板"][L"T"], kept[L"A板"]);
    EXPECT_EQ(model->lockPlacements[L"B板"][L"T"], kept[L"B板"]);
    EXPECT_EQ(model->pocketDrawers[L"A1"][L"A板"], aPlan);
    EXPECT_EQ(model->pocketDrawers[L"A1"].size(), 3u);
}
