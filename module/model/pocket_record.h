// A pocket ("框") machined into one plate: its size, its place relative to the
// plate centre and the spec of each of its four corners. The model's pocket
// table owns the committed records; the pocket dialog edits copies of them.
#pragma once

#include <cstdint>
#include <map>
#include <string>

// How a pocket corner is cut: a fillet inside the corner, or a relief arc that
// runs beyond the corner point. -1 stands for a corner not chosen yet.
enum CornerType : int32_t { FilletCorner = 0, ReliefCorner = 1 };

struct CornerSpec {
    double radius = 0.0;
    int32_t type = -1;
};

struct PocketRecord {
    double centreX = 0.0;
    double centreY = 0.0;
    double width = 0.0;
    double length = 0.0;
    double depth = 0.0;
    std::wstring plateName;
    std::wstring mouldHalf;  // the plate's location; "上模" marks the upper half
    // Corner number (4 top-right, 5 bottom-right, 6 bottom-left, 7 top-left) to
    // its spec; all four keys are always present.
    std::map<int32_t, CornerSpec> corners{{4, CornerSpec()}, {5, CornerSpec()}, {6, CornerSpec()}, {7, CornerSpec()}};
};
