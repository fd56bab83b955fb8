// The catalogue the build generates (bin/ZDTSTANDARDMOULD.db): every style and
// code gives plates with sizes and thickness choices, the guide pillars go
// together one way only, eyebolts stay off the lock positions, and every
// process, plate, view and lock the module can ask for has a block name. (How
// the holes lie in their plates the generator checks as it builds.)
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "catalogue/catalogue_queries.h"
#include "catalogue_fixture.h"

namespace {

struct Hole {
    double x, y, dia;
    int step, number;
};

class ShippedCatalogue : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db.open(std::string(ZDT_BIN_DIR) + "/ZDTSTANDARDMOULD.db")); }

    std::vector<std::wstring> codes() {
        std::vector<std::wstring> list;
        listMouldCodes(db, kSideGateSeries, list);
        return list;
    }
    std::vector<std::wstring> styles() {
        std::vector<std::wstring> list;
        listMouldTypes(db, kSideGateSeries, list);
        return list;
    }
    // The holes of one process on one plate for a code and style, pivoted the
    // way the module reads them (one row per step).
    std::vector<Hole> holes(const std::string& code, const std::string& style, const std::string& plate,
                            const std::string& process) {
        const std::string sql =
            "SELECT max(case when d.para_name='X值' then p.para_val else -9990 end),"
            " max(case when d.para_name='Y值' then p.para_val else -9990 end),"
            " max(case when d.para_name='直径' then p.para_val else 0 end), g_c, gg_c"
            " FROM base_plate_proc_detail p JOIN base_proc_detail d ON p.para_id = d.para_id"
            " JOIN base_proc b ON d.proc_id = b.proc_id"
            " WHERE p.style LIKE '%' || substr(?4, 1, 1) || '%' AND p.model_id = ?1 AND p.itemType = 1 AND p.plate_name = ?2"
            " AND b.proc_name = ?3 AND (p.model = '' OR p.model LIKE '%' || ?4 || '%')"
            " GROUP BY g_c, gg_c ORDER BY gg_c, g_c";
        sqlite3_stmt* st = nullptr;
        std::vector<Hole> out;
        EXPECT_EQ(sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st, nullptr), SQLITE_OK);
        sqlite3_bind_text(st, 1, code.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, plate.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, process.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, style.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW)
            out.push_back({sqlite3_column_double(st, 0), sqlite3_column_double(st, 1), sqlite3_column_double(st, 2),
                           sqlite3_column_int(st, 3), sqlite3_column_int(st, 4)});
        sqlite3_finalize(st);
        return out;
    }
    std::vector<std::pair<std::string, std::string>> processPlates() {
        std::vector<std::pair<std::string, std::string>> out;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db.handle(),
                           "SELECT DISTINCT b.proc_name, p.plate_name FROM base_plate_proc_detail p"
                           " JOIN base_proc_detail d ON p.para_id = d.para_id JOIN base_proc b ON d.proc_id = b.proc_id",
                           -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            out.push_back({reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                           reinterpret_cast<const char*>(sqlite3_column_text(st, 1))});
        sqlite3_finalize(st);
        return out;
    }
    CatalogueDb db;
};

}  // namespace

TEST_F(ShippedCatalogue, StylesCodesAndPlateLists) {
    EXPECT_EQ(styles(), (std::vector<std::wstring>{L"SAH", L"SAI", L"SBH", L"SBI", L"SCH", L"SCI", L"SDH", L"SDI"}));
    const auto list = codes();
    ASSERT_GE(list.size(), 80u);
    EXPECT_EQ(list.front(), L"1515");
    EXPECT_NE(std::find(list.begin(), list.end(), L"6080"), list.end());
    EXPECT_EQ(std::set<std::wstring>(list.begin(), list.end()).size(), list.size());

    for (const std::wstring& style : styles()) {
        for (const std::wstring& code : list) {
            auto rows = loadPlateList(db, toAnsi(style), toAnsi(code));
            const std::string where = toUtf8(style + L" " + code);
            ASSERT_GE(rows.size(), 8u) << where;
            bool seenB = false;
            std::set<std::wstring> names;
            for (size_t i = 0; i < rows.size(); ++i) {
                const CatalogueRow& r = rows[i];
                EXPECT_GT(r.width, 0) << where << " " << toUtf8(r.plateName);
                EXPECT_GT(r.length, 0) << where << " " << toUtf8(r.plateName);
                EXPECT_EQ(r.sortNumber, static_cast<int>(i) + 1) << where;
                names.insert(r.plateName);
                if (r.plateName == L"B板") seenB = true;
                if (r.plateName == L"方铁L") {
                    EXPECT_TRUE(seenB) << where << ": B板 must come before 方铁L";
                }
                bool upper = r.plateName == L"A板" || r.plateName == L"工面" || r.plateName == L"直身面板";
                EXPECT_EQ(r.location, upper ? L"上模" : L"下模") << where << " " << toUtf8(r.plateName);
            }
            // Spacers and ejector plates fit between the clamp plates' width.
            double t, bw, sw, ew, l;
            lookupPlateSize(db, toAnsi(code), L"B板", t, bw, l);
            lookupPlateSize(db, toAnsi(code), L"方铁L", t, sw, l);
            lookupPlateSize(db, toAnsi(code), L"面针板", t, ew, l);
            EXPECT_LT(2 * sw + ew, bw) << where;
            const bool iType = style[2] == L'I';
            EXPECT_EQ(names.count(iType ? L"工面" : L"直身面板"), 1u) << where;
            EXPECT_EQ(names.count(L"托板"), style[1] == L'A' || style[1] == L'B' ? 1u : 0u) << where;
            EXPECT_EQ(names.count(L"成品推板"), style[1] == L'B' || style[1] == L'D' ? 1u : 0u) << where;
        }
    }
    // I-type clamp plates stand out 50 mm over the mould.
    double t, w, l, bw;
    lookupPlateSize(db, "2025", L"工面", t, w, l);
    lookupPlateSize(db, "2025", L"A板", t, bw, l);
    EXPECT_EQ(w, bw + 50);
}

TEST_F(ShippedCatalogue, EveryCodeHasThicknessChoices) {
    int fixed = 0, coded = 0;
    for (const std::wstring& code : codes()) {
        for (const char* column : {"ABPLATE_H", "FPLATE_H", "ERPH", "EJPH"}) {
            std::vector<int32_t> options;
            EXPECT_TRUE(listThicknessOptions(db, toAnsi(code), column, options));
            ASSERT_FALSE(options.empty()) << toUtf8(code) << " " << column;
            for (size_t i = 0; i < options.size(); ++i) {
                EXPECT_GE(options[i], 13);
                EXPECT_LE(options[i], 150);
                if (i > 0) {
                    EXPECT_GT(options[i], options[i - 1]) << toUtf8(code) << " " << column;
                }
            }
            if (std::string(column) == "ERPH") (options.size() == 1 ? fixed : coded)++;
        }
    }
    // Both kinds of thickness column are in real use.
    EXPECT_GT(fixed, 0);
    EXPECT_GT(coded, 0);
}

// The pin-point series: its twelve styles, the codes from width 200 on, each
// style with the runner stripper plate under the top clamp plate in the fixed
// half, and every code with its top clamp and runner stripper plate choices.
TEST_F(ShippedCatalogue, PinPointSeriesStylesCodesAndChoices) {
    std::vector<std::wstring> types, list;
    listMouldTypes(db, kPinPointSeries, types);
    listMouldCodes(db, kPinPointSeries, list);
    EXPECT_EQ(types, (std::vector<std::wstring>{L"DAH", L"DAI", L"DBH", L"DBI", L"DCH", L"DCI", L"DDH", L"DDI", L"JAH",
                                               L"JAI", L"JCH", L"JCI"}));
    std::vector<std::wstring> expected;
    for (const std::wstring& code : codes())
        if (code.compare(0, 2, L"20") >= 0) expected.push_back(code);
    EXPECT_EQ(list, expected) << "every side-gate code from width 200 on, in catalogue order";
    for (const std::wstring& style : types) {
        const auto rows = loadPlateList(db, toAnsi(style), "3035");
        ASSERT_GE(rows.size(), 3u);
        EXPECT_EQ(L"水口板", rows[1].plateName) << toUtf8(style);
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(L"上模", rows[i].location) << toUtf8(style);
        EXPECT_EQ(style[1] == L'B' || style[1] == L'D', std::any_of(rows.begin(), rows.end(), [](const CatalogueRow& r) {
                      return r.plateName == L"成品推板";
                  })) << toUtf8(style);
    }
    for (const std::wstring& code : list)
        for (const char* column : {"TPPH", "RSPH"}) {
            std::vector<int32_t> options;
            EXPECT_TRUE(listThicknessOptions(db, toAnsi(code), column, options));
            EXPECT_FALSE(options.empty()) << toUtf8(code) << " " << column;
        }
}

TEST_F(ShippedCatalogue, PillarsGoTogetherOneWay) {
    const auto pairs = processPlates();
    ASSERT_FALSE(pairs.empty());
    for (const std::wstring& wcode : codes()) {
        const std::string code = toUtf8(wcode);
        for (const std::wstring& wstyle : styles()) {
            const std::string style = toUtf8(wstyle);
            std::map<std::string, std::pair<double, double>> plateSize;
            for (const CatalogueRow& r : loadPlateList(db, style, code)) {
                plateSize[toUtf8(r.plateName)] = {r.width, r.length};
                if (r.plateName == L"B板") plateSize["方铁"] = {r.width, r.length};
            }
            for (const auto& pp : pairs) {
                auto size = plateSize.find(pp.second);
                if (size == plateSize.end()) continue;
                const std::string where = code + " " + style + " " + pp.second + " " + pp.first;
                if (pp.first != "导柱") continue;
                const auto hs = holes(code, style, pp.second, pp.first);
                // Four pillars; three on the corners of one rectangle, the fourth
                // off it, in the quadrant the drawing marks "OFFSET" in.
                std::map<int, Hole> pillars;
                for (const Hole& h : hs) pillars.emplace(h.number, h);
                ASSERT_EQ(pillars.size(), 4u) << where;
                double xg = 0;
                for (const auto& p : pillars) xg = std::max(xg, std::fabs(p.second.x));
                int off = 0;
                for (const auto& p : pillars) {
                    EXPECT_GT(std::fabs(p.second.y), 0) << where;
                    if (std::fabs(p.second.x) != xg) {
                        ++off;
                        EXPECT_LT(p.second.y, 0) << where;
                        EXPECT_EQ(p.second.x < 0, pp.second == "A板") << where;
                    }
                }
                EXPECT_EQ(off, 1) << where;
            }
        }
    }
}

TEST_F(ShippedCatalogue, EveryItemHasItsBlocks) {
    for (const auto& pp : processPlates()) {
        for (int installWay : pp.first == "导柱" ? std::vector<int>{1, 0} : std::vector<int>{1})
            for (const char* view : {"A1", "A3"}) {
                std::string block;
                findStandardItemBlock(db, fromUtf8(pp.first), fromUtf8(pp.second), installWay, view, block);
                EXPECT_FALSE(block.empty()) << pp.first << "-" << pp.second << "-" << installWay << "-" << view;
            }
    }
    std::string normal, reversed;
    findStandardItemBlock(db, L"导柱", L"B板", 1, "A1", normal);
    findStandardItemBlock(db, L"导柱", L"B板", 0, "A1", reversed);
    EXPECT_NE(normal, reversed);

    // Every lock is drawn in both views.
    for (const wchar_t* plate : {L"A板", L"B板"})
        for (const wchar_t* size : {L"TL-035", L"TL-050", L"TL-075", L"GTL-035", L"GTL-050", L"GTL-075"})
            for (const char* view : {"A1", "A3"}) {
                std::string block;
                findStandardItemBlock(db, size, plate, 1, view, block);
                EXPECT_FALSE(block.empty()) << toUtf8(size) << "-" << view;
            }
}

TEST_F(ShippedCatalogue, HoleFormsTellHowEachBlockIsMachined) {
    // 3035: the B plate's 30 guide pillar seats, through, the head (35 + 1)
    // counterbored 8 deep into the underside; its bottom clamp screws M12
    // tapped 18 deep from the underside; the eyebolts M12 from a side face.
    HoleForm f;
    ASSERT_TRUE(findHoleForm(db, L"GP", 30, 60, f));
    EXPECT_EQ(f.kind, L"hole");
    EXPECT_EQ(f.face, L"bottom");
    EXPECT_TRUE(f.through);
    EXPECT_EQ(f.bore, 30);
    EXPECT_EQ(f.cbDia, 36);
    EXPECT_EQ(f.cbDepth, 8);
    ASSERT_TRUE(findHoleForm(db, L"STU", 12, 60, f));
    EXPECT_TRUE(f.threaded);
    EXPECT_FALSE(f.through);
    EXPECT_EQ(f.depth, 18);
    EXPECT_GT(f.drillDepth, f.depth);
    EXPECT_EQ(f.tapDrill, 10.2);
    ASSERT_TRUE(findHoleForm(db, L"EB", 12, 60, f));
    EXPECT_EQ(f.face, L"side");
    // No such plate thickness: no form, and the one passed stays.
    EXPECT_FALSE(findHoleForm(db, L"GP", 30, 61, f));
    EXPECT_EQ(f.face, L"side");
}

TEST_F(ShippedCatalogue, EyeboltsStayOnThePlateEdgesClearOfTheLocks) {
    for (const std::wstring& code : codes()) {
        for (const std::wstring& style : {std::wstring(L"SAI"), std::wstring(L"SBH")}) {
            for (CatalogueRow row : loadPlateList(db, toAnsi(style), toAnsi(code))) {
                std::vector<int32_t> ab;
                listThicknessOptions(db, toAnsi(code), "ABPLATE_H", ab);
                const bool locked = row.plateName == L"A板" || row.plateName == L"B板";
                if (locked) row.thickness = ab.back();
                std::vector<EyeboltPlacement> p;
                computeEyeboltPlacements(db, row, p);
                const std::string where = toUtf8(code + L" " + row.plateName);
                // Plates of 200 and wider are lifted by their A and B plates.
                if (locked && row.width >= 200) {
                    EXPECT_GE(p.size(), 4u) << where;
                }
                for (const EyeboltPlacement& e : p) {
                    const int thread = std::stoi(toUtf8(e.size));
                    EXPECT_GE(thread, 10) << where;
                    EXPECT_LE(thread, 30) << where;
                    const bool onEnd = std::fabs(std::fabs(e.y) - row.length / 2) < 1e-9 && std::fabs(e.x) < row.width / 2;
                    const bool onSide = std::fabs(std::fabs(e.x) - row.width / 2) < 1e-9 && std::fabs(e.y) < row.length / 2;
                    EXPECT_TRUE(onEnd || onSide) << where;
                    // The middle of every edge of the A and B plates is a lock's place.
                    if (locked) {
                        EXPECT_NE(0, onEnd ? e.x : e.y) << where;
                    }
                }
            }
        }
    }
}
