// What the catalogue gives the order list of one base: the whole base laid out
// (every plate of the style, whatever the display filter drew), the order rules
// of its style, and every plate's holes with the form each is machined in.
// Read once per catalogue file state and base: a designer orders the same base
// as CSV and as a workbook, and the sweep lists hundreds of bases in one run.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalogue/order_queries.h"
#include "model/mould_base_model.h"
#include "order/order_formula.h"

namespace order_detail {

// One hole: its smallest and largest step, centred on the smallest (the
// first catalogue row of a diameter wins, as in the drawing), and how the
// block that draws it says it is machined.
struct Hole {
    bool listed = false;
    double x = 0, y = 0;
    double d = 0, D = 0;
    HoleFormKey formKey;
    const HoleForm* form = nullptr;  // in the inputs' forms
    double threadLength = -1;  // a tapped hole: how long its thread is (through: the plate); else negative

    void add(double stepX, double stepY, double smallest, double largest) {
        if (!listed || smallest < d) {
            x = stepX;
            y = stepY;
            d = smallest;
        }
        D = listed ? std::max(D, largest) : largest;
        listed = true;
    }
};
using ProcessHoles = std::map<std::wstring, std::map<int32_t, Hole>>;

// A rule with its formulas read.
struct PartRule {
    StandardPartRule row;
    OrderFormula size, endThread, length, engage, reach;
};

struct OrderInputs {
    OrderInputs() = default;
    OrderInputs(const OrderInputs&) = delete;
    OrderInputs& operator=(const OrderInputs&) = delete;

    MouldBaseModel stack;     // laid out from the design's choices alone
    int32_t installWay = 1;   // the guide pillars': 0 reversed

    std::map<std::wstring, PlateMaterialRule> materials;
    std::vector<PartRule> rules;
    std::map<std::wstring, std::vector<double>> series;
    std::map<std::wstring, double> partSizes;
    std::vector<StackFigureRule> figureRules;
    std::set<std::wstring> partNames;  // of every style's rules

    std::map<std::wstring, ProcessHoles> holes;  // plate -> its holes
    std::map<HoleFormKey, HoleForm> forms;       // how they are machined
};

// The inputs of a design's order list, read afresh when the catalogue file or
// the design's choices differ from those of a list already made. Null, with
// problem, when the catalogue lacks the base or the order rules, or a rule
// cannot be used; a failure is never kept, so a catalogue mended or unlocked
// is read again at the next list.
std::shared_ptr<const OrderInputs> orderInputsOf(const MouldBaseModel& design, std::wstring& problem);
// Lets every kept input go, so the next list reads the catalogue as the first one does.
void forgetOrderInputs();

}  // namespace order_detail
