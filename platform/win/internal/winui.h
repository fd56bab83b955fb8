// The user interface backend behind modal dialogs and message boxes: the host
// program plays a user's actions into the topmost dialog and answers message
// boxes; tests use the queued backend below, which plays a list of actions.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "afxdialog.h"
#include "winapi.h"

class WinUiBackend {
public:
    virtual ~WinUiBackend() = default;
    // Plays the user's part while dialog runs: returns when the dialog has ended
    // or the user has nothing more to do (the dialog is then cancelled).
    virtual void runModal(CDialog& dialog) = 0;
    // Shows a message box and returns the chosen button (IDOK, IDCANCEL, IDYES, ...).
    virtual int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) = 0;
};

// Installs a backend (not owned) for dialogs and message boxes and returns the
// previous one. Null goes back to the defaults: dialogs are cancelled at once and
// message boxes go to the message box backend of winhost.h as before.
WinUiBackend* winSetUiBackend(WinUiBackend* backend);
WinUiBackend* winUiBackend();

// One scripted user action.
struct WinUiAction {
    enum Kind { Select, Type, Click, Ok, Cancel, Answer } kind = Ok;
    int id = 0;
    std::wstring text;
    int answer = IDOK;  // for Answer

    static WinUiAction select(int id, std::wstring text) { return {Select, id, std::move(text), 0}; }
    static WinUiAction type(int id, std::wstring text) { return {Type, id, std::move(text), 0}; }
    static WinUiAction clickOn(int id) { return {Click, id, L"", 0}; }
    static WinUiAction ok() { return {Ok, 0, L"", 0}; }
    static WinUiAction cancel() { return {Cancel, 0, L"", 0}; }
    static WinUiAction answerWith(int button) { return {Answer, 0, L"", button}; }
};

// A backend that shows dialogs in windows. Besides a user acting in them
// (runModal, messageBox), a script's actions can be played on the shown
// controls, so a scripted run goes through the same windows a user sees.
class WinWindowedUiBackend : public WinUiBackend {
public:
    // Shows the dialog's window with its controls' current state (once).
    virtual void showDialog(CDialog& dialog) = 0;
    // Plays one action through the window's controls as the user's input would
    // come; refuses what a user could not do, with the toolkit's reasons.
    virtual WinActionResult playAction(CDialog& dialog, const WinUiAction& action) = 0;
    // Shows a message box, presses its button answer and returns what the box gave.
    virtual int answerMessageBox(const std::wstring& caption, const std::wstring& text, UINT type, int answer) = 0;
    // Takes the dialog's window down.
    virtual void closeDialog(CDialog& dialog) = 0;
};

// Plays queued actions in order: dialog actions go to the dialog that is running
// when they come up, an Answer answers the message box that is showing. The
// first action that cannot be done is recorded in errors() and ends the play:
// every dialog still running is cancelled and every later box gets its default.
class WinQueuedUiBackend : public WinUiBackend {
public:
    struct Shown {
        std::wstring caption, text;
        UINT type;
        int answer;
    };

    void push(WinUiAction action) { m_actions.push_back(std::move(action)); }
    void runModal(CDialog& dialog) override;
    int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) override;

    const std::vector<Shown>& shown() const { return m_shown; }
    const std::vector<std::wstring>& errors() const { return m_errors; }
    size_t pending() const { return m_actions.size(); }

private:
    std::deque<WinUiAction> m_actions;
    std::vector<Shown> m_shown;
    std::vector<std::wstring> m_errors;
};
