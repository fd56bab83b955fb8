// The module loader. A module is trusted code, but a wrong path, a library that
// is not a module or a module that throws must not bring the host down: every
// failure becomes a message and the host goes on without the module.
#include "module_loader.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <exception>
#include <vector>

#include "afxstub.h"
#include "vrxapp.h"

namespace zdtcad {

namespace {

using EntryPoint = VRxRx::AppRetCode (*)(VRxRx::AppMsgCode, void*);

// Sends one message; an exception from the module counts as an error return.
int sendMessage(void* entry, VRxRx::AppMsgCode code, void* packet, std::string& error) {
    try {
        return reinterpret_cast<EntryPoint>(entry)(code, packet);
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "未知异常";
    }
    return VRxRx::kRetError;
}

}  // namespace

ModuleLoader::~ModuleLoader() {
    std::string ignored;
    unload(ignored);
}

bool ModuleLoader::load(const std::string& path, std::string& error) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        error = "无法加载模块“" + path + "”：文件不存在。";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "无法加载模块“" + path + "”：不是文件。";
        return false;
    }
    if (m_handle) {
        error = "已加载模块“" + fileNameOf(m_path) + "”，请先卸载（APPUNLOAD）。";
        return false;
    }
    // A bare file name would send dlopen searching the library path; the user
    // means the file in the current folder.
    const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
    dlerror();
    void* handle = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = "无法加载模块“" + path + "”：" + (why ? why : "dlopen 失败") + "。";
        return false;
    }
    dlerror();
    void* entry = dlsym(handle, "vrxrxEntryPoint");
    if (!entry) {
        dlclose(handle);
        error = "无法加载模块“" + path + "”：其中没有入口函数 vrxrxEntryPoint。";
        return false;
    }
    // The application handle the module receives is its own instance, through
    // which it reaches its resources.
    HINSTANCE instance = winModuleInstanceFromAddress(entry);
    std::string why;
    const int result = sendMessage(entry, VRxRx::kInitAppMsg, instance, why);
    if (result != VRxRx::kRetOK) {
        // Whatever the module registered before it failed must go before its code
        // does, or a command would call into an unloaded library.
        std::string ignored;
        sendMessage(entry, VRxRx::kUnloadAppMsg, instance, ignored);
        dlclose(handle);
        error = "无法加载模块“" + path + "”：模块初始化失败（返回 " + std::to_string(result) + "）" +
                (why.empty() ? "" : "：" + why) + "。";
        return false;
    }
    m_handle = handle;
    m_entry = entry;
    m_path = path;
    return true;
}

bool ModuleLoader::unload(std::string& error) {
    if (!m_handle) {
        error = "没有已加载的模块。";
        return false;
    }
    HINSTANCE instance = winModuleInstanceFromAddress(m_entry);
    std::string why;
    const int result = sendMessage(m_entry, VRxRx::kUnloadAppMsg, instance, why);
    dlclose(m_handle);
    m_handle = nullptr;
    m_entry = nullptr;
    const std::string name = fileNameOf(m_path);
    m_path.clear();
    if (result != VRxRx::kRetOK) {
        error = "模块“" + name + "”卸载时报告错误（返回 " + std::to_string(result) + "）" +
                (why.empty() ? "" : "：" + why) + "，已卸载。";
        return false;
    }
    return true;
}

std::string executableDirectory() {
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return std::string();
    std::string path(buffer.data(), static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace zdtcad
