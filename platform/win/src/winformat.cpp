// Wide-string formatting with the Windows meaning of the conversions: in a wide
// format %s and %c are wide, %S and %hs narrow. The C library on this platform
// reads %s as narrow text, so each conversion is taken apart here, its argument
// fetched with the Windows meaning and formatted on its own.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "winapi.h"
#include "winhost.h"

namespace {

const int kMaxField = 1 << 20;  // widths and precisions beyond this are a bad format

template <class T>
bool appendOne(std::wstring& out, const std::wstring& conversion, T value) {
    std::vector<wchar_t> buf(128);
    for (;;) {
        int n = std::swprintf(buf.data(), buf.size(), conversion.c_str(), value);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) {
            out.append(buf.data(), static_cast<size_t>(n));
            return true;
        }
        // swprintf reports a cut output as -1 too: grow, up to a bound that
        // only a broken field could need.
        if (buf.size() > static_cast<size_t>(kMaxField) * 4) return false;
        buf.resize(buf.size() * 4);
    }
}

enum class Len { None, hh, h, l, ll, L, z, j, t, w, I64, I32, I };

const wchar_t* lenText(Len len) {
    switch (len) {
    case Len::hh: return L"hh";
    case Len::h: return L"h";
    case Len::l: return L"l";
    case Len::ll: case Len::I64: return L"ll";
    case Len::L: return L"L";
    case Len::z: case Len::I: return L"z";
    case Len::j: return L"j";
    case Len::t: return L"t";
    default: return L"";
    }
}

}  // namespace

bool winVFormat(std::wstring& out, const wchar_t* format, va_list args) {
    out.clear();
    if (format == nullptr) return false;
    va_list ap;
    va_copy(ap, args);
    bool ok = true;
    const wchar_t* p = format;
    while (ok && *p != L'\0') {
        if (*p != L'%') {
            out += *p++;
            continue;
        }
        ++p;
        if (*p == L'%') {
            out += L'%';
            ++p;
            continue;
        }
        std::wstring flags;
        while (*p != L'\0' && std::wcschr(L"-+ #0", *p) != nullptr) flags += *p++;
        int width = -1, precision = -1;
        if (*p == L'*') {
            width = va_arg(ap, int);
            ++p;
            if (width < 0) {
                flags += L'-';
                width = width == INT32_MIN ? kMaxField + 1 : -width;
            }
        } else {
            while (*p >= L'0' && *p <= L'9') {
                width = (width < 0 ? 0 : width) * 10 + (*p++ - L'0');
                if (width > kMaxField) break;
            }
        }
        if (*p == L'.') {
            ++p;
            precision = 0;
            if (*p == L'*') {
                precision = va_arg(ap, int);
                ++p;
                if (precision < 0) precision = -1;  // a negative precision counts as none
            } else {
                while (*p >= L'0' && *p <= L'9') {
                    precision = precision * 10 + (*p++ - L'0');
                    if (precision > kMaxField) break;
                }
            }
        }
        if (width > kMaxField || precision > kMaxField) {
            ok = false;
            break;
        }
        Len len = Len::None;
        if (p[0] == L'h' && p[1] == L'h') { len = Len::hh; p += 2; }
        else if (p[0] == L'h') { len = Len::h; ++p; }
        else if (p[0] == L'l' && p[1] == L'l') { len = Len::ll; p += 2; }
        else if (p[0] == L'l') { len = Len::l; ++p; }
        else if (p[0] == L'L') { len = Len::L; ++p; }
        else if (p[0] == L'z') { len = Len::z; ++p; }
        else if (p[0] == L'j') { len = Len::j; ++p; }
        else if (p[0] == L't') { len = Len::t; ++p; }
        else if (p[0] == L'w') { len = Len::w; ++p; }
        else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') { len = Len::I64; p += 3; }
        else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') { len = Len::I32; p += 3; }
        else if (p[0] == L'I') { len = Len::I; ++p; }
        wchar_t conv = *p;
        if (conv == L'\0') {
            ok = false;
            break;
        }
        ++p;
        std::wstring head = L"%" + flags;
        if (width >= 0) head += std::to_wstring(width);
        std::wstring headPrec = head;
        if (precision >= 0) headPrec += L"." + std::to_wstring(precision);
        switch (conv) {
        case L'd': case L'i': {
            std::wstring conversion = headPrec + lenText(len) + conv;
            switch (len) {
            case Len::l: ok = appendOne(out, conversion, va_arg(ap, long)); break;
            case Len::ll: case Len::I64: ok = appendOne(out, conversion, va_arg(ap, long long)); break;
            case Len::z: case Len::I: ok = appendOne(out, conversion, va_arg(ap, ptrdiff_t)); break;
            case Len::j: ok = appendOne(out, conversion, va_arg(ap, intmax_t)); break;
            case Len::t: ok = appendOne(out, conversion, va_arg(ap, ptrdiff_t)); break;
            case Len::L: case Len::w: ok = false; break;
            default: ok = appendOne(out, conversion, va_arg(ap, int)); break;
            }
            break;
        }
        case L'u': case L'o': case L'x': case L'X': {
            std::wstring conversion = headPrec + lenText(len) + conv;
            switch (len) {
            case Len::l: ok = appendOne(out, conversion, va_arg(ap, unsigned long)); break;
            case Len::ll: case Len::I64: ok = appendOne(out, conversion, va_arg(ap, unsigned long long)); break;
            case Len::z: case Len::I: ok = appendOne(out, conversion, va_arg(ap, size_t)); break;
            case Len::j: ok = appendOne(out, conversion, va_arg(ap, uintmax_t)); break;
            case Len::t: ok = appendOne(out, conversion, va_arg(ap, size_t)); break;
            case Len::L: case Len::w: ok = false; break;
            default: ok = appendOne(out, conversion, va_arg(ap, unsigned int)); break;
            }
            break;
        }
        case L'e': case L'E': case L'f': case L'F': case L'g': case L'G': case L'a': case L'A':
            if (len == Len::L) ok = appendOne(out, headPrec + L"L" + conv, va_arg(ap, long double));
            else ok = appendOne(out, headPrec + conv, va_arg(ap, double));
            break;
        case L'c': case L'C': {
            bool wide = conv == L'c' ? (len != Len::h) : (len == Len::l || len == Len::w);
            wchar_t ch;
            if (wide) {
                ch = static_cast<wchar_t>(va_arg(ap, wint_t));
            } else {
                int b = va_arg(ap, int) & 0xFF;
                ch = b < 0x80 ? static_cast<wchar_t>(b) : static_cast<wchar_t>(0xFFFD);
            }
            ok = appendOne(out, head + L"lc", static_cast<wint_t>(ch));
            break;
        }
        case L's': case L'S': {
            bool wide = conv == L's' ? (len != Len::h) : (len == Len::l || len == Len::w);
            std::wstring text;
            if (wide) {
                const wchar_t* s = va_arg(ap, const wchar_t*);
                text = s != nullptr ? s : L"(null)";
            } else {
                const char* s = va_arg(ap, const char*);
                text = s != nullptr ? winFromUtf8(s) : L"(null)";
            }
            ok = appendOne(out, headPrec + L"ls", text.c_str());
            break;
        }
        case L'p':
            ok = appendOne(out, head + L"p", va_arg(ap, void*));
            break;
        default:  // %n and anything unknown
            ok = false;
            break;
        }
    }
    va_end(ap);
    if (!ok) out.clear();
    return ok;
}

bool winFormat(std::wstring& out, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    bool ok = winVFormat(out, format, args);
    va_end(args);
    return ok;
}

int vswprintf_s(wchar_t* buffer, size_t sizeInWords, const wchar_t* format, va_list args) {
    if (buffer == nullptr || sizeInWords == 0) return -1;
    std::wstring out;
    if (!winVFormat(out, format, args) || out.size() >= sizeInWords) {
        buffer[0] = L'\0';
        return -1;
    }
    std::wmemcpy(buffer, out.c_str(), out.size() + 1);
    return static_cast<int>(out.size());
}

int swprintf_s(wchar_t* buffer, size_t sizeInWords, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    int n = vswprintf_s(buffer, sizeInWords, format, args);
    va_end(args);
    return n;
}

int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args) {
    if (buffer == nullptr && count != 0) return -1;
    std::wstring out;
    if (!winVFormat(out, format, args)) {
        if (count > 0) buffer[0] = L'\0';
        return -1;
    }
    if (count == 0) return out.size() == 0 ? 0 : -1;
    if (out.size() >= count) {
        std::wmemcpy(buffer, out.c_str(), count - 1);
        buffer[count - 1] = L'\0';
        return -1;
    }
    std::wmemcpy(buffer, out.c_str(), out.size() + 1);
    return static_cast<int>(out.size());
}

int _snwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    int n = _vsnwprintf(buffer, count, format, args);
    va_end(args);
    return n;
}
