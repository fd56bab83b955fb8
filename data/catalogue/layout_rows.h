// Placing a row of holes along a line of a plate: the fewest holes the pitch
// limit allows, kept clear of the parts already laid out (circles and boxes,
// with their steel between); and the parts both series lay out alike. Shared
// by the side-gate and the pin-point layouts.
#pragma once

#include <string>
#include <vector>

#include "hole_layout.h"

namespace catalogue {

const double kLayoutGap = 3.0;  // steel left between two holes' outlines while laying out

// Something a row must keep clear of: a circle or a rectangle.
struct KeepOut {
    bool circle = true;
    Point c;
    double r = 0;
    Box box;
};

KeepOut circleAt(Point c, double r);
KeepOut boxOf(const Box& b);
bool clearOf(const KeepOut& k, Point p, double r, double gap);

// The row's y positions at x (and mirrored to -x) for holes of radius r: the
// fewest holes the pitch allows, evenly spaced (or with the middle one left
// out where the middle is taken), the outermost at most yhi and at least
// lowest. Empty when no spacing keeps clear of keep.
std::vector<double> tryPlaceRow(double x, double r, double yhi, double lowest, double pitch, int nmin,
                                const std::vector<KeepOut>& keep);
// The same with the outermost hole no more than half a pitch in from yhi, as
// near the plate's end as the parts let it; fails naming the row when none fits.
std::vector<double> placeRow(const std::string& what, const Size& s, double x, double r, double yhi, double pitch,
                             int nmin, const std::vector<KeepOut>& keep);

// Both sides of a row, and the four corners of a rectangle.
std::vector<Point> mirrored(double x, const std::vector<double>& ys);
std::vector<Point> corners(double x, double y);

// Keep-outs of what a row crosses. A row's holes differ from plate to plate (a
// counterbore in one, a tapped hole in the next): what a plate holds is kept
// clear of the row by that plate's hole, so its keep-outs grow by how much
// wider that is than the row's narrowest hole.
Box grown(const Box& b, double by);
void addCircles(std::vector<KeepOut>& keep, const std::vector<Point>& at, double r);
void addEyebolts(std::vector<KeepOut>& keep, const Sources& src, const Size& s, const std::string& plate,
                 double grow = 0);
void addLockZones(std::vector<KeepOut>& keep, const Size& s);
// The clamp slots of a straight clamp plate, as bands along the long sides.
void addSlots(std::vector<KeepOut>& keep, const Size& s, double depth, double grow);

// The parts under the parting line both series share (hole_layout.cpp): return
// pins, ejector guides, ejector plate screws, stop pins and support pillars.
// The return pins stand in line with the pillars at y along the length, or
// further in where eyebolts, locks or the pillars (what of them passes the B
// and support plates) are in the way.
void layoutEjectorSide(const Sources& src, const Size& s, double y, const std::vector<KeepOut>& pillars,
                       CodeLayout& out);
// The line of the bottom clamp screws in the spacer blocks, clear of a straight
// clamp plate's slot; and the eyebolts those screws keep clear of.
double bottomScrewLine(const Size& s);
void addBottomScrewEyebolts(std::vector<KeepOut>& keep, const Sources& src, const Size& s);
// Positions as the fixed half's plates are seen, from the parting line.
std::vector<Point> seenFromParting(const std::vector<Point>& at);

}  // namespace catalogue
