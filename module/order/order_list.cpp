// Making the order list. The base is laid out again from its design (plates
// only, no drawing); its holes come from the catalogue's folded hole steps of
// the whole base and are merged as the drawing merges each plate's, so the list
// names the holes the drawing shows. Every engineering rule (which part a hole seats, how long it
// is, which steel a plate is) is a catalogue row; this file only applies them.
#include "order/order_list.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "catalogue/catalogue_queries.h"
#include "catalogue/order_queries.h"
#include "model/plate_stack.h"
#include "order/order_formula.h"
#include "shell/module_paths.h"
#include "winhost.h"

const wchar_t* const kOrderColumns[7] = {L"类别", L"名称", L"规格", L"数量", L"材料", L"单重(kg)", L"总重(kg)"};
const wchar_t* const kHoleTableName = L"孔位表";
const wchar_t* const kHoleColumns[7] = {L"模板", L"工序", L"孔径/螺纹", L"X", L"Y", L"深度", L"沉孔"};
const wchar_t* const kThroughHole = L"通孔";

namespace {

const wchar_t* const kDerivedSpacer = L"方铁";
const wchar_t* const kLeftSpacer = L"方铁L";
const wchar_t* const kRightSpacer = L"方铁R";
const wchar_t* const kEyeboltProcess = L"拉令孔";

double tenth(double v) { return std::round(v * 10.0) / 10.0; }

// One hole: its steps by diameter (the first catalogue row of a diameter
// wins, as in the drawing), centred on the smallest.
struct Hole {
    std::map<double, std::pair<double, double>> steps;
    bool sideFace = false;  // an eyebolt hole, drilled into a side face
    double d() const { return steps.begin()->first; }
    double D() const { return steps.rbegin()->first; }
};
using ProcessHoles = std::map<std::wstring, std::map<int32_t, Hole>>;

// A rule with its formulas read.
struct PartRule {
    StandardPartRule row;
    OrderFormula size, length, engage;
};

// What one rule makes of one hole.
struct PartValue {
    double size = 0;
    double spanned = 0;  // the length formula's value
    double ordered = 0;  // length + engage, rounded to the series
    bool hasLength = false;
};

struct Tally {
    OrderItem item;
    int32_t sortOrder = 0;
};

class OrderBuilder {
public:
    OrderBuilder(const MouldBaseModel& design, MouldBaseModel& stack, CatalogueDb& catalogue)
        : m_design(design), m_stack(stack), m_catalogue(catalogue) {}

    bool build(OrderList& list, std::wstring& problem);

private:
    bool loadRules(std::wstring& problem);
    void loadHoles();
    std::vector<std::wstring> platesInOrder() const;
    bool applies(const PartRule& rule) const;
    std::vector<std::wstring> platesOf(const PartRule& rule) const;
    bool lookup(const std::wstring& name, const Hole* hole, double& value);
    bool evaluate(const PartRule& rule, const Hole& hole, PartValue& value, std::wstring& problem);
    double rounded(const std::wstring& series, double length) const;
    std::wstring spec(const PartRule& rule, const PartValue& value) const;
    bool partLength(const std::wstring& name, double& value);

    void addPlates(OrderList& list, double& totalWeight) const;
    bool addHoleParts(const PartRule& rule, std::wstring& problem);
    void addLocks(const PartRule& rule);
    void tally(const PartRule& rule, const std::wstring& specText, int quantity);
    bool addFigures(OrderList& list, std::wstring& problem);
    void addHoleTable(OrderList& list) const;
    HoleItem holeItem(const std::wstring& plate, const std::wstring& process, int32_t number, const Hole& hole) const;

    const MouldBaseModel& m_design;
    MouldBaseModel& m_stack;
    CatalogueDb& m_catalogue;
    int32_t m_installWay = 1;

    std::map<std::wstring, PlateMaterialRule> m_materials;
    std::vector<PartRule> m_rules;
    std::map<std::wstring, std::vector<double>> m_series;
    std::vector<StackFigureRule> m_figureRules;
    std::map<std::wstring, double> m_figures;
    std::set<std::wstring> m_partNames;
    std::set<std::wstring> m_evaluating;  // parts whose length is being worked out

    std::map<std::wstring, ProcessHoles> m_holes;  // plate -> its holes
    // Tapped holes: (plate, process, hole number) -> thread depth.
    std::map<std::tuple<std::wstring, std::wstring, int32_t>, double> m_tapped;
    std::vector<Tally> m_parts;
    std::map<std::wstring, size_t> m_partIndex;
};

bool OrderBuilder::loadRules(std::wstring& problem) {
    for (PlateMaterialRule& m : loadPlateMaterials(m_catalogue)) m_materials[m.plateName] = m;
    m_series = loadLengthSeries(m_catalogue);
    m_figureRules = loadStackFigures(m_catalogue);
    for (const StandardPartRule& row : loadStandardPartRules(m_catalogue)) {
        PartRule rule;
        rule.row = row;
        std::wstring why;
        if (!rule.size.parse(row.size, why) || !rule.length.parse(row.length, why) ||
            !rule.engage.parse(row.engage, why)) {
            problem = L"标准件规则“" + row.partName + L"”（" + row.process + L"）：" + why;
            return false;
        }
        m_partNames.insert(row.partName);
        m_rules.push_back(std::move(rule));
    }
    if (m_rules.empty() || m_materials.empty() || m_figureRules.empty()) {
        problem = L"标准库缺少订料单规则（BOM_ 表），请换用新版 ZDTSTANDARDMOULD.db";
        return false;
    }
    return true;
}

void OrderBuilder::loadHoles() {
    const MouldBaseParams& p = *m_stack.params;
    const std::vector<CatalogueHoleStep> steps =
        loadMachiningHoleSteps(m_catalogue, p.style, p.mouldCode, p.ejectorGuide);
    std::vector<CatalogueRow> rows;
    for (const auto& entry : m_stack.plates) {
        const PlateRecord& plate = *entry.second;
        ProcessHoles& holes = m_holes[plate.name];
        // A plate takes the rows whose plate name holds its own, as the drawing's query does.
        for (const CatalogueHoleStep& step : steps)
            if (step.plateName.find(plate.name) != std::wstring::npos)
                holes[step.process][step.hole].steps.emplace(step.diameter, std::make_pair(step.x, step.y));
        CatalogueRow row;
        row.mouldCode = plate.mouldCode;
        row.mouldType = plate.style;
        row.plateName = plate.name;
        row.thickness = plate.thickness;
        row.width = plate.width;
        row.length = plate.length;
        rows.push_back(row);
    }
    for (const auto& plate : loadEyeboltPlacements(m_catalogue, rows)) {
        const std::vector<EyeboltPlacement>& eyebolts = plate.second;
        for (size_t i = 0; i < eyebolts.size(); ++i) {
            Hole& hole = m_holes[plate.first][kEyeboltProcess][static_cast<int32_t>(i)];
            hole.steps.emplace(leadingDecimal(eyebolts[i].size), std::make_pair(eyebolts[i].x, eyebolts[i].y));
            hole.sideFace = true;
        }
    }
}

// The plates in stack order, the spacer outline (not a plate of its own) left out.
std::vector<std::wstring> OrderBuilder::platesInOrder() const {
    std::vector<const PlateRecord*> plates;
    for (const auto& entry : m_stack.plates)
        if (entry.first != kDerivedSpacer) plates.push_back(entry.second);
    std::stable_sort(plates.begin(), plates.end(),
                     [](const PlateRecord* a, const PlateRecord* b) { return a->sortNumber < b->sortNumber; });
    std::vector<std::wstring> names;
    for (const PlateRecord* plate : plates) names.push_back(plate->name);
    return names;
}

bool OrderBuilder::applies(const PartRule& rule) const {
    return rule.row.installWay < 0 || rule.row.installWay == m_installWay;
}

std::vector<std::wstring> OrderBuilder::platesOf(const PartRule& rule) const {
    if (rule.row.plateName.empty()) return platesInOrder();
    if (m_stack.plates.count(rule.row.plateName) == 0) return {};
    return {rule.row.plateName};
}

bool OrderBuilder::lookup(const std::wstring& name, const Hole* hole, double& value) {
    value = 0;
    if (hole != nullptr && (name == L"d" || name == L"D")) {
        value = name == L"d" ? hole->d() : hole->D();
        return true;
    }
    auto plate = m_stack.plates.find(name);
    if (plate != m_stack.plates.end()) {
        value = plate->second->thickness;
        return true;
    }
    // A plate of another style: this base has none of it.
    if (m_materials.count(name) != 0) return true;
    auto figure = m_figures.find(name);
    if (figure != m_figures.end()) {
        value = figure->second;
        return true;
    }
    return m_partNames.count(name) != 0 && partLength(name, value);
}

// A part's length as another rule sees it: the first length the base gives a
// part of that name, 0 when the base has none.
bool OrderBuilder::partLength(const std::wstring& name, double& value) {
    value = 0;
    if (!m_evaluating.insert(name).second) return false;  // a rule that needs its own length
    bool ok = true;
    for (const PartRule& rule : m_rules) {
        if (rule.row.partName != name || !applies(rule) || rule.row.counting == L"lock") continue;
        for (const std::wstring& plate : platesOf(rule)) {
            auto process = m_holes[plate].find(rule.row.process);
            if (process == m_holes[plate].end() || process->second.empty()) continue;
            PartValue part;
            std::wstring ignored;
            ok = evaluate(rule, process->second.begin()->second, part, ignored);
            value = part.ordered;
            m_evaluating.erase(name);
            return ok;
        }
    }
    m_evaluating.erase(name);
    return ok;
}

double OrderBuilder::rounded(const std::wstring& series, double length) const {
    auto lengths = m_series.find(series);
    if (series.empty() || lengths == m_series.end() || lengths->second.empty()) return tenth(length);
    const std::vector<double>& l = lengths->second;
    for (double preferred : l)
        if (preferred >= length - 1e-6) return preferred;
    // Past the longest: on in the series' last step.
    const double step = l.size() > 1 ? l.back() - l[l.size() - 2] : l.back();
    return l.back() + std::ceil((length - l.back()) / step - 1e-9) * step;
}

bool OrderBuilder::evaluate(const PartRule& rule, const Hole& hole, PartValue& value, std::wstring& problem) {
    OrderFormula::Lookup names = [&](const std::wstring& name, double& v) { return lookup(name, &hole, v); };
    double engage = 0;
    if (!rule.size.evaluate(names, value.size, problem) || !rule.length.evaluate(names, value.spanned, problem) ||
        !rule.engage.evaluate(names, engage, problem))
        return false;
    if (!rule.row.rounding.empty() && m_series.count(rule.row.rounding) == 0) {
        problem = L"长度系列“" + rule.row.rounding + L"”不在标准库中";
        return false;
    }
    value.hasLength = !rule.length.empty();
    value.ordered = rounded(rule.row.rounding, value.spanned + engage);
    return true;
}

std::wstring OrderBuilder::spec(const PartRule& rule, const PartValue& value) const {
    std::wstring text = (rule.row.thread ? L"M" : L"Ø") + formatMillimetres(value.size);
    if (value.hasLength) text += L"×" + formatMillimetres(value.ordered);
    return text;
}

void OrderBuilder::tally(const PartRule& rule, const std::wstring& specText, int quantity) {
    const std::wstring key = rule.row.partName + L'\x1f' + specText + L'\x1f' + rule.row.material;
    auto known = m_partIndex.find(key);
    if (known != m_partIndex.end()) {
        m_parts[known->second].item.quantity += quantity;
        return;
    }
    Tally t;
    t.sortOrder = rule.row.sortOrder;
    t.item.category = L"标准件";
    t.item.name = rule.row.partName;
    t.item.spec = specText;
    t.item.quantity = quantity;
    t.item.material = rule.row.material;
    m_partIndex[key] = m_parts.size();
    m_parts.push_back(t);
}

bool OrderBuilder::addHoleParts(const PartRule& rule, std::wstring& problem) {
    // Per size and length, smallest first; per plate for counting by plate.
    std::map<std::pair<double, double>, std::wstring> specs;
    std::map<std::pair<double, double>, int> count;
    for (const std::wstring& plate : platesOf(rule)) {
        auto process = m_holes[plate].find(rule.row.process);
        if (process == m_holes[plate].end()) continue;
        std::map<std::pair<double, double>, int> onPlate;
        for (const auto& numbered : process->second) {
            PartValue value;
            std::wstring why;
            if (!evaluate(rule, numbered.second, value, why)) {
                problem = L"标准件规则“" + rule.row.partName + L"”（" + rule.row.process + L"）：" + why;
                return false;
            }
            const std::pair<double, double> key(tenth(value.size), value.ordered);
            specs[key] = spec(rule, value);
            ++onPlate[key];
            if (rule.row.thread && !rule.engage.empty())
                m_tapped[std::make_tuple(plate, rule.row.process, numbered.first)] =
                    value.ordered - value.spanned + 3.0;
        }
        for (const auto& n : onPlate)
            count[n.first] =
                rule.row.counting == L"plate" ? std::max(count[n.first], n.second) : count[n.first] + n.second;
    }
    for (const auto& n : count) tally(rule, specs[n.first], n.second);
    return true;
}

void OrderBuilder::addLocks(const PartRule& rule) {
    if (m_design.lockTable == nullptr) return;
    std::map<std::wstring, int> bySize;
    for (const auto& entry : *m_design.lockTable)
        if (entry.second != nullptr && entry.second->type == rule.row.process) ++bySize[entry.second->size];
    for (const auto& n : bySize) tally(rule, n.first, n.second);
}

void OrderBuilder::addPlates(OrderList& list, double& totalWeight) const {
    totalWeight = 0;
    for (const std::wstring& name : platesInOrder()) {
        const PlateRecord& plate = *m_stack.plates.at(name);
        OrderItem item;
        item.category = L"模板";
        item.name = name;
        item.spec = formatMillimetres(plate.width) + L"×" + formatMillimetres(plate.length) + L"×" +
                    formatMillimetres(plate.thickness);
        item.quantity = 1;
        auto material = m_materials.find(name);
        if (material != m_materials.end()) {
            const bool pocketed = m_design.pocketTable.count(name) != 0 && m_design.pocketTable.at(name) != nullptr;
            item.material = pocketed && !material->second.pocketed.empty() ? material->second.pocketed
                                                                           : material->second.material;
        }
        const double volume = std::max(plate.width, 0.0) * std::max(plate.length, 0.0) * std::max(plate.thickness, 0.0);
        item.unitWeight = tenth(volume * kSteelDensity);
        item.totalWeight = item.unitWeight * item.quantity;
        totalWeight += item.totalWeight;
        list.items.push_back(item);
    }
}

bool OrderBuilder::addFigures(OrderList& list, std::wstring& problem) {
    for (const StackFigureRule& rule : m_figureRules) {
        OrderFormula formula;
        double value = 0;
        OrderFormula::Lookup names = [&](const std::wstring& name, double& v) { return lookup(name, nullptr, v); };
        std::wstring why;
        if (!formula.parse(rule.formula, why) || !formula.evaluate(names, value, why)) {
            problem = L"模架尺寸“" + rule.name + L"”：" + why;
            return false;
        }
        m_figures[rule.name] = value;
        OrderItem item;
        item.category = rule.name;
        item.name = formula.explain(names) + (rule.note.empty() ? L"" : L"，" + rule.note);
        item.figure = tenth(value);
        item.spec = formatMillimetres(value);
        item.isFigure = true;
        list.items.push_back(item);
    }
    return true;
}

HoleItem OrderBuilder::holeItem(const std::wstring& plate, const std::wstring& process, int32_t number,
                                const Hole& hole) const {
    HoleItem item;
    item.plate = plate;
    item.process = process;
    item.x = tenth(hole.steps.begin()->second.first);
    item.y = tenth(hole.steps.begin()->second.second);
    auto tapped = m_tapped.find(std::make_tuple(plate, process, number));
    item.size = (tapped != m_tapped.end() ? L"M" : L"Ø") + formatMillimetres(hole.d());
    // A thread deeper than its plate is thick is tapped through.
    auto record = m_stack.plates.find(plate);
    if (tapped != m_tapped.end() &&
        (hole.sideFace || record == m_stack.plates.end() || tapped->second < record->second->thickness))
        item.depth = tenth(tapped->second);
    for (auto step = std::next(hole.steps.begin()); step != hole.steps.end(); ++step)
        item.counterbore += (item.counterbore.empty() ? L"Ø" : L"/Ø") + formatMillimetres(step->first);
    return item;
}

void OrderBuilder::addHoleTable(OrderList& list) const {
    // The spacer blocks' holes are drawn on the spacer outline; each is listed
    // under the block it goes through, from that block's own centre.
    std::map<std::wstring, std::vector<HoleItem>> spacerHoles;
    auto outline = m_stack.plates.find(kDerivedSpacer);
    auto holes = m_holes.find(kDerivedSpacer);
    if (outline != m_stack.plates.end() && holes != m_holes.end()) {
        const double half = outline->second->width / 2;
        for (const auto& process : holes->second)
            for (const auto& numbered : process.second) {
                HoleItem item = holeItem(kDerivedSpacer, process.first, numbered.first, numbered.second);
                for (const wchar_t* spacer : {kLeftSpacer, kRightSpacer}) {
                    auto block = m_stack.plates.find(spacer);
                    if (block == m_stack.plates.end()) continue;
                    const double width = block->second->width;
                    const double centre = spacer == kLeftSpacer ? -half + width / 2 : half - width / 2;
                    if (std::fabs(item.x - centre) <= width / 2 && item.plate == kDerivedSpacer) {
                        item.plate = spacer;
                        item.x = tenth(item.x - centre);
                    }
                }
                spacerHoles[item.plate].push_back(item);
            }
    }
    for (const std::wstring& plate : platesInOrder()) {
        auto own = m_holes.find(plate);
        if (own != m_holes.end())
            for (const auto& process : own->second)
                for (const auto& numbered : process.second)
                    list.holes.push_back(holeItem(plate, process.first, numbered.first, numbered.second));
        auto moved = spacerHoles.find(plate);
        if (moved != spacerHoles.end()) list.holes.insert(list.holes.end(), moved->second.begin(), moved->second.end());
    }
    auto left = spacerHoles.find(kDerivedSpacer);  // between the blocks: listed on the outline
    if (left != spacerHoles.end()) list.holes.insert(list.holes.end(), left->second.begin(), left->second.end());
}

bool OrderBuilder::build(OrderList& list, std::wstring& problem) {
    const MouldBaseParams& p = *m_stack.params;
    if (m_stack.plates.empty()) {
        winFormat(problem, L"标准库中没有型号 %s、花式 %s 的模板", p.mouldCode.c_str(), p.style.c_str());
        return false;
    }
    if (!loadRules(problem)) return false;
    m_installWay = p.guideReversed == L"是" ? 0 : 1;
    loadHoles();
    list.title = p.mouldCode + L" " + p.style;

    double plateWeight = 0;
    addPlates(list, plateWeight);
    for (const PartRule& rule : m_rules) {
        if (!applies(rule)) continue;
        if (rule.row.counting == L"lock") addLocks(rule);
        else if (!addHoleParts(rule, problem)) return false;
    }
    std::stable_sort(m_parts.begin(), m_parts.end(),
                     [](const Tally& a, const Tally& b) { return a.sortOrder < b.sortOrder; });
    for (const Tally& t : m_parts) list.items.push_back(t.item);

    OrderItem total;
    total.category = L"合计";
    total.name = L"模板毛坯";
    total.totalWeight = tenth(plateWeight);
    list.items.push_back(total);
    if (!addFigures(list, problem)) return false;
    addHoleTable(list);
    return true;
}

}  // namespace

bool computeOrderList(const MouldBaseModel& design, OrderList& list, std::wstring& problem) {
    list = OrderList();
    problem.clear();
    // The whole base, laid out from the design's choices alone: a drawing of a
    // few plates (the display filter) still orders every plate of the style.
    MouldBaseModel stack;
    *stack.params = *design.params;
    stack.insertPoint = design.insertPoint;
    ComputePlateLayout(stack);

    CatalogueDb catalogue;
    catalogue.open(ModulePaths::getCatalogPathUtf8());
    OrderBuilder builder(design, stack, catalogue);
    const bool ok = builder.build(list, problem);
    catalogue.close();
    return ok;
}

std::wstring formatKilograms(double value) {
    std::wstring text;
    winFormat(text, L"%.1f", tenth(value) + 0.0);
    return text;
}

std::vector<std::wstring> orderItemCells(const OrderItem& item) {
    return {item.category,
            item.name,
            item.spec,
            item.quantity < 0 ? std::wstring() : std::to_wstring(item.quantity),
            item.material,
            item.unitWeight < 0 ? std::wstring() : formatKilograms(item.unitWeight),
            item.totalWeight < 0 ? std::wstring() : formatKilograms(item.totalWeight)};
}
