// Loading the dialog windows' library with dlopen. It is never unloaded: the
// window system keeps threads and handlers of its own until the process ends.
#include "window_library.h"

#include <dlfcn.h>

#include "module_loader.h"
#include "text_utf8.h"

namespace zdtcad {

WindowLibrary::~WindowLibrary() = default;

bool WindowLibrary::load(std::string& why) {
    if (m_handle != nullptr) return true;
    const std::string path = executableDirectory() + "libvrxwinqt.so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        why = "无法加载窗口界面库“" + path + "”：" + (reason ? reason : "未知原因");
        return false;
    }
    auto display = reinterpret_cast<bool (*)(std::wstring*)>(dlsym(handle, "vrxwinqtDisplayAvailable"));
    auto create = reinterpret_cast<WinWindowedUiBackend* (*)(bool, const std::string*, std::wstring*)>(
        dlsym(handle, "vrxwinqtCreateBackend"));
    if (display == nullptr || create == nullptr) {
        why = "窗口界面库“" + path + "”缺少入口函数";
        dlclose(handle);
        return false;
    }
    m_handle = handle;
    m_displayAvailable = display;
    m_create = create;
    return true;
}

bool WindowLibrary::displayAvailable(std::string& why) {
    if (!load(why)) return false;
    std::wstring reason;
    const bool available = m_displayAvailable(&reason);
    why = toUtf8(reason);
    return available;
}

std::unique_ptr<WinWindowedUiBackend> WindowLibrary::createBackend(bool offscreen, const std::string& pictureFolder,
                                                                   std::string& why) {
    if (!load(why)) return nullptr;
    std::wstring reason;
    std::unique_ptr<WinWindowedUiBackend> backend(m_create(offscreen, &pictureFolder, &reason));
    if (!backend) why = toUtf8(reason);
    return backend;
}

}  // namespace zdtcad
