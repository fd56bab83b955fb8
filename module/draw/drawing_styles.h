// The annotation scale of the drawing and the text and dimension styles made for
// it. They are process-wide and carry over from one command run to the next: a
// run whose mould has no A plate draws with what the previous run left.
#pragma once

#include "vrxdb.h"

extern double drawingScale;               // 6.0 until the first setup
extern VRxDbObjectId textStyleId;         // "zdt_txt_<scale x 1000>"
extern VRxDbObjectId dimStyleId;          // "zdt_dim_<scale x 1000>"
extern VRxDbObjectId assemblyDimStyleId;  // "zdt_assemble_<scale x 1000>"

// Finds or creates the three styles for this scale in the working database.
// False when a host call failed; ids filled before the failure keep their new values.
bool setupDrawingStyles(double scale);

// The number in the style names: scale x 1000 truncated toward zero.
int drawingStyleNumber(double scale);
