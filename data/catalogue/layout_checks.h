// What a toolmaker checks on a mould base before it is built, run on every
// code, style and plate of the catalogue (for every thickness a plate can be
// chosen in) before anything is written:
//   - every plate is fastened: it lies on a screw (or tie) column that ends in a
//     tapped hole, and every column of holes passes through every plate between
//     its ends;
//   - every pillar stands in seats of its own size and slides in holes wider than
//     itself, its seat with the standard's least wall to the plate edge;
//   - no hole runs into another, out of an edge or through a face it must not
//     break (blind and tapped holes leave a floor, counterbores a bore);
//   - no hole lies under a lock zone or an eyebolt, eyebolts are clear of the
//     locks and of each other and the plate is at least twice their thread thick;
//   - screws along a row keep within their pitch limit;
//   - the stop pins and support pillars bear on solid steel;
//   - every plate that slides on pillars holds four of them in bushes or seats;
//   - in the pin-point series the floating plates hang by their bolts (the
//     stop bolts from the top clamp plate, the puller bolts from the runner
//     stripper plate) and every runner stripper plate leaves steel under the
//     stop bolts' heads at the second stroke.
// A failure names the code, style, plate and hole.
#pragma once

#include "catalogue_sources.h"

namespace catalogue {

void checkCatalogue(const Sources& src);

}  // namespace catalogue
