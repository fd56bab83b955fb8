// The plate views: a plate's outline with its size dimensions and centre lines,
// and, in the plan view, the datum mark block, the guide pillar "OFFSET" leader
// and the plate's name. Every length is scaled from the drawing scale, so the
// annotations keep their size relative to the plate whatever the mould size.
#pragma once

#include "model/mould_base_model.h"
#include "vrxdb.h"

// Outline (except for the derived spacer plate "方铁", which shows only its
// centre lines), size dimensions, and centre lines (not for the spacers "方铁L"
// and "方铁R", whose centre lines would cross the B plate's).
void drawPlateView(PlateView& view);
// Width and length in the plan view "A1", thickness in any other view; the ids
// in creation order.
VRxDbObjectIdArray dimensionPlateView(const PlateView& view);
// The datum mark "DA2" left of an upper-half plate, "DA1" right of a lower-half
// one, read from the module's BlockRes folder. Null outside the plan view, for
// the spacers, and when the block file is missing (reported on the command line).
VRxDbObjectId insertOffsetMark(const PlateView& view);
// The "OFFSET" leader from start (the offset guide pillar's centre) out to the
// side where the datum mark sits. Plan view only.
VRxDbObjectId addOffsetLeader(const PlateView& view, const VRxGePoint3d& start);
// The plate's name centred under its plan view outline.
VRxDbObjectId addPlateNameLabel(const PlateView& view);

// True when the plate belongs to the upper mould half ("上模"); everything else
// counts as the lower half.
bool isUpperMouldHalf(const PlateRecord& plate);
