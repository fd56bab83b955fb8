// The layout of the pin-point series. The support pins take the corners; the D
// styles' A/B guide pillars stand in line with them along the long sides,
// moved towards the middle until their bushes keep ten millimetres of steel to
// the pins' bushes and stand clear of the A and B plates' eyebolts. The puller
// bolts hang the A plate from the runner stripper plate in the middle of the
// long sides, over the middle of the spacer blocks, so that their heads, which
// the first opening's stroke brings down under the moving plates, run in
// clearances bored into the spacer blocks; the pins' ends, which lie over the
// spacer blocks' inner edge, run in reliefs milled into the blocks from the
// ejector housing's side. The stop bolts hang the runner stripper plate from
// the top clamp plate on the support pins' lines. The bottom clamp screws take
// what room the pillars, the bolts and the reliefs leave over the spacer blocks.
// Under the parting line everything else is laid out as in the side-gate series.
#include <algorithm>
#include <cmath>

#include "hole_layout.h"
#include "layout_rows.h"

namespace catalogue {

namespace {

// Whether a part of radius r at (±x, ±y) keeps its gap to everything kept out.
bool clearAtFourCorners(const std::vector<KeepOut>& keep, double x, double y, double r) {
    for (const KeepOut& k : keep)
        for (double side : {-1.0, 1.0})
            if (!clearOf(k, {side * x, y}, r, kLayoutGap) || !clearOf(k, {side * x, -y}, r, kLayoutGap)) return false;
    return true;
}

// How far from the plate's middle (along the length) the D styles' A/B guide
// pillars stand on the line x: the support pins' pitch in, or further.
double guidePillarLine(const Sources& src, const Size& s, double x, double y) {
    const double pitch = std::ceil(((s.var("spbush") + s.var("bush")) / 2 + 10) * 2) / 2;
    const double r = std::max(s.var("collar"), s.var("head")) / 2;  // the pillar's widest hole in A or B
    std::vector<KeepOut> keep;
    for (const char* plate : {"A板", "B板"}) addEyebolts(keep, src, s, plate);
    for (double yd = y - pitch; yd > r; yd -= 0.5)
        if (clearAtFourCorners(keep, x, yd, r)) return yd;
    throw Failure(s.code + ": the A/B guide pillars find no room clear of the A and B plates' eyebolts");
}

// How far from the middle (along the length) the puller bolts stand on the
// line x: in the middle of the long sides, or as near it as the eyebolts of
// the plates they pass let them.
double pullerLine(const Sources& src, const Size& s, double x) {
    const double r = std::max({s.var("pbc"), s.var("pbh"), s.var("pb")}) / 2;
    std::vector<KeepOut> keep;
    for (const char* plate : {"水口板", "A板", "成品推板", "B板", "托板"}) addEyebolts(keep, src, s, plate);
    for (double y = 0; y < s.L / 2 - r; y += 0.5)
        if (clearAtFourCorners(keep, x, y, r)) return y;
    throw Failure(s.code + ": the puller bolts find no room clear of the eyebolts");
}

}  // namespace

CodeLayout layoutPinPoint(const Sources& src, const Size& s, char family) {
    CodeLayout out;
    const double W = s.W, L = s.L, off = s.var("off");
    const double x = W / 2 - s.var("spe"), y = L / 2 - s.var("spe");
    // Numbered as the guide pillars are; the third sits `off` nearer the end
    // face (across, it would come nearer the ejector plates its end passes).
    out.supportPins = {{-x, y}, {x, y}, {x, -(y + off)}, {-x, -y}};
    if (family == 'D') {
        const double yd = guidePillarLine(src, s, x, y);
        out.pillars = {{-x, yd}, {x, yd}, {x - off, -yd}, {-x, -yd}};
    }
    // The reliefs reach spr into the spacer block from its inner face, at the pins' ends.
    const double xr = W / 2 - s.ssbw + s.var("spr") / 2;
    for (const Point& p : out.supportPins) out.pinReliefs.push_back({std::copysign(xr, p.x), p.y});
    const double ys = std::floor(y) / 2;
    out.stops = corners(x, ys);
    std::vector<KeepOut> pillars;
    addCircles(pillars, out.supportPins, std::max(s.var("spbush"), s.var("sp") + 2) / 2);
    addCircles(pillars, out.pillars, std::max(s.var("collar"), s.var("head")) / 2);
    layoutEjectorSide(src, s, y, pillars, out);

    // The bottom clamp screws through the spacer blocks into the B plate, clear
    // of what else passes the B and support plates over the spacer blocks: as
    // near the plate's ends as they can stand, else wherever the row has room.
    const double r = s.var("ts") / 2, head = (s.var("tsc") - s.var("ts")) / 2;
    // In the spacer blocks the screws pass in their clearance, beside the
    // bolts' clearances and the pins' reliefs.
    const double clearance = (s.var("tsd") - s.var("ts")) / 2;
    // Of the A/B guide pillars the screws meet only their heads' counterbores in the B plate.
    std::vector<KeepOut> keep;
    addCircles(keep, out.supportPins, std::max(s.var("spbush"), s.var("sp") + 2) / 2);
    addCircles(keep, out.pillars, std::max(s.var("head"), s.var("gp") + 2) / 2);
    const double dx = s.var("spr") / 2, dy = (s.var("sp") + 2) / 2;
    for (const Point& p : out.pinReliefs)
        keep.push_back(boxOf(grown({p.x - dx, p.y - dy, p.x + dx, p.y + dy}, clearance)));
    addLockZones(keep, s);
    addBottomScrewEyebolts(keep, src, s);
    addSlots(keep, s, s.var("bcsd"), head);
    const double xb = bottomScrewLine(s), yhi = L / 2 - s.var("tsc") / 2 - 5, pitch = pitchLimit(s.var("ts"));

    // The puller bolts stand over the middle of the spacer blocks, so that the
    // bore their heads run in leaves the block as much wall outside as towards
    // the ejector housing; where the bottom clamp screws then find no room
    // beside them, they move across the block as little as lets the screws
    // pass (the further from the screws' line, the more room the row has),
    // keeping at least four millimetres of steel to either side.
    const double pbc = s.var("pbc"), middle = std::floor((W / 2 - s.ssbw / 2) * 2) / 2;
    auto fits = [&](double xp) {
        const double yp = pullerLine(src, s, xp);
        out.pullers = {{-xp, yp}, {xp, yp == 0 ? 0.0 : -yp}};
        std::vector<KeepOut> row = keep;
        addCircles(row, out.pullers, pbc / 2 + clearance);
        std::vector<double> ys2 = tryPlaceRow(xb, r, yhi, yhi - pitch / 2, pitch, 2, row);
        if (ys2.empty()) ys2 = tryPlaceRow(xb, r, yhi, 0, pitch, 2, row);
        out.bottomScrews = mirrored(xb, ys2);
        return !ys2.empty();
    };
    if (fits(middle)) return out;
    const int steps = static_cast<int>(std::floor((s.ssbw / 2 - kLayoutGap - 1 - pbc / 2) * 2));
    int best = 0;
    double bestSide = 0;
    for (double side : {-1.0, 1.0}) {
        if (!fits(middle + side * steps / 2.0)) continue;
        int lo = 0, hi = steps;  // lo does not fit, hi does
        while (hi - lo > 1) {
            const int mid = (lo + hi) / 2;
            (fits(middle + side * mid / 2.0) ? hi : lo) = mid;
        }
        if (best == 0 || hi < best) best = hi, bestSide = side;
    }
    if (best > 0 && fits(middle + bestSide * best / 2.0)) return out;
    throw Failure(s.code + ": the bottom clamp screws find no room beside the pillars and bolts");
}

}  // namespace catalogue
