// The module's paths, derived from the file name the module was loaded from.
#include "resources/module_paths.h"

#include <vector>

#include "resources/module_resources.h"
#include "winapi.h"

namespace {

std::wstring moduleFileName() {
    // MAX_PATH is what the module asks for; paths here may be longer, and a cut
    // name would send the catalogue look-up into the wrong directory, so the
    // buffer grows until the whole name fits.
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (;;) {
        DWORD n = GetModuleFileNameW(zdtModuleInstance(), buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return std::wstring();
        if (n < buf.size() - 1 || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::wstring(buf.data(), n);
        if (buf.size() > 32768) return std::wstring();
        buf.resize(buf.size() * 2);
    }
}

std::string wideToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr) != n)
        return std::string();
    return out;
}

}  // namespace

ModulePaths& ModulePaths::instance() {
    // Created on first use and kept for the module's life; it goes with the
    // module when the host unloads it (a heap copy would outlive the unload
    // with nothing left pointing at it).
    static ModulePaths paths;
    paths.refresh();
    return paths;
}

std::string ModulePaths::getCatalogPathUtf8() { return instance().m_catalogPathUtf8; }

std::wstring ModulePaths::getModuleDirectory() { return instance().m_moduleDirectory; }

std::wstring ModulePaths::getBlockFilePath(const std::wstring& name) {
    return getModuleDirectory() + L"BlockRes" + kPathSeparator + name + L".dwg";
}

void ModulePaths::refresh() {
    std::wstring name = moduleFileName();
    // The paths follow from the name alone: when it has not changed since the
    // last refresh they stand as they are (every block insertion asks for them).
    if (m_refreshed && name == m_moduleFileName) return;
    m_moduleFileName = name;
    m_refreshed = true;
    size_t cut = name.rfind(kPathSeparator);
    // Without a directory in the name (the system could not tell it) the
    // current directory stands in, rather than the file system's root.
    m_moduleDirectory = cut == std::wstring::npos ? std::wstring(L".") + kPathSeparator : name.substr(0, cut + 1);
    // The directory already ends with a separator and one more is put before the
    // file name, as the original layout of this path does; two separators in a
    // row name the same file here.
    m_catalogPath = m_moduleDirectory + kPathSeparator + L"ZDTSTANDARDMOULD.db";
    m_catalogPathUtf8 = wideToUtf8(m_catalogPath);
}
