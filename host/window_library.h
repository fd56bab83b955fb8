// The dialog windows' library, loaded only by a run that shows dialogs in
// windows or draws their pictures: a script run never pays for the window
// system's libraries.
#pragma once

#include <memory>
#include <string>

#include "winui.h"

namespace zdtcad {

class WindowLibrary {
public:
    WindowLibrary() = default;
    ~WindowLibrary();
    WindowLibrary(const WindowLibrary&) = delete;
    WindowLibrary& operator=(const WindowLibrary&) = delete;

    // Loads libvrxwinqt.so from zdtcad's folder (once). False, with why, when it
    // cannot be loaded or lacks its entry points.
    bool load(std::string& why);
    // Whether a window system can be reached; false when the library is missing.
    bool displayAvailable(std::string& why);
    // The windowed backend; null, with why, when windows cannot be started.
    std::unique_ptr<WinWindowedUiBackend> createBackend(bool offscreen, const std::string& pictureFolder,
                                                        std::string& why);

private:
    void* m_handle = nullptr;
    bool (*m_displayAvailable)(std::wstring*) = nullptr;
    WinWindowedUiBackend* (*m_create)(bool, const std::string*, std::wstring*) = nullptr;
};

}  // namespace zdtcad
