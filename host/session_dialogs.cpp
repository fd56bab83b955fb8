// The session as the user of dialogs and message boxes: dialog lines of the
// input are played into the topmost dialog through the toolkit's user actions,
// and message boxes are shown on the command line with the answer the input
// gives. When a line cannot be played the session stops; from then on every
// dialog that still runs is cancelled by its modal loop as soon as control
// comes back to it, and every box is answered with cancel (or no), so the
// command unwinds through its own code and frees what it holds.
#include <sstream>

#include "afxdialog.h"
#include "dialog_action.h"
#include "session.h"
#include "text_utf8.h"
#include "windialoguser.h"

namespace zdtcad {

namespace {

const wchar_t* const kScriptEnded = L"（脚本已结束）";

std::wstring dialogName(const CDialog& dialog) {
    const std::wstring& title = dialog.GetTemplate().title;
    return L"对话框“" + (title.empty() ? std::to_wstring(dialog.GetTemplateId()) : title) + L"”";
}

WinActionResult play(CDialog& dialog, const WinUiAction& action) {
    if (action.kind == WinUiAction::Answer) return WinActionResult::fail(L"没有显示中的消息框可以回答");
    return WinDialogUser::play(dialog, action);
}

}  // namespace

bool Session::refuse(const std::string& line, const std::string& why) {
    if (!m_input.interactive()) {
        stop("脚本第 " + std::to_string(m_input.lineNumber()) + " 行“" + line + "”无法执行：" + why + "。");
        return false;
    }
    m_out.line("“" + line + "”无法执行：" + why + "。");
    return true;
}

WinActionResult Session::playLine(CDialog& dialog, const WinUiAction& action) {
    if (m_windows == nullptr || action.kind == WinUiAction::Answer) return play(dialog, action);
    return m_windows->playAction(dialog, action);
}

void Session::runInWindow(CDialog& dialog, const std::wstring& name) {
    m_windows->runModal(dialog);
    if (dialog.IsRunning()) m_out.line(name + L"已取消。");
    else m_out.line(name + L"已关闭：" + answerName(dialog.GetResult()) + L"。");
}

void Session::runModal(CDialog& dialog) {
    if (m_stopped || m_inputEnded) return;
    const std::wstring name = dialogName(dialog);
    m_out.line(name + L"已打开。");
    if (m_windows != nullptr && m_input.interactive()) {
        runInWindow(dialog, name);
        return;
    }
    // A script's lines act on the window, so they go the way a person's input goes.
    if (m_windows != nullptr) m_windows->showDialog(dialog);
    if (m_input.interactive() && m_windows == nullptr) {
        // A person needs the controls' ids to act on them.
        std::wistringstream lines(winDescribeDialogTemplate(dialog.GetTemplate()));
        std::wstring text;
        while (std::getline(lines, text)) m_out.line(text);
        m_out.line(L"可用操作：@select 编号 文本、@type 编号 文本、@click 编号、@ok、@cancel");
    }
    const std::wstring prompt = name + L": ";
    while (dialog.IsRunning()) {
        std::string line;
        const Read read = readInput(prompt, line, true);
        if (read == Read::Stopped) break;
        if (read == Read::End) {
            if (!m_input.interactive()) {
                m_out.line(prompt + kScriptEnded);
                stop("脚本已结束，但" + toUtf8(name) + "仍在等待操作（应以 @ok 或 @cancel 关闭）。");
            }
            break;
        }
        if (!isDialogLine(line)) {
            if (!refuse(line, toUtf8(name) + "正在等待操作，命令和点要在它关闭后输入")) break;
            continue;
        }
        WinUiAction action;
        std::string error;
        if (!parseDialogAction(line, action, error)) {
            if (!refuse(line, error)) break;
            continue;
        }
        const WinActionResult result = playLine(dialog, action);
        // A nested dialog or box may have stopped the run while this action ran.
        if (m_stopped) break;
        if (!result && !refuse(line, toUtf8(result.error))) break;
    }
    if (m_windows != nullptr) m_windows->closeDialog(dialog);
    if (dialog.IsRunning()) {
        // The modal loop cancels it once this returns.
        m_out.line(name + L"已取消。");
    } else {
        m_out.line(name + L"已关闭：" + answerName(dialog.GetResult()) + L"。");
    }
}

bool Session::askAnswer(const std::wstring& caption, const std::wstring& text, UINT type, int& answer) {
    const std::string words = boxAnswerWords(type);
    const std::string box = "消息框“" + toUtf8(caption) + "”（" + toUtf8(text) + "）";
    for (;;) {
        std::string line;
        // The answer shows on the line after the box, so a script's line is not echoed.
        const Read read = readInput(fromUtf8("回答（" + words + "）: "), line, false);
        if (read == Read::Stopped) return false;
        if (read == Read::End) {
            if (!m_input.interactive()) stop("脚本已结束，" + box + "没有得到回答（@answer " + words + "）。");
            return false;
        }
        // At the terminal the bare word will do.
        if (m_input.interactive() && !isDialogLine(line)) line = "@answer " + line;
        WinUiAction action;
        std::string error;
        if (!isDialogLine(line)) {
            error = box + "正在等待回答（@answer " + words + "），命令和点要在回答后输入";
        } else if (!parseDialogAction(line, action, error)) {
            // error says why
        } else if (action.kind != WinUiAction::Answer) {
            error = box + "正在等待回答（@answer " + words + "）";
        } else if (!boxOffers(type, action.answer)) {
            error = box + "没有“" + toUtf8(answerName(action.answer)) + "”按钮，可用 @answer " + words;
        } else {
            answer = action.answer;
            return true;
        }
        if (!refuse(line, error)) return false;
    }
}

int Session::messageBox(const std::wstring& caption, const std::wstring& text, UINT type) {
    m_out.line(L"消息框“" + caption + L"”：" + text);
    int answer = 0;
    if (m_windows != nullptr && m_input.interactive() && !m_stopped) {
        answer = m_windows->messageBox(caption, text, type);
    } else if (m_stopped || m_inputEnded || !askAnswer(caption, text, type, answer)) {
        answer = boxRetreatAnswer(type);
    } else if (m_windows != nullptr) {
        // The script's answer presses the button in the shown box.
        answer = m_windows->answerMessageBox(caption, text, type, answer);
    }
    m_out.line(L"回答：" + answerName(answer));
    return answer;
}

}  // namespace zdtcad
