// The order list's statements. Like every query of the catalogue they finalize
// their statements on every path and never throw.
#include "catalogue/order_queries.h"

#include <climits>
#include <cstdlib>

#include "catalogue/catalogue_queries.h"
#include "catalogue/catalogue_statement.h"

using catalogue_detail::quoted;
using catalogue_detail::Statement;

namespace {

// A text column; the rules' many plain ASCII values (codes, steels, series)
// need no code page conversion.
std::wstring textOf(const Statement& s, int column) {
    const std::string bytes = s.bytes(column);
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return fromUtf8(bytes);
    return std::wstring(bytes.begin(), bytes.end());
}

}  // namespace

std::vector<PlateMaterialRule> loadPlateMaterials(CatalogueDb& catalogue) {
    std::vector<PlateMaterialRule> rules;
    Statement s(catalogue, L"select platename, material, pocketed from BOM_PLATE_MATERIAL");
    while (s.next()) rules.push_back({textOf(s, 0), textOf(s, 1), textOf(s, 2)});
    return rules;
}

std::vector<StandardPartRule> loadStandardPartRules(CatalogueDb& catalogue) {
    std::vector<StandardPartRule> rules;
    Statement s(catalogue,
                L"select sortorder, proc_name, platename, model, installway, partname, thread, size, endthread, "
                L"length, engage, reach, rounding, counting, material from BOM_STANDARD_PART order by sortorder, rowid");
    while (s.next()) {
        StandardPartRule r;
        r.sortOrder = s.integer(0);
        r.process = textOf(s, 1);
        r.plateName = textOf(s, 2);
        r.model = textOf(s, 3);
        r.installWay = s.integer(4);
        r.partName = textOf(s, 5);
        r.thread = s.integer(6) != 0;
        r.size = textOf(s, 7);
        r.endThread = textOf(s, 8);
        r.length = textOf(s, 9);
        r.engage = textOf(s, 10);
        r.reach = textOf(s, 11);
        r.rounding = textOf(s, 12);
        r.counting = textOf(s, 13);
        r.material = textOf(s, 14);
        rules.push_back(r);
    }
    return rules;
}

std::map<std::wstring, std::vector<double>> loadLengthSeries(CatalogueDb& catalogue) {
    std::map<std::wstring, std::vector<double>> series;
    Statement s(catalogue, L"select series, length from BOM_LENGTH_SERIES order by series, length");
    while (s.next()) series[textOf(s, 0)].push_back(s.real(1));
    return series;
}

std::vector<StackFigureRule> loadStackFigures(CatalogueDb& catalogue) {
    std::vector<StackFigureRule> figures;
    Statement s(catalogue, L"select name, formula, note from BOM_STACK_FIGURE order by sortorder, rowid");
    while (s.next()) figures.push_back({textOf(s, 0), textOf(s, 1), textOf(s, 2)});
    return figures;
}

std::map<std::wstring, double> loadPartSizes(CatalogueDb& catalogue, const std::wstring& mouldCode) {
    std::map<std::wstring, double> sizes;
    Statement s(catalogue, L"select name, value from BOM_PART_SIZE where MCODE=" + quoted(mouldCode));
    while (s.next()) sizes[textOf(s, 0)] = s.real(1);
    return sizes;
}

std::map<HoleBlockKey, std::wstring> loadHoleBlockStems(CatalogueDb& catalogue) {
    std::map<HoleBlockKey, std::wstring> stems;
    Statement s(catalogue, L"select PLATENAME, ITEMTYPENAME, INSTALLWAY, blockname from STANDITEMBLOCKSETUP "
                           L"where FACEDIR='A1' and blockname like '%-A1'");
    while (s.next()) {
        const std::wstring block = textOf(s, 3);
        stems[HoleBlockKey(s.text(0), s.text(1), s.integer(2))] = block.substr(0, block.size() - 3);
    }
    return stems;
}

namespace {

// Reads the forms of a statement's rows (blockstem, diameter, thickness, then
// the form's columns) into forms by the key each row is nearest to.
void readHoleForms(Statement& s, const std::set<HoleFormKey>& keys, std::map<HoleFormKey, HoleForm>& forms) {
    std::map<HoleFormKey, int32_t> distance;
    while (s.next()) {
        const std::wstring stem = textOf(s, 0);
        const int32_t diameter = s.integer(1), thickness = s.integer(2);
        for (auto key = keys.lower_bound(HoleFormKey(stem, diameter, INT32_MIN));
             key != keys.end() && std::get<0>(*key) == stem && std::get<1>(*key) == diameter; ++key) {
            const int32_t off = std::abs(thickness - std::get<2>(*key));
            auto known = distance.find(*key);
            if (known != distance.end() && known->second <= off) continue;
            distance[*key] = off;
            HoleForm& form = forms[*key];
            form.kind = textOf(s, 3);
            form.face = textOf(s, 4);
            form.bore = s.real(5);
            form.threaded = s.integer(6) != 0;
            form.tapDrill = s.real(7);
            form.through = s.integer(8) != 0;
            form.depth = s.real(9);
            form.drillDepth = s.real(10);
            form.cbDia = s.real(11);
            form.cbDepth = s.real(12);
        }
    }
}

const wchar_t* const kHoleFormColumns =
    L"select blockstem, diameter, thickness, kind, face, bore, threaded, tapdrill, through, depth, drilldepth, "
    L"cbdia, cbdepth from HOLE_FORM where ";

}  // namespace

std::map<HoleFormKey, HoleForm> loadHoleForms(CatalogueDb& catalogue, const std::set<HoleFormKey>& keys) {
    std::map<HoleFormKey, HoleForm> forms;
    if (keys.empty()) return forms;
    std::wstring exact;
    for (const HoleFormKey& key : keys)
        exact += std::wstring(exact.empty() ? L"" : L" or ") + L"(blockstem=" + quoted(std::get<0>(key)) +
                 L" and diameter=" + std::to_wstring(std::get<1>(key)) + L" and thickness=" +
                 std::to_wstring(std::get<2>(key)) + L")";
    {
        Statement s(catalogue, kHoleFormColumns + exact);
        readHoleForms(s, keys, forms);
    }
    if (forms.size() == keys.size()) return forms;
    // A thickness the catalogue has no drawing for: every thickness of the block and diameter.
    std::set<HoleFormKey> missing;
    std::wstring any;
    for (const HoleFormKey& key : keys) {
        if (forms.count(key) != 0) continue;
        missing.insert(key);
        any += std::wstring(any.empty() ? L"" : L" or ") + L"(blockstem=" + quoted(std::get<0>(key)) +
               L" and diameter=" + std::to_wstring(std::get<1>(key)) + L")";
    }
    Statement s(catalogue, kHoleFormColumns + any);
    readHoleForms(s, missing, forms);
    return forms;
}

std::map<std::wstring, std::vector<EyeboltPlacement>> loadEyeboltPlacements(CatalogueDb& catalogue,
                                                                             const std::vector<CatalogueRow>& plates) {
    std::map<std::wstring, std::vector<EyeboltPlacement>> placements;
    if (plates.empty()) return placements;
    const std::string key = sizeRangeKey(plates.front().mouldCode);
    if (key.empty()) return placements;
    const std::wstring range = L" " + fromAnsi(key) + L" between mcodef and mcodet";
    // A plate's eyebolt size; the ranges of one plate never overlap.
    std::map<std::wstring, std::wstring> sizes;
    Statement info(catalogue, L"select platename, itemvalue from MODE_EYEBOLT_INFO where" + range);
    while (info.next()) sizes.emplace(info.text(0), info.text(1));
    if (sizes.empty()) return placements;

    // The A and B plates' patterns: group A by the plate's thickness (its pairs
    // off the edge middles by attribute2), else the last B or C row with its
    // sideways offset, else two end-face eyebolts.
    bool groupA = false, groupBC = false;
    int32_t threshold = 0, thin = 2, thick = 2, pattern = 2;
    double offsetA = 0, movex = 0;
    Statement laling(catalogue, L"select GROUPCODE, attribute1, attribute2, attribute3, attribute4 from "
                                L"MODE_LALING_SETUP where" + range + L" and GROUPCODE in ('A','B','C') order by rowid");
    while (laling.next()) {
        if (laling.text(0) == L"A") {
            if (groupA) continue;  // the first group A row decides
            groupA = true;
            threshold = laling.integer(1);
            offsetA = laling.real(2);
            thin = laling.integer(3);
            thick = laling.integer(4);
        } else {
            groupBC = true;
            movex = laling.real(2);
            pattern = laling.integer(4);
        }
    }
    for (const CatalogueRow& row : plates) {
        auto size = sizes.find(row.plateName);
        if (size == sizes.end()) continue;
        std::vector<EyeboltPlacement>& out = placements[row.plateName];
        if (row.plateName != L"A板" && row.plateName != L"B板")
            layoutEyebolts(size->second, row.width, row.length, 0, 2, out);
        else if (groupA)
            layoutEyebolts(size->second, row.width, row.length, offsetA, threshold < row.thickness ? thick : thin,
                           out);
        else
            layoutEyebolts(size->second, row.width, row.length, movex, groupBC ? pattern : 2, out);
    }
    return placements;
}

std::vector<CatalogueHoleStep> loadMachiningHoleSteps(CatalogueDb& catalogue, const std::wstring& style,
                                                      const std::wstring& mouldCode, const std::wstring& ejectorGuide) {
    std::wstring modelId = mouldCode;
    for (wchar_t& c : modelId)
        if (c == L'M') c = L'0';
    const std::wstring series = style.empty() ? std::wstring() : style.substr(0, 1);
    // The filters of the drawing's statement for one plate, on the catalogue's
    // steps already folded (BOM_HOLE_STEP), in the drawing's group order.
    Statement s(catalogue, L"select plate_name, proc_name, x, y, diameter, gg_c from BOM_HOLE_STEP where model_id=" +
                               quoted(modelId) + L" and style like " + quoted(L"%" + series + L"%") +
                               L" and (model like " + quoted(L"%" + style + L"%") + L" or model = '')" +
                               (ejectorGuide == L"无" ? L" and proc_name != '针板边'" : L"") +
                               L" and proc_name != '拉令孔' order by proc_id, proc_name, g_c, gg_c, plate_name");
    // A base has a few plate and process names and some hundred steps: each
    // name is made wide once.
    std::map<std::string, std::wstring> names;
    auto name = [&names](const std::string& bytes) -> const std::wstring& {
        auto known = names.find(bytes);
        return known != names.end() ? known->second : names.emplace(bytes, fromUtf8(bytes)).first->second;
    };
    std::vector<CatalogueHoleStep> steps;
    while (s.next())
        steps.push_back({name(s.bytes(0)), name(s.bytes(1)), s.real(2), s.real(3), s.real(4), s.integer(5)});
    return steps;
}
