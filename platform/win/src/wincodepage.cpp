// Code page conversions between wide text and 8-bit text, with the Windows
// calling conventions (length queries, -1 for zero-terminated input, 0 and a
// last-error value on failure). UTF-8 is converted here directly; the other
// 8-bit code pages go through iconv.
#include <errno.h>
#include <iconv.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "winapi.h"
#include "winhost.h"

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;
UINT g_acpOverride = 0;  // 0: use the default

const char* iconvName(UINT cp) {
    switch (cp) {
    case 936: return "GBK";
    case 54936: return "GB18030";
    case 1252: return "CP1252";
    case 20127: return "ANSI_X3.4-1968";
    case 28591: return "ISO-8859-1";
    default: return nullptr;
    }
}

bool supported(UINT cp) { return cp == CP_UTF8 || iconvName(cp) != nullptr; }

std::string upperAlnum(const std::string& s) {
    std::string r;
    for (char c : s) {
        if (c >= 'a' && c <= 'z') r += static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) r += c;
    }
    return r;
}

// The code page of a locale name such as "zh_CN.GBK" or "en_US.UTF-8@euro".
UINT codePageOfLocale(const char* name) {
    if (name == nullptr) return 0;
    const char* dot = std::strchr(name, '.');
    if (dot == nullptr) return 0;
    std::string codeset(dot + 1);
    size_t at = codeset.find('@');
    if (at != std::string::npos) codeset.resize(at);
    std::string c = upperAlnum(codeset);
    if (c == "UTF8") return CP_UTF8;
    if (c == "GBK" || c == "GB2312" || c == "GB18030" || c == "CP936" || c == "EUCCN") return 936;
    if (c == "CP1252") return 1252;
    if (c == "ISO88591") return 28591;
    return 0;
}

// The variables the code pages depend on, found in one pass over the
// environment (every conversion from or to the system code page asks): the
// first of each name, as getenv finds it.
struct LocaleVariables {
    const char* acp = nullptr;  // ZDT_ACP
    const char* all = nullptr;  // LC_ALL
    const char* ctype = nullptr;
    const char* lang = nullptr;
};

LocaleVariables localeVariables() {
    LocaleVariables v;
    auto take = [](const char* entry, const char* name, size_t length, const char*& value) {
        if (value == nullptr && std::strncmp(entry, name, length) == 0 && entry[length] == '=') value = entry + length + 1;
    };
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const char* entry = *e;
        if (entry[0] == 'Z') {
            take(entry, "ZDT_ACP", 7, v.acp);
        } else if (entry[0] == 'L') {
            take(entry, "LC_ALL", 6, v.all);
            take(entry, "LC_CTYPE", 8, v.ctype);
            take(entry, "LANG", 4, v.lang);
        }
    }
    return v;
}

UINT localeCodePage(const LocaleVariables& v) {
    for (const char* value : {v.all, v.ctype, v.lang}) {
        if (value == nullptr || *value == '\0') continue;
        UINT cp = codePageOfLocale(value);
        // The first variable that is set decides, as for the C library; a
        // locale without a codeset we know (C, POSIX) means UTF-8 here.
        return cp != 0 ? cp : CP_UTF8;
    }
    return CP_UTF8;
}

UINT defaultAcp() {
    const LocaleVariables v = localeVariables();
    if (const char* env = v.acp) {
        char* end = nullptr;
        unsigned long code = std::strtoul(env, &end, 10);
        if (end != env && *end == '\0' && supported(static_cast<UINT>(code))) return static_cast<UINT>(code);
    }
    return localeCodePage(v);
}

}  // namespace

UINT winLocaleCodePage() { return localeCodePage(localeVariables()); }

namespace {

UINT resolve(UINT cp) {
    if (cp == CP_ACP || cp == CP_OEMCP) return GetACP();
    return cp;
}

bool validCodePoint(uint32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

// Decodes UTF-8; returns false at the first invalid sequence when strict,
// otherwise puts U+FFFD for each invalid byte.
bool decodeUtf8(const unsigned char* s, size_t n, bool strict, std::wstring& out) {
    size_t i = 0;
    while (i < n) {
        unsigned char b = s[i];
        uint32_t cp = 0;
        size_t len = 0;
        uint32_t min = 0;
        if (b < 0x80) { cp = b; len = 1; }
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; len = 2; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; len = 3; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; len = 4; min = 0x10000; }
        bool ok = len != 0 && i + len <= n;
        for (size_t k = 1; ok && k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (ok && (cp < min || !validCodePoint(cp))) ok = false;
        if (!ok) {
            if (strict) return false;
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(cp);
        i += len;
    }
    return true;
}

// The UTF-8 length of n wide characters; false at the first value that is no
// character when strict (otherwise it counts as U+FFFD, three bytes).
bool utf8Length(const wchar_t* s, size_t n, bool strict, size_t& length) {
    length = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = static_cast<uint32_t>(s[i]);
        if (c < 0x80) {  // most of any text here: names, numbers, paths
            ++length;
            continue;
        }
        if (!validCodePoint(c)) {
            if (strict) return false;
            length += 3;
        } else {
            length += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        }
    }
    return true;
}

// Writes the UTF-8 of n wide characters (values that are no character as
// U+FFFD) at p, which has room for their utf8Length.
void writeUtf8(const wchar_t* s, size_t n, char* p) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = static_cast<uint32_t>(s[i]);
        if (c < 0x80) {
            *p++ = static_cast<char>(c);
            continue;
        }
        if (!validCodePoint(c)) c = 0xFFFD;
        if (c < 0x80) *p++ = static_cast<char>(c);
        else if (c < 0x800) {
            *p++ = static_cast<char>(0xC0 | (c >> 6));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *p++ = static_cast<char>(0xE0 | (c >> 12));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *p++ = static_cast<char>(0xF0 | (c >> 18));
            *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

bool encodeUtf8(const wchar_t* s, size_t n, bool strict, std::string& out) {
    size_t length = 0;
    if (!utf8Length(s, n, strict, length)) return false;
    const size_t start = out.size();
    out.resize(start + length);
    writeUtf8(s, n, &out[0] + start);
    return true;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(m_cd);
    }
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // One step; returns (size_t)-1 with errno as iconv does.
    size_t step(char** in, size_t* inLeft, char** out, size_t* outLeft) { return iconv(m_cd, in, inLeft, out, outLeft); }
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

// 8-bit text of an iconv code page to wide. Invalid or incomplete sequences fail
// when strict, else become U+FFFD one byte at a time.
bool decodeIconv(const char* name, const char* s, size_t n, bool strict, std::wstring& out, DWORD& error) {
    Iconv cd("WCHAR_T", name);
    if (!cd.ok()) { error = ERROR_INVALID_PARAMETER; return false; }
    char* in = const_cast<char*>(s);
    size_t inLeft = n;
    std::vector<wchar_t> buf(256);
    while (inLeft > 0) {
        char* o = reinterpret_cast<char*>(buf.data());
        size_t oLeft = buf.size() * sizeof(wchar_t);
        size_t r = cd.step(&in, &inLeft, &o, &oLeft);
        out.append(buf.data(), (buf.size() * sizeof(wchar_t) - oLeft) / sizeof(wchar_t));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (strict) { error = ERROR_NO_UNICODE_TRANSLATION; return false; }
            out += static_cast<wchar_t>(0xFFFD);
            ++in;
            --inLeft;
            cd.reset();
        }
    }
    return true;
}

// Wide to an iconv code page. A character the code page cannot hold is replaced
// by defaultChar when substitute, otherwise the conversion fails.
bool encodeIconv(const char* name, const wchar_t* s, size_t n, bool substitute, const char* defaultChar,
                 bool& usedDefault, std::string& out, DWORD& error) {
    Iconv cd(name, "WCHAR_T");
    if (!cd.ok()) { error = ERROR_INVALID_PARAMETER; return false; }
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(s));
    size_t inLeft = n * sizeof(wchar_t);
    char buf[512];
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        size_t r = cd.step(&in, &inLeft, &o, &oLeft);
        out.append(buf, sizeof buf - oLeft);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (!substitute) { error = ERROR_NO_UNICODE_TRANSLATION; return false; }
            out += defaultChar != nullptr ? defaultChar[0] : '?';
            usedDefault = true;
            in += sizeof(wchar_t);
            inLeft -= sizeof(wchar_t);
            cd.reset();
        }
    }
    char* o = buf;
    size_t oLeft = sizeof buf;
    cd.step(nullptr, nullptr, &o, &oLeft);  // shift state back to the initial one
    out.append(buf, sizeof buf - oLeft);
    return true;
}

int fail(DWORD error) {
    t_lastError = error;
    return 0;
}

}  // namespace

extern "C" {

DWORD GetLastError(void) { return t_lastError; }
void SetLastError(DWORD error) { t_lastError = error; }

UINT GetACP(void) { return g_acpOverride != 0 ? g_acpOverride : defaultAcp(); }

BOOL IsValidCodePage(UINT codePage) { return supported(codePage) ? TRUE : FALSE; }

BOOL winSetAnsiCodePage(UINT codePage) {
    if (codePage != 0 && !supported(codePage)) return FALSE;
    g_acpOverride = codePage;
    return TRUE;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH multiByteStr, int cbMultiByte, LPWSTR wideCharStr,
                        int cchWideChar) {
    if (multiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (wideCharStr == nullptr && cchWideChar != 0))
        return fail(ERROR_INVALID_PARAMETER);
    UINT cp = resolve(codePage);
    if (!supported(cp)) return fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~static_cast<DWORD>(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) != 0) return fail(ERROR_INVALID_FLAGS);
    size_t n = cbMultiByte == -1 ? std::strlen(multiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
    std::wstring out;
    DWORD error = ERROR_NO_UNICODE_TRANSLATION;
    bool ok = cp == CP_UTF8 ? decodeUtf8(reinterpret_cast<const unsigned char*>(multiByteStr), n, strict, out)
                            : decodeIconv(iconvName(cp), multiByteStr, n, strict, out, error);
    if (!ok) return fail(error);
    if (out.size() > 0x7FFFFFFF) return fail(ERROR_INVALID_PARAMETER);
    if (cchWideChar == 0) {
        t_lastError = ERROR_SUCCESS;
        return static_cast<int>(out.size());
    }
    if (out.size() > static_cast<size_t>(cchWideChar)) return fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(wideCharStr, out.data(), out.size() * sizeof(wchar_t));
    t_lastError = ERROR_SUCCESS;
    return static_cast<int>(out.size());
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wideCharStr, int cchWideChar, LPSTR multiByteStr,
                        int cbMultiByte, LPCCH defaultChar, LPBOOL usedDefaultChar) {
    if (wideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (multiByteStr == nullptr && cbMultiByte != 0))
        return fail(ERROR_INVALID_PARAMETER);
    UINT cp = resolve(codePage);
    if (!supported(cp)) return fail(ERROR_INVALID_PARAMETER);
    if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
    size_t n = cchWideChar == -1 ? std::wcslen(wideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    std::string out;
    if (cp == CP_UTF8) {
        if (defaultChar != nullptr || usedDefaultChar != nullptr) return fail(ERROR_INVALID_PARAMETER);
        if ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) return fail(ERROR_INVALID_FLAGS);
        // Measured first, then written straight into the caller's buffer: the
        // usual size query costs no conversion.
        size_t length = 0;
        if (!utf8Length(wideCharStr, n, (flags & WC_ERR_INVALID_CHARS) != 0, length))
            return fail(ERROR_NO_UNICODE_TRANSLATION);
        if (length > 0x7FFFFFFF) return fail(ERROR_INVALID_PARAMETER);
        if (cbMultiByte != 0) {
            if (length > static_cast<size_t>(cbMultiByte)) return fail(ERROR_INSUFFICIENT_BUFFER);
            writeUtf8(wideCharStr, n, multiByteStr);
        }
        t_lastError = ERROR_SUCCESS;
        return static_cast<int>(length);
    } else {
        if ((flags & ~static_cast<DWORD>(WC_NO_BEST_FIT_CHARS)) != 0) return fail(ERROR_INVALID_FLAGS);
        // Substituting a default character silently changes the text (a name
        // spliced into a statement would then match something else), so it only
        // happens when the caller asks for it by passing either pointer.
        bool substitute = defaultChar != nullptr || usedDefaultChar != nullptr;
        bool used = false;
        DWORD error = ERROR_NO_UNICODE_TRANSLATION;
        if (!encodeIconv(iconvName(cp), wideCharStr, n, substitute, defaultChar, used, out, error)) return fail(error);
        if (usedDefaultChar != nullptr) *usedDefaultChar = used ? TRUE : FALSE;
    }
    if (out.size() > 0x7FFFFFFF) return fail(ERROR_INVALID_PARAMETER);
    if (cbMultiByte == 0) {
        t_lastError = ERROR_SUCCESS;
        return static_cast<int>(out.size());
    }
    if (out.size() > static_cast<size_t>(cbMultiByte)) return fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(multiByteStr, out.data(), out.size());
    t_lastError = ERROR_SUCCESS;
    return static_cast<int>(out.size());
}

}  // extern "C"

// The platform's one UTF-8 codec, shared by the drawing files, the host program
// and the conversions above.
std::string winToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    encodeUtf8(text.data(), text.size(), false, out);
    return out;
}

std::wstring winFromUtf8(const std::string& text, bool* ok) {
    std::wstring out;
    out.reserve(text.size());
    bool valid = decodeUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size(), true, out);
    if (!valid) {
        out.clear();
        decodeUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size(), false, out);
    }
    if (ok) *ok = valid;
    return out;
}

bool winIsValidUtf8(const std::string& text) {
    bool ok = true;
    winFromUtf8(text, &ok);
    return ok;
}
