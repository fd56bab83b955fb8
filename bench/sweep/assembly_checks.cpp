// The assembly checks. The plan views stand left to right in catalogue order;
// the spacer blocks' holes are those of the derived spacer plate "方铁". Every
// plan view is seen from the parting line, the fixed half's as the moving
// half's, so pins in line through the top plates stand at the same place from
// each view's centre.
#include "assembly_checks.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>


namespace sweep {
namespace {

const std::set<std::string> kFastening = {"面板螺丝", "底板螺丝", "针板螺丝", "限位螺丝", "小拉杆"};
const std::set<std::string> kSliding = {"水口板", "A板", "成品推板", "B板"};
const std::set<std::string> kPillars = {"导柱", "拉杆"};

std::string at(double x, double y) {
    std::ostringstream s;
    s << "(" << x << ", " << y << ")";
    return s.str();
}

}  // namespace

std::vector<std::string> checkAssembly(const DrawnHoles& drawn, const std::vector<std::string>& plates,
                                       const BlockProcesses& processes) {
    std::vector<std::string> problems;
    std::vector<View> plans;
    for (const View& v : drawn.views)
        if (v.plan) plans.push_back(v);
    std::sort(plans.begin(), plans.end(), [](const View& a, const View& b) { return a.rect.x0 < b.rect.x0; });
    if (plans.size() != plates.size()) {
        problems.push_back("the plan views (" + std::to_string(plans.size()) + ") are not the style's plates (" +
                           std::to_string(plates.size()) + ")");
        return problems;
    }

    // plate -> process -> where its holes stand from the view's centre; a block
    // of several processes counts for each
    std::map<std::string, std::map<std::string, std::set<std::pair<double, double>>>> byPlate;
    const std::vector<HoleBlock>& blocks = drawn.blocks;
    for (size_t v = 0; v < plans.size(); ++v) {
        const Rect& r = plans[v].rect;
        const bool spacer = plates[v] == "方铁L" || plates[v] == "方铁R";
        const std::string holesOf = spacer ? "方铁" : plates[v];
        for (const HoleBlock& b : blocks) {
            if (!r.contains(b.at.x, b.at.y)) continue;
            auto process = processes.find({holesOf, catalogueBlockName(b.name)});
            if (process == processes.end()) continue;
            const double x = std::round((b.at.x - (r.x0 + r.x1) / 2) * 1000) / 1000;
            const double y = std::round((b.at.y - (r.y0 + r.y1) / 2) * 1000) / 1000;
            for (const std::string& p : process->second) byPlate[plates[v]][p].insert({x, y});
        }
    }

    for (const std::string& plate : plates) {
        const auto& holes = byPlate[plate];
        bool fastened = plate == "成品推板" && holes.count("回针");
        for (const auto& p : holes) fastened = fastened || kFastening.count(p.first);
        if (!fastened) problems.push_back(plate + " is fastened by nothing");
        if (kSliding.count(plate)) {
            size_t pillars = 0;
            for (const std::string& p : kPillars)
                if (holes.count(p)) pillars = std::max(pillars, holes.at(p).size());
            if (pillars < 4) problems.push_back(plate + " slides on " + std::to_string(pillars) + " pillars, not four");
        }
    }

    if (std::find(plates.begin(), plates.end(), "水口板") != plates.end()) {
        const std::string& top = plates.front();
        const auto& pins = byPlate[top]["拉杆"];
        if (pins.size() != 4) problems.push_back(top + " holds " + std::to_string(pins.size()) + " support pins, not four");
        for (const char* plate : {"水口板", "A板"})
            if (byPlate[plate]["拉杆"] != pins) {
                std::string where;
                for (const auto& p : byPlate[plate]["拉杆"]) where += " " + at(p.first, p.second);
                problems.push_back(std::string(plate) + "'s support pins stand elsewhere than " + top + "'s:" + where);
            }
    }
    return problems;
}

}  // namespace sweep
