// Object coordinate systems of planar DXF entities (arcs, circles, text,
// polylines): the writer puts entities with a non-Z normal into their OCS, the
// reader brings them back to world coordinates.
#include <cmath>

#include "dxf_internal.h"

namespace VRxDxf {
namespace detail {

Ocs::Ocs(const VRxGeVector3d& normal) {
    double len = normal.length();
    az = len > 1e-12 ? normal * (1.0 / len) : VRxGeVector3d(0, 0, 1);
    world = std::fabs(az.x) < 1e-12 && std::fabs(az.y) < 1e-12 && az.z > 0;
    if (std::fabs(az.x) < 1.0 / 64 && std::fabs(az.y) < 1.0 / 64)
        ax = VRxGeVector3d(0, 1, 0).crossProduct(az).normal();
    else
        ax = VRxGeVector3d(0, 0, 1).crossProduct(az).normal();
    ay = az.crossProduct(ax).normal();
}

VRxGePoint3d Ocs::toOcs(const VRxGePoint3d& p) const {
    VRxGeVector3d v(p.x, p.y, p.z);
    return {v.dotProduct(ax), v.dotProduct(ay), v.dotProduct(az)};
}

VRxGePoint3d Ocs::toWorld(const VRxGePoint3d& p) const {
    if (world) return p;
    VRxGeVector3d v = ax * p.x + ay * p.y + az * p.z;
    return {v.x, v.y, v.z};
}

}  // namespace detail
}  // namespace VRxDxf
