// Pocket outline geometry. A fillet corner's arc is the quarter circle of
// radius r tangent to both edges; a relief corner's arc is the half circle of
// radius r through the corner point itself, meeting each edge sqrt(2)·r away.
#include "pockets/pocket_outline.h"

#include <cmath>

#include "draw/entity_services.h"

namespace {

// How far the arc's ends lie from the corner along the edges (a) and how far
// its middle point lies from the corner along each axis (b).
void cornerOffsets(const CornerSpec& spec, double& a, double& b) {
    const double r = spec.radius;
    switch (spec.type) {
    case FilletCorner:
        a = r;
        b = r - r * std::sqrt(2.0) / 2.0;
        break;
    case ReliefCorner:
        a = std::sqrt(2.0) * r;
        b = 0.0;
        break;
    default:
        // An unknown cut draws the plain corner.
        a = 0.0;
        b = 0.0;
        break;
    }
}

VRxGePoint2d flat(const VRxGePoint3d& p) { return VRxGePoint2d(p.x, p.y); }

}  // namespace

PocketRectangle pocketRectangle(const PocketRecord& pocket, double x0, double y0) {
    const double cx = x0 + pocket.centreX;
    const double cy = y0 + pocket.centreY;
    PocketRectangle r;
    r.right = cx + pocket.width / 2.0;
    r.left = cx - pocket.width / 2.0;
    r.top = cy + pocket.length / 2.0;
    r.bottom = cy - pocket.length / 2.0;
    return r;
}

double cornerOverhang(const CornerSpec& spec) {
    // The relief arc's centre lies r/sqrt(2) inside the corner on both axes, so
    // the circle reaches r - r/sqrt(2) past each edge.
    if (spec.type != ReliefCorner) return 0.0;
    return spec.radius * (1.0 - std::sqrt(2.0) / 2.0);
}

std::vector<VRxGePoint3d> pocketCornerPoints(const PocketRecord& pocket, int32_t corner, double x0, double y0) {
    auto it = pocket.corners.find(corner);
    if (it == pocket.corners.end()) return {};
    double a = 0.0, b = 0.0;
    cornerOffsets(it->second, a, b);
    const PocketRectangle r = pocketRectangle(pocket, x0, y0);
    // Each corner's points run counterclockwise, so the arc from P0 to P2
    // passes P1 whichever way round the host builds a three-point arc.
    switch (corner) {
    case 4:
        return {{r.right, r.top - a, 0.0}, {r.right - b, r.top - b, 0.0}, {r.right - a, r.top, 0.0}};
    case 5:
        return {{r.right - a, r.bottom, 0.0}, {r.right - b, r.bottom + b, 0.0}, {r.right, r.bottom + a, 0.0}};
    case 6:
        return {{r.left, r.bottom + a, 0.0}, {r.left + b, r.bottom + b, 0.0}, {r.left + a, r.bottom, 0.0}};
    case 7:
        return {{r.left + a, r.top, 0.0}, {r.left + b, r.top - b, 0.0}, {r.left, r.top - a, 0.0}};
    default:
        return {VRxGePoint3d(0.0, 0.0, 0.0), VRxGePoint3d(0.0, 0.0, 0.0), VRxGePoint3d(0.0, 0.0, 0.0)};
    }
}

bool drawPocketOutline(const PocketRecord& pocket, double x0, double y0, PocketEntityMap& lines,
                       PocketEntityMap& arcs) {
    const std::vector<VRxGePoint3d> c5 = pocketCornerPoints(pocket, 5, x0, y0);
    const std::vector<VRxGePoint3d> c4 = pocketCornerPoints(pocket, 4, x0, y0);
    const std::vector<VRxGePoint3d> c6 = pocketCornerPoints(pocket, 6, x0, y0);
    const std::vector<VRxGePoint3d> c7 = pocketCornerPoints(pocket, 7, x0, y0);
    if (c5.size() != 3 || c4.size() != 3 || c6.size() != 3 || c7.size() != 3) return false;

    auto record = [](PocketEntityMap& map, int32_t key, VRxDbObjectId id) {
        if (!id.isNull()) map[key] = id;
    };
    record(lines, 0, addLine(c5[2], c4[0]));
    record(lines, 3, addLine(c4[2], c7[0]));
    record(lines, 2, addLine(c7[2], c6[0]));
    record(lines, 1, addLine(c6[2], c5[0]));

    const std::pair<int32_t, const std::vector<VRxGePoint3d>*> corners[] = {{5, &c5}, {4, &c4}, {7, &c7}, {6, &c6}};
    for (const auto& corner : corners) {
        const std::vector<VRxGePoint3d>& p = *corner.second;
        record(arcs, corner.first, addArcThroughPoints(flat(p[0]), flat(p[1]), flat(p[2])));
    }
    return true;
}
