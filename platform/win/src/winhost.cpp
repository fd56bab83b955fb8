// The host-facing side of the Windows services: the message box backend with
// its default console form, the application title, and UTF-8 output of wide text.
#include "winhost.h"

#include <cstdio>
#include <exception>
#include <string>

#include "afxstub.h"
#include "winapi.h"

namespace {

WinMessageBoxBackend& backend() {
    static WinMessageBoxBackend* b = new WinMessageBoxBackend;
    return *b;
}

std::wstring& appTitle() {
    static std::wstring* t = new std::wstring;
    return *t;
}

int defaultBackend(const std::wstring& caption, const std::wstring& text, UINT type) {
    winWriteUtf8(stdout, caption + L": " + text + L"\n");
    std::fflush(stdout);
    return winDefaultMessageBoxAnswer(type);
}

}  // namespace

void winWriteUtf8(FILE* stream, const std::wstring& text) {
    if (stream == nullptr) return;
    std::string bytes = winToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

WinMessageBoxBackend winSetMessageBoxBackend(WinMessageBoxBackend b) {
    WinMessageBoxBackend previous = backend();
    backend() = std::move(b);
    return previous;
}

namespace {

// The buttons of each box type (MB_OK ... MB_RETRYCANCEL), in the order
// MB_DEFBUTTON1..3 pick them; a type with fewer buttons repeats its last.
// Unknown types are MB_OK boxes.
const int* boxButtons(UINT type) {
    static const int buttons[6][3] = {
        {IDOK, IDOK, IDOK},              // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},      // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},    // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},         // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},             // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL},   // MB_RETRYCANCEL
    };
    UINT kind = type & MB_TYPEMASK;
    if (kind > 5) kind = 0;
    return buttons[kind];
}

}  // namespace

int winDefaultMessageBoxAnswer(UINT type) {
    UINT def = (type & MB_DEFMASK) >> 8;
    if (def > 2) def = 0;
    return boxButtons(type)[def];
}

bool winMessageBoxOffers(UINT type, int button) {
    const int* buttons = boxButtons(type);
    return button == buttons[0] || button == buttons[1] || button == buttons[2];
}

int winShowMessageBox(const std::wstring& caption, const std::wstring& text, UINT type) {
    try {
        if (backend()) return backend()(caption, text, type);
        return defaultBackend(caption, text, type);
    } catch (...) {
        return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
    }
}

void winSetAppTitle(const std::wstring& title) { appTitle() = title; }

std::wstring winAppTitle() {
    if (!appTitle().empty()) return appTitle();
    wchar_t path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    if (n == 0) return L"zdtcad";
    std::wstring name(path, n);
    size_t slash = name.find_last_of(L"/\\");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return name.empty() ? L"zdtcad" : name;
}

extern "C" int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    (void)owner;
    return winShowMessageBox(caption != nullptr ? caption : L"Error", text != nullptr ? text : L"", type);
}

int AfxMessageBox(const wchar_t* text, UINT type, UINT helpId) {
    (void)helpId;
    return winShowMessageBox(winAppTitle(), text != nullptr ? text : L"", type);
}
