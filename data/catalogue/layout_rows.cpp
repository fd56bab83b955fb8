// Rows of holes and what they keep clear of. A row's positions are rounded to
// the half millimetre, as a drawing dimensions them.
#include "layout_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace catalogue {

KeepOut circleAt(Point c, double r) { return {true, c, r, {}}; }
KeepOut boxOf(const Box& b) { return {false, {}, 0, b}; }

bool clearOf(const KeepOut& k, Point p, double r, double gap) {
    if (k.circle) return std::hypot(p.x - k.c.x, p.y - k.c.y) >= k.r + r + gap;
    return !overlaps(k.box, p, r, gap);
}

// Each count of holes is tried with the outermost as far out as it can stand:
// it goes inward from yhi (or from where the pitch lets it reach) down to
// lowest before one more hole is tried.
std::vector<double> tryPlaceRow(double x, double r, double yhi, double lowest, double pitch, int nmin,
                                const std::vector<KeepOut>& keep) {
    auto clear = [&](const std::vector<double>& ys) {
        for (double y : ys)
            for (const KeepOut& k : keep)
                if (!clearOf(k, {x, y}, r, kLayoutGap) || !clearOf(k, {-x, y}, r, kLayoutGap)) return false;
        return true;
    };
    for (int n = nmin; n <= 40; ++n) {
        for (int skipMiddle = 0; skipMiddle <= (n % 2 == 0 ? 1 : 0); ++skipMiddle) {
            // Spaces between the outermost holes, and the widest space.
            const int spaces = skipMiddle ? n : n - 1;
            const int widest = skipMiddle ? 2 : 1;
            const double top = std::min(yhi, pitch * spaces / (2.0 * widest));
            if (top < lowest) continue;
            for (double ymax = top; ymax >= std::max(0.0, lowest) - 1e-9; ymax -= 0.5) {
                std::vector<double> ys;
                for (int i = 0; i <= spaces; ++i)
                    if (!(skipMiddle && 2 * i == spaces))
                        ys.push_back(std::copysign(std::round(std::fabs(-ymax + 2.0 * ymax * i / spaces) * 2) / 2,
                                                   i * 2 < spaces ? -1.0 : 1.0));
                if (clear(ys)) return ys;
            }
        }
    }
    return {};
}

std::vector<double> placeRow(const std::string& what, const Size& s, double x, double r, double yhi, double pitch,
                             int nmin, const std::vector<KeepOut>& keep) {
    std::vector<double> ys = tryPlaceRow(x, r, yhi, yhi - pitch / 2.0, pitch, nmin, keep);
    if (!ys.empty()) return ys;
    char buf[160];
    std::snprintf(buf, sizeof buf, " at x = %g: no spacing keeps them clear of the parts they cross", x);
    throw Failure(s.code + ": " + what + buf);
}

std::vector<Point> mirrored(double x, const std::vector<double>& ys) {
    std::vector<Point> p;
    for (double y : ys) {
        p.push_back({-x, y});
        if (x != 0.0) p.push_back({x, y});
    }
    return p;
}

std::vector<Point> corners(double x, double y) { return {{-x, y}, {x, y}, {x, -y}, {-x, -y}}; }

Box grown(const Box& b, double by) { return {b.x0 - by, b.y0 - by, b.x1 + by, b.y1 + by}; }

void addCircles(std::vector<KeepOut>& keep, const std::vector<Point>& at, double r) {
    for (const Point& p : at) keep.push_back(circleAt(p, r));
}

void addEyebolts(std::vector<KeepOut>& keep, const Sources& src, const Size& s, const std::string& plate,
                 double grow) {
    for (int t : plateThicknesses(src, s, plate))
        for (const PlacedEyebolt& e : plateEyebolts(src, s, plate, t))
            keep.push_back(boxOf(grown(eyeboltFootprint(src, e), grow)));
}

void addLockZones(std::vector<KeepOut>& keep, const Size& s) {
    for (const Box& b : lockZones(s)) keep.push_back(boxOf(b));
}

void addSlots(std::vector<KeepOut>& keep, const Size& s, double depth, double grow) {
    keep.push_back(boxOf(grown({s.W / 2 - depth, -s.L / 2, s.W / 2, s.L / 2}, grow)));
    keep.push_back(boxOf(grown({-s.W / 2, -s.L / 2, -s.W / 2 + depth, s.L / 2}, grow)));
}

}  // namespace catalogue
