// Reading a swept drawing's plate views and hole blocks back from its saved
// DXF: a plate view is found by its size dimensions (the width along its top
// edge, the length down from the same corner, the thickness of its side view
// below); a hole block is a block whose drawing's name starts with its
// diameter ("30GP-A3-60.dwg"), with its outline in drawing coordinates (what
// it draws apart from its centre lines, colour 1).
#pragma once

#include <string>
#include <vector>

#include "vrxdb.h"

namespace sweep {

const double kDrawnTol = 1e-6;

struct Rect {
    double x0, y0, x1, y1;
    bool contains(double x, double y) const {
        return x >= x0 - kDrawnTol && x <= x1 + kDrawnTol && y >= y0 - kDrawnTol && y <= y1 + kDrawnTol;
    }
};

struct Circle {
    double x, y, r;
};

// One hole block as drawn: its file name, where it stands, its outline.
struct HoleBlock {
    std::string name;
    VRxGePoint3d at;
    std::vector<Circle> circles;
    Rect lines{1e300, 1e300, -1e300, -1e300};  // the box round its lines
    bool hasLines = false;
    Rect box() const;
};

struct View {
    Rect rect;
    bool plan;
};

// One drawing's plate views and hole blocks, read once for every check.
struct DrawnHoles {
    std::vector<View> views;
    std::vector<HoleBlock> blocks;
};

DrawnHoles readDrawnHoles(const VRxDbDatabase& db);

// The block name a hole block's drawing carries in the catalogue's block table:
// "30GP-A1.dwg" and "200CSU-A1-25.dwg" are drawings of "GP-A1" and "CSU-A1".
std::string catalogueBlockName(const std::string& drawing);

}  // namespace sweep
