// One zdtcad session: the command prompt loop that plays a script (or what the
// user types), runs the module's commands and the host's own, and answers the
// editor's input requests of the running command from the same input.
#pragma once

#include <string>

#include "command_line.h"
#include "module_loader.h"
#include "script_reader.h"
#include "vrxed.h"
#include "winui.h"

namespace zdtcad {

// Parses "x,y" or "x,y,z" (blanks around the numbers allowed); false for anything else.
bool parsePoint(const std::string& text, double point[3]);

// The session is also the user in front of dialogs and message boxes: while it
// lives, every modal dialog takes its actions from the same input, line by line.
class Session : public VRxEditorHost, public WinUiBackend {
public:
    // With windows (not owned), dialogs and boxes show as windows: a person at the
    // terminal works in them, a script's lines are played on them.
    Session(ScriptReader& input, CommandLine& out, ModuleLoader& modules, WinWindowedUiBackend* windows = nullptr);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Plays the input to its end. Returns 0 when the end was reached, 2 when an
    // action could not be done (the reason is already on standard error).
    int run();
    bool stopped() const { return m_stopped; }

    // VRxEditorHost: input for the running command.
    int getPoint(const double* base, const std::wstring& prompt, double result[3]) override;
    int getString(bool cronly, const std::wstring& prompt, std::wstring& result) override;
    void print(const std::wstring& text) override;

    // WinUiBackend: dialog lines go to the topmost dialog until it ends; a box
    // takes the next line as its answer. A line that cannot be played stops a
    // script; everything still open is then cancelled on the way out.
    void runModal(CDialog& dialog) override;
    int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) override;

private:
    enum class Read { Line, End, Stopped };
    // Shows prompt, takes the next input line and echoes it after the prompt;
    // dialog lines are refused here, since no dialog waits at these prompts.
    Read readLine(const std::wstring& prompt, std::string& line);
    // The answer to a prompt; false when it was cancelled (ESC, the end of the
    // script, a stopped run), which has then been shown.
    bool readAnswer(const std::wstring& prompt, std::string& line);
    // Shows prompt and takes the next input line whatever it is; a script line
    // is echoed after the prompt only when echo is set.
    Read readInput(const std::wstring& prompt, std::string& line, bool echo);
    // A line that cannot be played: a script stops (status 2); a user at the
    // terminal is told and asked again. Returns true when the run goes on.
    bool refuse(const std::string& line, const std::string& why);
    // The answer to a box from the input; false when none could be had.
    bool askAnswer(const std::wstring& caption, const std::wstring& text, UINT type, int& answer);
    // Stops the run: what cannot be done goes to standard error, status 2.
    void stop(const std::string& reason);
    void runCommandLine(const std::string& word);
    void runModuleCommand(const std::wstring& name);
    // The command of a menu item whose text is name; empty when none.
    std::wstring menuCommand(const std::wstring& name) const;
    // A person in front of windows: the dialog runs in its window until it ends.
    void runInWindow(CDialog& dialog, const std::wstring& name);
    WinActionResult playLine(CDialog& dialog, const WinUiAction& action);
    void appLoad();
    void appUnload();

    ScriptReader& m_input;
    CommandLine& m_out;
    ModuleLoader& m_modules;
    WinWindowedUiBackend* m_windows = nullptr;
    VRxEditorHost* m_previousHost = nullptr;
    WinUiBackend* m_previousUi = nullptr;
    bool m_stopped = false;
    bool m_inputEnded = false;
};

}  // namespace zdtcad
