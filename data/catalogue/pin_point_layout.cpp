// The layout of the pin-point series. The support pins take the corners; the D
// styles' A/B guide pillars stand in line with them along the long sides,
// moved towards the middle until their bushes keep ten millimetres of steel to
// the pins' bushes and stand clear of the A and B plates' eyebolts. The puller
// bolts hang the A plate from the runner stripper plate in the middle of the
// long sides, just inside the line of the bottom clamp screws, so that their
// heads' clearance through the moving plates leaves that row its middle; the
// stop bolts hang the runner stripper plate from the top clamp plate on the
// support pins' lines. The bottom clamp screws take what room the pillars and
// the bolts leave over the spacer blocks.
// Under the parting line everything else is laid out as in the side-gate series.
#include <algorithm>
#include <cmath>

#include "hole_layout.h"
#include "layout_rows.h"

namespace catalogue {

namespace {

// How far from the plate's middle (along the length) the D styles' A/B guide
// pillars stand on the line x: the support pins' pitch in, or further.
double guidePillarLine(const Sources& src, const Size& s, double x, double y) {
    const double pitch = std::ceil(((s.var("spbush") + s.var("bush")) / 2 + 10) * 2) / 2;
    const double r = std::max(s.var("collar"), s.var("head")) / 2;  // the pillar's widest hole in A or B
    std::vector<KeepOut> keep;
    for (const char* plate : {"A板", "B板"}) addEyebolts(keep, src, s, plate);
    for (double yd = y - pitch; yd > r; yd -= 0.5) {
        bool clear = true;
        for (const KeepOut& k : keep)
            for (double side : {-1.0, 1.0})
                if (!clearOf(k, {side * x, yd}, r, kLayoutGap) || !clearOf(k, {side * x, -yd}, r, kLayoutGap))
                    clear = false;
        if (clear) return yd;
    }
    throw Failure(s.code + ": the A/B guide pillars find no room clear of the A and B plates' eyebolts");
}

}  // namespace

CodeLayout layoutPinPoint(const Sources& src, const Size& s, char family) {
    CodeLayout out;
    const double W = s.W, L = s.L, off = s.var("off");
    const double x = W / 2 - s.var("spe"), y = L / 2 - s.var("spe");
    // Numbered as the guide pillars are; the third sits `off` in.
    out.supportPins = {{-x, y}, {x, y}, {x - off, -y}, {-x, -y}};
    if (family == 'D') {
        const double yd = guidePillarLine(src, s, x, y);
        out.pillars = {{-x, yd}, {x, yd}, {x - off, -yd}, {-x, -yd}};
    }
    const double xb = bottomScrewLine(s);
    const double xp = std::floor((xb - s.var("pbc") / 2 - s.var("ts") / 2 - kLayoutGap) * 2) / 2;
    out.pullers = {{-xp, 0}, {xp, 0}};
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
    std::vector<KeepOut> keep = pillars;
    addCircles(keep, out.pullers, s.var("pbc") / 2);
    addLockZones(keep, s);
    addBottomScrewEyebolts(keep, src, s);
    addSlots(keep, s, s.var("bcsd"), head);
    const double yhi = L / 2 - s.var("tsc") / 2 - 5, pitch = pitchLimit(s.var("ts"));
    std::vector<double> ys2 = tryPlaceRow(xb, r, yhi, yhi - pitch / 2, pitch, 2, keep);
    if (ys2.empty()) ys2 = tryPlaceRow(xb, r, yhi, 0, pitch, 2, keep);
    if (ys2.empty()) throw Failure(s.code + ": the bottom clamp screws find no room beside the pillars and bolts");
    out.bottomScrews = mirrored(xb, ys2);
    return out;
}

}  // namespace catalogue
