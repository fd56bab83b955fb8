// Loading and unloading the extension module: dlopen, its exported entry point,
// and the load and unload messages the host sends through it.
#pragma once

#include <string>

namespace zdtcad {

class ModuleLoader {
public:
    ModuleLoader() = default;
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Opens the module, finds vrxrxEntryPoint and sends the load message with the
    // module's instance as the application handle. On failure nothing stays
    // loaded and error tells why, in the host's words.
    bool load(const std::string& path, std::string& error);
    // Sends the unload message and closes the module. False when none is loaded.
    bool unload(std::string& error);
    bool isLoaded() const { return m_handle != nullptr; }
    const std::string& path() const { return m_path; }

private:
    void* m_handle = nullptr;
    void* m_entry = nullptr;
    std::string m_path;
};

// The folder zdtcad runs from, with a trailing separator; empty when unknown.
std::string executableDirectory();
// The last component of a path.
std::string fileNameOf(const std::string& path);

}  // namespace zdtcad
