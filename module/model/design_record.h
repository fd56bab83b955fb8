// The design of one mould base as the drawing keeps it: the main dialog's
// choices, the insertion point the user picked, the plates drawn, the pockets
// and the locks, and where it was drawn (the scale, the title and every plate
// view's outline), as one XRecord's list of values. Reading it back gives a
// fresh MouldBaseModel whose plate stack has yet to be computed, so a later
// command can lay the base out again exactly as it was drawn, and finds the
// base's views without laying it out.
#pragma once

#include <string>
#include <vector>

#include "model/mould_base_model.h"
#include "vrxrb.h"

// The first value of every record, and the formats this module writes and
// reads: version 1, and version 2, which adds the two thicknesses only the
// pin-point series chooses (top clamp and runner stripper plate). A design
// that chooses neither is written as version 1, which every reader takes.
extern const wchar_t* const kDesignRecordKind;  // "ZDT_MOULD_BASE"
const int kDesignRecordVersion = 2;

// One plate view as drawn: the top-left corner of its outline and its size.
struct DrawnView {
    std::wstring plate;
    std::wstring code;  // "A1" plan, "A3" side
    VRxGePoint3d origin;
    double width = 0;
    double height = 0;
};

// Where a base was drawn: its drawing scale, its title's position (the base
// moves with it) and its plate views.
struct DrawnLayout {
    double scale = 0;
    VRxGePoint3d titlePosition;
    std::vector<DrawnView> views;
};

// The record of a drawn model: its choices, drawn plates, pockets and locks,
// the insertion point the user picked (the model's own cursor has moved on to
// the title by the time the base is drawn) and the views at the drawing scale
// scale. The caller frees it with vrxutRelRb.
resbuf* makeDesignRecord(const MouldBaseModel& model, const VRxGePoint3d& insertionPoint, double scale);

// Fills a fresh model from a record: params, the plates drawn as its display
// filter, pockets, locks and insertPoint, and the layout as drawn. False, with
// problem saying what is wrong, for a list that is not such a record, one of
// another version, or one with a value missing, extra, of the wrong type or out
// of range; the model may then hold part of the record.
bool readDesignRecord(const resbuf* record, MouldBaseModel& model, DrawnLayout& layout, std::wstring& problem);
