// Reading plate views and hole blocks back from a swept drawing.
#include "drawn_holes.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "vrxdbdims.h"
#include "vrxdbents.h"
#include "winhost.h"
#include "vrxdbobjecttable.h"

namespace sweep {
namespace {

const uint16_t kCentreLine = 1;

void extend(Rect& r, const VRxGePoint3d& p) {
    r = {std::min(r.x0, p.x), std::min(r.y0, p.y), std::max(r.x1, p.x), std::max(r.y1, p.y)};
}

}  // namespace

Rect HoleBlock::box() const {
    Rect b = hasLines ? lines : Rect{at.x, at.y, at.x, at.y};
    for (const Circle& c : circles)
        b = {std::min(b.x0, c.x - c.r), std::min(b.y0, c.y - c.r), std::max(b.x1, c.x + c.r), std::max(b.y1, c.y + c.r)};
    return b;
}

// The hole blocks of model space with their outlines in drawing coordinates.
namespace {

std::vector<HoleBlock> holeBlocks(const VRxDbDatabase& db) {
    std::vector<HoleBlock> out;
    auto* space = static_cast<VRxDbBlockTableRecord*>(vrxdbObjectAt(db, db.modelSpaceId()));
    if (space == nullptr) return out;
    for (VRxDbObjectId id : space->entityIds()) {
        auto* ref = VRxDbBlockReference::cast(vrxdbObjectAt(db, id));
        if (ref == nullptr) continue;
        auto* block = VRxDbBlockTableRecord::cast(vrxdbObjectAt(db, ref->blockTableRecord()));
        if (block == nullptr) continue;
        std::wstring name = block->getName();
        const size_t slash = name.find_last_of(L"/\\");
        if (slash != std::wstring::npos) name = name.substr(slash + 1);
        if (name.empty() || name[0] < L'0' || name[0] > L'9') continue;
        HoleBlock h{winToUtf8(name), ref->position(), {}};
        const VRxGeMatrix3d m = ref->blockTransform(block->origin());
        const double scale = m.scaleXY();
        for (VRxDbObjectId eid : block->entityIds()) {
            auto* e = VRxDbEntity::cast(vrxdbObjectAt(db, eid));
            if (e == nullptr || e->colorIndex() == kCentreLine) continue;
            if (auto* line = VRxDbLine::cast(e)) {
                extend(h.lines, m.transform(line->startPoint()));
                extend(h.lines, m.transform(line->endPoint()));
                h.hasLines = true;
            } else if (auto* circle = VRxDbCircle::cast(e)) {
                const VRxGePoint3d c = m.transform(circle->center());
                h.circles.push_back({c.x, c.y, circle->radius() * scale});
            } else if (auto* arc = VRxDbArc::cast(e)) {
                const VRxGePoint3d c = m.transform(arc->center());
                h.circles.push_back({c.x, c.y, arc->radius() * scale});
            }
        }
        out.push_back(h);
    }
    return out;
}

// Every plan and side view, from the plates' size dimensions.
std::vector<View> plateViews(const VRxDbDatabase& db) {
    struct Dim {
        VRxGePoint3d from, to;
        bool upright;
    };
    std::vector<Dim> dims;
    auto* space = static_cast<VRxDbBlockTableRecord*>(vrxdbObjectAt(db, db.modelSpaceId()));
    if (space == nullptr) return {};
    for (VRxDbObjectId id : space->entityIds())
        if (auto* d = VRxDbRotatedDimension::cast(vrxdbObjectAt(db, id)))
            dims.push_back({d->xLine1Point(), d->xLine2Point(), std::fabs(std::fabs(std::sin(d->rotation())) - 1.0) < 1e-9});
    std::vector<View> views;
    for (const Dim& w : dims) {
        if (w.upright) continue;
        const double x0 = std::min(w.from.x, w.to.x), x1 = std::max(w.from.x, w.to.x), top = w.from.y;
        for (const Dim& u : dims) {
            // The length is dimensioned at the view's left edge, or at its right edge where the
            // left one faces a neighbour (the right spacer block).
            if (!u.upright || (std::fabs(u.from.x - x0) > kDrawnTol && std::fabs(u.from.x - x1) > kDrawnTol)) continue;
            const double y0 = std::min(u.from.y, u.to.y), y1 = std::max(u.from.y, u.to.y);
            views.push_back({{x0, y0, x1, y1}, std::fabs(u.from.y - top) < kDrawnTol});
        }
    }
    return views;
}

}  // namespace

DrawnHoles readDrawnHoles(const VRxDbDatabase& db) { return {plateViews(db), holeBlocks(db)}; }

std::string catalogueBlockName(const std::string& drawing) {
    size_t start = 0;
    while (start < drawing.size() && std::isdigit(static_cast<unsigned char>(drawing[start]))) ++start;
    std::string name = drawing.substr(start);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dwg") == 0) name.resize(name.size() - 4);
    // A drawing made for one plate thickness ends in "-<thickness>".
    const size_t dash = name.rfind('-');
    if (dash != std::string::npos && dash + 1 < name.size() &&
        std::all_of(name.begin() + dash + 1, name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        name.resize(dash);
    return name;
}

}  // namespace sweep
