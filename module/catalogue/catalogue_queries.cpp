// The catalogue queries. Each one prepares, steps and finalizes its own
// statements before it returns, on every path (the block look-up keeps its
// statement with the connection and resets it); none throws.
#include "catalogue/catalogue_queries.h"

#include <cwctype>
#include <new>

#include "catalogue/catalogue_statement.h"

namespace {

using catalogue_detail::quoted;
using catalogue_detail::Statement;

// The size row of a mould code, and the sizes of one plate on it.
Statement plateSizeStatement(CatalogueDb& catalogue, const std::string& mouldCode);
void plateSizes(const Statement& s, const std::wstring& plateName, double& thickness, double& width, double& length);

// A column name is spliced into a statement unquoted: only a plain name is taken.
bool isPlainName(const std::wstring& name) {
    if (name.empty() || !(std::iswalpha(name[0]) || name[0] == L'_')) return false;
    for (wchar_t c : name)
        if (!(c < 128 && (std::iswalnum(c) || c == L'_'))) return false;
    return true;
}

}  // namespace

const wchar_t* const kSideGateSeries = L"大水口";
const wchar_t* const kPinPointSeries = L"细水口";

namespace {

// Runs a series' statement; where the catalogue has no series tables, the
// side-gate series is the whole catalogue (the statement without the series).
void listOfSeries(CatalogueDb& catalogue, const std::wstring& series, const std::wstring& ofSeries,
                  const std::wstring& whole, std::vector<std::wstring>& list) {
    Statement s(catalogue, ofSeries);
    if (!s.prepared()) {
        if (series != kSideGateSeries) return;
        Statement all(catalogue, whole);
        while (all.next()) list.push_back(all.text(0));
        return;
    }
    while (s.next()) list.push_back(s.text(0));
}

}  // namespace

void listMouldTypes(CatalogueDb& catalogue, const std::wstring& series, std::vector<std::wstring>& list) {
    listOfSeries(catalogue, series,
                 L"select MTYPE from  MODEL_PLATE_LIST where MTYPE in (select MTYPE from MODE_SERIES_TYPE where SERIES=" +
                     quoted(series) + L") group by MTYPE order by MTYPE",
                 L"select MTYPE from  MODEL_PLATE_LIST group by MTYPE order by MTYPE", list);
}

void listMouldCodes(CatalogueDb& catalogue, const std::wstring& series, std::vector<std::wstring>& list) {
    listOfSeries(catalogue, series,
                 L"select MCODE FROM  MODE_PLATE_SIZE where MCODE in (select MCODE from MODE_SERIES_CODE where SERIES=" +
                     quoted(series) + L") order by rowid",
                 L"select MCODE FROM  MODE_PLATE_SIZE  order by rowid", list);
}

std::vector<CatalogueRow> loadPlateList(CatalogueDb& catalogue, const std::string& mouldType,
                                        const std::string& mouldCode) {
    std::vector<CatalogueRow> rows;
    Statement s(catalogue, L"select mtype,platename,slocation,sortnumber from modeL_PLATE_LIST  WHERE MTYPE=" +
                               quoted(fromAnsi(mouldType)));
    // Every plate's sizes come from the code's one size row, read once: the
    // same row lookupPlateSize reads for each plate.
    Statement size = plateSizeStatement(catalogue, mouldCode);
    const bool sized = size.next();
    while (s.next()) {
        CatalogueRow row;
        row.mouldType = s.text(0);
        row.plateName = s.text(1);
        row.location = s.text(2);
        row.sortNumber = s.integer(3);
        row.mouldCode = fromAnsi(mouldCode);
        if (sized) plateSizes(size, row.plateName, row.thickness, row.width, row.length);
        rows.push_back(row);
    }
    return rows;
}

bool lookupPlateSize(CatalogueDb& catalogue, const std::string& mouldCode, const std::wstring& plateName,
                     double& thickness, double& width, double& length) {
    thickness = width = length = -1;
    Statement s = plateSizeStatement(catalogue, mouldCode);
    if (!s.next()) return false;
    plateSizes(s, plateName, thickness, width, length);
    return true;
}

namespace {

Statement plateSizeStatement(CatalogueDb& catalogue, const std::string& mouldCode) {
    return Statement(catalogue,
                     L"select mcode,sapw,sapl,abplate_h,fplate_h,stph,suph,ssbw,erpw,erph,ejph,tpih,bpih,tpiw from "
                     L"mode_plate_size  where mcode=" +
                         quoted(fromAnsi(mouldCode)));
}

void plateSizes(const Statement& s, const std::wstring& plateName, double& thickness, double& width,
                double& length) {
    length = s.real(2);

    // The plates whose thickness the size table fixes. "面针" (not "面针板": the
    // ejector retainer plate's thickness is chosen in the dialog) reads erph.
    int thicknessColumn = -1;
    if (plateName == L"成品推板") thicknessColumn = 5;
    else if (plateName == L"托板") thicknessColumn = 6;
    else if (plateName == L"面针") thicknessColumn = 9;
    else if (plateName == L"底针板") thicknessColumn = 10;
    else if (plateName == L"工面" || plateName == L"直身面板") thicknessColumn = 11;
    else if (plateName == L"工底" || plateName == L"直身底板") thicknessColumn = 12;
    thickness = thicknessColumn < 0 ? -1 : s.real(thicknessColumn);

    int widthColumn = 1;
    if (plateName == L"工面" || plateName == L"工底") widthColumn = 13;
    else if (plateName == L"方铁L" || plateName == L"方铁R") widthColumn = 7;
    else if (plateName == L"面针板" || plateName == L"底针板") widthColumn = 8;
    width = s.real(widthColumn);
}

}  // namespace

bool listThicknessOptions(CatalogueDb& catalogue, const std::string& mouldCode, const std::string& column,
                          std::vector<int32_t>& options) {
    const std::wstring columnName = fromAnsi(column);
    if (!isPlainName(columnName)) return false;
    std::wstring valueCode;
    {
        Statement s(catalogue, L"select  " + columnName + L" from mode_plate_size where MCODE=" +
                                   quoted(fromAnsi(mouldCode)));
        if (!s.prepared()) return false;
        while (s.next()) {
            // A number fixes the thickness for this code; any other text names
            // the value code of its choices.
            int32_t value = s.integer(0);
            if (value != 0) {
                options.push_back(value);
                return true;
            }
            valueCode = s.text(0);
        }
    }
    Statement s(catalogue, L"select SVALUE from plate_thick_setup  WHERE VATCODE=" + quoted(valueCode));
    if (!s.prepared()) return false;
    while (s.next()) options.push_back(s.integer(0));
    return true;
}

bool findStandardItemBlock(CatalogueDb& catalogue, const std::wstring& itemTypeName, const std::wstring& plateName,
                           int32_t installWay, const std::string& faceDir, std::string& blockName) {
    // Asked for every process of every plate view: the statement is kept with
    // the connection and only its values change.
    Statement s(catalogue,
                "SELECT blockname FROM STANDITEMBLOCKSETUP WHERE PLATENAME=? and ITEMTYPENAME=? AND INSTALLWAY=? "
                "AND FACEDIR=?",
                Statement::Kept{});
    std::string plate, item, face;
    // A name that cannot be written as UTF-8 names no row.
    if (!tryToUtf8(plateName, plate) || !tryToUtf8(itemTypeName, item) || !tryToUtf8(fromAnsi(faceDir), face))
        return true;
    s.bind(1, plate);
    s.bind(2, item);
    s.bind(3, installWay);
    s.bind(4, face);
    // The caller decodes the name with fromAnsi, so it is handed back in the
    // system code page rather than as SQLite's UTF-8 (the same bytes for the
    // catalogue's ASCII block names).
    while (s.next()) blockName = toAnsi(s.text(0));
    return true;
}

bool findHoleForm(CatalogueDb& catalogue, const std::wstring& blockStem, int32_t diameter, int32_t thickness,
                  HoleForm& form) {
    Statement s(catalogue, L"SELECT kind, face, bore, threaded, tapdrill, through, depth, drilldepth, cbdia, cbdepth"
                           L" FROM HOLE_FORM WHERE blockstem=" + quoted(blockStem) + L" AND diameter=" +
                               std::to_wstring(diameter) + L" AND thickness=" + std::to_wstring(thickness));
    if (!s.next()) return false;
    form.kind = s.text(0);
    form.face = s.text(1);
    form.bore = s.real(2);
    form.threaded = s.integer(3) != 0;
    form.tapDrill = s.real(4);
    form.through = s.integer(5) != 0;
    form.depth = s.real(6);
    form.drillDepth = s.real(7);
    form.cbDia = s.real(8);
    form.cbDepth = s.real(9);
    return true;
}

void listLockFit(CatalogueDb& catalogue, const std::string& mouldCode, const std::string& mouldType, LockFit& fit) {
    fit.clear();
    Statement s(catalogue, L"select size, edges from MODE_LOCK_FIT where MCODE=" + quoted(fromAnsi(mouldCode)) +
                               L" and MTYPE=" + quoted(fromAnsi(mouldType)));
    while (s.next()) fit[s.text(0)].insert(s.text(1));
}

bool lockFitsSides(const LockFit& fit, const std::wstring& size, const std::vector<std::wstring>& sides) {
    auto edges = fit.find(size);
    if (edges == fit.end()) return false;
    for (const std::wstring& side : sides) {
        const wchar_t* pair = (side == L"T" || side == L"B") ? L"TB" : L"LR";
        if (edges->second.count(pair) == 0) return false;
    }
    return true;
}

std::string sizeRangeKey(const std::wstring& mouldCode) {
    if (mouldCode.size() < 4) return std::string();
    const std::wstring widthChars = mouldCode.substr(0, 2);
    const std::wstring lengthChars = mouldCode.substr(2, 2);
    std::wstring key = widthChars.find(L'M') != std::wstring::npos ? L"1000" : widthChars + L"0";
    if (lengthChars == L"10" || lengthChars == L"11" || lengthChars == L"12" || lengthChars == L"13" ||
        lengthChars == L"14")
        key += lengthChars + L"00";
    else
        key += L"0" + lengthChars + L"0";
    for (wchar_t c : key)
        if (c < L'0' || c > L'9') return std::string();
    return toAnsi(key);
}

bool computeEyeboltPlacements(CatalogueDb& catalogue, CatalogueRow row, std::vector<EyeboltPlacement>& placements) {
    const std::string key = sizeRangeKey(row.mouldCode);
    if (key.empty()) return true;
    const std::wstring range = L" " + fromAnsi(key) + L"  between mcodef and mcodet  ";

    std::wstring size;
    {
        Statement s(catalogue, L"SELECT  count(*), itemvalue  FROM MODE_EYEBOLT_INFO where " + range +
                                   L" and platename=" + quoted(row.plateName));
        if (!s.next() || s.integer(0) == 0) return true;
        size = s.text(1);
    }
    if (row.plateName != L"A板" && row.plateName != L"B板") {
        layoutEyebolts(size, row.width, row.length, 0, 2, placements);
        return true;
    }
    {
        Statement s(catalogue,
                    L"SELECT  count(*),attribute1, attribute2, attribute3, attribute4 FROM MODE_LALING_SETUP where " +
                        range + L" and GROUPCODE='A' ");
        while (s.next()) {
            if (s.integer(0) <= 0) continue;
            // Thicker plates than the threshold carry the fuller pattern; the
            // offset keeps the eyebolts off the edge middles, where locks sit.
            int32_t pattern = s.integer(1) < row.thickness ? s.integer(4) : s.integer(3);
            layoutEyebolts(size, row.width, row.length, s.real(2), pattern, placements);
            return true;
        }
    }
    double movex = 0;
    {
        Statement s(catalogue, L"SELECT count(*),GROUPCODE,attribute2 movex,attribute4 FROM MODE_LALING_SETUP where " +
                                   range + L" and GROUPCODE IN('B','C') ");
        bool found = false;
        int32_t pattern = 2;
        while (s.next()) {
            found = s.integer(0) > 0;
            movex = s.real(2);
            pattern = s.integer(3);
        }
        if (found) {
            layoutEyebolts(size, row.width, row.length, movex, pattern, placements);
            return true;
        }
    }
    layoutEyebolts(size, row.width, row.length, movex, 2, placements);
    return true;
}

void layoutEyebolts(const std::wstring& size, double width, double length, double offsetX, int32_t pattern,
                    std::vector<EyeboltPlacement>& placements) {
    const double w = width / 2, l = length / 2, x = offsetX;
    placements.clear();
    auto add = [&](double px, double py, double angle) { placements.push_back({size, px, py, angle}); };
    // An eyebolt in the middle of an edge, or, with an offset, a pair either
    // side of it: the middle is where a side lock sits.
    auto middle = [&](double px, double py, double angle) {
        if (!(x > 0)) return add(px, py, angle);
        if (py != 0) {
            add(x, py, angle);
            add(-x, py, angle);
        } else {
            add(px, x, angle);
            add(px, -x, angle);
        }
    };
    switch (pattern) {
    case 2:
        middle(0, l, 180);
        middle(0, -l, 0);
        break;
    case 4:
        middle(0, l, 180);
        middle(0, -l, 0);
        middle(w, 0, 90);
        middle(-w, 0, -90);
        break;
    case 6:
        add(x, l, 180);
        add(-x, l, 180);
        add(x, -l, 0);
        add(-x, -l, 0);
        middle(w, 0, 90);
        middle(-w, 0, -90);
        break;
    default:
        break;
    }
}
