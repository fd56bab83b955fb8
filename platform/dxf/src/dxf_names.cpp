// Symbol names in drawing files: which names DXF can hold, how names compare,
// and the valid, recognisable name a block named by a file path is written under.
#include <cstdio>
#include <cwchar>

#include "dxf_internal.h"

namespace VRxDxf {
namespace detail {

// --- Names ------------------------------------------------------------------

bool isValidSymbolName(const std::wstring& name) {
    if (name.empty() || name.size() > 255) return false;
    for (wchar_t c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (std::wcschr(L"<>/\\\":;?*|=`", c) != nullptr && c != 0) return false;
    }
    if (name.front() == L' ' || name.back() == L' ') return false;
    return true;
}

std::wstring foldName(const std::wstring& name) {
    std::wstring out = name;
    for (wchar_t& c : out)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return out;
}

}  // namespace detail

std::wstring dxfSafeName(const std::wstring& name) {
    using detail::isValidSymbolName;
    if (isValidSymbolName(name)) return name;
    // Anonymous blocks keep their star: readers recognise them by it.
    if (name.size() > 1 && name[0] == L'*' && isValidSymbolName(name.substr(1))) return name;
    // A path: the file name is what a user recognises.
    std::wstring base = name;
    size_t sep = base.find_last_of(L"/\\");
    if (sep != std::wstring::npos && sep + 1 < base.size()) base = base.substr(sep + 1);
    std::wstring out;
    for (wchar_t c : base) {
        bool bad = c < 0x20 || c == 0x7F || std::wcschr(L"<>/\\\":;?*|=`", c) != nullptr;
        out += bad ? L'_' : c;
    }
    while (!out.empty() && out.front() == L' ') out.erase(out.begin());
    while (!out.empty() && out.back() == L' ') out.pop_back();
    if (out.size() > 200) out.resize(200);
    // A hash of the whole name keeps two paths with the same file name apart.
    uint32_t h = 2166136261u;
    for (wchar_t c : name) {
        h ^= static_cast<uint32_t>(c);
        h *= 16777619u;
    }
    wchar_t suffix[16];
    std::swprintf(suffix, 16, L"_%06X", h & 0xFFFFFFu);
    if (out.empty()) out = L"BLOCK";
    return out + suffix;
}

}  // namespace VRxDxf
