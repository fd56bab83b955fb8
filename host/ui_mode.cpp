// The choice between scripted dialogs and windows.
#include "ui_mode.h"

namespace zdtcad {

bool chooseUi(const HostOptions& options, const UiEnvironment& environment, UiChoice& choice, std::string& error) {
    choice = UiChoice();
    const bool pictures = !options.picturesDir.empty();
    if (options.ui == "script") {
        if (pictures) {
            error = "--dialog-pictures 需要窗口界面，不能与 --ui script 同用。";
            return false;
        }
        return true;
    }
    if (options.ui == "window") {
        choice.windows = true;
        choice.required = true;
        if (!environment.display) {
            // Pictures need no screen; a person does.
            if (!pictures) {
                error = "--ui window 无法显示窗口：" + environment.noDisplay + "。";
                return false;
            }
            choice.offscreen = true;
        }
        return true;
    }
    if (pictures) {
        // Pictures alone never put windows on the screen.
        choice.windows = true;
        choice.required = true;
        choice.offscreen = true;
        return true;
    }
    // A person at a terminal on a desktop works in windows; scripts and pipes
    // keep the command-line dialogs they were written for.
    choice.windows = !options.scriptGiven && environment.terminal && environment.display;
    return true;
}

}  // namespace zdtcad
