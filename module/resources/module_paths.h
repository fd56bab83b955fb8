// Where the module finds its files: the module directory (with a trailing
// separator) taken from the module's own file name, and the catalogue file
// beside it. One object per process, refreshed at every access.
#pragma once

#include <string>

class ModulePaths {
public:
    // The single instance, refreshed from the module's file name first.
    static ModulePaths& instance();

    // Copies of the fields, each after a refresh.
    static std::string getCatalogPathUtf8();
    static std::wstring getModuleDirectory();
    // A standard part drawing of the BlockRes folder beside the module, by the
    // name of the file without its ".dwg".
    static std::wstring getBlockFilePath(const std::wstring& name);

    const std::wstring& catalogPath() const { return m_catalogPath; }
    const std::string& catalogPathUtf8() const { return m_catalogPathUtf8; }
    const std::wstring& moduleDirectory() const { return m_moduleDirectory; }

private:
    ModulePaths() = default;
    void refresh();

    std::wstring m_catalogPath;
    std::string m_catalogPathUtf8;
    std::wstring m_moduleDirectory;  // ends with the path separator
    std::wstring m_moduleFileName;   // the name the paths above were made from
    bool m_refreshed = false;
};
