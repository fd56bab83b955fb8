// The design of one mould base as the drawing keeps it: the main dialog's
// choices, the insertion point the user picked, the plates drawn, the pockets
// and the locks, as one XRecord's list of values. Reading it back gives
// a fresh MouldBaseModel whose plate stack has yet to be computed, so a later
// command can lay the base out again exactly as it was drawn.
#pragma once

#include <string>

#include "model/mould_base_model.h"
#include "vrxrb.h"

// The first value of every record, and the format this module writes and reads.
extern const wchar_t* const kDesignRecordKind;  // "ZDT_MOULD_BASE"
const int kDesignRecordVersion = 1;

// The record of model's choices, drawn plates, pockets and locks, with the
// insertion point the user picked (the model's own cursor has moved on by the
// time the base is drawn). The caller frees it with vrxutRelRb.
resbuf* makeDesignRecord(const MouldBaseModel& model, const VRxGePoint3d& insertionPoint);

// Fills a fresh model from a record: params, the plates drawn as its display
// filter, pockets, locks and insertPoint. False, with problem saying what is wrong, for a list that is not
// such a record, one of another version, or one with a value missing, extra, of
// the wrong type or out of range; the model may then hold part of the record.
bool readDesignRecord(const resbuf* record, MouldBaseModel& model, std::wstring& problem);
