// Plate machining holes are drawn as standard block drawings from BlockRes,
// one block per hole, chosen by process, plate, view and install way from the
// catalogue and by the hole's nominal diameter.
#pragma once

#include <string>

#include "holes/drawn_hole_group.h"
#include "model/mould_base_model.h"

// Draws every process of the plate's holes into the view and records each
// drawn process in holeSet.groups (the first view drawn keeps its record).
// A process without a block for this plate and view is named on the command
// line and left out.
void drawPlateHoles(PlateHoleSet& holeSet, PlateView& view);

// One block per hole of the group into the view: in plan at the hole's
// position, in the side view on the plate's mid-thickness line (holes turned
// out of the plan, such as most eyebolts, are not seen there). Sets the
// group's representative.
void drawHoleGroup(DrawnHoleGroup& group, PlateView& view);

// True for a hole in the quadrant where the offset guide pillar sits: lower
// left on an upper-mould plate ("上模"), lower right on every other. A hole on
// an axis never is.
bool isInViewQuadrant(const Models::StandardMultiHole& hole, const std::wstring& location);

// The block drawing of a hole: "<nominal><blockName>-<T>" made for a plate T
// thick (whole mm) when BlockRes has it, else "<nominal><blockName>".
std::wstring holeBlockFile(int nominal, const std::wstring& blockName, double thickness);

// The diameter a hole's block files are named by: twice its key radius
// rounded half away from zero.
int nominalDiameter(const Models::StandardMultiHole& hole);
