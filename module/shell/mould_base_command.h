// The mould base commands: ZDTSGS designs a mould base of the side-gate series,
// ZDTPGS one of the pin-point series; one run designs and draws one mould base,
// from the insertion point the user picks.
#pragma once

#include "ui/mould_series.h"
#include "vrxed.h"

// The command functions registered with the host. Never let an exception out.
void MouldBaseCommand();
void PinPointBaseCommand();

// Everything after a picked insertion point: the model, the series' main
// dialog and the drawing of the confirmed mould base. Without a series, the
// side-gate series.
void designMouldBaseAt(const vrx_point insertionPoint);
void designMouldBaseAt(const vrx_point insertionPoint, const MouldSeries& series);
