// The hole classes' values. A multi-step hole answers from its steps: the
// through hole (smallest step) places it, the widest step bounds it.
#include "holes/standard_holes.h"

#include <cmath>
#include <utility>

namespace Models {

namespace {

// A full turn, as every hole outline is closed.
double fullTurn() { return 8.0 * std::atan(1.0); }

}  // namespace

std::wstring IStandarHole::getId() const { return m_id; }

void IStandarHole::setTag(std::wstring text) { m_tag = std::move(text); }

std::wstring IStandarHole::getTag() const { return m_tag; }

StandarHole::StandarHole(double x, double y, double radius, std::wstring processName)
    : m_x(x), m_y(y), m_radius(radius), m_startAngle(0.0), m_endAngle(fullTurn()),
      m_processName(std::move(processName)) {}

StandarHole::~StandarHole() = default;

double StandarHole::getX() const { return m_x; }
double StandarHole::getY() const { return m_y; }
double StandarHole::getStartAngle() const { return m_startAngle; }
double StandarHole::getEndAngle() const { return m_endAngle; }
double StandarHole::getKeyRadius() const { return m_radius; }
double StandarHole::getRadius() const { return m_radius; }
double StandarHole::getLevel() const { return m_level; }
double StandarHole::getDepth() const { return m_depth; }
std::wstring StandarHole::getProcessName() const { return m_processName; }
void StandarHole::setLevel(double level) { m_level = level; }
void StandarHole::setDepth(double depth) { m_depth = depth; }

StandardMultiHole::StandardMultiHole() = default;

StandardMultiHole::~StandardMultiHole() {
    for (auto& step : steps) delete step.second;
    steps.clear();
}

double StandardMultiHole::getX() const { return steps.empty() ? 0.0 : steps.begin()->second->getX(); }
double StandardMultiHole::getY() const { return steps.empty() ? 0.0 : steps.begin()->second->getY(); }
double StandardMultiHole::getStartAngle() const { return 0.0; }
double StandardMultiHole::getEndAngle() const { return fullTurn(); }
double StandardMultiHole::getKeyRadius() const { return steps.empty() ? 0.0 : steps.begin()->second->getKeyRadius(); }

double StandardMultiHole::getRadius() const {
    double widest = 0.0;
    for (auto& step : steps) {
        const double r = step.second->getRadius();
        if (r >= widest) widest = r;
    }
    return widest;
}

double StandardMultiHole::getLevel() const { return steps.empty() ? 0.0 : steps.rbegin()->second->getLevel(); }

double StandardMultiHole::getDepth() const {
    double depth = 0.0;
    for (auto& step : steps) depth += step.second->getDepth();
    return depth;
}

std::wstring StandardMultiHole::getCommonProcessName() const {
    // An unnamed first step takes the name of the next; an unnamed step after a
    // named one means the steps do not share a process.
    std::wstring common;
    for (auto& step : steps) {
        const std::wstring name = step.second->getProcessName();
        if (common.empty())
            common = name;
        else if (name != common)
            return std::wstring();
    }
    return common;
}

bool StandardMultiHole::addStep(StandarHole* step) {
    if (step == nullptr) return false;
    return steps.emplace(step->getKeyRadius(), step).second;
}

}  // namespace Models
