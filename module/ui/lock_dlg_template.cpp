// Template of dialog 105.
#include "afxdialog.h"
#include "ui/dialog_resources.h"

void registerLockDlgTemplate(HINSTANCE instance) {
    (void)instance;
}
