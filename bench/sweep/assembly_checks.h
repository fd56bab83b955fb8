// What holds the stack together, checked in one swept drawing from the hole
// blocks each plate view shows: every plate fastened to a neighbour (a screw
// or bolt passes it, or, on the stripper plate, its tie to the return pins),
// every plate that slides on pillars guided by four of them, and in the
// pin-point series the support pins standing in the top clamp plate, the
// runner stripper plate and the A plate at one position.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "drawn_holes.h"

namespace sweep {

// (plate name, block name as the catalogue gives it, "GP-A1") -> the processes
// it draws (one block can draw the holes of several: a counterbored screw hole).
using BlockProcesses = std::map<std::pair<std::string, std::string>, std::set<std::string>>;

// plates: the style's plates in catalogue order (UTF-8), as their plan views
// stand from left to right.
std::vector<std::string> checkAssembly(const DrawnHoles& drawn, const std::vector<std::string>& plates,
                                       const BlockProcesses& processes);

}  // namespace sweep
