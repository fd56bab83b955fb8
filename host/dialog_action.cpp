// Parsing dialog lines and the buttons of message boxes.
#include "dialog_action.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "text_utf8.h"
#include "winhost.h"

namespace zdtcad {

namespace {

// Splits off the first blank-separated word of text; rest keeps everything after
// the blanks that follow it.
std::string firstWord(const std::string& text, std::string& rest) {
    const size_t end = text.find_first_of(" \t");
    if (end == std::string::npos) {
        rest.clear();
        return text;
    }
    const size_t next = text.find_first_not_of(" \t", end);
    rest = next == std::string::npos ? std::string() : text.substr(next);
    return text.substr(0, end);
}

bool parseId(const std::string& word, int& id) {
    if (word.empty()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (!(c >= '0' && c <= '9') && !(i == 0 && c == '-' && word.size() > 1)) return false;
    }
    errno = 0;
    const long value = std::strtol(word.c_str(), nullptr, 10);
    if (errno != 0 || value < INT_MIN || value > INT_MAX) return false;
    id = static_cast<int>(value);
    return true;
}

}  // namespace

bool parseDialogAction(const std::string& line, WinUiAction& action, std::string& error) {
    std::string rest;
    const std::string verb = firstWord(trim(line), rest);
    const std::string name = upperAscii(verb);
    if (name == "@OK" || name == "@CANCEL") {
        if (!rest.empty()) {
            error = verb + " 后面不应有内容";
            return false;
        }
        action = name == "@OK" ? WinUiAction::ok() : WinUiAction::cancel();
        return true;
    }
    if (name == "@ANSWER") {
        const std::string word = upperAscii(rest);
        const int button = word == "OK" ? IDOK : word == "CANCEL" ? IDCANCEL : word == "YES" ? IDYES : word == "NO" ? IDNO : 0;
        if (button == 0) {
            error = rest.empty() ? "@answer 需要回答：ok、cancel、yes 或 no"
                                 : "“" + rest + "”不是可用的回答：应为 ok、cancel、yes 或 no";
            return false;
        }
        action = WinUiAction::answerWith(button);
        return true;
    }
    if (name != "@SELECT" && name != "@TYPE" && name != "@CLICK") {
        error = "未知的对话框操作“" + verb + "”：可用 @select、@type、@click、@ok、@cancel、@answer";
        return false;
    }
    std::string text;
    const std::string idWord = firstWord(rest, text);
    int id = 0;
    if (idWord.empty()) {
        error = verb + " 需要控件编号";
        return false;
    }
    if (!parseId(idWord, id)) {
        error = "“" + idWord + "”不是控件编号";
        return false;
    }
    if (name == "@CLICK") {
        if (!text.empty()) {
            error = "@click 只需要控件编号，多出“" + text + "”";
            return false;
        }
        action = WinUiAction::clickOn(id);
        return true;
    }
    if (name == "@SELECT") {
        if (text.empty()) {
            error = "@select 需要要选择的文本";
            return false;
        }
        action = WinUiAction::select(id, fromUtf8(text));
        return true;
    }
    // Typing nothing is a click into the field and out again, which a user can do.
    action = WinUiAction::type(id, fromUtf8(text));
    return true;
}

bool boxOffers(unsigned type, int button) { return winMessageBoxOffers(type, button); }

std::string boxAnswerWords(unsigned type) {
    std::string words;
    const std::pair<int, const char*> all[] = {{IDOK, "ok"}, {IDYES, "yes"}, {IDNO, "no"}, {IDCANCEL, "cancel"}};
    for (const auto& [button, word] : all) {
        if (!boxOffers(type, button)) continue;
        if (!words.empty()) words += "/";
        words += word;
    }
    return words;
}

int boxRetreatAnswer(unsigned type) {
    if (boxOffers(type, IDCANCEL)) return IDCANCEL;
    if (boxOffers(type, IDNO)) return IDNO;
    if (boxOffers(type, IDOK)) return IDOK;
    return winDefaultMessageBoxAnswer(type);
}

std::wstring answerName(int answer) {
    switch (answer) {
    case IDOK: return L"确定";
    case IDCANCEL: return L"取消";
    case IDYES: return L"是";
    case IDNO: return L"否";
    case IDABORT: return L"中止";
    case IDRETRY: return L"重试";
    case IDIGNORE: return L"忽略";
    default: return std::to_wstring(answer);
    }
}

}  // namespace zdtcad
