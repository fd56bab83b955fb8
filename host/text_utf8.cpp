// Text helpers of the host program: UTF-8 through the platform's codec, and
// the trimming and case folding of script lines.
#include "text_utf8.h"

#include "winhost.h"

namespace zdtcad {

std::wstring fromUtf8(const std::string& text, bool* ok) { return winFromUtf8(text, ok); }

std::string toUtf8(const std::wstring& text) { return winToUtf8(text); }

bool isValidUtf8(const std::string& text) { return winIsValidUtf8(text); }

std::string trim(const std::string& text) {
    const char* blanks = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string upperAscii(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

}  // namespace zdtcad
