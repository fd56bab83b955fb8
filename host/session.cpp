// The command prompt loop of zdtcad and the editor input of running commands.
// Input comes from one place (script or terminal) in order, so a command's point
// prompt takes the line after the command's name, as it would for a user.
#include "session.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <iostream>

#include "dialog_action.h"
#include "text_utf8.h"
#include "vrxcmds.h"
#include "vrxdb.h"
#include "vrxui.h"
#include "winhost.h"

namespace zdtcad {

namespace {

const wchar_t* const kCancelled = L"*取消*";
const wchar_t* const kScriptEnded = L"（脚本已结束）";

bool parseNumber(std::string text, double& value) {
    text = trim(text);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

VRxEdCommandStack* commandStack() {
    VRxRxDictionary* registry = vrxSysRegistry();
    return registry ? VRxEdCommandStack::cast(registry->at(L"VRX_REGISTERED_COMMANDS")) : nullptr;
}

}  // namespace

bool parsePoint(const std::string& text, double point[3]) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (fields.size() != 2 && fields.size() != 3) return false;
    double value[3] = {0.0, 0.0, 0.0};
    for (size_t i = 0; i < fields.size(); ++i) {
        if (!parseNumber(fields[i], value[i])) return false;
    }
    for (int i = 0; i < 3; ++i) point[i] = value[i];
    return true;
}

Session::Session(ScriptReader& input, CommandLine& out, ModuleLoader& modules, WinWindowedUiBackend* windows)
    : m_input(input), m_out(out), m_modules(modules), m_windows(windows) {
    m_previousHost = vrxedSetHost(this);
    // Message boxes come here too: they are part of what the user sees and answers.
    m_previousUi = winSetUiBackend(this);
}

Session::~Session() {
    winSetUiBackend(m_previousUi);
    vrxedSetHost(m_previousHost);
}

int Session::run() {
    while (!m_stopped) {
        std::string line;
        if (readLine(L"命令: ", line) != Read::Line) break;
        runCommandLine(line);
    }
    m_out.endLine();
    return m_stopped ? 2 : 0;
}

Session::Read Session::readInput(const std::wstring& prompt, std::string& line, bool echo) {
    if (m_stopped) return Read::Stopped;
    if (m_inputEnded) return Read::End;
    if (m_input.interactive()) {
        m_out.prompt(prompt);
        if (!m_input.next(line)) {
            m_out.endLine();
            m_inputEnded = true;
            return Read::End;
        }
        m_out.userEndedLine();
    } else {
        if (!m_input.next(line)) {
            m_inputEnded = true;
            return Read::End;
        }
        if (echo) m_out.line(prompt + fromUtf8(line));
    }
    return Read::Line;
}

Session::Read Session::readLine(const std::wstring& prompt, std::string& line) {
    for (;;) {
        const Read read = readInput(prompt, line, true);
        if (read != Read::Line) return read;
        if (line[0] != '@') return Read::Line;
        // Dialog actions need a dialog; none is open while the host or a command
        // prompt waits. A script cannot go on as written; a user at the terminal
        // is told and simply asked again.
        const std::string why = "“" + line + "”无法执行：没有打开的对话框。";
        if (!m_input.interactive()) {
            stop("脚本第 " + std::to_string(m_input.lineNumber()) + " 行" + why);
            return Read::Stopped;
        }
        m_out.line(why);
    }
}

void Session::stop(const std::string& reason) {
    m_stopped = true;
    m_out.endLine();
    std::cerr << "zdtcad: " << reason << std::endl;
}

void Session::runCommandLine(const std::string& word) {
    const std::string name = upperAscii(word);
    if (name == "APPLOAD") {
        appLoad();
    } else if (name == "APPUNLOAD") {
        appUnload();
    } else if (name == "ESC") {
        m_out.line(kCancelled);
    } else {
        runModuleCommand(fromUtf8(word));
    }
}

void Session::runModuleCommand(const std::wstring& name) {
    VRxEdCommandStack* stack = commandStack();
    VRxEdCommand* command = stack ? stack->lookupCmd(name.c_str()) : nullptr;
    // A menu entry's text runs its command, as picking the entry does.
    if (!command && stack) {
        const std::wstring fromMenu = menuCommand(name);
        if (!fromMenu.empty()) command = stack->lookupCmd(fromMenu.c_str());
    }
    if (!command || !command->functionAddr()) {
        m_out.line(L"未知命令“" + name + L"”。");
        return;
    }
    // A command is the module's code; whatever it throws ends the command, not the host.
    try {
        command->functionAddr()();
    } catch (const std::exception& e) {
        m_out.line(L"命令“" + name + L"”出错：" + fromUtf8(e.what()));
    } catch (...) {
        m_out.line(L"命令“" + name + L"”出错：未知异常。");
    }
    m_out.endLine();
    // An object a command leaves open blocks every later command that writes to
    // it; the user should hear of it at once.
    VRxDbDatabase* db = vrxdbHostApplicationServices()->workingDatabase();
    if (db && db->openObjectCount() > 0) {
        m_out.line(L"警告：命令“" + name + L"”结束时仍有 " + std::to_wstring(db->openObjectCount()) +
                   L" 个对象未关闭。");
    }
}

std::wstring Session::menuCommand(const std::wstring& name) const {
    VRxUiManager* ui = vrxUIManagerPtr();
    VRxUiMenuBar* bar = ui ? ui->menuBar() : nullptr;
    for (int i = 0; bar && i < bar->count(); ++i) {
        const VRxUiMenu* menu = bar->menu(i);
        for (int k = 0; menu && k < menu->itemCount(); ++k) {
            const VRxUiMenuItem* item = menu->item(k);
            if (item && item->text == name) return item->command;
        }
    }
    return std::wstring();
}

void Session::appLoad() {
    std::string path;
    const std::wstring prompt = L"模块路径: ";
    const Read read = readLine(prompt, path);
    if (read == Read::Stopped) return;
    if (read == Read::End) {
        if (!m_input.interactive()) m_out.line(prompt + kScriptEnded);
        m_out.line(L"APPLOAD 需要模块路径，未加载任何模块。");
        return;
    }
    std::string error;
    if (m_modules.load(path, error)) {
        m_out.line("已加载模块“" + fileNameOf(path) + "”。");
    } else {
        m_out.line(error);
    }
}

void Session::appUnload() {
    const std::string name = fileNameOf(m_modules.path());
    std::string error;
    if (m_modules.unload(error)) {
        m_out.line("已卸载模块“" + name + "”。");
    } else {
        m_out.line(error);
    }
}

bool Session::readAnswer(const std::wstring& shown, std::string& line) {
    const Read read = readLine(shown, line);
    if (read == Read::Stopped) return false;
    if (read == Read::End) {
        if (!m_input.interactive()) m_out.line(shown + kScriptEnded);
        m_out.line(kCancelled);
        return false;
    }
    if (upperAscii(line) == "ESC") {
        m_out.line(kCancelled);
        return false;
    }
    return true;
}

int Session::getPoint(const double* base, const std::wstring& prompt, double result[3]) {
    const std::wstring shown = promptText(prompt, L"指定点");
    for (;;) {
        std::string line;
        if (!readAnswer(shown, line)) return RTCAN;
        if (parsePoint(line, result)) return RTNORM;
        m_out.line("无效的点“" + line + "”：请输入 x,y 或 x,y,z。");
    }
}

int Session::getString(bool cronly, const std::wstring& prompt, std::wstring& result) {
    const std::wstring shown = promptText(prompt, L"输入");
    std::string line;
    if (!readAnswer(shown, line)) return RTCAN;
    // Without cronly a blank ends the answer, as the space bar does at a prompt.
    if (!cronly) line = line.substr(0, line.find_first_of(" \t"));
    result = fromUtf8(line);
    return RTNORM;
}

void Session::print(const std::wstring& text) {
    m_out.write(text);
}

}  // namespace zdtcad
