// The picture of a drawing as the preview paints it: strokes, filled areas and
// lines of text in world coordinates, every block reference expanded, every
// dimension and leader turned into its geometry, colours, linetypes and text
// placement already resolved. Building it knows the drawing model; painting it
// knows only these few shapes.
#pragma once

#include <string>
#include <vector>

#include "vrxgeometry.h"

class VRxDbDatabase;

namespace zdtpreview {

class TextMetrics;

struct Stroke {
    std::vector<VRxGePoint2d> points;
    bool closed = false;
    int colour = 7;              // ACI index, ByLayer and ByBlock already resolved
    std::vector<double> dashes;  // drawing units: positive dash, negative gap, 0 dot; empty is solid
    double width = 0.0;          // drawing units (a polyline's own width); 0 is a thin line
    bool heavy = false;          // a line weight of 0.3 mm or more
};

struct Fill {
    std::vector<VRxGePoint2d> points;
    int colour = 7;
};

// One line of text, placed: the left end of its baseline, its direction and its size.
struct Label {
    std::string text;  // UTF-8, special codes already turned into characters
    VRxGePoint2d origin;
    double height = 0.0;    // of capital letters, drawing units
    double rotation = 0.0;  // radians, counterclockwise
    double widthFactor = 1.0;
    double oblique = 0.0;  // radians
    double advance = 0.0;  // length along the baseline, drawing units
    double below = 0.0;    // how far the glyphs reach below the baseline and above it, drawing units
    double above = 0.0;
    int colour = 7;
};

struct Bounds {
    bool empty = true;
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    void add(const VRxGePoint2d& p);
    double width() const { return empty ? 0.0 : x1 - x0; }
    double height() const { return empty ? 0.0 : y1 - y0; }
};

struct Scene {
    std::vector<Stroke> strokes;
    std::vector<Fill> fills;
    std::vector<Label> labels;
    // Everything drawn, text boxes included.
    Bounds bounds() const;
};

// The model space of db as the preview shows it: layers that are off or frozen are left out.
Scene buildScene(const VRxDbDatabase& db, const TextMetrics& metrics);

// Turns the special codes of drawing text (%%c, %%d, %%p, %%%, underline toggles) into
// the characters they stand for, as UTF-8.
std::string shownText(const std::wstring& text);

}  // namespace zdtpreview
