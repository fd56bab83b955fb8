// The hole block checks of one swept drawing. A block's outline is what it
// draws apart from its centre lines (colour 1): the circles of a round hole,
// or the lines of a hole seen from its side (an eyebolt hole running in from
// an edge, a clamp slot, a section). Touching is allowed, overlapping is not.
#include "section_checks.h"

#include <algorithm>
#include <cmath>
#include <sstream>


namespace sweep {
namespace {

const double kTol = kDrawnTol;

std::string number(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

std::string where(const HoleBlock& b) { return b.name + " at (" + number(b.at.x) + ", " + number(b.at.y) + ")"; }

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

std::vector<std::string> checkHoleBlocks(const DrawnHoles& drawn) {
    std::vector<std::string> problems;
    const std::vector<View>& views = drawn.views;
    const std::vector<HoleBlock>& blocks = drawn.blocks;
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
