// The shared drawing tools: rectangles remembered by side, centre lines on the
// centre-line layer, and corner radius dimensions. They sit on the entity
// services and draw with the process-wide dimension style.
#include "draw/drawing_tools.h"

#include <cmath>
#include <cwchar>

#include "draw/drawing_styles.h"
#include "draw/entity_services.h"

namespace {
// The drawing template's layer for centre lines; the module never makes it.
const wchar_t* const kCentreLineLayer = L"中心线层";
}  // namespace

DrawingTools* DrawingTools::instance() {
    static DrawingTools tools;
    return &tools;
}

void DrawingTools::drawRectangle(const VRxGePoint3d& corner, double w, double h, SideLineMap& sides,
                                 int colorIndex, const wchar_t* linetype) {
    const double x = corner.x, y = corner.y;
    const VRxGePoint3d tl(x, y, 0.0), tr(x + w, y, 0.0), br(x + w, y - h, 0.0), bl(x, y - h, 0.0);
    const VRxDbObjectId left = addLine(tl, bl, colorIndex, linetype);
    const VRxDbObjectId top = addLine(tl, tr, colorIndex, linetype);
    const VRxDbObjectId right = addLine(tr, br, colorIndex, linetype);
    const VRxDbObjectId bottom = addLine(br, bl, colorIndex, linetype);
    // emplace leaves a side already recorded alone; a line the drawing refused
    // leaves its side free rather than holding a null id.
    if (!right.isNull()) sides.emplace(kRight, right);
    if (!left.isNull()) sides.emplace(kLeft, left);
    if (!bottom.isNull()) sides.emplace(kBottom, bottom);
    if (!top.isNull()) sides.emplace(kTop, top);
}

void DrawingTools::drawCentreLines(const VRxGePoint3d& corner, double w, double h, VRxDbObjectIdArray& ids,
                                   const wchar_t* viewName) {
    const double x = corner.x, y = corner.y;
    if (viewName != nullptr && std::wcschr(viewName, L'A') != nullptr) {
        const VRxDbObjectId vertical = addLine(VRxGePoint3d(x + w / 2, y, 0.0), VRxGePoint3d(x + w / 2, y - h, 0.0));
        if (!vertical.isNull()) ids.push_back(vertical);
    }
    if (viewName != nullptr && std::wcscmp(viewName, L"A1") == 0) {
        const VRxDbObjectId horizontal =
            addLine(VRxGePoint3d(x, y - h / 2, 0.0), VRxGePoint3d(x + w, y - h / 2, 0.0));
        if (!horizontal.isNull()) ids.push_back(horizontal);
    }
    // The whole list is styled, lines of earlier calls included.
    applyLayerStyle(std::make_unique<VRxDbObjectIdArray>(ids), kCentreLineLayer, 1);
}

bool DrawingTools::addCornerRadiusDimension(const VRxGePoint3d& point, int32_t placement, int32_t code, double r) {
    if (!std::isfinite(r) || std::fabs(r) < 0.001) return false;
    const double pi = 4.0 * std::atan(1.0);
    const double k = r * std::cos(pi * 45.0 / 180.0);
    const double px = point.x, py = point.y, z = point.z;

    VRxGePoint3d c, kp, m, n;
    double a = 0.0;
    switch (code) {
    case kTopRight:
        c = {px - r, py - r, z}; a = pi / 4;
        kp = {px - k, py - k, z}; m = {px, py - r, z}; n = {px - r, py, z};
        break;
    case kBottomRight:
        c = {px - r, py + r, z}; a = -pi / 4;
        kp = {px - k, py + k, z}; m = {px, py + 2 * r, z}; n = {px - 2 * r, py, z};
        break;
    case kBottomLeft:
        c = {px + r, py + r, z}; a = 5 * pi / 4;
        kp = {px + k, py + k, z}; m = {px, py + 2 * r, z}; n = {px + 2 * r, py, z};
        break;
    case kTopLeft:
        c = {px + r, py - r, z}; a = 3 * pi / 4;
        kp = {px + k, py - k, z}; m = {px, py - 2 * r, z}; n = {px + 2 * r, py, z};
        break;
    default:
        return false;
    }

    VRxGePoint3d base;
    switch (placement) {
    case 0: base = c; break;
    case 1: base = kp; break;
    case 2: base = m; break;
    case 3: base = n; break;
    default: return false;
    }
    const VRxGePoint3d chord(base.x + r * std::cos(a), base.y + r * std::sin(a), z);
    return !addRadialDimension(base, chord, r, nullptr, dimStyleId).isNull();
}
