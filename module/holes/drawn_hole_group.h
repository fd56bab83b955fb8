// The holes of one machining process as drawn into a plate: which block they
// were drawn with, and the hole the guide pillar "OFFSET" leader starts from.
// It only points into the plate's HolesModel, which outlives it.
#pragma once

#include <string>

#include "holes/holes_model.h"

class DrawnHoleGroup {
public:
    // The plate hole set frees its groups through this class.
    virtual ~DrawnHoleGroup() = default;

    Models::HoleGroupMap* holeGroups = nullptr;  // not owned
    std::wstring blockName;                      // file name suffix after the nominal diameter
    // The last hole in the quadrant that tells the offset pillar; not owned,
    // null when no hole lies there.
    Models::StandardMultiHole* representative = nullptr;
};
