// The assembly drawing: puts a computed mould base into the host drawing. It
// orchestrates the drawing of the title and of every plate view; the geometry
// of each element belongs to the drawing services and the plate view code.
#pragma once

#include "model/mould_base_model.h"

// Draws the title, then every plate view in key order (plan views "A1" before
// side views "A3", plates by name). Runs once per command, after the plate
// stack is computed and the drawing styles are set. Returns the title's id
// (null when it could not be added), which the design is kept with.
VRxDbObjectId DrawAssembly(MouldBaseModel& model);
