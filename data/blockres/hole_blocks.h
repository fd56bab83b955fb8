// The hole block drawings of BlockRes, drawn from the catalogue's HOLE_FORM
// table (the one description of how each hole is machined):
//   "<d><stem>-A1.dwg"     the hole in plan, as the plate is seen from the
//                          parting line: what opens on that face solid, what
//                          lies under it (a counterbore or blind hole from the
//                          other face) dashed; an eyebolt hole runs in from the
//                          edge (the insertion point), dashed;
//   "<d><stem>-A3-<T>.dwg" the hole in the side view of a plate T thick, its
//                          insertion point at mid-thickness and the face
//                          towards the parting line up: the section of the
//                          hole from face to face as hidden edges, a clamp slot
//                          as the notch it cuts in the front face, an eyebolt
//                          hole face-on;
//   "<d><stem>-A3.dwg"     the side view's drawing for the thinnest plate the
//                          catalogue gives it (the module's fallback name), and
//                          for a clamp slot "<d><stem>-A1-<T>.dwg" as well.
#pragma once

#include <sqlite3.h>

#include <string>

namespace blockres {

// Writes them all into outDir; the number of drawings written.
int writeHoleBlocks(sqlite3* catalogue, const std::string& outDir);

}  // namespace blockres
