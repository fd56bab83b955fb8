// Internal helpers for moving entities: what a matrix does to the XY plane
// (uniform or not, mirrored or not) and how a text's frame follows it while the
// text stays readable.
#pragma once

#include <algorithm>
#include <cmath>

#include "vrxgeometry.h"

namespace VRxXform {

inline const double kPi = 4.0 * std::atan(1.0);

inline VRxGeVector3d dirOf(double angle) { return {std::cos(angle), std::sin(angle), 0.0}; }

inline double angleOf(const VRxGeVector3d& v) { return VRxGeVector2d(v.x, v.y).angle(); }

// Scale of the XY plane when it is the same in every direction (rotations,
// mirrors, uniform scales); negative when the matrix distorts the plane.
inline double uniformScaleXY(const VRxGeMatrix3d& m) {
    VRxGeVector3d ex = m.transform(VRxGeVector3d::kXAxis), ey = m.transform(VRxGeVector3d::kYAxis);
    double lx = std::hypot(ex.x, ex.y), ly = std::hypot(ey.x, ey.y);
    double tol = 1e-9 * std::max(lx, ly);
    if (std::fabs(lx - ly) > tol || std::fabs(ex.x * ey.x + ex.y * ey.y) > tol * std::max(lx, ly)) return -1.0;
    return lx;
}

// Brings an angle into [0, 2π).
inline double normalise(double a) {
    const double twoPi = 2.0 * kPi;
    a = std::fmod(a, twoPi);
    if (a < 0.0) a += twoPi;
    if (a >= twoPi) a = 0.0;
    return a;
}

// The direction a text along angle a is read in: left to right, and bottom to top
// when vertical, so never upside down.
inline double readingAngle(double a) {
    a = normalise(a);
    const double eps = 1e-9;
    if (a > kPi / 2 + eps && a <= 3 * kPi / 2 + eps) a -= kPi;
    return normalise(a);
}

// Where a text frame (reading direction and up direction) ends after m.
struct TextFrame {
    double rotation = 0.0;
    double heightFactor = 1.0;  // how the text height scales
    double widthFactor = 1.0;   // how the width factor scales
    bool reversed = false;      // a mirror turned the reading direction round; anchors swap left/right
    bool flipped = false;       // a mirror turned the up direction round; anchors swap top/bottom
};

inline TextFrame transformTextFrame(const VRxGeMatrix3d& m, double rotation) {
    TextFrame f;
    VRxGeVector3d d = m.transform(dirOf(rotation));
    VRxGeVector3d u = m.transform(dirOf(rotation + kPi / 2));
    double dl = std::hypot(d.x, d.y);
    double ul = std::hypot(u.x, u.y);
    if (dl == 0.0 || ul == 0.0) return f;
    double a = angleOf(d);
    // Height is measured across the reading direction.
    double across = std::fabs(d.x * u.y - d.y * u.x) / dl;
    f.heightFactor = across;
    f.widthFactor = across > 0.0 ? dl / across : 1.0;
    if (m.isMirroredXY()) {
        // A mirror would show the glyphs back to front; keep them readable by either
        // turning the text round (mirror across the reading direction) or flipping
        // the up side (mirror along it), whichever reads left to right.
        double turned = normalise(a + kPi);
        if (std::fabs(readingAngle(turned) - turned) < 1e-9) {
            f.rotation = turned;
            f.reversed = true;
        } else {
            f.rotation = a;
            f.flipped = true;
        }
    } else {
        f.rotation = a;
    }
    return f;
}

}  // namespace VRxXform
