// The order list's statements. Like every query of the catalogue they finalize
// their statements on every path and never throw.
#include "catalogue/order_queries.h"

#include <algorithm>

#include <memory>
#include <string_view>

#include "catalogue/catalogue_queries.h"
#include "catalogue/catalogue_statement.h"

using catalogue_detail::quoted;
using catalogue_detail::Statement;

namespace {

// A text column; the rules' many plain ASCII values (codes, steels, series)
// need no code page conversion.
std::wstring textOf(const Statement& s, int column) {
    const std::string_view bytes = s.view(column);
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return fromUtf8(std::string(bytes));
    return std::wstring(bytes.begin(), bytes.end());
}

// The texts of a statement whose rows repeat a few names (plates, processes,
// parts, formulas): each distinct text is made wide once.
class Texts {
public:
    const std::wstring& of(const Statement& s, int column) {
        const std::string_view bytes = s.view(column);
        auto known = m_known.find(bytes);
        return known != m_known.end() ? known->second : m_known.emplace(std::string(bytes), textOf(s, column)).first->second;
    }

private:
    std::map<std::string, std::wstring, std::less<>> m_known;
};

}  // namespace

CatalogueSnapshot::CatalogueSnapshot(CatalogueDb& catalogue) : m_catalogue(catalogue) {
    m_begun = catalogue.isOpen() && sqlite3_exec(catalogue.handle(), "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
}

CatalogueSnapshot::~CatalogueSnapshot() {
    if (m_begun && m_catalogue.isOpen()) sqlite3_exec(m_catalogue.handle(), "COMMIT", nullptr, nullptr, nullptr);
}

std::vector<PlateMaterialRule> loadPlateMaterials(CatalogueDb& catalogue) {
    std::vector<PlateMaterialRule> rules;
    Statement s(catalogue, L"select platename, material, pocketed from BOM_PLATE_MATERIAL");
    while (s.next()) rules.push_back({textOf(s, 0), textOf(s, 1), textOf(s, 2)});
    return rules;
}

std::vector<StandardPartRule> loadStandardPartRules(CatalogueDb& catalogue, const std::wstring& style,
                                                    std::set<std::wstring>& partNames) {
    // A handful of rows: sorted here rather than by a sorter in the statement.
    std::vector<std::pair<std::pair<int32_t, int64_t>, StandardPartRule>> rows;
    Statement s(catalogue, L"select sortorder, proc_name, platename, model, installway, partname, thread, size, "
                           L"endthread, length, engage, reach, rounding, counting, material, rowid from BOM_STANDARD_PART");
    while (s.next()) {
        StandardPartRule r;
        r.partName = textOf(s, 5);
        partNames.insert(r.partName);
        r.model = textOf(s, 3);
        if (!r.model.empty() && (L"," + r.model + L",").find(L"," + style + L",") == std::wstring::npos) continue;
        r.sortOrder = s.integer(0);
        r.process = textOf(s, 1);
        r.plateName = textOf(s, 2);
        r.installWay = s.integer(4);
        r.thread = s.integer(6) != 0;
        r.size = textOf(s, 7);
        r.endThread = textOf(s, 8);
        r.length = textOf(s, 9);
        r.engage = textOf(s, 10);
        r.reach = textOf(s, 11);
        r.rounding = textOf(s, 12);
        r.counting = textOf(s, 13);
        r.material = textOf(s, 14);
        rows.emplace_back(std::make_pair(r.sortOrder, s.integer64(15)), std::move(r));
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<StandardPartRule> rules;
    for (auto& row : rows) rules.push_back(std::move(row.second));
    return rules;
}

std::map<std::wstring, std::vector<double>> loadLengthSeries(CatalogueDb& catalogue) {
    std::map<std::wstring, std::vector<double>> series;
    Statement s(catalogue, L"select series, length from BOM_LENGTH_SERIES");
    while (s.next()) series[textOf(s, 0)].push_back(s.real(1));
    for (auto& lengths : series) std::sort(lengths.second.begin(), lengths.second.end());
    return series;
}

std::vector<StackFigureRule> loadStackFigures(CatalogueDb& catalogue) {
    std::vector<std::pair<std::pair<int32_t, int64_t>, StackFigureRule>> rows;
    Statement s(catalogue, L"select sortorder, name, formula, note, rowid, model from BOM_STACK_FIGURE");
    const bool styled = s.prepared();
    Statement unstyled(catalogue, styled ? std::wstring() :
                                           L"select sortorder, name, formula, note, rowid from BOM_STACK_FIGURE");
    Statement& rule = styled ? s : unstyled;
    while (rule.next())
        rows.push_back({{rule.integer(0), rule.integer64(4)},
                        {textOf(rule, 1), textOf(rule, 2), textOf(rule, 3), styled ? textOf(rule, 5) : L""}});
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<StackFigureRule> figures;
    for (auto& row : rows) figures.push_back(std::move(row.second));
    return figures;
}

std::map<std::wstring, double> loadPartSizes(CatalogueDb& catalogue, const std::wstring& mouldCode) {
    std::map<std::wstring, double> sizes;
    Statement s(catalogue, L"select name, value from BOM_PART_SIZE where MCODE=" + quoted(mouldCode));
    while (s.next()) sizes[textOf(s, 0)] = s.real(1);
    return sizes;
}

std::map<std::wstring, std::wstring> loadItemBlockStems(CatalogueDb& catalogue, const std::wstring& itemType,
                                                        const std::vector<std::wstring>& plates) {
    std::map<std::wstring, std::wstring> stems;
    std::string item, plate;
    if (plates.empty() || !tryToUtf8(itemType, item)) return stems;
    // Through the table's key: plate, item, install way, view.
    Statement s(catalogue, L"select blockname from STANDITEMBLOCKSETUP where PLATENAME=? and ITEMTYPENAME=? and "
                           L"INSTALLWAY=1 and FACEDIR='A1' and blockname like '%-A1'");
    for (const std::wstring& name : plates) {
        if (!tryToUtf8(name, plate)) continue;
        s.reset();
        s.bind(1, plate);
        s.bind(2, item);
        if (!s.next()) continue;
        const std::wstring block = textOf(s, 0);
        stems[name] = block.substr(0, block.size() - 3);
    }
    return stems;
}

namespace {

// The form columns of HOLE_FORM from column `first` of a statement's row.
HoleForm holeFormAt(const Statement& s, int first) {
    HoleForm form;
    form.kind = textOf(s, first);
    form.face = textOf(s, first + 1);
    form.bore = s.real(first + 2);
    form.threaded = s.integer(first + 3) != 0;
    form.tapDrill = s.real(first + 4);
    form.through = s.integer(first + 5) != 0;
    form.depth = s.real(first + 6);
    form.drillDepth = s.real(first + 7);
    form.cbDia = s.real(first + 8);
    form.cbDepth = s.real(first + 9);
    return form;
}

const wchar_t* const kHoleFormColumns =
    L"kind, face, bore, threaded, tapdrill, through, depth, drilldepth, cbdia, cbdepth from HOLE_FORM "
    L"indexed by BOM_HOLE_FORM_COVERING ";

}  // namespace

std::map<HoleFormKey, HoleForm> loadHoleForms(CatalogueDb& catalogue, const std::set<HoleFormKey>& keys) {
    std::map<HoleFormKey, HoleForm> forms;
    if (keys.empty()) return forms;
    // Each key through the catalogue's key index: the row of the plate's
    // thickness, else (a thickness no drawing was made for) the nearest one.
    Statement exact(catalogue, L"select " + std::wstring(kHoleFormColumns) +
                                   L"where blockstem=? and diameter=? and thickness=?");
    std::unique_ptr<Statement> nearest;
    std::string stem;
    for (const HoleFormKey& key : keys) {
        if (!tryToUtf8(std::get<0>(key), stem)) continue;
        Statement* s = &exact;
        for (int pass = 0; pass < 2; ++pass) {
            s->reset();
            s->bind(1, stem);
            s->bind(2, std::get<1>(key));
            s->bind(3, std::get<2>(key));
            if (s->next()) {
                forms.emplace(key, holeFormAt(*s, 0));
                break;
            }
            if (!nearest)
                nearest = std::make_unique<Statement>(
                    catalogue, L"select " + std::wstring(kHoleFormColumns) +
                                   L"where blockstem=? and diameter=? order by abs(thickness - ?) limit 1");
            s = nearest.get();
        }
    }
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

namespace {

// A plain decimal number at p ("-386.5", "12"), moving p past it. A value
// made of at most 15 digits over a power of ten up to 10^15 is the exact
// quotient of two exact doubles: the same value a full conversion gives.
bool readDecimal(const char*& p, const char* end, double& value) {
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    long long digits = 0;
    int count = 0, decimals = 0;
    bool point = false;
    for (; p < end && ((*p >= '0' && *p <= '9') || (*p == '.' && !point)); ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        if (++count > 15) return false;
        digits = digits * 10 + (*p - '0');
        if (point) ++decimals;
    }
    if (count == 0) return false;
    static const double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    value = static_cast<double>(digits) / kPowers[decimals];
    if (negative) value = -value;
    return true;
}

// The holes of a hole set's text, "n:x,y;n:x,y"; false for text that is not such a list.
bool readHoleSet(std::string_view text, std::vector<CatalogueHoleSet::Position>& holes) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        double number = 0, x = 0, y = 0;
        for (double* value : {&number, &x, &y}) {
            if (!readDecimal(p, end, *value)) return false;
            const char separator = value == &number ? ':' : value == &x ? ',' : ';';
            if (p < end && *p++ != separator) return false;
        }
        holes.push_back({static_cast<int32_t>(number), x, y});
    }
    return true;
}

}  // namespace

namespace {

// Whether text holds part, ASCII letters in either case, as SQL's LIKE '%part%' finds it.
bool holdsLike(std::string_view text, std::string_view part) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t at = 0; at + part.size() <= text.size(); ++at) {
        size_t i = 0;
        while (i < part.size() && lower(text[at + i]) == lower(part[i])) ++i;
        if (i == part.size()) return true;
    }
    return false;
}

}  // namespace

std::vector<CatalogueHoleSet> loadMachiningHoles(CatalogueDb& catalogue, const std::wstring& style,
                                                 const std::wstring& mouldCode, const std::wstring& ejectorGuide,
                                                 bool reversedPillars) {
    std::vector<CatalogueHoleSet> sets;
    std::wstring modelId = mouldCode;
    for (wchar_t& c : modelId)
        if (c == L'M') c = L'0';
    std::string styleName, eyeboltProcess, ejectorGuideProcess;
    if (!tryToUtf8(style, styleName) || !tryToUtf8(L"拉令孔", eyeboltProcess) ||
        !tryToUtf8(L"针板边", ejectorGuideProcess))
        return sets;
    const std::string series = styleName.substr(0, 1);
    const bool withoutEjectorGuides = ejectorGuide == L"无";
    // The mould code's hole sets (BOM_HOLE_SET) in the drawing's group order,
    // taken as the drawing's statement for one plate takes its rows: the
    // style's series and model, no eyebolt holes, the ejector guides only
    // where the base has them.
    Statement s(catalogue, std::wstring(L"select plate_name, proc_name, style, model, dmin, dmax, nominal, ") +
                               (reversedPillars ? L"reversedstem" : L"blockstem") +
                               L", holes from BOM_HOLE_SET where model_id=" + quoted(modelId) +
                               L" order by proc_id, proc_name, plate_name");
    Texts names;
    while (s.next()) {
        const std::string_view process = s.view(1), model = s.view(3);
        if (!holdsLike(s.view(2), series) || !(model.empty() || holdsLike(model, styleName)) ||
            process == eyeboltProcess || (withoutEjectorGuides && process == ejectorGuideProcess))
            continue;
        CatalogueHoleSet set;
        set.plateName = names.of(s, 0);
        set.process = names.of(s, 1);
        set.d = s.real(4);
        set.D = s.real(5);
        set.nominal = s.integer(6);
        set.blockStem = names.of(s, 7);
        // A set the catalogue spells wrongly lists no hole rather than wrong ones.
        if (!readHoleSet(s.view(8), set.holes)) set.holes.clear();
        sets.push_back(std::move(set));
    }
    return sets;
}
