// The plan-view outline of a pocket: four straight edges joined by four corner
// arcs, each corner either a fillet inside the rectangle or a relief arc that
// bulges past the corner point so a square-cornered insert still sits home.
// The corner points are also what the pocket's dimensions are measured from.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "model/pocket_record.h"
#include "vrxdb.h"

// Key (edge 0..3, corner 4..7) -> the entity drawn for it.
using PocketEntityMap = std::map<int32_t, VRxDbObjectId>;

// The pocket's rectangle in drawing coordinates, its centre placed relative to
// the plate centre (x0, y0).
struct PocketRectangle {
    double left = 0.0;
    double right = 0.0;
    double top = 0.0;
    double bottom = 0.0;
};

PocketRectangle pocketRectangle(const PocketRecord& pocket, double x0, double y0);

// How far a corner's arc runs past the pocket's rectangle along each axis: a
// relief arc bulges beyond both edges it joins, a fillet stays inside.
double cornerOverhang(const CornerSpec& spec);

// P0 and P2 where the corner's arc meets its two edges (P0 first going
// counterclockwise round the pocket), P1 a point on the arc between them.
// Empty when the record has no such corner; three points at the origin for a
// corner number that is not 4 to 7.
std::vector<VRxGePoint3d> pocketCornerPoints(const PocketRecord& pocket, int32_t corner, double x0, double y0);

// Draws the edges (0 right, 1 bottom, 2 left, 3 top) into lines and the corner
// arcs into arcs under their corner numbers. Nothing is drawn, and false
// returned, when one of the corners 4 to 7 is missing. An entity the drawing
// refused leaves its key free.
bool drawPocketOutline(const PocketRecord& pocket, double x0, double y0, PocketEntityMap& lines,
                       PocketEntityMap& arcs);
