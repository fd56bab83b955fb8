// Geometry types of the host's extension interface: points, vectors, matrices,
// scales and the few curve helpers drawing code needs. Plain value types; all
// lengths in drawing units (millimetres), all angles in radians.
#pragma once

#include <cmath>

class VRxGeVector2d;
class VRxGeVector3d;

class VRxGePoint2d {
public:
    double x = 0.0, y = 0.0;
    VRxGePoint2d() = default;
    VRxGePoint2d(double px, double py) : x(px), y(py) {}
    VRxGeVector2d operator-(const VRxGePoint2d& other) const;
    VRxGePoint2d operator+(const VRxGeVector2d& v) const;
    double distanceTo(const VRxGePoint2d& other) const { return std::hypot(x - other.x, y - other.y); }
    bool isEqualTo(const VRxGePoint2d& other, double tol = 1e-10) const { return distanceTo(other) <= tol; }
};

class VRxGeVector2d {
public:
    double x = 0.0, y = 0.0;
    VRxGeVector2d() = default;
    VRxGeVector2d(double vx, double vy) : x(vx), y(vy) {}
    double length() const { return std::hypot(x, y); }
    // Direction angle from the x axis, in [0, 2π).
    double angle() const;
    VRxGeVector2d operator*(double f) const { return {x * f, y * f}; }
    VRxGeVector2d operator+(const VRxGeVector2d& v) const { return {x + v.x, y + v.y}; }
    VRxGeVector2d operator-(const VRxGeVector2d& v) const { return {x - v.x, y - v.y}; }
    VRxGeVector2d normal() const;
};

class VRxGeVector3d {
public:
    double x = 0.0, y = 0.0, z = 0.0;
    VRxGeVector3d() = default;
    VRxGeVector3d(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
    static const VRxGeVector3d kXAxis, kYAxis, kZAxis;
    double length() const { return std::sqrt(x * x + y * y + z * z); }
    VRxGeVector3d normal() const;
    VRxGeVector3d operator*(double f) const { return {x * f, y * f, z * f}; }
    VRxGeVector3d operator+(const VRxGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    VRxGeVector3d operator-(const VRxGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    VRxGeVector3d operator-() const { return {-x, -y, -z}; }
    double dotProduct(const VRxGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    VRxGeVector3d crossProduct(const VRxGeVector3d& v) const {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }
};

class VRxGePoint3d {
public:
    double x = 0.0, y = 0.0, z = 0.0;
    VRxGePoint3d() = default;
    VRxGePoint3d(double px, double py, double pz = 0.0) : x(px), y(py), z(pz) {}
    static const VRxGePoint3d kOrigin;
    VRxGeVector3d operator-(const VRxGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    VRxGePoint3d operator+(const VRxGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    VRxGePoint3d operator-(const VRxGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    double distanceTo(const VRxGePoint3d& p) const { return (*this - p).length(); }
    bool isEqualTo(const VRxGePoint3d& p, double tol = 1e-10) const { return distanceTo(p) <= tol; }
    VRxGePoint2d convert2d() const { return {x, y}; }
};

// Uniform or per-axis scale of a block reference.
class VRxGeScale3d {
public:
    double sx = 1.0, sy = 1.0, sz = 1.0;
    VRxGeScale3d() = default;
    explicit VRxGeScale3d(double f) : sx(f), sy(f), sz(f) {}
    VRxGeScale3d(double fx, double fy, double fz) : sx(fx), sy(fy), sz(fz) {}
};

// Affine transform of 3-D space, row-major 4×4 with the translation in the last column.
class VRxGeMatrix3d {
public:
    double m[4][4];
    VRxGeMatrix3d();  // identity
    static VRxGeMatrix3d translation(const VRxGeVector3d& v);
    // Rotation by angle about an axis through a point.
    static VRxGeMatrix3d rotation(double angle, const VRxGeVector3d& axis,
                                  const VRxGePoint3d& centre = VRxGePoint3d::kOrigin);
    static VRxGeMatrix3d scaling(const VRxGeScale3d& s, const VRxGePoint3d& centre = VRxGePoint3d::kOrigin);
    static VRxGeMatrix3d scaling(double f, const VRxGePoint3d& centre = VRxGePoint3d::kOrigin);
    // Mirror in the plane through a point with the given normal.
    static VRxGeMatrix3d mirroring(const VRxGePoint3d& point, const VRxGeVector3d& normal);
    VRxGeMatrix3d operator*(const VRxGeMatrix3d& other) const;  // this after other
    VRxGePoint3d transform(const VRxGePoint3d& p) const;
    VRxGeVector3d transform(const VRxGeVector3d& v) const;
    // Length factor in the XY plane (the mean of the x and y axis scales).
    double scaleXY() const;
    bool isMirroredXY() const;
};

// The 2-D circle through three points; centre and radius of the arc they define.
class VRxGeCircArc2d {
public:
    VRxGeCircArc2d() = default;
    VRxGeCircArc2d(const VRxGePoint2d& first, const VRxGePoint2d& middle, const VRxGePoint2d& last);
    VRxGePoint2d center() const { return m_centre; }
    double radius() const { return m_radius; }
    // False when the three points are collinear or coincide: then centre and radius are 0.
    bool isValid() const { return m_valid; }

private:
    VRxGePoint2d m_centre;
    double m_radius = 0.0;
    bool m_valid = false;
};

// An infinite line through a point with a direction.
class VRxGeLine3d {
public:
    VRxGeLine3d() = default;
    VRxGeLine3d(const VRxGePoint3d& p1, const VRxGePoint3d& p2) : m_point(p1), m_dir(p2 - p1) {}
    VRxGePoint3d pointOnLine() const { return m_point; }
    VRxGeVector3d direction() const { return m_dir; }
    // The point of the line closest to p.
    VRxGePoint3d closestPointTo(const VRxGePoint3d& p) const;

private:
    VRxGePoint3d m_point;
    VRxGeVector3d m_dir{1, 0, 0};
};
