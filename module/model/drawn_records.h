// The records the model owns on behalf of the hole and pocket subsystems: a
// plate's hole model, the holes drawn for one process, a pocket's drawer and a
// lock's placement. The model keeps and frees them; their own subsystems make
// and fill them. The model sees them only by name, so it frees each through the
// function its subsystem defines next to the class.
#pragma once

namespace Models {
class HolesModel;
}
class DrawnHoleGroup;
class LockPlacement;
class PocketDrawer;

// Each frees a record the model holds (null is allowed).
void freeDrawnRecord(Models::HolesModel* record);
void freeDrawnRecord(DrawnHoleGroup* record);
void freeDrawnRecord(LockPlacement* record);
void freeDrawnRecord(PocketDrawer* record);
