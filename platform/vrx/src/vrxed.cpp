// The command-line editor: requests for input of the running command go to the
// editor host the host program installed; without one, output is printed and
// every request is cancelled, so a command run outside a host ends cleanly.
#include "vrxed.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <exception>

#include "winhost.h"

namespace {

class ConsoleEditor : public VRxEditorHost {
public:
    int getPoint(const double*, const std::wstring& prompt, double*) override {
        print(prompt);
        print(L"\n");
        return RTCAN;
    }
    int getString(bool, const std::wstring& prompt, std::wstring& result) override {
        print(prompt);
        print(L"\n");
        result.clear();
        return RTCAN;
    }
    void print(const std::wstring& text) override {
        winWriteUtf8(stdout, text);
        std::fflush(stdout);
    }
};

ConsoleEditor& consoleEditor() {
    static ConsoleEditor* e = new ConsoleEditor;
    return *e;
}

VRxEditorHost* g_host = nullptr;

}  // namespace

VRxEditorHost* vrxedSetHost(VRxEditorHost* host) {
    VRxEditorHost* previous = g_host;
    g_host = host;
    return previous;
}

VRxEditorHost* vrxedHost() { return g_host != nullptr ? g_host : &consoleEditor(); }

int vrxedGetPoint(const vrx_point base, const wchar_t* prompt, vrx_point result) {
    if (result == nullptr) return RTERROR;
    double picked[3] = {0.0, 0.0, 0.0};
    int rc;
    try {
        rc = vrxedHost()->getPoint(base, prompt != nullptr ? prompt : L"", picked);
    } catch (...) {
        return RTERROR;
    }
    if (rc == RTNORM) {
        result[0] = picked[0];
        result[1] = picked[1];
        result[2] = picked[2];
    }
    return rc;
}

int vrxedGetString(int cronly, const wchar_t* prompt, wchar_t* result) {
    if (result == nullptr) return RTERROR;
    result[0] = L'\0';
    std::wstring answer;
    int rc;
    try {
        rc = vrxedHost()->getString(cronly != 0, prompt != nullptr ? prompt : L"", answer);
    } catch (...) {
        return RTERROR;
    }
    if (rc != RTNORM) return rc;
    if (!cronly) {
        // Without cronly a blank ends the answer, as the space bar does at a prompt.
        size_t blank = answer.find(L' ');
        if (blank != std::wstring::npos) answer.resize(blank);
    }
    if (answer.size() > static_cast<size_t>(kVrxMaxStringInput)) {
        vrxutPrintf(L"\n输入过长（最多 %d 个字符）。\n", kVrxMaxStringInput);
        return RTERROR;
    }
    std::wmemcpy(result, answer.c_str(), answer.size() + 1);
    return RTNORM;
}

int vrxutPrintf(const wchar_t* format, ...) {
    std::wstring text;
    va_list args;
    va_start(args, format);
    bool ok = winVFormat(text, format, args);
    va_end(args);
    if (!ok) return RTERROR;
    try {
        vrxedHost()->print(text);
    } catch (...) {
        return RTERROR;
    }
    return RTNORM;
}
