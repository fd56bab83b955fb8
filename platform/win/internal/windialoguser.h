// A user's part in a running dialog: selecting, typing, clicking, OK and Escape,
// as the UI backends (scripted, queued, windowed) and the host program play it.
// A module never drives its own dialogs this way, so it never sees this header.
#pragma once

#include <string>

#include "afxdialog.h"
#include "winui.h"

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
    // Plays one scripted action in the dialog. An Answer belongs to a message
    // box, not to the dialog: it is refused here, and callers that can answer a
    // box take it before.
    static WinActionResult play(CDialog& dialog, const WinUiAction& action) {
        switch (action.kind) {
        case WinUiAction::Select: return dialog.selectItem(action.id, action.text);
        case WinUiAction::Type: return dialog.typeText(action.id, action.text);
        case WinUiAction::Click: return dialog.click(action.id);
        case WinUiAction::Ok: return dialog.pressOk();
        case WinUiAction::Cancel: return dialog.pressCancel();
        case WinUiAction::Answer: break;
        }
        return WinActionResult::fail(L"no message box is showing");
    }
};
