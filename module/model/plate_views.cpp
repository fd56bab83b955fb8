// Plate views and their standard marks. The plan view carries the mould maker's
// datum: the "OFFSET" mark and leader point at the corner the offset guide
// pillar is measured from, left for the upper half, right for the lower half.
#include "model/plate_views.h"

#include <cmath>
#include <string>

#include "draw/block_services.h"
#include "draw/drawing_styles.h"
#include "draw/drawing_tools.h"
#include "draw/entity_services.h"
#include "resources/module_paths.h"

namespace {

const wchar_t* const kPlanView = L"A1";

bool isPlanView(const PlateView& view) { return view.code == kPlanView; }

bool isSpacerBlock(const std::wstring& name) { return name == L"方铁L" || name == L"方铁R"; }

// The outline height: the plate's length in plan, its thickness across.
double outlineHeight(const PlateView& view) {
    return isPlanView(view) ? view.plate->length : view.plate->thickness;
}

}  // namespace

bool isUpperMouldHalf(const PlateRecord& plate) { return plate.location == L"上模"; }

void drawPlateView(PlateView& view) {
    if (view.plate == nullptr) return;
    const PlateRecord& plate = *view.plate;
    const double h = outlineHeight(view);

    // The derived spacer plate only marks the B plate's centre under the spacers.
    if (plate.name != L"方铁") {
        DrawingTools::instance()->drawRectangle(view.origin, plate.width, h, *view.sideLines, -1, nullptr);
        dimensionPlateView(view);
        if (isSpacerBlock(plate.name)) return;
    }
    DrawingTools::instance()->drawCentreLines(view.origin, plate.width, h, view.centreLines, view.code.c_str());
}

VRxDbObjectIdArray dimensionPlateView(const PlateView& view) {
    VRxDbObjectIdArray ids;
    if (view.plate == nullptr) return ids;
    const double x = view.origin.x;
    const double y = view.origin.y;
    const double w = view.plate->width;
    const double d = 3.0 * drawingScale;
    const double quarterTurn = M_PI / 2.0;
    const double* out = view.standOut;

    if (isPlanView(view)) {
        ids.push_back(addRotatedDimension(VRxGePoint3d(x, y, 0), VRxGePoint3d(x + w, y, 0),
                                       VRxGePoint3d((2.0 * x + w) / 2.0, y + d + out[DrawingTools::kTop], 0), 0.0,
                                       nullptr, dimStyleId));
    }
    // Length in plan, thickness across, on the left edge. The right spacer is
    // measured on its right edge: its left one faces the gap the ejector plates
    // move in, where the B plate's centre lines run.
    const double h = outlineHeight(view);
    const bool rightEdge = view.plate->name == L"方铁R";
    const double edge = rightEdge ? x + w : x;
    const double line = rightEdge ? x + w + d + out[DrawingTools::kRight] : x - d - out[DrawingTools::kLeft];
    ids.push_back(addRotatedDimension(VRxGePoint3d(edge, y, 0), VRxGePoint3d(edge, y - h, 0),
                                      VRxGePoint3d(line, y - h / 2.0, 0), quarterTurn, nullptr, dimStyleId));
    return ids;
}

VRxDbObjectId insertOffsetMark(const PlateView& view) {
    if (view.plate == nullptr || !isPlanView(view) || isSpacerBlock(view.plate->name)) return VRxDbObjectId::kNull;
    const PlateRecord& plate = *view.plate;
    const double s = drawingScale;
    const double x = view.origin.x;
    const double y = view.origin.y;

    // The mark stands three characters' width (half of "OFFSET") off the outline.
    const double offset = 6.0 * s / 2.0;
    const bool upper = isUpperMouldHalf(plate);
    const VRxGePoint3d point(upper ? x - offset : x + plate.width + offset, y - plate.length - 4.0 * s, 0.0);
    return insertStandardPart(ModulePaths::getBlockFilePath(upper ? L"DA2" : L"DA1"), point, plate.width / 150.0, 0.0);
}

VRxDbObjectId addOffsetLeader(const PlateView& view, const VRxGePoint3d& start) {
    if (view.plate == nullptr || !isPlanView(view)) return VRxDbObjectId::kNull;
    const PlateRecord& plate = *view.plate;
    const double s = drawingScale;
    const double x = view.origin.x;
    const double row = view.origin.y - plate.length - 2.0 * s;

    // The landing reaches two characters out from the corner, short of the
    // length dimension line, which stands three out on the left.
    const bool upper = isUpperMouldHalf(plate);
    const VRxGePoint3d vertex(upper ? x : x + plate.width, row, 0.0);
    const VRxGePoint3d end(upper ? x - 2.0 * s : x + plate.width + 2.0 * s, row, 0.0);
    return addDimLeader(start, {vertex}, end, L"OFFSET", nullptr, dimStyleId);
}

VRxDbObjectId addPlateNameLabel(const PlateView& view) {
    if (view.plate == nullptr || !isPlanView(view) || isSpacerBlock(view.plate->name)) return VRxDbObjectId::kNull;
    const PlateRecord& plate = *view.plate;
    const double t = 3.0 * drawingScale;
    const double n = static_cast<double>(plate.name.size());
    // Below whatever stands out of the bottom edge (a lock), as far as below the edge itself.
    const double below = view.origin.y - plate.length - view.standOut[DrawingTools::kBottom];
    const VRxGePoint3d position(view.origin.x + plate.width / 2.0 - n * t / 2.0, below - 2.0 * t, 0.0);
    return addText(position, plate.name.c_str(), textStyleId, t, 0.0);
}
