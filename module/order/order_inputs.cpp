// Reading the order list's inputs from the catalogue, and keeping them per
// catalogue file state (path, device and inode, size, modification time to the
// nanosecond) and design choices, so a catalogue changed or replaced between
// two lists is read afresh. Nothing is kept open: a kept list costs one stat.
#include "order/order_inputs.h"

#include <sys/stat.h>

#include <cmath>
#include <mutex>
#include <tuple>

#include "assembly/plate_stack.h"
#include "catalogue/catalogue_queries.h"
#include "resources/module_paths.h"
#include "winhost.h"

namespace order_detail {
namespace {

const wchar_t* const kEyeboltProcess = L"拉令孔";

// Whole millimetres, as the block drawings are named after a plate's thickness and a hole's diameter.
int32_t wholeMillimetres(double v) { return static_cast<int32_t>(std::floor(v + 0.5)); }

bool loadRules(CatalogueDb& catalogue, OrderInputs& in, std::wstring& problem) {
    const MouldBaseParams& p = *in.stack.params;
    for (PlateMaterialRule& m : loadPlateMaterials(catalogue)) in.materials[m.plateName] = m;
    in.series = loadLengthSeries(catalogue);
    in.partSizes = loadPartSizes(catalogue, p.mouldCode);
    in.figureRules = loadStackFigures(catalogue);
    // A part of other styles is known by name (its length is 0 here); only
    // this style's rules are read.
    for (const StandardPartRule& row : loadStandardPartRules(catalogue, p.style, in.partNames)) {
        PartRule rule;
        rule.row = row;
        std::wstring why;
        if (!rule.size.parse(row.size, why) || !rule.endThread.parse(row.endThread, why) ||
            !rule.length.parse(row.length, why) || !rule.engage.parse(row.engage, why) ||
            !rule.reach.parse(row.reach, why)) {
            problem = L"标准件规则“" + row.partName + L"”（" + row.process + L"）：" + why;
            return false;
        }
        in.rules.push_back(std::move(rule));
    }
    if (in.rules.empty() || in.materials.empty() || in.figureRules.empty()) {
        problem = L"标准库缺少订料单规则（BOM_ 表），请换用新版 ZDTSTANDARDMOULD.db";
        return false;
    }
    return true;
}

bool loadHoles(CatalogueDb& catalogue, OrderInputs& in, std::wstring& problem) {
    const MouldBaseModel& stack = in.stack;
    const MouldBaseParams& p = *stack.params;
    std::map<std::wstring, double> thickness;
    std::map<std::wstring, int32_t> wholeThickness;
    for (const auto& entry : stack.plates) {
        thickness[entry.first] = entry.second->thickness;
        wholeThickness[entry.first] = wholeMillimetres(entry.second->thickness);
    }
    const std::vector<CatalogueHoleSet> sets =
        loadMachiningHoles(catalogue, p.style, p.mouldCode, p.ejectorGuide, in.installWay == 0);
    // A plate takes the rows whose plate name holds its own, as the drawing's
    // query does: which plates each of the few catalogue names feeds is worked
    // out once.
    std::map<std::wstring, std::vector<std::wstring>> feeds;
    for (const CatalogueHoleSet& set : sets) {
        if (feeds.count(set.plateName) != 0) continue;
        std::vector<std::wstring>& plates = feeds[set.plateName];
        for (const auto& entry : stack.plates)
            if (set.plateName.find(entry.first) != std::wstring::npos) plates.push_back(entry.first);
    }
    for (const CatalogueHoleSet& set : sets)
        for (const std::wstring& plate : feeds[set.plateName]) {
            std::map<int32_t, Hole>& numbered = in.holes[plate][set.process];
            const HoleFormKey key(set.blockStem, set.nominal, wholeThickness.at(plate));
            for (const CatalogueHoleSet::Position& at : set.holes) {
                Hole& merged = numbered[at.hole];
                if (!merged.listed || set.d < merged.d) merged.formKey = key;
                merged.add(at.x, at.y, set.d, set.D);
            }
        }

    // Eyebolt holes are tapped into the side faces, laid out by the eyebolt rules.
    std::vector<CatalogueRow> rows;
    for (const auto& entry : stack.plates) {
        const PlateRecord& plate = *entry.second;
        CatalogueRow row;
        row.mouldCode = plate.mouldCode;
        row.mouldType = plate.style;
        row.plateName = plate.name;
        row.thickness = plate.thickness;
        row.width = plate.width;
        row.length = plate.length;
        rows.push_back(row);
    }
    const std::map<std::wstring, std::vector<EyeboltPlacement>> eyebolts = loadEyeboltPlacements(catalogue, rows);
    std::vector<std::wstring> eyeboltPlates;
    for (const auto& plate : eyebolts) eyeboltPlates.push_back(plate.first);
    const std::map<std::wstring, std::wstring> eyeboltStems =
        loadItemBlockStems(catalogue, kEyeboltProcess, eyeboltPlates);
    for (const auto& plate : eyebolts) {
        auto stem = eyeboltStems.find(plate.first);
        for (size_t i = 0; i < plate.second.size(); ++i) {
            const EyeboltPlacement& eyebolt = plate.second[i];
            const double size = leadingDecimal(eyebolt.size);
            Hole& hole = in.holes[plate.first][kEyeboltProcess][static_cast<int32_t>(i)];
            hole.add(eyebolt.x, eyebolt.y, size, size);
            hole.formKey = HoleFormKey(stem != eyeboltStems.end() ? stem->second : std::wstring(),
                                       wholeMillimetres(size), wholeThickness.at(plate.first));
        }
    }

    // How each is machined: the form of its block, one statement run per
    // block, diameter and plate thickness.
    std::set<HoleFormKey> keys;
    for (auto& plate : in.holes)
        for (auto& process : plate.second)
            for (auto& numbered : process.second) keys.insert(numbered.second.formKey);
    in.forms = loadHoleForms(catalogue, keys);
    for (auto& plate : in.holes)
        for (auto& process : plate.second)
            for (auto& numbered : process.second) {
                Hole& hole = numbered.second;
                auto form = in.forms.find(hole.formKey);
                if (form == in.forms.end()) {
                    problem = L"标准库中没有“" + plate.first + L"”上“" + process.first + L"”孔（图块 " +
                              std::to_wstring(std::get<1>(hole.formKey)) + std::get<0>(hole.formKey) +
                              L"）的加工形式";
                    return false;
                }
                hole.form = &form->second;
                if (hole.form->threaded)
                    hole.threadLength = hole.form->through ? thickness.at(plate.first) : hole.form->depth;
            }
    return true;
}

std::shared_ptr<const OrderInputs> readOrderInputs(const MouldBaseModel& design, std::wstring& problem) {
    // The layout's statements and the order list's on one connection, whoever calls.
    CatalogueReuseScope oneConnection;
    auto in = std::make_shared<OrderInputs>();
    // The whole base, laid out from the design's choices alone: a drawing of a
    // few plates (the display filter) still orders every plate of the style.
    const MouldBaseParams& p = *design.params;
    *in->stack.params = p;
    in->stack.insertPoint = design.insertPoint;
    ComputePlateLayout(in->stack);
    in->installWay = p.guideReversed == L"是" ? 0 : 1;

    CatalogueDb catalogue;
    catalogue.open(ModulePaths::getCatalogPathUtf8());
    bool ok = false;
    {
        CatalogueSnapshot snapshot(catalogue);
        if (in->stack.plates.empty())
            winFormat(problem, L"标准库中没有型号 %s、花式 %s 的模板", p.mouldCode.c_str(), p.style.c_str());
        else
            ok = loadRules(catalogue, *in, problem) && loadHoles(catalogue, *in, problem);
    }
    catalogue.close();
    return ok ? in : nullptr;
}

// A catalogue file in one state, and the choices of a design.
using InputsKey = std::tuple<std::string, dev_t, ino_t, off_t, long long, long, std::wstring>;

struct KeptInputs {
    std::mutex lock;
    std::map<InputsKey, std::shared_ptr<const OrderInputs>> lists;
};

KeptInputs& kept() {
    // Goes with the module when the host unloads it, like every object of the
    // module: a heap copy would outlive the unload with nothing pointing at it.
    static KeptInputs inputs;
    return inputs;
}

// More bases than a designer orders in one sitting; past it the kept inputs
// start again rather than grow without end (a catalogue sweep orders each base
// once).
const size_t kMostBases = 16;

// Every choice of the design dialog: a choice added to MouldBaseParams belongs here too.
std::wstring choicesOf(const MouldBaseParams& p) {
    std::wstring choices;
    for (const std::wstring* field : {&p.mouldCode, &p.style, &p.ejectorGuide, &p.guideReversed, &p.aPlateThickness,
                                      &p.bPlateThickness, &p.spacerThickness, &p.retainerThickness,
                                      &p.ejectorThickness, &p.topPlateThickness, &p.runnerPlateThickness}) {
        choices += *field;
        choices += L'\x1f';
    }
    return choices;
}

}  // namespace

std::shared_ptr<const OrderInputs> orderInputsOf(const MouldBaseModel& design, std::wstring& problem) {
    const std::string path = ModulePaths::getCatalogPathUtf8();
    struct stat st;
    // A file that cannot be looked at is left for the catalogue's open to report.
    if (::stat(path.c_str(), &st) != 0) return readOrderInputs(design, problem);
    const InputsKey key(path, st.st_dev, st.st_ino, st.st_size, static_cast<long long>(st.st_mtim.tv_sec),
                        st.st_mtim.tv_nsec, choicesOf(*design.params));
    KeptInputs& k = kept();
    {
        std::lock_guard<std::mutex> guard(k.lock);
        auto known = k.lists.find(key);
        if (known != k.lists.end()) return known->second;
    }
    std::shared_ptr<const OrderInputs> inputs = readOrderInputs(design, problem);
    if (inputs == nullptr) return nullptr;
    std::lock_guard<std::mutex> guard(k.lock);
    if (k.lists.size() >= kMostBases) k.lists.clear();
    k.lists.emplace(key, inputs);
    return inputs;
}

void forgetOrderInputs() {
    KeptInputs& k = kept();
    std::lock_guard<std::mutex> guard(k.lock);
    k.lists.clear();
}

}  // namespace order_detail
