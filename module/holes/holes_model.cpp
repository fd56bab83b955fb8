// Reading a plate's machining holes. The catalogue stores each hole step as
// one row per parameter (X, Y, diameter); the machining statement pivots them
// into one row per step, and the rows of one hole number become the steps of
// one multi-step hole, ordered by radius.
#include "holes/holes_model.h"

#include <sqlite3.h>

#include <cwchar>
#include <memory>
#include <type_traits>
#include <utility>

#include "afxstub.h"
#include "catalogue/catalogue_db.h"
#include "catalogue/text_conversion.h"
#include "model/drawn_records.h"
#include "resources/module_paths.h"

namespace Models {

namespace {

const wchar_t* const kEyeboltProcess = L"拉令孔";
const wchar_t* const kUpperMould = L"上模";
const wchar_t* const kLowerMould = L"下模";
const wchar_t* const kNoEjectorGuide = L"无";

// The machining statement, its pieces joined by five tabs; the five %s take
// style pattern, model id, plate filter, model filter and ejector edge filter.
const wchar_t* const kStatementPieces[] = {
    L"SELECT",
    L" base_plate_proc_detail.model_id,",
    L" base_proc.proc_id,",
    L" base_proc.proc_name,",
    L" max(case when base_proc_detail.para_name='X值' then base_plate_proc_detail.para_val else -9990 end) hole_X,",
    L" max(case when base_proc_detail.para_name='Y值' then base_plate_proc_detail.para_val else -9990 end) hole_Y,",
    L" max(case when base_proc_detail.para_name='直径' then base_plate_proc_detail.para_val else 0 end) hole_dia,",
    L" g_c,gg_c",
    L" FROM ",
    L" base_plate_proc_detail",
    L" INNER JOIN base_proc_detail ON base_plate_proc_detail.para_id = base_proc_detail.para_id",
    L" INNER JOIN base_proc ON base_proc_detail.proc_id = base_proc.proc_id",
    L" where ",
    L" style like '%s' ",
    L" and model_id='%s' and itemType=1 and (para_name = 'X值' or para_name = 'Y值' or para_name = '直径')",
    L" %s",
    L" %s",
    L" %s",
    L" and proc_name != '拉令孔'",
    L" group by",
    L" base_plate_proc_detail.model_id,",
    L" base_proc.proc_id,",
    L" base_proc.proc_name,",
    L" g_c,gg_c,plate_name",
};

// A text spliced between single quotes keeps its own quotes as doubled quotes,
// so a name can never end the value early.
std::wstring doubledQuotes(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        out += c;
        if (c == L'\'') out += L'\'';
    }
    return out;
}

// Puts the arguments in place of the template's %s in order. The arguments are
// not read again, so their doubled percent signs reach the catalogue as they
// are (where two wildcards match like one).
std::wstring fillTemplate(const std::wstring& text, const std::vector<std::wstring>& arguments) {
    std::wstring out;
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] == L's' && next < arguments.size()) {
            out += arguments[next++];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Finalizes a statement whatever way the reading leaves.
struct StatementGuard {
    sqlite3_stmt* stmt = nullptr;
    ~StatementGuard() { sqlite3_finalize(stmt); }
};

using HoleList = std::vector<std::unique_ptr<StandarHole>>;

// The entry under key, made first when there is none; the map owns the value
// once it is in, and nothing is lost if the map cannot take it.
template <typename Map>
typename Map::mapped_type entryFor(Map& map, const typename Map::key_type& key) {
    auto found = map.find(key);
    if (found != map.end()) return found->second;
    std::unique_ptr<std::remove_pointer_t<typename Map::mapped_type>> fresh(
        new std::remove_pointer_t<typename Map::mapped_type>());
    map.emplace(key, fresh.get());
    return fresh.release();
}

}  // namespace

HolesModel::HolesModel(std::wstring plateSelector, std::wstring style, std::wstring mouldCode,
                       std::wstring ejectorGuide)
    : m_plateSelector(std::move(plateSelector)), m_style(std::move(style)), m_mouldCode(std::move(mouldCode)),
      m_processMap(new ProcessHoleMap) {
    // Read-only: the catalogue is never written, and a missing file must not be
    // created as an empty database beside the module.
    const std::string path = ModulePaths::getCatalogPathUtf8();
    // Within a catalogue reuse scope the model uses the scope's connection, as
    // the design's other catalogue jobs do: opening the file anew would read
    // its schema again for every plate. Otherwise it opens its own; the plates'
    // hole models live side by side, and in one shared cache they read the
    // catalogue's schema once between them, not once each.
    sqlite3* db = borrowSharedConnection(path);
    m_sharedConnection = db != nullptr;
    if (m_sharedConnection) {
        m_connection = db;
        m_connected = true;
    } else if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_SHAREDCACHE, nullptr) != SQLITE_OK) {
        // The same line as the catalogue's own open failure, so both read alike.
        writeOpenFailureLine(db != nullptr ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        m_connection = nullptr;
        m_connected = false;
    } else {
        m_connection = db;
        m_connected = true;
    }
    m_ejectorGuide = std::move(ejectorGuide);
    if (m_connected) queryPlateHoles();
}

HolesModel::~HolesModel() {
    if (m_connected && m_sharedConnection)
        releaseSharedConnection(m_connection);
    else if (m_connected)
        sqlite3_close(m_connection);
    m_connection = nullptr;
    for (auto& process : *m_processMap) {
        for (auto& group : *process.second) delete group.second;
        delete process.second;
    }
    delete m_processMap;
}

std::wstring HolesModel::machiningStatement() const {
    const std::wstring firstOfStyle = m_style.empty() ? std::wstring() : m_style.substr(0, 1);
    const std::wstring stylePattern = L"%%" + doubledQuotes(firstOfStyle) + L"%%";

    std::wstring modelId = m_mouldCode;
    for (wchar_t& c : modelId)
        if (c == L'M') c = L'0';

    const wchar_t* const upperPlates =
        L"(plate_name like '%%A板%%' or plate_name like '%%水口推板%%' or plate_name like '%%面板%%')";
    std::wstring plateFilter;
    if (m_plateSelector == kUpperMould)
        plateFilter = std::wstring(L"and ") + upperPlates;
    else if (m_plateSelector == kLowerMould)
        plateFilter = std::wstring(L"and not ") + upperPlates;
    else
        plateFilter = L"and plate_name like '%%" + doubledQuotes(m_plateSelector) + L"%%'";

    const std::wstring modelFilter = L"and ( model like '%%" + doubledQuotes(m_style) + L"%%' or model = '')";
    const std::wstring ejectorEdgeFilter =
        m_ejectorGuide == kNoEjectorGuide ? L" and proc_name != '针板边' " : std::wstring();

    std::wstring pattern;
    for (const wchar_t* piece : kStatementPieces) {
        if (!pattern.empty()) pattern += L"\t\t\t\t\t";
        pattern += piece;
    }
    return fillTemplate(pattern, {stylePattern, doubledQuotes(modelId), plateFilter, modelFilter, ejectorEdgeFilter});
}

void HolesModel::queryPlateHoles() { loadHoles(machiningStatement()); }

void HolesModel::loadHoles(std::wstring statement) {
    if (!m_connected) return;
    try {
        StatementGuard guard;
        const std::string utf8 = toUtf8(statement);
        if (sqlite3_prepare_v2(m_connection, utf8.c_str(), -1, &guard.stmt, nullptr) != SQLITE_OK) return;

        // Process name -> hole number -> steps in the order the rows came.
        std::map<std::wstring, std::map<int32_t, HoleList>> arrived;
        while (sqlite3_step(guard.stmt) == SQLITE_ROW) {
            const double x = sqlite3_column_double(guard.stmt, 3);
            const double y = sqlite3_column_double(guard.stmt, 4);
            const double diameter = sqlite3_column_double(guard.stmt, 5);
            const unsigned char* name = sqlite3_column_text(guard.stmt, 2);
            const std::wstring process = name != nullptr ? fromUtf8(reinterpret_cast<const char*>(name)) : L"";
            const int32_t number = sqlite3_column_int(guard.stmt, 7);
            arrived[process][number].push_back(std::make_unique<StandarHole>(x, y, diameter * 0.5, process));
        }
        sqlite3_finalize(guard.stmt);
        guard.stmt = nullptr;

        // Every map and hole is in the model's hands from the moment it exists,
        // so a failure half way loses nothing that was already built.
        for (auto& process : arrived) {
            HoleGroupMap* groups = entryFor(*m_processMap, process.first);
            for (auto& group : process.second) {
                StandardMultiHole* hole = entryFor(*groups, group.first);
                // The first row of a radius wins; a repeated radius is dropped.
                for (auto& step : group.second)
                    if (hole->addStep(step.get())) step.release();
            }
        }
    } catch (...) {
        AfxMessageBox(L"查询标准库数据时异常", MB_OK, 0);
    }
}

void HolesModel::addEyeboltHoles(const std::vector<EyeboltPlacement>& placements) {
    if (m_processMap->count(kEyeboltProcess) != 0 || placements.empty()) return;
    HoleGroupMap* groups = entryFor(*m_processMap, std::wstring(kEyeboltProcess));
    int32_t number = 0;
    for (const EyeboltPlacement& placement : placements) {
        StandardMultiHole* hole = entryFor(*groups, number++);
        hole->rotation = placement.angle;
        auto step = std::make_unique<StandarHole>(placement.x, placement.y, leadingDecimal(placement.size) * 0.5,
                                                  kEyeboltProcess);
        if (hole->addStep(step.get())) step.release();
    }
}

}  // namespace Models

void freeDrawnRecord(Models::HolesModel* record) { delete record; }
