// The catalogue sweep: draws every style and code of each series of the
// shipped catalogue through the module, with the series' command, as a user
// would with the main dialog's default choices, and checks each drawing
// (command-line diagnostics, objects left open, the DXF reading back, the
// plates and their sizes, the annotation, the hole blocks in their views, what
// fastens and guides each plate and, in the pin-point series, the support pins
// in line through the top plates) and its order list; then a few codes of each
// style again with locks on their sides. Prints one line per failing drawing
// and a summary per style.
//   catalogue_sweep [--every N] [--quiet]
// --every N draws only every Nth code of each style (the sanitizer build's sample).
// Exit status 0 when every drawing is right, 1 when one is not, 2 when the sweep
// could not run at all.
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "annotation_checks.h"
#include "assembly_checks.h"
#include "drawing_checks.h"
#include "section_checks.h"
#include "module_loader.h"
#include "vrxcmds.h"
#include "vrxdb.h"
#include "vrxdxf.h"
#include "vrxed.h"
#include "winhost.h"
#include "winui.h"
#include "vrxdbobjecttable.h"

namespace {

// The main dialog's controls the sweep uses, as a script addresses them.
const int kMouldCodeList = 1001;
const int kStyleList = 1002;

// Answers the insertion point (the order list's point: the first plan view's
// corner), the order list's file name, and keeps what the command prints.
class SweepEditor : public VRxEditorHost {
public:
    std::wstring output;
    std::wstring file;
    int getPoint(const double*, const std::wstring&, double result[3]) override {
        result[0] = result[1] = result[2] = 0.0;
        return RTNORM;
    }
    int getString(bool, const std::wstring&, std::wstring& result) override {
        result = file;
        return file.empty() ? RTCAN : RTNORM;
    }
    void print(const std::wstring& text) override { output += text; }
};

// A series of the catalogue with the command that designs it.
struct Series {
    std::string name;
    const wchar_t* command;
    std::vector<std::string> styles;
    std::vector<std::string> codes;
};

struct Catalogue {
    std::vector<Series> series;
    // style -> plate names in catalogue order
    std::map<std::string, std::vector<std::string>> plates;
    // code -> sapw, sapl, ssbw, erpw, tpiw, stph, suph, tpih, bpih
    std::map<std::string, std::vector<double>> sizes;
    // (code, style) -> lock size -> the edge pairs it fits ("TB", "LR")
    std::map<std::pair<std::string, std::string>, std::map<std::string, std::set<std::string>>> lockFits;
    sweep::BlockProcesses processes;
    // code -> the first opening the pin-point series' puller bolts are cut for
    std::map<std::string, double> firstOpening;
};

bool readCatalogue(const std::string& path, Catalogue& cat, std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return false;
    }
    auto each = [&](const char* sql, auto&& row) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
            error = std::string(sql) + ": " + sqlite3_errmsg(db);
            return false;
        }
        while (sqlite3_step(s) == SQLITE_ROW) row(s);
        sqlite3_finalize(s);
        return true;
    };
    auto text = [](sqlite3_stmt* s, int c) {
        const unsigned char* t = sqlite3_column_text(s, c);
        return std::string(t ? reinterpret_cast<const char*>(t) : "");
    };
    cat.series = {{"大水口", L"ZDTSGS", {}, {}}, {"细水口", L"ZDTPGS", {}, {}}};
    auto seriesNamed = [&](const std::string& name) -> Series* {
        for (Series& s : cat.series)
            if (s.name == name) return &s;
        return nullptr;
    };
    bool ok = each("select MTYPE, platename from MODEL_PLATE_LIST order by rowid",
                   [&](sqlite3_stmt* s) { cat.plates[text(s, 0)].push_back(text(s, 1)); }) &&
              each("select SERIES, MTYPE from MODE_SERIES_TYPE order by MTYPE",
                   [&](sqlite3_stmt* s) {
                       if (Series* series = seriesNamed(text(s, 0))) series->styles.push_back(text(s, 1));
                   }) &&
              each("select MCODE,sapw,sapl,ssbw,erpw,tpiw,stph,suph,tpih,bpih from MODE_PLATE_SIZE order by rowid",
                   [&](sqlite3_stmt* s) {
                       std::string code = text(s, 0);
                       for (int c = 1; c <= 9; ++c) cat.sizes[code].push_back(sqlite3_column_double(s, c));
                   }) &&
              each("select c.SERIES, c.MCODE from MODE_SERIES_CODE c join MODE_PLATE_SIZE p on p.MCODE = c.MCODE"
                   " order by p.rowid",
                   [&](sqlite3_stmt* s) {
                       if (Series* series = seriesNamed(text(s, 0))) series->codes.push_back(text(s, 1));
                   }) &&
              each("select MCODE, MTYPE, size, edges from MODE_LOCK_FIT",
                   [&](sqlite3_stmt* s) { cat.lockFits[{text(s, 0), text(s, 1)}][text(s, 2)].insert(text(s, 3)); }) &&
              each("select PLATENAME, blockname, ITEMTYPENAME from STANDITEMBLOCKSETUP where FACEDIR = 'A1'",
                   [&](sqlite3_stmt* s) { cat.processes[{text(s, 0), text(s, 1)}].insert(text(s, 2)); }) &&
              each("select MCODE, value from BOM_PART_SIZE where name = 's1'",
                   [&](sqlite3_stmt* s) { cat.firstOpening[text(s, 0)] = sqlite3_column_double(s, 1); });
    sqlite3_close(db);
    return ok;
}

// The catalogue's size of each plate: the A, B, stripper and support plates
// and the straight clamp plates take the plate width, the spacer blocks and
// the ejector plates their own widths, the wider clamp plates theirs; every
// plate is as long as the mould. The derived spacer plate only marks the B
// plate's centre and has no dimensions of its own. The pin-point series
// chooses its top clamp plate's thickness (and its runner stripper plate's).
sweep::ExpectedPlates expectedPlates(const Catalogue& cat, const std::string& style, const std::string& code,
                                     bool topPlateChosen) {
    const std::vector<double>& z = cat.sizes.at(code);
    const double sapw = z[0], sapl = z[1], ssbw = z[2], erpw = z[3], tpiw = z[4];
    const std::map<std::wstring, double> widths = {{L"方铁L", ssbw}, {L"方铁R", ssbw}, {L"面针板", erpw},
                                                   {L"底针板", erpw}, {L"工面", tpiw}, {L"工底", tpiw}};
    const std::map<std::wstring, double> thicknesses = {{L"成品推板", z[5]}, {L"托板", z[6]}, {L"工面", z[7]},
                                                        {L"直身面板", z[7]}, {L"工底", z[8]}, {L"直身底板", z[8]}};
    sweep::ExpectedPlates plates;
    for (const std::string& nameUtf8 : cat.plates.at(style)) {
        const std::wstring name = winFromUtf8(nameUtf8);
        sweep::PlateSize size;
        size.width = widths.count(name) ? widths.at(name) : sapw;
        size.length = sapl;
        if (thicknesses.count(name)) size.thickness = thicknesses.at(name);
        if (topPlateChosen && (name == L"工面" || name == L"直身面板")) size.thickness = -1;
        plates.emplace_back(name, size);
    }
    return plates;
}

VRxEdCommand* findCommand(const wchar_t* name) {
    VRxRxDictionary* registry = vrxSysRegistry();
    auto* stack = registry ? VRxEdCommandStack::cast(registry->at(L"VRX_REGISTERED_COMMANDS")) : nullptr;
    return stack ? stack->lookupCmd(name) : nullptr;
}

struct Result {
    std::vector<std::string> problems;
    size_t entities = 0;
};

// Lines of the command line that say a block or its configuration is missing.
void diagnosticProblems(const std::wstring& output, std::vector<std::string>& problems) {
    static const std::wregex missingConfiguration(L"^.+-.+-(-?[0-9]+)-A[0-9]$");
    size_t start = 0;
    while (start <= output.size()) {
        size_t end = output.find(L'\n', start);
        if (end == std::wstring::npos) end = output.size();
        const std::wstring line = output.substr(start, end - start);
        if (line.find(L"无法找到文件") != std::wstring::npos || std::regex_match(line, missingConfiguration))
            problems.push_back("command line: " + winToUtf8(line));
        start = end + 1;
    }
}

// The order list of the base just drawn, made as a user makes it: it must be
// written whole, with the base's heights and no part of negative or no size;
// a pin-point base opens first as far as its puller bolts are cut for
// (firstOpening, 0 for the side-gate series), whatever its plates.
void orderOne(VRxEdCommand* order, VRxDbDatabase& db, double firstOpening, std::vector<std::string>& problems) {
    const std::string file =
        (std::filesystem::temp_directory_path() / ("zdt_sweep_" + std::to_string(getpid()) + ".csv")).string();
    SweepEditor editor;
    editor.file = winFromUtf8(file);
    vrxdbHostApplicationServices()->setWorkingDatabase(&db);
    VRxEditorHost* previousEditor = vrxedSetHost(&editor);
    order->functionAddr()();
    vrxedSetHost(previousEditor);
    vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(file.c_str());
    if (editor.output.find(L"订料单已写入") == std::wstring::npos)
        problems.push_back("order list: " + winToUtf8(editor.output));
    else if (text.find("\n闭合高度,") == std::string::npos || text.find("×-") != std::string::npos ||
             text.find("×0,") != std::string::npos || text.find("Ø0") != std::string::npos)
        problems.push_back("order list: a size of nothing, or no closed height");
    if (firstOpening > 0) {
        // 第一次开模行程,<its formula>,<the stroke>,...
        const size_t at = text.find("\n第一次开模行程,");
        const size_t value = at == std::string::npos ? at : text.find(',', text.find(',', at) + 1);
        if (value == std::string::npos || std::fabs(std::atof(text.c_str() + value + 1) - firstOpening) > 0.05)
            problems.push_back("order list: the first opening is not the " + std::to_string(firstOpening) +
                               " the puller bolts are cut for");
    }
    if (db.openObjectCount() != 0) problems.push_back("the order list left objects open");
}

// The lock dialog's controls, for the runs with locks on every side.
const int kAddLock = 1011;
const int kStandardLock = 1031, kThinLock = 1032, kLockSize = 1033, kUpright = 1034, kLockPosition = 1035;

// Locks of one size in the middle of the sides they fit, every side where they
// can: what the user does in the lock dialog.
std::vector<WinUiAction> locksOnTheirSides(const std::string& size, const std::set<std::string>& edges) {
    const wchar_t* position = edges.size() == 2 ? L"四侧分中" : edges.count("TB") ? L"天地分中" : L"左右分中";
    return {WinUiAction::clickOn(kAddLock),
            WinUiAction::clickOn(size.rfind("GTL", 0) == 0 ? kThinLock : kStandardLock),
            WinUiAction::select(kLockSize, winFromUtf8(size)),
            WinUiAction::select(kLockPosition, position),
            WinUiAction::clickOn(kUpright),
            WinUiAction::ok()};
}

Result drawOne(VRxEdCommand* command, VRxEdCommand* order, const std::string& templateText, const Catalogue& cat,
               const Series& series,
               const std::string& style, const std::string& code, const std::vector<WinUiAction>& more = {}) {
    Result result;
    VRxDbDatabase db(false);
    std::wstring error;
    if (VRxDxf::readDxf(db, templateText, error) != Vrx::eOk) {
        result.problems.push_back("the template did not copy: " + winToUtf8(error));
        return result;
    }
    vrxdbHostApplicationServices()->setWorkingDatabase(&db);
    SweepEditor editor;
    VRxEditorHost* previousEditor = vrxedSetHost(&editor);
    WinQueuedUiBackend user;
    WinUiBackend* previousUi = winSetUiBackend(&user);
    user.push(WinUiAction::select(kMouldCodeList, winFromUtf8(code)));
    user.push(WinUiAction::select(kStyleList, winFromUtf8(style)));
    for (const WinUiAction& action : more) user.push(action);
    user.push(WinUiAction::ok());
    command->functionAddr()();
    winSetUiBackend(previousUi);
    vrxedSetHost(previousEditor);
    vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);

    for (const std::wstring& e : user.errors()) result.problems.push_back("dialog: " + winToUtf8(e));
    for (const auto& box : user.shown()) result.problems.push_back("message box: " + winToUtf8(box.text));
    diagnosticProblems(editor.output, result.problems);
    if (db.openObjectCount() != 0)
        result.problems.push_back(std::to_string(db.openObjectCount()) + " objects left open");

    VRxDbDatabase back(false);
    const std::string saved = VRxDxf::writeDxf(db);
    if (VRxDxf::readDxf(back, saved, error) != Vrx::eOk) {
        result.problems.push_back("the saved drawing does not read back: " + winToUtf8(error));
        return result;
    }
    auto* space = static_cast<VRxDbBlockTableRecord*>(vrxdbObjectAt(back, back.modelSpaceId()));
    result.entities = space ? space->entityIds().size() : 0;
    const std::wstring title = winFromUtf8(code + " " + style);
    const bool pinPoint = series.name == "细水口";
    for (const std::string& p : sweep::checkMouldBaseDrawing(back, title, expectedPlates(cat, style, code, pinPoint)))
        result.problems.push_back(p);
    for (const std::string& p : sweep::checkAnnotation(saved, back)) result.problems.push_back(p);
    const sweep::DrawnHoles drawn = sweep::readDrawnHoles(back);
    for (const std::string& p : sweep::checkHoleBlocks(drawn)) result.problems.push_back(p);
    for (const std::string& p : sweep::checkAssembly(drawn, cat.plates.at(style), cat.processes))
        result.problems.push_back(p);
    const auto s1 = cat.firstOpening.find(code);
    orderOne(order, db, pinPoint && s1 != cat.firstOpening.end() ? s1->second : 0, result.problems);
    return result;
}

// Prints one failing drawing: its first problem, and a few more unless quiet.
void report(const std::string& what, const Result& r, bool quiet) {
    std::printf("FAIL %s: %s", what.c_str(), r.problems[0].c_str());
    if (r.problems.size() > 1) std::printf(" (and %zu more)", r.problems.size() - 1);
    std::printf("\n");
    if (!quiet)
        for (size_t p = 1; p < r.problems.size() && p < 6; ++p) std::printf("     %s\n", r.problems[p].c_str());
}

}  // namespace

int main(int argc, char** argv) {
    size_t every = 1;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--every") == 0 && i + 1 < argc) {
            every = std::max(1L, std::strtol(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            quiet = true;
        } else {
            std::cerr << "usage: catalogue_sweep [--every N] [--quiet]\n";
            return 2;
        }
    }

    const std::string dir = zdtcad::executableDirectory();
    Catalogue cat;
    std::string error;
    if (!readCatalogue(dir + "ZDTSTANDARDMOULD.db", cat, error)) {
        std::cerr << "catalogue_sweep: " << error << "\n";
        return 2;
    }
    VRxDbDatabase templ(false);
    std::wstring readError;
    if (VRxDxf::readDxfFile(templ, winFromUtf8(dir + "templates/zdt_template.dxf"), readError) != Vrx::eOk) {
        std::cerr << "catalogue_sweep: the drawing template: " << winToUtf8(readError) << "\n";
        return 2;
    }
    // Every drawing starts from the template as zdtcad starts one: read from its text.
    const std::string templateText = VRxDxf::writeDxf(templ);
    zdtcad::ModuleLoader module;
    if (!module.load(dir + "libzdtmould.so", error)) {
        std::cerr << "catalogue_sweep: " << error << "\n";
        return 2;
    }
    VRxEdCommand* order = findCommand(L"ZDTBOM");
    if (order == nullptr || !order->functionAddr()) {
        std::cerr << "catalogue_sweep: the module registered no ZDTBOM command\n";
        return 2;
    }
    for (const Series& series : cat.series) {
        VRxEdCommand* command = findCommand(series.command);
        if (command == nullptr || !command->functionAddr()) {
            std::cerr << "catalogue_sweep: the module registered no " << winToUtf8(series.command) << " command\n";
            return 2;
        }
    }

    using Clock = std::chrono::steady_clock;
    const auto sweepStart = Clock::now();
    size_t totalDrawings = 0, totalFailures = 0, totalEntities = 0;
    std::printf("%-6s %9s %9s %9s %9s\n", "style", "drawings", "entities", "failures", "seconds");
    for (const Series& series : cat.series) {
        VRxEdCommand* command = findCommand(series.command);
        for (const std::string& style : series.styles) {
            const auto start = Clock::now();
            size_t drawings = 0, failures = 0, entities = 0;
            for (size_t i = 0; i < series.codes.size(); i += every) {
                const std::string& code = series.codes[i];
                Result r = drawOne(command, order, templateText, cat, series, style, code);
                ++drawings;
                entities += r.entities;
                if (r.problems.empty()) continue;
                ++failures;
                report(style + " " + code, r, quiet);
            }
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            std::printf("%-6s %9zu %9zu %9zu %9.2f\n", style.c_str(), drawings, entities, failures, seconds);
            totalDrawings += drawings, totalFailures += failures, totalEntities += entities;
        }
    }
    // Locks on every side they fit, where the clashes of annotation happen:
    // every lock size the catalogue fits on the smallest, two middle and the
    // largest code of each style whose dialog offers locks (those without a
    // stripper plate). The pin-point series' locks are the side-gate series'
    // on the same A and B plates, between the same neighbours in its I and H
    // styles: its I styles on its smallest and largest code show them.
    const auto lockStart = Clock::now();
    size_t lockDrawings = 0, lockFailures = 0, lockEntities = 0;
    for (const Series& series : cat.series) {
        VRxEdCommand* command = findCommand(series.command);
        if (series.codes.empty()) continue;
        for (const std::string& style : series.styles) {
            if (style.size() < 3 || (style[1] != 'A' && style[1] != 'C')) continue;
            const bool pinPoint = series.name == "细水口";
            if (pinPoint && style[2] != 'I') continue;
            std::vector<std::string> codes = {series.codes.front(), "3035", "5050", series.codes.back()};
            if (pinPoint) codes = {series.codes.front(), series.codes.back()};
            for (const std::string& code : codes) {
                auto fits = cat.lockFits.find({code, style});
                if (!cat.sizes.count(code) || fits == cat.lockFits.end()) continue;
                for (const auto& [size, edges] : fits->second) {
                    if (lockDrawings++ % every != 0) continue;
                    Result r = drawOne(command, order, templateText, cat, series, style, code,
                                      locksOnTheirSides(size, edges));
                    lockEntities += r.entities;
                    if (r.problems.empty()) continue;
                    ++lockFailures;
                    report(style + " " + code + " " + size, r, quiet);
                }
            }
        }
    }
    const double lockSeconds = std::chrono::duration<double>(Clock::now() - lockStart).count();
    std::printf("%-6s %9zu %9zu %9zu %9.2f\n", "locks", lockDrawings, lockEntities, lockFailures, lockSeconds);
    totalDrawings += lockDrawings, totalFailures += lockFailures, totalEntities += lockEntities;

    const double seconds = std::chrono::duration<double>(Clock::now() - sweepStart).count();
    std::printf("%-6s %9zu %9zu %9zu %9.2f\n", "all", totalDrawings, totalEntities, totalFailures, seconds);
    module.unload(error);
    return totalFailures == 0 ? 0 : 1;
}
