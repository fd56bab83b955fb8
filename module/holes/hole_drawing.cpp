// Drawing a plate's machining holes. Block names come from the catalogue per
// process, plate, view and install way (reversed guide pillars use their own
// blocks); the hole's nominal diameter in front of the name picks the drawing
// of that size, and the plate's thickness behind it the drawing made for a
// plate that thick, where there is one. Missing configuration or files are
// named on the command line and the drawing goes on.
#include "holes/hole_drawing.h"

#include <climits>
#include <cmath>
#include <map>
#include <memory>

#include "catalogue/catalogue_queries.h"
#include "draw/block_services.h"
#include "draw/entity_services.h"
#include "resources/module_paths.h"
#include "vrxed.h"

namespace {

const wchar_t* const kPlanView = L"A1";
const wchar_t* const kUpperMould = L"上模";

}  // namespace

std::wstring holeBlockFile(int nominal, const std::wstring& blockName, double thickness) {
    const std::wstring name = std::to_wstring(nominal) + blockName;
    // Whole millimetres, as the drawings are named; a thickness no drawing can
    // be made for goes straight to the drawing for any thickness.
    if (thickness >= 0.5 && thickness < 100000.0) {
        const std::wstring sized =
            ModulePaths::getBlockFilePath(name + L"-" + std::to_wstring(static_cast<long>(std::floor(thickness + 0.5))));
        if (fileExists(sized.c_str())) return sized;
    }
    return ModulePaths::getBlockFilePath(name);
}

int nominalDiameter(const Models::StandardMultiHole& hole) {
    const double d = hole.getKeyRadius() * 2.0;
    const double rounded = d > 0.0 ? std::floor(d + 0.5) : std::ceil(d - 0.5);
    // A catalogue value beyond any real hole must not overflow into a wrong name.
    if (!(rounded > INT_MIN && rounded < INT_MAX)) return 0;
    return static_cast<int>(rounded);
}

bool isInViewQuadrant(const Models::StandardMultiHole& hole, const std::wstring& location) {
    if (location == kUpperMould) return hole.getX() < 0.0 && hole.getY() < 0.0;
    return hole.getX() > 0.0 && hole.getY() < 0.0;
}

void drawHoleGroup(DrawnHoleGroup& group, PlateView& view) {
    if (group.holeGroups == nullptr || view.plate == nullptr) return;
    // A group's holes share one or two sizes: each drawing is looked for once.
    std::map<int, std::wstring> files;
    for (auto& entry : *group.holeGroups) {
        Models::StandardMultiHole* hole = entry.second;
        if (hole == nullptr) continue;
        if (isInViewQuadrant(*hole, view.plate->location)) group.representative = hole;

        VRxGePoint3d position(view.centreX + hole->getX(), view.centreY + hole->getY(), 0.0);
        if (view.code != kPlanView) {
            // The side view looks at the plate's front face: only holes drilled
            // straight down show there, at their X on the mid-thickness line,
            // where the drawings for the plate's thickness have their middle.
            if (std::fabs(hole->rotation) >= 0.001) continue;
            position.y = view.centreY;
        }

        const int nominal = nominalDiameter(*hole);
        auto file = files.find(nominal);
        if (file == files.end())
            file = files.emplace(nominal, holeBlockFile(nominal, group.blockName, view.plate->thickness)).first;
        insertStandardPart(file->second, position, 1.0, hole->rotation);
    }
}

void drawPlateHoles(PlateHoleSet& holeSet, PlateView& view) {
    if (holeSet.holes == nullptr || view.plate == nullptr) return;
    for (auto& process : holeSet.holes->processMap()) {
        const std::wstring& processName = process.first;
        auto option = holeSet.options.find(processName);
        const int32_t installWay = option != holeSet.options.end() ? option->second : 1;

        CatalogueDb catalogue;
        catalogue.open(ModulePaths::getCatalogPathUtf8());
        std::string blockName;
        findStandardItemBlock(catalogue, processName, view.plate->name, installWay, toAnsi(view.code), blockName);
        catalogue.close();

        if (blockName.empty()) {
            // On a line of its own, like every diagnostic of the drawing.
            vrxutPrintf(L"\n%s-%s-%d-%s", processName.c_str(), view.plate->name.c_str(), installWay, view.code.c_str());
            continue;
        }
        auto group = std::make_unique<DrawnHoleGroup>();
        group->holeGroups = process.second;
        group->blockName = fromAnsi(blockName);
        drawHoleGroup(*group, view);
        // The plate's other view may have been drawn first; its record stays.
        if (holeSet.groups.count(processName) == 0) {
            holeSet.groups.emplace(processName, group.get());
            group.release();
        }
    }
}

void freeDrawnRecord(DrawnHoleGroup* record) { delete record; }
