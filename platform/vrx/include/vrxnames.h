// How record names compare, for the database and for programs that read it
// (the host's previews): CAD hosts match symbol names without regard to the
// case of Latin letters; every other character (Chinese names in particular)
// must match exactly.
#pragma once

#include <cstdint>
#include <string>

namespace VRxNames {

inline wchar_t foldLatin(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Compared from the end: block names are file paths that share their folder,
// so two different names part soonest at their ends.
inline bool sameName(const std::wstring& a, const wchar_t* b, size_t bLength) {
    if (a.size() != bLength) return false;
    // Mostly a name is looked up as it was spelled: equal without folding.
    if (std::char_traits<wchar_t>::compare(a.data(), b, bLength) == 0) return true;
    for (size_t i = a.size(); i-- > 0;)
        if (foldLatin(a[i]) != foldLatin(b[i])) return false;
    return true;
}
inline bool sameName(const std::wstring& a, const std::wstring& b) { return sameName(a, b.data(), b.size()); }
inline bool sameName(const std::wstring& a, const wchar_t* b) { return sameName(a, b, std::char_traits<wchar_t>::length(b)); }
inline bool sameName(const wchar_t* a, const wchar_t* b) {
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b)
        if (foldLatin(*a) != foldLatin(*b)) return false;
    return *a == *b;
}

// A hash of the name that equal names share: FNV-1a over the length and the
// folded characters of its end (block names are long paths of one folder).
inline uint64_t nameHash(const wchar_t* name, size_t length) {
    uint64_t h = (14695981039346656037ull ^ length) * 1099511628211ull;
    for (size_t i = length > 16 ? length - 16 : 0; i < length; ++i) {
        h ^= static_cast<uint64_t>(foldLatin(name[i]));
        h *= 1099511628211ull;
    }
    return h;
}
inline uint64_t nameHash(const std::wstring& name) { return nameHash(name.data(), name.size()); }

inline bool startsWithName(const std::wstring& s, const std::wstring& prefix) {
    return s.size() >= prefix.size() && sameName(s.substr(0, prefix.size()), prefix);
}

}  // namespace VRxNames
