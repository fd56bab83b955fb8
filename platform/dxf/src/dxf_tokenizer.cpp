// The first step of reading a drawing file: DXF text split into group
// code/value pairs. Everything that can be wrong with the text itself is found
// here, before any record is interpreted, so a damaged file is refused whole:
// binary content, a line that is not a group code, a value that is not the
// number its code demands, and a file that stops before its end marker.
#include <array>
#include <cctype>
#include <charconv>
#include <string_view>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dxf_internal.h"

namespace VRxDxf {
namespace detail {

ValueKind valueKind(int code) {
    if (code == 5 || code == 105 || (code >= 320 && code <= 369) || (code >= 390 && code <= 399) ||
        code == 480 || code == 481 || code == 1005)
        return ValueKind::Handle;
    if ((code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
        (code >= 460 && code <= 469) || (code >= 1010 && code <= 1059))
        return ValueKind::Double;
    if ((code >= 60 && code <= 99) || (code >= 160 && code <= 179) || (code >= 270 && code <= 289) ||
        (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 420 && code <= 429) ||
        (code >= 440 && code <= 459) || (code >= 1060 && code <= 1071))
        return ValueKind::Integer;
    if (code >= 290 && code <= 299) return ValueKind::Bool;
    return ValueKind::String;
}

bool isKnownGroupCode(int code) { return code >= -5 && code <= 1071; }

// Lines are looked at in place; only a tag's value is copied out.
static std::string_view trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

double Tag::number() const {
    if (parsed == Parsed::Real) return real;
    if (parsed == Parsed::Whole) return static_cast<double>(whole);
    return std::strtod(std::string(value).c_str(), nullptr);
}
long long Tag::integer() const {
    if (parsed == Parsed::Whole) return whole;
    return std::strtoll(std::string(value).c_str(), nullptr, 10);
}

// A line of the file as it can be shown in a message: short, printable.
static std::wstring shown(std::string_view line) {
    std::wstring w = fromUtf8(std::string(line.substr(0, 40)));
    for (wchar_t& c : w)
        if (c < 0x20 || c == 0x7F || c == 0xFFFD) c = L'?';
    if (line.size() > 40) w += L"...";
    return L"\"" + w + L"\"";
}

// A leading plus sign is what other writers put in now and then; from_chars
// refuses it, strtoll takes it.
static bool parseInteger(std::string_view s, long long& v) {
    if (s.empty()) return false;
    if (s[0] == '+') {
        s.remove_prefix(1);
        if (s.empty() || s[0] == '+' || s[0] == '-') return false;
    }
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// The fast path reads the plain decimal numbers DXF writers produce; anything
// else (a plus sign, hexadecimal floats) is left to strtod, as before.
static bool parseDouble(std::string_view s, double& v) {
    if (s.empty()) return false;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc() && r.ptr == s.data() + s.size()) return std::isfinite(v);
    const std::string copy(s);
    char* end = nullptr;
    v = std::strtod(copy.c_str(), &end);
    return end != nullptr && *end == '\0' && std::isfinite(v);
}

static bool isHex(std::string_view s) {
    for (char c : s)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return s.size() <= 16;
}

static std::wstring at(int line) { return L"line " + std::to_wstring(line) + L": "; }

// The group code line as writers put it, blanks and up to four digits, read
// without the general path; false for anything else.
static bool plainCode(std::string_view line, long long& code) {
    size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;
    if (i == line.size() || line.size() - i > 4) return false;
    long long v = 0;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    code = v;
    return true;
}

// The value kind of every known group code, looked up instead of worked out.
static ValueKind knownValueKind(int code) {
    static const std::array<ValueKind, 1077> kinds = [] {
        std::array<ValueKind, 1077> table{};
        for (int c = -5; c <= 1071; ++c) table[static_cast<size_t>(c + 5)] = valueKind(c);
        return table;
    }();
    return kinds[static_cast<size_t>(code + 5)];
}

bool tokenize(const std::string& content, std::vector<Tag>& tags, std::wstring& error) {
    tags.clear();
    if (content.empty()) {
        error = L"the file is empty";
        return false;
    }
    size_t pos = 0;
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    if (content.find("Binary DXF") < 32) {
        error = L"this is a binary DXF file; only DXF text can be read (save the drawing as DXF text)";
        return false;
    }
    size_t zero = content.find('\0');
    if (zero != std::string::npos) {
        int line = 1;
        for (size_t i = 0; i < zero; ++i)
            if (content[i] == '\n') ++line;
        error = at(line) + L"binary data (a zero byte): this is not a DXF text file";
        return false;
    }

    int lineNo = 0;
    const std::string_view text(content);
    auto nextLine = [&](std::string_view& line) -> bool {
        if (pos >= text.size()) return false;
        size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        line = text.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = nl + 1;
        ++lineNo;
        return true;
    };

    // About one tag per sixteen bytes of a typical file.
    tags.reserve(content.size() / 16);
    std::string_view codeLine, valueLine;
    while (nextLine(codeLine)) {
        Tag tag;
        tag.line = lineNo;
        long long code = 0;
        const bool plain = plainCode(codeLine, code) && code <= 1071;
        std::string_view c = plain ? codeLine : trim(codeLine);
        bool last = pos >= content.size();
        const wchar_t* cut = L": the file ends here, it is truncated";
        if (c.empty()) {
            error = at(lineNo) + L"a group code was expected but the line is empty" + (last ? cut : L"");
            return false;
        }
        if (!plain && (!parseInteger(c, code) || !isKnownGroupCode(static_cast<int>(code)) || code < -5 || code > 1071)) {
            error = at(lineNo) + shown(codeLine) + L" is not a DXF group code" +
                    (tags.empty() ? L": this is not a DXF file" : last ? cut : L"");
            return false;
        }
        tag.code = static_cast<int>(code);
        if (!nextLine(valueLine)) {
            error = at(lineNo) + L"group code " + std::to_wstring(code) +
                    L" has no value: the file ends here, it is truncated";
            return false;
        }
        switch (knownValueKind(tag.code)) {
        case ValueKind::Double: {
            double d;
            const std::string_view v = trim(valueLine);
            if (!parseDouble(v, d)) {
                error = at(lineNo) + L"group code " + std::to_wstring(code) + L" needs a number, found " +
                        shown(valueLine);
                return false;
            }
            tag.value = v;
            tag.parsed = Tag::Parsed::Real;
            tag.real = d;
            break;
        }
        case ValueKind::Integer:
        case ValueKind::Bool: {
            long long v;
            const std::string_view t = trim(valueLine);
            if (!parseInteger(t, v)) {
                error = at(lineNo) + L"group code " + std::to_wstring(code) + L" needs a whole number, found " +
                        shown(valueLine);
                return false;
            }
            tag.value = t;
            tag.parsed = Tag::Parsed::Whole;
            tag.whole = v;
            break;
        }
        case ValueKind::Handle:
            tag.value = trim(valueLine);
            if (!isHex(tag.value)) {
                error = at(lineNo) + L"group code " + std::to_wstring(code) + L" needs a handle, found " +
                        shown(valueLine);
                return false;
            }
            break;
        case ValueKind::String:
            tag.value = tag.code == 0 ? trim(valueLine) : valueLine;
            break;
        }
        bool eof = tag.code == 0 && tag.value == "EOF";
        tags.push_back(std::move(tag));
        if (eof) return true;
    }
    error = at(lineNo) + L"the file ends before its end marker (0 EOF): it is truncated";
    return false;
}

}  // namespace detail
}  // namespace VRxDxf
