// Making the order list from the base laid out again and its holes as the
// drawing merges them (order_inputs.h), so the list names the holes the
// drawing shows, each machined as the block that draws it (HOLE_FORM). Every
// engineering rule (which part a hole seats, how long it is, which steel a
// plate is) is a catalogue row; this file only applies them.
#include "order/order_list.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "order/order_formula.h"
#include "order/order_inputs.h"
#include "winhost.h"

const wchar_t* const kOrderColumns[7] = {L"类别", L"名称", L"规格", L"数量", L"材料", L"单重(kg)", L"总重(kg)"};
const wchar_t* const kHoleTableName = L"孔位表";
const wchar_t* const kHoleColumns[8] = {L"模板", L"工序", L"孔径/螺纹", L"X", L"Y", L"深度", L"沉孔", L"加工面"};
const wchar_t* const kThroughHole = L"通孔";

namespace {

const wchar_t* const kDerivedSpacer = L"方铁";
const wchar_t* const kLeftSpacer = L"方铁L";
const wchar_t* const kRightSpacer = L"方铁R";
const wchar_t* const kGuidePillar = L"导柱";

const double kNoLimit = 1e300;

double tenth(double v) { return std::round(v * 10.0) / 10.0; }
double hundredth(double v) { return std::round(v * 100.0) / 100.0; }

using order_detail::Hole;
using order_detail::OrderInputs;
using order_detail::PartRule;
using order_detail::ProcessHoles;

// What one rule makes of one hole.
struct PartValue {
    double size = 0;
    double endThread = 0;  // 0: none
    double spanned = 0;    // the length formula's value
    double ordered = 0;    // the length the part is ordered in
    bool hasLength = false;
};

struct Tally {
    OrderItem item;
    int32_t sortOrder = 0;
};

class OrderBuilder {
public:
    OrderBuilder(const MouldBaseModel& design, const OrderInputs& inputs)
        : m_design(design), m_in(inputs), m_stack(inputs.stack) {}

    bool build(OrderList& list, std::wstring& problem);

private:
    std::vector<std::wstring> platesInOrder() const;
    const ProcessHoles* holesOf(const std::wstring& plate) const;  // null: none
    bool forStyle(const std::wstring& model) const;  // the style is one of model's ('' every style)
    bool applies(const PartRule& rule) const;
    std::vector<std::wstring> platesOf(const PartRule& rule) const;
    bool lookup(const std::wstring& name, const Hole* hole, double& value);
    bool evaluate(const PartRule& rule, const Hole& hole, PartValue& value, std::wstring& problem);
    double orderedLength(const std::wstring& series, double least, double most) const;
    std::wstring spec(const PartRule& rule, const PartValue& value) const;
    bool partLength(const std::wstring& name, double& value);

    void addPlates(OrderList& list, double& totalWeight) const;
    bool addHoleParts(const PartRule& rule, std::wstring& problem);
    void addLocks(const PartRule& rule);
    void tally(const PartRule& rule, const std::wstring& specText, int quantity);
    bool addFigures(OrderList& list, std::wstring& problem);
    void addHoleTable(OrderList& list) const;
    HoleItem holeItem(const std::wstring& plate, const std::wstring& process, const Hole& hole) const;

    const MouldBaseModel& m_design;
    const OrderInputs& m_in;
    const MouldBaseModel& m_stack;
    std::map<std::wstring, double> m_figures;
    std::set<std::wstring> m_evaluating;  // parts whose length is being worked out
    std::vector<Tally> m_parts;
    std::map<std::wstring, size_t> m_partIndex;
};

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

const ProcessHoles* OrderBuilder::holesOf(const std::wstring& plate) const {
    auto holes = m_in.holes.find(plate);
    return holes != m_in.holes.end() ? &holes->second : nullptr;
}

bool OrderBuilder::forStyle(const std::wstring& model) const {
    if (model.empty()) return true;
    const std::wstring styles = L"," + model + L",";
    return styles.find(L"," + m_stack.params->style + L",") != std::wstring::npos;
}

bool OrderBuilder::applies(const PartRule& rule) const {
    if (rule.row.installWay >= 0 && rule.row.installWay != m_in.installWay) return false;
    return forStyle(rule.row.model);
}

std::vector<std::wstring> OrderBuilder::platesOf(const PartRule& rule) const {
    if (rule.row.plateName.empty()) return platesInOrder();
    if (m_stack.plates.count(rule.row.plateName) == 0) return {};
    return {rule.row.plateName};
}

bool OrderBuilder::lookup(const std::wstring& name, const Hole* hole, double& value) {
    value = 0;
    if (hole != nullptr && (name == L"d" || name == L"D")) {
        value = name == L"d" ? hole->d : hole->D;
        return true;
    }
    auto plate = m_stack.plates.find(name);
    if (plate != m_stack.plates.end()) {
        value = plate->second->thickness;
        return true;
    }
    // A plate of another style: this base has none of it.
    if (m_in.materials.count(name) != 0) return true;
    auto figure = m_figures.find(name);
    if (figure != m_figures.end()) {
        value = figure->second;
        return true;
    }
    auto size = m_in.partSizes.find(name);
    if (size != m_in.partSizes.end()) {
        value = size->second;
        return true;
    }
    return m_in.partNames.count(name) != 0 && partLength(name, value);
}

// A part's length as another rule sees it: the first length the base gives a
// part of that name, 0 when the base has none.
bool OrderBuilder::partLength(const std::wstring& name, double& value) {
    value = 0;
    if (!m_evaluating.insert(name).second) return false;  // a rule that needs its own length
    bool ok = true;
    for (const PartRule& rule : m_in.rules) {
        if (rule.row.partName != name || !applies(rule) || rule.row.counting == L"lock") continue;
        for (const std::wstring& plate : platesOf(rule)) {
            const ProcessHoles* holes = holesOf(plate);
            auto process = holes != nullptr ? holes->find(rule.row.process) : ProcessHoles::const_iterator();
            if (holes == nullptr || process == holes->end() || process->second.empty()) continue;
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

// The longest length of the series from least to most (the series goes on
// past its longest in its last step), else the longest multiple of 5 mm, else
// of 1 mm; without a most, the shortest of the series from least. Negative
// when there is none.
double OrderBuilder::orderedLength(const std::wstring& series, double least, double most) const {
    const double slack = 1e-6;
    auto found = m_in.series.find(series);
    if (found == m_in.series.end() || found->second.empty()) return tenth(least);
    const std::vector<double>& l = found->second;
    const double step = l.size() > 1 ? l.back() - l[l.size() - 2] : l.back();
    if (most >= kNoLimit) {
        for (double preferred : l)
            if (preferred >= least - slack) return preferred;
        return l.back() + std::ceil((least - l.back()) / step - 1e-9) * step;
    }
    double best = -1;
    for (double preferred : l)
        if (preferred >= least - slack && preferred <= most + slack) best = preferred;
    for (double past = l.back() + step; past <= most + slack; past += step)
        if (past >= least - slack) best = past;
    if (best >= 0) return best;
    for (double unit : {5.0, 1.0}) {
        const double length = std::floor((most + slack) / unit) * unit;
        if (length >= least - slack && length > 0) return length;
    }
    return -1;
}

bool OrderBuilder::evaluate(const PartRule& rule, const Hole& hole, PartValue& value, std::wstring& problem) {
    OrderFormula::Lookup names = [&](const std::wstring& name, double& v) { return lookup(name, &hole, v); };
    double engage = 0, reach = 0;
    if (!rule.size.evaluate(names, value.size, problem) || !rule.endThread.evaluate(names, value.endThread, problem) ||
        !rule.length.evaluate(names, value.spanned, problem) || !rule.engage.evaluate(names, engage, problem) ||
        !rule.reach.evaluate(names, reach, problem))
        return false;
    value.hasLength = !rule.length.empty();
    if (rule.row.rounding.empty()) {
        value.ordered = tenth(value.spanned + engage);
        return true;
    }
    if (m_in.series.count(rule.row.rounding) == 0) {
        problem = L"长度系列“" + rule.row.rounding + L"”不在标准库中";
        return false;
    }
    // Screwed in: at least engage into its thread, at most as far as the thread goes.
    double most = kNoLimit;
    if (!rule.reach.empty()) most = value.spanned + reach;
    else if (hole.threadLength >= 0) most = value.spanned + hole.threadLength;
    value.ordered = orderedLength(rule.row.rounding, value.spanned + engage, most);
    if (value.ordered < 0) {
        problem = L"长度应在 " + formatMillimetres(value.spanned + engage) + L" 与 " + formatMillimetres(most) +
                  L" 之间，没有可订的长度";
        return false;
    }
    return true;
}

std::wstring OrderBuilder::spec(const PartRule& rule, const PartValue& value) const {
    std::wstring text = (rule.row.thread ? L"M" : L"Ø") + formatMillimetres(value.size);
    if (value.hasLength) text += L"×" + formatMillimetres(value.ordered);
    if (value.endThread > 0) text += L" M" + formatMillimetres(value.endThread);
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
    using Key = std::tuple<double, double, double>;
    std::map<Key, std::wstring> specs;
    std::map<Key, int> count;
    for (const std::wstring& plate : platesOf(rule)) {
        const ProcessHoles* holes = holesOf(plate);
        if (holes == nullptr) continue;
        auto process = holes->find(rule.row.process);
        if (process == holes->end()) continue;
        std::map<Key, int> onPlate;
        // The holes of a set share their sizes and thread: one part fits them all.
        const Hole* last = nullptr;
        Key key;
        for (const auto& numbered : process->second) {
            const Hole& hole = numbered.second;
            if (last == nullptr || hole.d != last->d || hole.D != last->D || hole.threadLength != last->threadLength) {
                PartValue value;
                std::wstring why;
                if (!evaluate(rule, hole, value, why)) {
                    problem = L"标准件规则“" + rule.row.partName + L"”（" + rule.row.process + L"）：" + why;
                    return false;
                }
                key = Key(tenth(value.size), value.ordered, tenth(value.endThread));
                if (specs.count(key) == 0) specs[key] = spec(rule, value);
                last = &hole;
            }
            ++onPlate[key];
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
        auto material = m_in.materials.find(name);
        if (material != m_in.materials.end()) {
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
    for (const StackFigureRule& rule : m_in.figureRules) {
        if (!forStyle(rule.model)) continue;
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

HoleItem OrderBuilder::holeItem(const std::wstring& plate, const std::wstring& process, const Hole& hole) const {
    HoleItem item;
    item.plate = plate;
    item.process = process;
    item.x = hundredth(hole.x);
    item.y = hundredth(hole.y);
    const HoleForm& form = *hole.form;
    item.face = form.face == L"top" ? L"顶面" : form.face == L"bottom" ? L"底面" : L"侧面";
    if (form.kind == L"slot") {
        // A rebate along the whole side: its height from the face and its depth into the side.
        item.size = L"槽高";
        appendFineMillimetres(item.size, form.cbDepth);
        item.depth = form.depth;
        return item;
    }
    if (form.kind == L"relief") {
        // A slot through the plate from its side face: its width along the
        // face and its depth into the plate.
        item.size = L"避空槽";
        appendFineMillimetres(item.size, form.bore);
        item.size += L'×';
        appendFineMillimetres(item.size, form.depth);
        return item;
    }
    item.size = form.threaded ? L"M" : L"Ø";
    appendFineMillimetres(item.size, form.bore);
    if (!form.through) item.depth = form.depth;
    if (form.cbDia > 0) {
        item.counterbore = L"Ø";
        appendFineMillimetres(item.counterbore, form.cbDia);
        item.counterbore += L'×';
        appendFineMillimetres(item.counterbore, form.cbDepth);
    }
    return item;
}

void OrderBuilder::addHoleTable(OrderList& list) const {
    // The spacer blocks' holes are drawn on the spacer outline; each is listed
    // under the block it goes through, from that block's own centre.
    std::map<std::wstring, std::vector<HoleItem>> spacerHoles;
    auto outline = m_stack.plates.find(kDerivedSpacer);
    auto holes = m_in.holes.find(kDerivedSpacer);
    if (outline != m_stack.plates.end() && holes != m_in.holes.end()) {
        const double half = outline->second->width / 2;
        for (const auto& process : holes->second)
            for (const auto& numbered : process.second) {
                HoleItem item = holeItem(kDerivedSpacer, process.first, numbered.second);
                for (const wchar_t* spacer : {kLeftSpacer, kRightSpacer}) {
                    auto block = m_stack.plates.find(spacer);
                    if (block == m_stack.plates.end()) continue;
                    const double width = block->second->width;
                    const double centre = spacer == kLeftSpacer ? -half + width / 2 : half - width / 2;
                    if (std::fabs(item.x - centre) <= width / 2 && item.plate == kDerivedSpacer) {
                        item.plate = spacer;
                        item.x = hundredth(item.x - centre);
                    }
                }
                spacerHoles[item.plate].push_back(item);
            }
    }
    for (const std::wstring& plate : platesInOrder()) {
        auto own = m_in.holes.find(plate);
        if (own != m_in.holes.end())
            for (const auto& process : own->second)
                for (const auto& numbered : process.second)
                    list.holes.push_back(holeItem(plate, process.first, numbered.second));
        auto moved = spacerHoles.find(plate);
        if (moved != spacerHoles.end()) list.holes.insert(list.holes.end(), moved->second.begin(), moved->second.end());
    }
    auto left = spacerHoles.find(kDerivedSpacer);  // between the blocks: listed on the outline
    if (left != spacerHoles.end()) list.holes.insert(list.holes.end(), left->second.begin(), left->second.end());
}

bool OrderBuilder::build(OrderList& list, std::wstring& problem) {
    const MouldBaseParams& p = *m_stack.params;
    list.title = p.mouldCode + L" " + p.style;

    double plateWeight = 0;
    addPlates(list, plateWeight);
    for (const PartRule& rule : m_in.rules) {
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
    const std::shared_ptr<const OrderInputs> inputs = order_detail::orderInputsOf(design, problem);
    if (inputs == nullptr) return false;
    OrderBuilder builder(design, *inputs);
    return builder.build(list, problem);
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
