// Drawing operations shared by the plate views and the pockets: a rectangle whose
// edges are remembered by side, the centre lines of such a rectangle, and the
// radius dimension of a rounded corner.
#pragma once

#include <cstdint>
#include <map>

#include "vrxdb.h"

// Side index of a rectangle edge -> the edge's line.
using SideLineMap = std::map<int32_t, VRxDbObjectId>;

// The process-wide drawing tools. They keep no state; the object exists so the
// drawing code reaches them in one place.
class DrawingTools {
public:
    enum Side : int32_t { kRight = 0, kBottom = 1, kLeft = 2, kTop = 3 };
    enum Corner : int32_t { kTopRight = 4, kBottomRight = 5, kBottomLeft = 6, kTopLeft = 7 };

    // Created on first use.
    static DrawingTools* instance();

    // (x, y) is the top-left corner; w extends in +x, h in -y. A side already in
    // the map keeps its earlier id. colorIndex -1 and a null linetype keep the defaults.
    void drawRectangle(const VRxGePoint3d& corner, double w, double h, SideLineMap& sides, int colorIndex = -1,
                       const wchar_t* linetype = nullptr);
    // Lines are appended to ids; afterwards every line of ids goes onto the centre-line layer.
    void drawCentreLines(const VRxGePoint3d& corner, double w, double h, VRxDbObjectIdArray& ids,
                         const wchar_t* viewName);
    // placement 0..3 picks the base point (centre, 45-degree point, the M or the N point
    // of the corner); code 4..7 the corner. True when a dimension was created.
    bool addCornerRadiusDimension(const VRxGePoint3d& point, int32_t placement, int32_t code, double r);

private:
    DrawingTools() = default;
};
