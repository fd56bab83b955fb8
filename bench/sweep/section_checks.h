// What the catalogue sweep checks of the hole blocks in one saved mould base
// drawing, read back from its DXF text: every hole block lies inside the plate
// view it stands in (nothing past a face in a side view, nothing past an edge
// in a plan view), and no two hole blocks of a plan view run into each other.
#pragma once

#include <string>
#include <vector>

#include "drawn_holes.h"

namespace sweep {

// The problems found (empty when every hole block is right). A plate view is
// found by its size dimensions: the width along its top edge, the length down
// from the same corner, the thickness of its side view below; a hole block is
// a block whose drawing's name starts with its diameter ("30GP-A3-60.dwg").
std::vector<std::string> checkHoleBlocks(const DrawnHoles& drawn);

}  // namespace sweep
