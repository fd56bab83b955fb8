// The records the model owns on behalf of the hole and pocket subsystems: a
// plate's hole model, the holes drawn for one process, a pocket's drawer and a
// lock's placement. The model only creates room for them and frees them; their
// own subsystems give them their content and replace these minimal shapes with
// their full classes (each keeps a virtual destructor, so the model can free
// them whatever they grow into).
#pragma once

#include "holes/drawn_hole_group.h"
#include "holes/holes_model.h"

#include "pockets/lock_placement.h"
#include "pockets/pocket_drawer.h"
