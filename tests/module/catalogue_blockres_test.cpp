// The block drawings beside the module: every hole, lock and datum mark drawing
// that the shipped catalogue can make the module ask for exists in BlockRes
// under the name the module builds ("%d%s.dwg", "%s-%s.dwg", "%s.dwg") and
// reads back as a drawing with something in it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "catalogue/catalogue_queries.h"
#include "vrxdb.h"
#include "vrxdbents.h"

namespace {

const std::string kBlockRes = std::string(ZDT_BIN_DIR) + "/BlockRes/";

std::vector<std::vector<std::string>> rowsOf(sqlite3* db, const char* sql) {
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), SQLITE_OK) << sql;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<std::string> r;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const unsigned char* t = sqlite3_column_text(st, c);
            r.push_back(t ? reinterpret_cast<const char*>(t) : "");
        }
        rows.push_back(r);
    }
    sqlite3_finalize(st);
    return rows;
}

int nominal(double diameter) {
    return static_cast<int>(diameter >= 0 ? std::floor(diameter + 0.5) : std::ceil(diameter - 0.5));
}

bool readsAsDrawing(const std::string& path) {
    VRxDbDatabase db(false);
    std::wstring wpath = fromUtf8(path);
    return db.readDwgFile(wpath.c_str()) == Vrx::eOk;
}

}  // namespace

TEST(BlockResDrawings, EveryDrawingTheCatalogueAsksForExists) {
    CatalogueDb catalogue;
    ASSERT_TRUE(catalogue.open(std::string(ZDT_BIN_DIR) + "/ZDTSTANDARDMOULD.db"));
    sqlite3* db = catalogue.handle();

    // Smallest step of every hole, per process and plate.
    std::set<std::string> wanted;
    auto holes = rowsOf(db,
                        "SELECT b.proc_name, p.plate_name, min(p.para_val) FROM base_plate_proc_detail p"
                        " JOIN base_proc_detail d ON p.para_id = d.para_id JOIN base_proc b ON d.proc_id = b.proc_id"
                        " WHERE d.para_name = '直径' GROUP BY p.model_id, p.model, b.proc_name, p.plate_name, p.gg_c");
    ASSERT_FALSE(holes.empty());
    auto eyebolts = rowsOf(db, "SELECT '拉令孔', platename, itemvalue FROM MODE_EYEBOLT_INFO");
    holes.insert(holes.end(), eyebolts.begin(), eyebolts.end());
    for (const auto& h : holes) {
        const std::wstring process = fromUtf8(h[0]), plate = fromUtf8(h[1]);
        for (int way : process == L"导柱" ? std::vector<int>{1, 0} : std::vector<int>{1})
            for (const char* view : {"A1", "A3"}) {
                std::string block;
                findStandardItemBlock(catalogue, process, plate, way, view, block);
                ASSERT_FALSE(block.empty()) << h[0] << "-" << h[1] << "-" << way << "-" << view;
                wanted.insert(std::to_string(nominal(std::strtod(h[2].c_str(), nullptr))) + block + ".dwg");
            }
    }
    // Locks: four edges in plan; in the side view the front edge and the ends.
    for (const auto& lock : rowsOf(db, "SELECT blockname, FACEDIR FROM STANDITEMBLOCKSETUP"
                                       " WHERE ITEMTYPENAME NOT IN (SELECT proc_name FROM base_proc)"))
        for (const char* side : {"T", "B", "L", "R"})
            if (lock[1] == "A1" || std::string(side) != "T") wanted.insert(lock[0] + "-" + side + ".dwg");
    wanted.insert("DA1.dwg");
    wanted.insert("DA2.dwg");
    // The side view of every hole for every thickness its plate can be chosen in.
    for (const auto& f : rowsOf(db, "SELECT blockstem, diameter, thickness FROM HOLE_FORM WHERE face != 'side'"))
        wanted.insert(f[1] + f[0] + "-A3-" + f[2] + ".dwg");

    EXPECT_GT(wanted.size(), 100u);
    for (const std::string& name : wanted) {
        const std::string path = kBlockRes + name;
        ASSERT_TRUE(std::filesystem::exists(path)) << "missing " << path;
        EXPECT_TRUE(readsAsDrawing(path)) << path;
    }
}

TEST(BlockResDrawings, HoleDrawingsShowTheirStepsFromFaceToFace) {
    // A 20 mm guide pillar seat with its head counterbored into the B plate's
    // underside: in plan the seat and the counterbore; in the side view of a
    // plate 40 thick the seat runs from the top face down to the counterbore,
    // 5 deep in the underside, and nothing passes either face.
    auto entities = [](const std::string& name, auto&& each) {
        VRxDbDatabase db(false);
        const std::wstring path = fromUtf8(kBlockRes + name);
        ASSERT_EQ(db.readDwgFile(path.c_str()), Vrx::eOk) << name;
        VRxDbBlockTableRecord* space = nullptr;
        ASSERT_EQ(vrxdbOpenObject(space, db.modelSpaceId(), VRxDb::kForRead), Vrx::eOk);
        VRxDbBlockTableRecordIterator* it = nullptr;
        space->newIterator(it);
        for (; !it->done(); it->step()) {
            VRxDbEntity* e = nullptr;
            if (it->getEntity(e, VRxDb::kForRead) != Vrx::eOk) continue;
            each(*e);
            e->close();
        }
        delete it;
        space->close();
    };
    std::set<double> radii;
    entities("20GP-A1.dwg", [&](VRxDbEntity& e) {
        if (auto* c = VRxDbCircle::cast(&e)) radii.insert(c->radius());
    });
    EXPECT_EQ(radii, (std::set<double>{10, 13}));

    std::map<double, std::pair<double, double>> walls;  // x -> lowest and highest y of its lines
    entities("20GP-A3-40.dwg", [&](VRxDbEntity& e) {
        auto* line = VRxDbLine::cast(&e);
        if (line == nullptr || e.colorIndex() == 1) return;  // centre lines
        EXPECT_EQ(e.linetype(), L"虚线") << "hidden inside the plate";
        for (const VRxGePoint3d& p : {line->startPoint(), line->endPoint()}) {
            EXPECT_LE(std::fabs(p.y), 20.0);
            if (line->startPoint().x != line->endPoint().x) continue;
            auto& w = walls.emplace(std::fabs(p.x), std::make_pair(p.y, p.y)).first->second;
            w = {std::min(w.first, p.y), std::max(w.second, p.y)};
        }
    });
    EXPECT_EQ(walls, (std::map<double, std::pair<double, double>>{{10, {-15, 20}}, {13, {-20, -15}}}));
}
