// The ZDTSGS command: one run designs and draws one mould base, from the
// insertion point the user picks.
#pragma once

#include "vrxed.h"

// The command function registered with the host. Never lets an exception out.
void MouldBaseCommand();

// Everything after a picked insertion point: the model, the main dialog and the
// drawing of the confirmed mould base.
void designMouldBaseAt(const vrx_point insertionPoint);
