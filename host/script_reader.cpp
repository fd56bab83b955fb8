// Reading scripts: whole files up front, standard input line by line.
#include "script_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "text_utf8.h"

namespace zdtcad {

std::string stripScriptLine(const std::string& raw) {
    std::string line = raw;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
            line.erase(i);
            break;
        }
    }
    return trim(line);
}

bool ScriptReader::openFile(const std::string& path, std::string& error) {
    m_name = path;
    m_stream = nullptr;
    m_interactive = false;
    m_lines.clear();
    m_pos = 0;
    m_lineNo = 0;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error = "无法读取脚本“" + path + "”：这是一个文件夹。";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "无法读取脚本“" + path + "”：" + std::strerror(errno) + "。";
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        error = "无法读取脚本“" + path + "”。";
        return false;
    }
    std::string text = content.str();
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!isValidUtf8(line)) {
            error = "脚本“" + path + "”第 " + std::to_string(number) + " 行不是有效的 UTF-8 文本。";
            return false;
        }
        m_lines.push_back(line);
    }
    return true;
}

void ScriptReader::openStdin() {
    openStream(std::cin, isatty(STDIN_FILENO) == 1);
    m_name = "-";
}

void ScriptReader::openStream(std::istream& in, bool interactive) {
    m_lines.clear();
    m_pos = 0;
    m_lineNo = 0;
    m_stream = &in;
    m_interactive = interactive;
    m_name = "-";
}

bool ScriptReader::next(std::string& line) {
    for (;;) {
        std::string raw;
        if (m_stream) {
            if (!std::getline(*m_stream, raw)) return false;
            ++m_lineNo;
            if (m_lineNo == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
            // A line typed in a wrong encoding is refused on its own; the session goes on.
            if (!isValidUtf8(raw)) {
                std::cerr << "第 " << m_lineNo << " 行不是有效的 UTF-8 文本，已忽略。" << std::endl;
                continue;
            }
        } else {
            if (m_pos >= m_lines.size()) return false;
            raw = m_lines[m_pos++];
            m_lineNo = static_cast<int>(m_pos);
        }
        line = stripScriptLine(raw);
        if (!line.empty()) return true;
    }
}

}  // namespace zdtcad
