// The extents of a built scene: every point of every shape and the box of every
// line of text, so the fitted picture cuts nothing off.
#include "scene.h"

#include <algorithm>
#include <cmath>

namespace zdtpreview {

void Bounds::add(const VRxGePoint2d& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    if (empty) {
        x0 = x1 = p.x;
        y0 = y1 = p.y;
        empty = false;
        return;
    }
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
}

Bounds Scene::bounds() const {
    Bounds b;
    for (const Stroke& s : strokes) {
        // A wide polyline reaches half its width beyond its points.
        const double half = s.width / 2.0;
        for (const VRxGePoint2d& p : s.points) {
            b.add(VRxGePoint2d(p.x - half, p.y - half));
            b.add(VRxGePoint2d(p.x + half, p.y + half));
        }
    }
    for (const Fill& f : fills)
        for (const VRxGePoint2d& p : f.points) b.add(p);
    for (const Label& l : labels) {
        const VRxGePoint2d along(std::cos(l.rotation), std::sin(l.rotation));
        const VRxGePoint2d up(-along.y, along.x);
        for (double a : {0.0, l.advance})
            for (double u : {-l.below, l.above})
                b.add(VRxGePoint2d(l.origin.x + along.x * a + up.x * u, l.origin.y + along.y * a + up.y * u));
    }
    return b;
}

}  // namespace zdtpreview
