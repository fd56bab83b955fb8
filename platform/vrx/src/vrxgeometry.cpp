// Geometry of the host interface: matrices, directions, the circle through three
// points and the closest point of a line. Plain arithmetic on value types; no
// tolerances here beyond what degenerate input (zero vectors, collinear points) needs.
#include "vrxgeometry.h"
#include "vrxexport.h"

#include <algorithm>

namespace {
const double kTwoPi = 8.0 * std::atan(1.0);
}

VRX_EXPORTED_CONSTANT const VRxGeVector3d VRxGeVector3d::kXAxis(1.0, 0.0, 0.0);
VRX_EXPORTED_CONSTANT const VRxGeVector3d VRxGeVector3d::kYAxis(0.0, 1.0, 0.0);
VRX_EXPORTED_CONSTANT const VRxGeVector3d VRxGeVector3d::kZAxis(0.0, 0.0, 1.0);
VRX_EXPORTED_CONSTANT const VRxGePoint3d VRxGePoint3d::kOrigin(0.0, 0.0, 0.0);

VRxGeVector2d VRxGePoint2d::operator-(const VRxGePoint2d& other) const { return {x - other.x, y - other.y}; }
VRxGePoint2d VRxGePoint2d::operator+(const VRxGeVector2d& v) const { return {x + v.x, y + v.y}; }

double VRxGeVector2d::angle() const {
    if (x == 0.0 && y == 0.0) return 0.0;
    double a = std::atan2(y, x);
    if (a < 0.0) a += kTwoPi;
    // atan2 of a tiny negative y gives a value that rounds up to exactly 2π.
    if (a >= kTwoPi) a = 0.0;
    return a;
}

VRxGeVector2d VRxGeVector2d::normal() const {
    double len = length();
    return len > 0.0 ? VRxGeVector2d(x / len, y / len) : VRxGeVector2d();
}

VRxGeVector3d VRxGeVector3d::normal() const {
    double len = length();
    return len > 0.0 ? VRxGeVector3d(x / len, y / len, z / len) : VRxGeVector3d();
}

VRxGeMatrix3d::VRxGeMatrix3d() {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] = (r == c) ? 1.0 : 0.0;
}

VRxGeMatrix3d VRxGeMatrix3d::translation(const VRxGeVector3d& v) {
    VRxGeMatrix3d t;
    t.m[0][3] = v.x;
    t.m[1][3] = v.y;
    t.m[2][3] = v.z;
    return t;
}

VRxGeMatrix3d VRxGeMatrix3d::rotation(double angle, const VRxGeVector3d& axis, const VRxGePoint3d& centre) {
    VRxGeVector3d n = axis.normal();
    if (n.length() == 0.0) return VRxGeMatrix3d();  // no axis, no turn
    double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    VRxGeMatrix3d r;
    r.m[0][0] = t * n.x * n.x + c;
    r.m[0][1] = t * n.x * n.y - s * n.z;
    r.m[0][2] = t * n.x * n.z + s * n.y;
    r.m[1][0] = t * n.x * n.y + s * n.z;
    r.m[1][1] = t * n.y * n.y + c;
    r.m[1][2] = t * n.y * n.z - s * n.x;
    r.m[2][0] = t * n.x * n.z - s * n.y;
    r.m[2][1] = t * n.y * n.z + s * n.x;
    r.m[2][2] = t * n.z * n.z + c;
    VRxGeVector3d toCentre = centre - VRxGePoint3d::kOrigin;
    return translation(toCentre) * r * translation(-toCentre);
}

VRxGeMatrix3d VRxGeMatrix3d::scaling(const VRxGeScale3d& s, const VRxGePoint3d& centre) {
    VRxGeMatrix3d r;
    r.m[0][0] = s.sx;
    r.m[1][1] = s.sy;
    r.m[2][2] = s.sz;
    VRxGeVector3d toCentre = centre - VRxGePoint3d::kOrigin;
    return translation(toCentre) * r * translation(-toCentre);
}

VRxGeMatrix3d VRxGeMatrix3d::scaling(double f, const VRxGePoint3d& centre) {
    return scaling(VRxGeScale3d(f), centre);
}

VRxGeMatrix3d VRxGeMatrix3d::mirroring(const VRxGePoint3d& point, const VRxGeVector3d& normal) {
    VRxGeVector3d n = normal.normal();
    if (n.length() == 0.0) return VRxGeMatrix3d();
    double nv[3] = {n.x, n.y, n.z};
    VRxGeMatrix3d r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[i][j] = (i == j ? 1.0 : 0.0) - 2.0 * nv[i] * nv[j];
    VRxGeVector3d toPoint = point - VRxGePoint3d::kOrigin;
    return translation(toPoint) * r * translation(-toPoint);
}

VRxGeMatrix3d VRxGeMatrix3d::operator*(const VRxGeMatrix3d& other) const {
    VRxGeMatrix3d r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += m[i][k] * other.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

VRxGePoint3d VRxGeMatrix3d::transform(const VRxGePoint3d& p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
}

VRxGeVector3d VRxGeMatrix3d::transform(const VRxGeVector3d& v) const {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

double VRxGeMatrix3d::scaleXY() const {
    return 0.5 * (transform(VRxGeVector3d::kXAxis).length() + transform(VRxGeVector3d::kYAxis).length());
}

bool VRxGeMatrix3d::isMirroredXY() const { return m[0][0] * m[1][1] - m[0][1] * m[1][0] < 0.0; }

VRxGeCircArc2d::VRxGeCircArc2d(const VRxGePoint2d& a, const VRxGePoint2d& b, const VRxGePoint2d& c) {
    // Circumcentre from the perpendicular bisectors, relative to a for precision.
    double bx = b.x - a.x, by = b.y - a.y, cx = c.x - a.x, cy = c.y - a.y;
    double d = 2.0 * (bx * cy - by * cx);
    double scale = std::max({std::hypot(bx, by), std::hypot(cx, cy), 1e-300});
    if (std::fabs(d) <= 1e-12 * scale * scale) return;
    double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    double ux = (cy * b2 - by * c2) / d, uy = (bx * c2 - cx * b2) / d;
    m_centre = VRxGePoint2d(a.x + ux, a.y + uy);
    m_radius = std::hypot(ux, uy);
    m_valid = true;
}

VRxGePoint3d VRxGeLine3d::closestPointTo(const VRxGePoint3d& p) const {
    double len2 = m_dir.dotProduct(m_dir);
    if (len2 == 0.0) return m_point;
    double t = (p - m_point).dotProduct(m_dir) / len2;
    return m_point + m_dir * t;
}
