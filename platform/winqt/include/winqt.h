// The windowed UI backend of the dialog toolkit, on Qt Widgets: every dialog
// template is shown as a real window (controls at their places, dialog units
// taken from the dialog font), what the user does in it goes to the dialog's
// message map and data exchange, and message boxes are real boxes. Kept in a
// library of its own so that neither the platform library nor the module ever
// depends on a window system; only the host program and its tests link it.
#pragma once

#include <memory>
#include <string>

#include "winui.h"

class QWidget;

// Whether a window system can be reached: true for the offscreen platform and
// when the platform's display is named in the environment. why tells what is missing.
bool winQtDisplayAvailable(std::wstring* why = nullptr);

class WinQtUiBackend : public WinWindowedUiBackend {
public:
    // Starts the window system, or uses the application object a test made.
    // offscreen renders into memory only (no display needed). Null, with the
    // reason in error, when no window system can be reached: never an abort.
    static std::unique_ptr<WinQtUiBackend> create(bool offscreen, std::wstring& error);
    ~WinQtUiBackend() override;
    WinQtUiBackend(const WinQtUiBackend&) = delete;
    WinQtUiBackend& operator=(const WinQtUiBackend&) = delete;

    // A user in front of the windows: returns when the dialog has ended.
    void runModal(CDialog& dialog) override;
    int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) override;

    // A script acting on the shown windows.
    void showDialog(CDialog& dialog) override;
    WinActionResult playAction(CDialog& dialog, const WinUiAction& action) override;
    int answerMessageBox(const std::wstring& caption, const std::wstring& text, UINT type, int answer) override;
    void closeDialog(CDialog& dialog) override;

    // Each time a dialog is confirmed (its OK button or Enter), a picture of its
    // window as it is then goes to folder/dialog-<template id>.png. Empty: none.
    void setPictureFolder(const std::string& folder);
    // Writes a picture of the dialog's window; false when it has none or the file cannot be written.
    bool savePicture(const CDialog& dialog, const std::string& path) const;
    // The window of a dialog while it is shown (null otherwise), for tests.
    QWidget* windowOf(const CDialog& dialog) const;

    class Impl;

private:
    WinQtUiBackend();
    std::unique_ptr<Impl> m_impl;
};

// The library's entry points for a host that loads it only when windows are
// wanted (Qt's libraries cost a script run more than the whole drawing does).
// Unmangled, so dlsym finds them under these names.
extern "C" {
// winQtDisplayAvailable.
bool vrxwinqtDisplayAvailable(std::wstring* why);
// WinQtUiBackend::create, with dialog pictures written into pictureFolder when it is
// not empty; null, with why, when the window system cannot be started.
WinWindowedUiBackend* vrxwinqtCreateBackend(bool offscreen, const std::string* pictureFolder, std::wstring* why);
}
