// A user's part in a running dialog: selecting, typing, clicking, OK and Escape,
// as the UI backends (scripted, queued, windowed) and the host program play it.
// A module never drives its own dialogs this way, so it never sees this header.
#pragma once

#include <string>

#include "afxdialog.h"

class WinDialogUser {
public:
    static WinActionResult selectItem(CDialog& dialog, int id, const std::wstring& text) {
        return dialog.selectItem(id, text);
    }
    static WinActionResult typeText(CDialog& dialog, int id, const std::wstring& text) {
        return dialog.typeText(id, text);
    }
    static WinActionResult click(CDialog& dialog, int id) { return dialog.click(id); }
    static WinActionResult pressOk(CDialog& dialog) { return dialog.pressOk(); }
    static WinActionResult pressCancel(CDialog& dialog) { return dialog.pressCancel(); }
};
