// Text conversions on the system's code page services (WideCharToMultiByte and
// MultiByteToWideChar). Lengths are always passed explicitly, so the results
// never carry a terminating zero and an empty input never reaches the system.
#include "catalogue/text_conversion.h"

#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "winapi.h"

namespace {

// One conversion in the usual two passes: ask for the size, then convert.
// code: 0 success, 1 no length reported, 2 the passes disagree.
// UTF-8 refuses a value that is no character (a lone surrogate) instead of
// replacing it, so a statement never runs with a name other than the one given.
int wideToBytes(UINT codePage, const std::wstring& text, std::string& out) {
    out.clear();
    if (text.empty()) return 0;
    if (text.size() > static_cast<size_t>(INT_MAX)) return 1;
    const int n = static_cast<int>(text.size());
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0;
    int needed = WideCharToMultiByte(codePage, flags, text.data(), n, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return 1;
    std::vector<char> buffer(static_cast<size_t>(needed));
    int written = WideCharToMultiByte(codePage, flags, text.data(), n, buffer.data(), needed, nullptr, nullptr);
    if (written != needed) return 2;
    out.assign(buffer.data(), static_cast<size_t>(written));
    return 0;
}

std::wstring bytesToWide(UINT codePage, const char* text, size_t length) {
    if (text == nullptr || length == 0 || length > static_cast<size_t>(INT_MAX)) return std::wstring();
    const int n = static_cast<int>(length);
    int needed = MultiByteToWideChar(codePage, 0, text, n, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring out;
    try {
        out.resize(static_cast<size_t>(needed));
    } catch (const std::bad_alloc&) {
        return std::wstring();
    }
    int written = MultiByteToWideChar(codePage, 0, text, n, &out[0], needed);
    if (written <= 0) return std::wstring();
    out.resize(static_cast<size_t>(written));
    return out;
}

}  // namespace

std::string toUtf8(const std::wstring& text) {
    std::string out;
    switch (wideToBytes(CP_UTF8, text, out)) {
    case 1:
        throw TextConversionError("Error in conversion.");
    case 2:
        throw TextConversionError("La falla!");
    default:
        return out;
    }
}

bool tryToUtf8(const std::wstring& text, std::string& out) {
    if (wideToBytes(CP_UTF8, text, out) == 0) return true;
    out.clear();
    return false;
}

std::wstring fromUtf8(const std::string& text) { return bytesToWide(CP_UTF8, text.data(), text.size()); }

std::wstring fromUtf8(const char* text) {
    return text == nullptr ? std::wstring() : bytesToWide(CP_UTF8, text, std::char_traits<char>::length(text));
}

std::string toAnsi(const std::wstring& text) {
    std::string out;
    // A text the code page cannot hold is not approximated: a name with a
    // character replaced could match another catalogue entry, an empty one none.
    if (wideToBytes(CP_ACP, text, out) != 0) out.clear();
    return out;
}

std::wstring fromAnsi(const char* text, size_t length) {
    std::wstring out = bytesToWide(CP_ACP, text, length);
    if (!out.empty() && out[0] == L'\xFEFF') out.erase(0, 1);
    return out;
}

std::wstring fromAnsi(const std::string& text) { return fromAnsi(text.data(), text.size()); }

double leadingDecimal(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    // Only a decimal number counts: sign, digits, fraction, exponent. wcstod
    // alone would also take "inf", "nan" and hexadecimal.
    const size_t start = i;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    size_t digits = 0;
    while (i < text.size() && std::iswdigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == L'.') {
        ++i;
        while (i < text.size() && std::iswdigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) ++j;
        if (j < text.size() && std::iswdigit(text[j])) {
            while (j < text.size() && std::iswdigit(text[j])) ++j;
            i = j;
        }
    }
    const std::wstring number = text.substr(start, i - start);
    const double value = std::wcstod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}
