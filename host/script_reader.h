// The script zdtcad plays: what a user would type, one line each. Comments and
// blank lines are dropped here so the rest of the host sees only input lines.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace zdtcad {

// Removes a comment and the blanks around what is left. A comment starts at a
// "#" at the beginning of the line or after a blank, so a text such as "A#1"
// typed into a field stays whole.
std::string stripScriptLine(const std::string& raw);

class ScriptReader {
public:
    // A script file is read whole before anything runs, so an unreadable or
    // malformed file is refused before the drawing is touched.
    bool openFile(const std::string& path, std::string& error);
    // Standard input is read line by line as it arrives; interactive when it is a terminal.
    void openStdin();
    // For tests and embedding: lines from a stream, read as they are asked for.
    void openStream(std::istream& in, bool interactive);

    // The next input line (comments and blank lines skipped); false at the end.
    bool next(std::string& line);
    // Source line number of the line last returned by next().
    int lineNumber() const { return m_lineNo; }
    bool interactive() const { return m_interactive; }
    const std::string& name() const { return m_name; }

private:
    std::vector<std::string> m_lines;  // a whole file
    size_t m_pos = 0;
    std::istream* m_stream = nullptr;  // or a live stream
    bool m_interactive = false;
    int m_lineNo = 0;
    std::string m_name;
};

}  // namespace zdtcad
