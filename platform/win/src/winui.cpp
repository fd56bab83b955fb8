// The UI backend hook and the queued backend that tests drive dialogs with.
// While a backend is installed, every message box (AfxMessageBox, MessageBoxW,
// CWnd::MessageBox) goes to it.
#include "winui.h"

#include "winhost.h"
#include "windialoguser.h"

namespace {

WinUiBackend*& current() {
    static WinUiBackend* b = nullptr;
    return b;
}

WinMessageBoxBackend& savedBoxBackend() {
    static auto* f = new WinMessageBoxBackend;
    return *f;
}

std::wstring describe(const WinUiAction& a) {
    switch (a.kind) {
        case WinUiAction::Select: return L"select " + std::to_wstring(a.id) + L" " + a.text;
        case WinUiAction::Type: return L"type " + std::to_wstring(a.id) + L" " + a.text;
        case WinUiAction::Click: return L"click " + std::to_wstring(a.id);
        case WinUiAction::Ok: return L"ok";
        case WinUiAction::Cancel: return L"cancel";
        case WinUiAction::Answer: return L"answer " + std::to_wstring(a.answer);
    }
    return L"?";
}

}  // namespace

WinUiBackend* winUiBackend() { return current(); }

WinUiBackend* winSetUiBackend(WinUiBackend* backend) {
    WinUiBackend* previous = current();
    if (previous == nullptr && backend != nullptr) {
        savedBoxBackend() = winSetMessageBoxBackend(
            [](const std::wstring& caption, const std::wstring& text, UINT type) {
                WinUiBackend* b = current();
                return b != nullptr ? b->messageBox(caption, text, type) : winDefaultMessageBoxAnswer(type);
            });
    } else if (previous != nullptr && backend == nullptr) {
        winSetMessageBoxBackend(savedBoxBackend());
        savedBoxBackend() = nullptr;
    }
    current() = backend;
    return previous;
}

void WinQueuedUiBackend::runModal(CDialog& dialog) {
    while (dialog.IsRunning() && m_errors.empty() && !m_actions.empty()) {
        WinUiAction a = m_actions.front();
        m_actions.pop_front();
        WinActionResult r = a.kind == WinUiAction::Answer
                                 ? WinActionResult::fail(L"\"" + describe(a) + L"\": no message box is showing")
                                 : WinDialogUser::play(dialog, a);
        if (!r) m_errors.push_back(r.error);
    }
}

int WinQueuedUiBackend::messageBox(const std::wstring& caption, const std::wstring& text, UINT type) {
    int answer = winDefaultMessageBoxAnswer(type);
    if (m_errors.empty()) {
        if (m_actions.empty()) {
            m_errors.push_back(L"message box \"" + text + L"\" shown with no answer left");
        } else if (m_actions.front().kind != WinUiAction::Answer) {
            m_errors.push_back(L"message box \"" + text + L"\" is showing, but the next action is \"" +
                               describe(m_actions.front()) + L"\"");
        } else if (!winMessageBoxOffers(type, m_actions.front().answer)) {
            m_errors.push_back(L"message box \"" + text + L"\" has no button " +
                               std::to_wstring(m_actions.front().answer));
        } else {
            answer = m_actions.front().answer;
            m_actions.pop_front();
        }
    }
    m_shown.push_back(Shown{caption, text, type, answer});
    return answer;
}
