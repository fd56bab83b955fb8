// What the catalogue sweep checks in one saved mould base drawing, read back
// from its DXF text by our own reader: every plate of the style in plan and
// side view, the sizes its dimensions measure equal to the catalogue's and to
// the outline edges they stand on, and no two plan views over each other.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "vrxdb.h"

namespace sweep {

// The catalogue's size of one plate; thickness < 0 when the user chooses it.
struct PlateSize {
    double width = 0, length = 0, thickness = -1;
};

// Plate name -> its size, for one style and code, in catalogue order.
using ExpectedPlates = std::vector<std::pair<std::wstring, PlateSize>>;

// The problems found in db (empty when the drawing is right). title is the
// text the drawing's title must read; its height tells the drawing scale.
std::vector<std::string> checkMouldBaseDrawing(const VRxDbDatabase& db, const std::wstring& title,
                                               const ExpectedPlates& plates);

}  // namespace sweep
