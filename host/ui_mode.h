// Which user interface a zdtcad run gets: dialogs played from the script (or
// typed at the terminal), or real windows. Kept apart from main so the choice
// is checked without a window system.
#pragma once

#include <string>

#include "options.h"

namespace zdtcad {

struct UiChoice {
    bool windows = false;
    // Windows rendered into memory only: pictures without a display.
    bool offscreen = false;
    // Windows were asked for by name: without them the run cannot go on.
    bool required = false;
};

// What the environment offers: standard input is a terminal; a display can be
// reached (noDisplay says why not).
struct UiEnvironment {
    bool terminal = false;
    bool display = false;
    std::string noDisplay;
};

// False, with the reason in error, when the options ask for what cannot be had.
bool chooseUi(const HostOptions& options, const UiEnvironment& environment, UiChoice& choice, std::string& error);

}  // namespace zdtcad
