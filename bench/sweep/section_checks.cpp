// The hole block checks of one swept drawing. A block's outline is what it
// draws apart from its centre lines (colour 1): the circles of a round hole,
// or the lines of a hole seen from its side (an eyebolt hole running in from
// an edge, a clamp slot, a section). Touching is allowed, overlapping is not.
#include "section_checks.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "vrxdbdims.h"
#include "vrxdbents.h"
#include "winhost.h"

namespace sweep {
namespace {

const double kTol = 1e-6;
const uint16_t kCentreLine = 1;

struct Rect {
    double x0, y0, x1, y1;
    bool contains(double x, double y) const {
        return x >= x0 - kTol && x <= x1 + kTol && y >= y0 - kTol && y <= y1 + kTol;
    }
};

struct Circle {
    double x, y, r;
};

// One hole block as drawn: its file name, where it stands, its outline.
struct HoleBlock {
    std::string name;
    VRxGePoint3d at;
    std::vector<Circle> circles;
    Rect lines{1e300, 1e300, -1e300, -1e300};  // the box round its lines
    bool hasLines = false;
    Rect box() const {
        Rect b = hasLines ? lines : Rect{at.x, at.y, at.x, at.y};
        for (const Circle& c : circles) b = {std::min(b.x0, c.x - c.r), std::min(b.y0, c.y - c.r),
                                             std::max(b.x1, c.x + c.r), std::max(b.y1, c.y + c.r)};
        return b;
    }
};

struct View {
    Rect rect;
    bool plan;
};

std::string number(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

std::string where(const HoleBlock& b) { return b.name + " at (" + number(b.at.x) + ", " + number(b.at.y) + ")"; }

void extend(Rect& r, const VRxGePoint3d& p) {
    r = {std::min(r.x0, p.x), std::min(r.y0, p.y), std::max(r.x1, p.x), std::max(r.y1, p.y)};
}

// The hole blocks of model space with their outlines in drawing coordinates.
std::vector<HoleBlock> holeBlocks(const VRxDbDatabase& db) {
    std::vector<HoleBlock> out;
    auto* space = static_cast<VRxDbBlockTableRecord*>(db.objectAt(db.modelSpaceId()));
    if (space == nullptr) return out;
    for (VRxDbObjectId id : space->entityIds()) {
        auto* ref = VRxDbBlockReference::cast(db.objectAt(id));
        if (ref == nullptr) continue;
        auto* block = VRxDbBlockTableRecord::cast(db.objectAt(ref->blockTableRecord()));
        if (block == nullptr) continue;
        std::wstring name = block->getName();
        const size_t slash = name.find_last_of(L"/\\");
        if (slash != std::wstring::npos) name = name.substr(slash + 1);
        if (name.empty() || name[0] < L'0' || name[0] > L'9') continue;
        HoleBlock h{winToUtf8(name), ref->position(), {}};
        const VRxGeMatrix3d m = ref->blockTransform(block->origin());
        const double scale = m.scaleXY();
        for (VRxDbObjectId eid : block->entityIds()) {
            auto* e = VRxDbEntity::cast(db.objectAt(eid));
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
    auto* space = static_cast<VRxDbBlockTableRecord*>(db.objectAt(db.modelSpaceId()));
    if (space == nullptr) return {};
    for (VRxDbObjectId id : space->entityIds())
        if (auto* d = VRxDbRotatedDimension::cast(db.objectAt(id)))
            dims.push_back({d->xLine1Point(), d->xLine2Point(), std::fabs(std::fabs(std::sin(d->rotation())) - 1.0) < 1e-9});
    std::vector<View> views;
    for (const Dim& w : dims) {
        if (w.upright) continue;
        const double x0 = std::min(w.from.x, w.to.x), x1 = std::max(w.from.x, w.to.x), top = w.from.y;
        for (const Dim& u : dims) {
            // The length is dimensioned at the view's left edge, or at its right edge where the
            // left one faces a neighbour (the right spacer block).
            if (!u.upright || (std::fabs(u.from.x - x0) > kTol && std::fabs(u.from.x - x1) > kTol)) continue;
            const double y0 = std::min(u.from.y, u.to.y), y1 = std::max(u.from.y, u.to.y);
            views.push_back({{x0, y0, x1, y1}, std::fabs(u.from.y - top) < kTol});
        }
    }
    return views;
}

bool overlap(const HoleBlock& a, const HoleBlock& b) {
    for (const Circle& p : a.circles)
        for (const Circle& q : b.circles)
            if (std::hypot(p.x - q.x, p.y - q.y) < p.r + q.r - kTol) return true;
    auto circleInBox = [](const Circle& c, const Rect& r) {
        const double dx = std::max({r.x0 - c.x, 0.0, c.x - r.x1}), dy = std::max({r.y0 - c.y, 0.0, c.y - r.y1});
        return std::hypot(dx, dy) < c.r - kTol;
    };
    if (a.hasLines)
        for (const Circle& q : b.circles)
            if (circleInBox(q, a.lines)) return true;
    if (b.hasLines)
        for (const Circle& p : a.circles)
            if (circleInBox(p, b.lines)) return true;
    return a.hasLines && b.hasLines && a.lines.x0 < b.lines.x1 - kTol && b.lines.x0 < a.lines.x1 - kTol &&
           a.lines.y0 < b.lines.y1 - kTol && b.lines.y0 < a.lines.y1 - kTol;
}

}  // namespace

std::vector<std::string> checkHoleBlocks(const VRxDbDatabase& db) {
    std::vector<std::string> problems;
    const std::vector<View> views = plateViews(db);
    const std::vector<HoleBlock> blocks = holeBlocks(db);
    std::vector<std::vector<const HoleBlock*>> inView(views.size());
    for (const HoleBlock& b : blocks) {
        size_t found = views.size();
        for (size_t v = 0; v < views.size() && found == views.size(); ++v)
            if (views[v].rect.contains(b.at.x, b.at.y)) found = v;
        if (found == views.size()) {
            problems.push_back(where(b) + " stands in no plate view");
            continue;
        }
        inView[found].push_back(&b);
        const Rect& r = views[found].rect;
        const Rect box = b.box();
        const double out = std::max({r.x0 - box.x0, box.x1 - r.x1, r.y0 - box.y0, box.y1 - r.y1});
        if (out > kTol)
            problems.push_back(where(b) + (views[found].plan ? " passes the plate's edge by " : " passes a face by ") +
                               number(out));
    }
    for (size_t v = 0; v < views.size(); ++v) {
        if (!views[v].plan) continue;
        const auto& in = inView[v];
        for (size_t i = 0; i < in.size(); ++i)
            for (size_t j = i + 1; j < in.size(); ++j)
                if (overlap(*in[i], *in[j])) problems.push_back(where(*in[i]) + " runs into " + where(*in[j]));
    }
    return problems;
}

}  // namespace sweep
