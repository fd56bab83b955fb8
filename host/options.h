// zdtcad's command-line arguments: which drawing to start from, which module to
// load, where to save and draw previews, whether to list the user interface, and the script.
#pragma once

#include <string>
#include <vector>

namespace zdtcad {

struct HostOptions {
    // Template: empty path with noTemplate false means the template beside zdtcad.
    std::string templatePath;
    bool noTemplate = false;
    std::string savePath;
    // Pictures of the drawing written at the end of the run, like the saved drawing.
    std::string svgPath;
    std::string pngPath;
    bool listUi = false;
    // Module: empty path with noModule false means the module beside zdtcad.
    std::string modulePath;
    bool noModule = false;
    // Script file; empty (or "-") reads standard input.
    std::string scriptPath;
    bool scriptGiven = false;
    bool help = false;
    // "window", "script", or empty: windows for a person at a terminal with a display.
    std::string ui;
    // Folder for pictures of the dialogs as they are confirmed; empty: none.
    std::string picturesDir;
};

// Parses argv[1..]. On a bad argument returns false with a message for the user.
bool parseOptions(const std::vector<std::string>& args, HostOptions& options, std::string& error);

const char* usageText();

}  // namespace zdtcad
