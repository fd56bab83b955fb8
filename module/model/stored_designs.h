// The mould bases a drawing keeps: each drawn base's design record lives in
// the extension dictionary of its title text, and the module's named
// dictionary lists every title, so later commands (the order list) find every
// base of the drawing, also in a drawing saved and opened again.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/design_record.h"
#include "model/mould_base_model.h"
#include "vrxdb.h"

// The module's entry in the drawing's named object dictionary, and the name
// of the record in a title's extension dictionary.
extern const wchar_t* const kMouldBaseListName;   // "ZDT_MOULD_BASES"
extern const wchar_t* const kDesignRecordEntry;   // "ZDT_MOULD_BASE"
extern const wchar_t* const kOrderTableEntry;     // "ZDT_ORDER_TABLE"

// Keeps model's design (with the insertion point the user picked and the
// drawing scale it was drawn at) with the title text and lists the title. False, with why, when the drawing refused;
// a record already kept with that title is replaced.
bool storeMouldBaseDesign(VRxDbDatabase& db, const MouldBaseModel& model, const VRxGePoint3d& insertionPoint,
                          double scale, VRxDbObjectId title, std::wstring& why);

// One listed base: its title and, when its record reads, the design as a fresh
// model (plate stack not computed yet).
struct StoredMouldBase {
    VRxDbObjectId title;
    VRxGePoint3d titlePosition;              // where the title stands now
    std::unique_ptr<MouldBaseModel> design;  // null when the record is missing or damaged
    DrawnLayout layout;                      // where the base was drawn
    std::wstring problem;                    // why design is null
};

// Every listed base whose title is still in the drawing, in the order they
// were drawn. hasList is false for a drawing that lists none (one made before
// designs were kept, or not by this module).
std::vector<StoredMouldBase> readStoredMouldBases(VRxDbDatabase& db, bool& hasList);

// The entities of the order table last drawn for the base of title (none when
// it has none), so a new table can take the old one's place.
std::vector<VRxDbObjectId> storedOrderTable(VRxDbObjectId title);
// Remembers the entities of the table just drawn with the title.
bool storeOrderTable(VRxDbObjectId title, const std::vector<VRxDbObjectId>& entities);
