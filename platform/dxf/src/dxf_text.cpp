// Text of drawing files: UTF-8 for what we write and for files of 2007 and
// later, the declared 8-bit code page (GBK for Chinese drawings) for older ones,
// and the \U+XXXX escapes older files use for characters outside that page.
#include <iconv.h>

#include <cerrno>
#include <cctype>
#include <cstring>

#include "dxf_internal.h"
#include "winhost.h"

namespace VRxDxf {
namespace detail {

std::string toUtf8(const std::wstring& text) { return winToUtf8(text); }

std::wstring fromUtf8(const std::string& bytes, bool* ok) { return winFromUtf8(bytes, ok); }

bool isValidUtf8(const std::string& bytes) { return winIsValidUtf8(bytes); }

static int hexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::wstring decodeUnicodeEscapes(const std::wstring& text) {
    if (text.find(L"\\U+") == std::wstring::npos && text.find(L"\\u+") == std::wstring::npos) return text;
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 7 <= text.size() && (text[i + 1] == L'U' || text[i + 1] == L'u') &&
            text[i + 2] == L'+') {
            int v = 0;
            bool good = true;
            for (size_t k = i + 3; k < i + 7; ++k) {
                int h = hexValue(text[k]);
                if (h < 0) { good = false; break; }
                v = v * 16 + h;
            }
            if (good) {
                out += static_cast<wchar_t>(v);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// --- TextDecoder --------------------------------------------------------------

TextDecoder::~TextDecoder() { close(); }

void TextDecoder::close() {
    if (m_iconv != nullptr) iconv_close(static_cast<iconv_t>(m_iconv));
    m_iconv = nullptr;
}

bool TextDecoder::useCodePage(const std::string& dxfCodePage) {
    close();
    std::string cp;
    for (char c : dxfCodePage) cp += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string name;
    if (cp == "ANSI_936" || cp == "GB2312" || cp == "GBK") name = "GBK";
    else if (cp == "ANSI_950" || cp == "BIG5") name = "BIG5";
    else if (cp == "UTF8" || cp == "UTF-8") { useUtf8(); return true; }
    else if (cp.rfind("ANSI_", 0) == 0) name = "CP" + cp.substr(5);
    else if (cp.rfind("DOS", 0) == 0) name = "CP" + cp.substr(3);
    else if (cp.rfind("ISO8859-", 0) == 0) name = "ISO-8859-" + cp.substr(8);
    else name = cp;
    iconv_t h = iconv_open("WCHAR_T", name.c_str());
    m_utf8 = false;
    if (h == reinterpret_cast<iconv_t>(-1)) return false;
    m_iconv = h;
    return true;
}

std::wstring TextDecoder::decode(std::string_view bytes) {
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
    std::wstring out;
    if (ascii) {
        out.assign(bytes.begin(), bytes.end());
    } else if (m_utf8) {
        out = fromUtf8(std::string(bytes));
    } else if (m_iconv == nullptr) {
        for (char c : bytes) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    } else {
        iconv_t h = static_cast<iconv_t>(m_iconv);
        iconv(h, nullptr, nullptr, nullptr, nullptr);
        std::string in(bytes);
        char* src = &in[0];
        size_t srcLeft = in.size();
        std::vector<wchar_t> buf(in.size() + 4);
        while (srcLeft > 0) {
            char* dst = reinterpret_cast<char*>(buf.data());
            size_t dstLeft = buf.size() * sizeof(wchar_t);
            size_t r = iconv(h, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf.data(), (reinterpret_cast<wchar_t*>(dst) - buf.data()));
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                // An invalid or cut-off sequence: mark it and go on with the next byte.
                out += L'\uFFFD';
                ++src;
                --srcLeft;
                iconv(h, nullptr, nullptr, nullptr, nullptr);
            }
        }
    }
    return decodeUnicodeEscapes(out);
}

}  // namespace detail
}  // namespace VRxDxf
