// Loading the preview library with dlopen, as the window library is loaded.
#include "preview_library.h"

#include <dlfcn.h>

#include "module_loader.h"

namespace zdtcad {

PreviewLibrary::~PreviewLibrary() {
    if (m_handle == nullptr) return;
    // Fonts stay loaded for the process's life otherwise; letting go here keeps a
    // leak checker's report to real leaks.
    m_release();
    dlclose(m_handle);
}

bool PreviewLibrary::load(std::string& why) {
    if (m_handle != nullptr) return true;
    const std::string path = executableDirectory() + "libzdtpreview.so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        why = "无法加载预览库“" + path + "”：" + (reason ? reason : "未知原因");
        return false;
    }
    auto render =
        reinterpret_cast<bool (*)(const VRxDbDatabase*, int, const std::string*, std::string*)>(
            dlsym(handle, "zdtpreviewRender"));
    auto release = reinterpret_cast<void (*)()>(dlsym(handle, "zdtpreviewReleaseFontCaches"));
    if (render == nullptr || release == nullptr) {
        why = "预览库“" + path + "”缺少入口函数";
        dlclose(handle);
        return false;
    }
    m_handle = handle;
    m_render = render;
    m_release = release;
    return true;
}

bool PreviewLibrary::render(const VRxDbDatabase& db, zdtpreview::PreviewFormat format, const std::string& path,
                            std::string& error) {
    if (!load(error)) return false;
    return m_render(&db, format == zdtpreview::PreviewFormat::Svg ? 0 : 1, &path, &error);
}

}  // namespace zdtcad
