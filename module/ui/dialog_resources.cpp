// Registers the module's dialog templates; each dialog keeps its template
// beside its own code.
#include "ui/dialog_resources.h"

void registerDialogResources(HINSTANCE instance) {
    registerMainDlgTemplate(instance);
    registerPinPointDlgTemplate(instance);
    registerPocketDlgTemplate(instance);
    registerLockDlgTemplate(instance);
}
