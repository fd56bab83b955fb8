// Template of dialog 104.
#include "afxdialog.h"
#include "ui/dialog_resources.h"

void registerPocketDlgTemplate(HINSTANCE instance) {
    (void)instance;
}
