// The command line as zdtcad shows it: everything the user would see in the
// host's command window (prompts with what was typed, lines the module prints,
// message boxes, the host's own messages) goes to standard output in order.
#pragma once

#include <cstdio>
#include <string>

namespace zdtcad {

class CommandLine {
public:
    explicit CommandLine(FILE* out = stdout) : m_out(out) {}

    // Text as a module formats it: line ends are in the text. A line end at the
    // start of a line is dropped, since modules begin their messages with one to
    // get off the prompt line, which here is already ended.
    void write(const std::wstring& text);
    // One whole line of the host's own, on a line of its own.
    void line(const std::wstring& text);
    void line(const std::string& utf8);
    // A prompt that waits on the same line for what the user types (terminal use).
    void prompt(const std::wstring& text);
    // Ends a line left open by write() or prompt().
    void endLine();
    bool atLineStart() const { return m_column == 0; }
    // The user ended the line on the terminal by pressing Enter.
    void userEndedLine() { m_column = 0; }

private:
    void put(const std::string& bytes);
    FILE* m_out;
    size_t m_column = 0;
};

// "请选择插入点" -> "请选择插入点: "; a prompt that ends in a colon keeps it.
// Line ends and blanks around the module's text are dropped.
std::wstring promptText(const std::wstring& prompt, const wchar_t* fallback);

}  // namespace zdtcad
