// Command-line output of zdtcad.
#include "command_line.h"

#include "text_utf8.h"

namespace zdtcad {

void CommandLine::put(const std::string& bytes) {
    if (bytes.empty()) return;
    std::fwrite(bytes.data(), 1, bytes.size(), m_out);
}

void CommandLine::write(const std::wstring& text) {
    std::wstring pending;
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n') {
            if (!pending.empty()) {
                put(toUtf8(pending));
                m_column += pending.size();
                pending.clear();
            }
            if (m_column > 0) {
                put("\n");
                m_column = 0;
            }
        } else {
            pending.push_back(c);
        }
    }
    if (!pending.empty()) {
        put(toUtf8(pending));
        m_column += pending.size();
    }
    std::fflush(m_out);
}

void CommandLine::line(const std::wstring& text) {
    endLine();
    put(toUtf8(text));
    put("\n");
    m_column = 0;
    std::fflush(m_out);
}

void CommandLine::line(const std::string& utf8) {
    line(fromUtf8(utf8));
}

void CommandLine::prompt(const std::wstring& text) {
    endLine();
    put(toUtf8(text));
    m_column = text.size();
    std::fflush(m_out);
}

void CommandLine::endLine() {
    if (m_column > 0) {
        put("\n");
        m_column = 0;
        std::fflush(m_out);
    }
}

std::wstring promptText(const std::wstring& prompt, const wchar_t* fallback) {
    const wchar_t* blanks = L" \t\r\n";
    const size_t first = prompt.find_first_not_of(blanks);
    std::wstring text = first == std::wstring::npos
                            ? std::wstring(fallback)
                            : prompt.substr(first, prompt.find_last_not_of(blanks) - first + 1);
    if (text.empty()) return text;
    const wchar_t last = text.back();
    if (last == L':' || last == L'：') return text + L" ";
    return text + L": ";
}

}  // namespace zdtcad
