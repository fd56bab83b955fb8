// The module's dialog templates: the main dialog of the side-gate series (101)
// and of the pin-point series (106), the pocket dialog (104) and the lock
// dialog (105), registered with the module's instance when it loads, beside
// its bitmaps, so the dialogs find them by resource id.
#pragma once

#include "winapi.h"

void registerMainDlgTemplate(HINSTANCE instance);
void registerPinPointDlgTemplate(HINSTANCE instance);
void registerPocketDlgTemplate(HINSTANCE instance);
void registerLockDlgTemplate(HINSTANCE instance);

// All four.
void registerDialogResources(HINSTANCE instance);
