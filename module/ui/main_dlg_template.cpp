// Template of dialog 101.
#include "afxdialog.h"
#include "ui/dialog_resources.h"

void registerMainDlgTemplate(HINSTANCE instance) {
    (void)instance;
}
