// A standard part drawing of BlockRes in the making: lines, circles and arcs in
// millimetres around the drawing's insertion point, saved as DXF text under the
// .dwg name the module asks for. Hidden edges are drawn in the "虚线" linetype,
// which the drawing carries with it (the same dashes as the drawing template's).
// The file is plain R12 DXF (a header, the one linetype, the entities): every
// CAD program opens it, and a drawing that inserts hundreds of these reads only
// what they hold.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace blockres {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Colours of the drawings: outlines 7, centre lines 1, thread lines 8.
const uint16_t kOutline = 7, kCentre = 1, kThread = 8;

class Drawing {
public:
    void line(double x1, double y1, double x2, double y2, uint16_t colour = kOutline, bool hidden = false);
    void circle(double r, uint16_t colour = kOutline, double cx = 0, double cy = 0, bool hidden = false);
    // Angles in radians, counter-clockwise from `from` to `to`.
    void arc(double r, double from, double to, uint16_t colour = kOutline, bool hidden = false);
    void save(const std::string& path) const;

private:
    std::string m_entities;  // the ENTITIES section's records as DXF text
};

}  // namespace blockres
