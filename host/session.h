// One zdtcad session: the command prompt loop that plays a script (or what the
// user types), runs the module's commands and the host's own, and answers the
// editor's input requests of the running command from the same input.
#pragma once

#include <string>

#include "command_line.h"
#include "module_loader.h"
#include "script_reader.h"
#include "vrxed.h"

namespace zdtcad {

// Parses "x,y" or "x,y,z" (blanks around the numbers allowed); false for anything else.
bool parsePoint(const std::string& text, double point[3]);

class Session : public VRxEditorHost {
public:
    Session(ScriptReader& input, CommandLine& out, ModuleLoader& modules);
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

private:
    enum class Read { Line, End, Stopped };
    // Shows prompt, takes the next input line and echoes it after the prompt.
    Read readLine(const std::wstring& prompt, std::string& line);
    // Stops the run: what cannot be done goes to standard error, status 2.
    void stop(const std::string& reason);
    void runCommandLine(const std::string& word);
    void runModuleCommand(const std::wstring& name);
    void appLoad();
    void appUnload();
    void showMessageBox(const std::wstring& caption, const std::wstring& text, unsigned type, int answer);

    ScriptReader& m_input;
    CommandLine& m_out;
    ModuleLoader& m_modules;
    VRxEditorHost* m_previousHost = nullptr;
    bool m_stopped = false;
    bool m_inputEnded = false;
};

}  // namespace zdtcad
