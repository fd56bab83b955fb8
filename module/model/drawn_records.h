// The records the model owns on behalf of the hole and pocket subsystems: a
// plate's hole model, the holes drawn for one process, a pocket's drawer and a
// lock's placement. The model keeps and frees them; their own subsystems make
// and fill them (each has a virtual destructor, so the model frees them whole).
#pragma once

#include "holes/drawn_hole_group.h"
#include "holes/holes_model.h"
#include "pockets/lock_placement.h"
#include "pockets/pocket_drawer.h"
