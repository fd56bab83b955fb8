// Module instances and their resources. Every loaded object (the program and
// each shared library) that asks for its instance gets one record, kept for the
// life of the process so that handles and bitmaps stay valid even after a
// library is unloaded. Bitmap resources are decoded on first load.
#include <dlfcn.h>
#include <link.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "afxstub.h"
#include "winapi.h"
#include "winhost.h"

struct WinModule {
    std::wstring fileName;
    std::wstring overrideName;
    uintptr_t loadAddress = 0;
    // The loader's handles of the LoadLibraryW calls not yet undone, last first.
    std::vector<void*> libraryHandles;
    std::map<std::pair<UINT, UINT>, std::vector<unsigned char>> resources;
    std::map<UINT, std::unique_ptr<WinBitmap>> bitmaps;
};

namespace {

struct Registry {
    std::vector<std::unique_ptr<WinModule>> modules;
    HINSTANCE resourceHandle = nullptr;  // null: the program's instance
};

Registry& registry() {
    static Registry* r = new Registry;  // outlives every static destructor that might still ask
    return *r;
}

bool known(HINSTANCE h) {
    for (auto& m : registry().modules)
        if (m.get() == h) return true;
    return false;
}

std::string programPath() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string();
    buf[n] = '\0';
    return buf;
}

struct FindData {
    uintptr_t address;
    bool found = false;
    bool isProgram = false;
    uintptr_t base = 0;
    std::string name;
    int index = 0;
};

int findObject(struct dl_phdr_info* info, size_t, void* data) {
    FindData* fd = static_cast<FindData*>(data);
    int index = fd->index++;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_LOAD) continue;
        uintptr_t start = info->dlpi_addr + ph.p_vaddr;
        if (fd->address >= start && fd->address < start + ph.p_memsz) {
            fd->found = true;
            fd->isProgram = index == 0;
            fd->base = info->dlpi_addr;
            fd->name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            return 1;
        }
    }
    return 0;
}

HINSTANCE instanceFor(uintptr_t base, const std::string& path) {
    std::wstring name = winFromUtf8(path);
    for (auto& m : registry().modules)
        if (m->loadAddress == base && m->fileName == name) return m.get();
    auto m = std::make_unique<WinModule>();
    m->fileName = name;
    m->loadAddress = base;
    registry().modules.push_back(std::move(m));
    return registry().modules.back().get();
}

HINSTANCE programInstance() {
    // The first object the loader reports is the program itself.
    struct First {
        static int cb(struct dl_phdr_info* info, size_t, void* data) {
            *static_cast<uintptr_t*>(data) = info->dlpi_addr;
            return 1;
        }
    };
    uintptr_t base = 0;
    dl_iterate_phdr(&First::cb, &base);
    return instanceFor(base, programPath());
}

uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Decodes a bitmap file (or a bare bitmap info header with its pixels, as
// resources store them). Returns false for anything it does not understand.
bool decodeBitmap(const std::vector<unsigned char>& bytes, WinBitmap& bmp) {
    size_t n = bytes.size();
    const unsigned char* d = bytes.data();
    size_t info = 0;
    size_t pixelOffset = 0;
    if (n >= 14 && d[0] == 'B' && d[1] == 'M') {
        info = 14;
        pixelOffset = le32(d + 10);
    }
    if (n < info + 40) return false;
    uint32_t headerSize = le32(d + info);
    if (headerSize < 40 || headerSize > n - info) return false;
    int32_t width = static_cast<int32_t>(le32(d + info + 4));
    int32_t height = static_cast<int32_t>(le32(d + info + 8));
    uint16_t planes = le16(d + info + 12);
    uint16_t bpp = le16(d + info + 14);
    uint32_t compression = le32(d + info + 16);
    uint32_t colorsUsed = le32(d + info + 32);
    bool topDown = height < 0;
    if (height == INT32_MIN) return false;
    if (topDown) height = -height;
    if (planes != 1 || compression != 0 || width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    if (bpp != 8 && bpp != 24 && bpp != 32) return false;
    size_t paletteEntries = 0;
    if (bpp == 8) {
        paletteEntries = colorsUsed == 0 ? 256 : colorsUsed;
        if (paletteEntries > 256) return false;
    }
    size_t palette = info + headerSize;
    if (palette + paletteEntries * 4 > n) return false;
    if (pixelOffset == 0) pixelOffset = palette + paletteEntries * 4;
    size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    if (pixelOffset > n || stride * static_cast<size_t>(height) > n - pixelOffset) return false;
    bmp.width = width;
    bmp.height = height;
    bmp.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        int srcRow = topDown ? y : height - 1 - y;
        const unsigned char* row = d + pixelOffset + stride * static_cast<size_t>(srcRow);
        unsigned char* dst = bmp.rgba.data() + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            unsigned char b, g, r;
            if (bpp == 8) {
                size_t idx = row[x];
                if (idx >= paletteEntries) return false;
                const unsigned char* c = d + palette + idx * 4;
                b = c[0];
                g = c[1];
                r = c[2];
            } else {
                const unsigned char* c = row + static_cast<size_t>(x) * (bpp / 8);
                b = c[0];
                g = c[1];
                r = c[2];
            }
            dst[x * 4 + 0] = r;
            dst[x * 4 + 1] = g;
            dst[x * 4 + 2] = b;
            dst[x * 4 + 3] = 255;
        }
    }
    return true;
}

}  // namespace

namespace {

// How many objects the loader has loaded and unloaded so far: while neither
// count changes, an address stays in the object it was found in.
std::pair<unsigned long long, unsigned long long> loaderGeneration() {
    struct Counts {
        static int cb(struct dl_phdr_info* info, size_t size, void* data) {
            auto* counts = static_cast<std::pair<unsigned long long, unsigned long long>*>(data);
            if (size >= offsetof(struct dl_phdr_info, dlpi_subs) + sizeof(info->dlpi_subs))
                *counts = {info->dlpi_adds, info->dlpi_subs};
            return 1;
        }
    };
    std::pair<unsigned long long, unsigned long long> counts{0, 0};
    dl_iterate_phdr(&Counts::cb, &counts);
    return counts;
}

}  // namespace

HINSTANCE winModuleInstanceFromAddress(const void* address) {
    if (address == nullptr) return nullptr;
    // Modules ask for their own instance at every file they look for: the last
    // answer holds as long as nothing was loaded or unloaded since.
    static const void* lastAddress = nullptr;
    static HINSTANCE lastInstance = nullptr;
    static std::pair<unsigned long long, unsigned long long> lastGeneration{0, 0};
    const auto generation = loaderGeneration();
    if (address == lastAddress && generation == lastGeneration && generation.first != 0) return lastInstance;
    FindData fd;
    fd.address = reinterpret_cast<uintptr_t>(address);
    dl_iterate_phdr(&findObject, &fd);
    if (!fd.found) return nullptr;
    std::string path;
    if (fd.isProgram) {
        path = programPath();
    } else {
        // Modules ask for their own instance at every block they insert; the
        // loader's name of a loaded object does not change, so it is resolved
        // through the file system once (realpath reads every link on the way).
        static std::map<std::string, std::string> resolved;
        auto known = resolved.find(fd.name);
        if (known == resolved.end()) {
            char real[PATH_MAX];
            known = resolved.emplace(fd.name, realpath(fd.name.c_str(), real) != nullptr ? std::string(real) : fd.name)
                        .first;
        }
        path = known->second;
    }
    lastAddress = address;
    lastInstance = instanceFor(fd.base, path);
    lastGeneration = generation;
    return lastInstance;
}

extern "C" DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (module == nullptr) module = programInstance();
    if (!known(module)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::wstring& name = module->overrideName.empty() ? module->fileName : module->overrideName;
    if (name.size() >= size) {
        std::wmemcpy(fileName, name.c_str(), size - 1);
        fileName[size - 1] = L'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::wmemcpy(fileName, name.c_str(), name.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(name.size());
}

extern "C" HMODULE LoadLibraryW(LPCWSTR fileName) {
    if (fileName == nullptr || *fileName == L'\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* handle = dlopen(winToUtf8(fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
    struct link_map* map = nullptr;
    if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) {
        if (handle != nullptr) dlclose(handle);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // The same instance as the library's own code finds for itself.
    char real[PATH_MAX];
    const char* name = map->l_name != nullptr ? map->l_name : "";
    HMODULE module = instanceFor(map->l_addr, realpath(name, real) != nullptr ? std::string(real) : std::string(name));
    module->libraryHandles.push_back(handle);
    SetLastError(ERROR_SUCCESS);
    return module;
}

extern "C" FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    if (module == nullptr || !known(module) || module->libraryHandles.empty() || procName == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* address = dlsym(module->libraryHandles.back(), procName);
    SetLastError(address != nullptr ? ERROR_SUCCESS : ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(address);
}

extern "C" BOOL FreeLibrary(HMODULE module) {
    if (module == nullptr || !known(module) || module->libraryHandles.empty()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    void* handle = module->libraryHandles.back();
    module->libraryHandles.pop_back();
    dlclose(handle);
    return TRUE;
}

BOOL winOverrideModuleFileName(HINSTANCE instance, const std::wstring& fileName) {
    if (instance == nullptr || !known(instance)) return FALSE;
    instance->overrideName = fileName;
    return TRUE;
}

HINSTANCE AfxGetInstanceHandle() { return programInstance(); }

HINSTANCE AfxGetResourceHandle() {
    HINSTANCE h = registry().resourceHandle;
    return h != nullptr ? h : programInstance();
}

void AfxSetResourceHandle(HINSTANCE instance) { registry().resourceHandle = instance; }

BOOL winRegisterResource(HINSTANCE instance, UINT type, UINT id, const unsigned char* bytes, size_t size) {
    if (instance == nullptr || !known(instance) || (bytes == nullptr && size != 0)) return FALSE;
    instance->resources[{type, id}] = std::vector<unsigned char>(bytes, bytes + size);
    // A replaced bitmap is decoded again on its next load; the old decoded copy
    // stays alive because toolbars may still show it.
    if (type == RT_BITMAP) {
        auto it = instance->bitmaps.find(id);
        if (it != instance->bitmaps.end()) {
            static std::vector<std::unique_ptr<WinBitmap>>* retired = new std::vector<std::unique_ptr<WinBitmap>>;
            retired->push_back(std::move(it->second));
            instance->bitmaps.erase(it);
        }
    }
    return TRUE;
}

BOOL winRegisterBitmapResource(HINSTANCE instance, UINT id, const unsigned char* bmpBytes, size_t size) {
    if (bmpBytes == nullptr) return FALSE;
    return winRegisterResource(instance, RT_BITMAP, id, bmpBytes, size);
}

const std::vector<unsigned char>* winFindResource(HINSTANCE instance, UINT type, UINT id) {
    if (instance == nullptr || !known(instance)) return nullptr;
    auto it = instance->resources.find({type, id});
    return it == instance->resources.end() ? nullptr : &it->second;
}

std::vector<HINSTANCE> winModuleInstances() {
    std::vector<HINSTANCE> list;
    for (auto& m : registry().modules) list.push_back(m.get());
    return list;
}

std::vector<UINT> winResourceIds(HINSTANCE instance, UINT type) {
    std::vector<UINT> ids;
    if (instance == nullptr || !known(instance)) return ids;
    for (auto& r : instance->resources)
        if (r.first.first == type) ids.push_back(r.first.second);
    return ids;
}

std::vector<HBITMAP> winLoadedBitmaps() {
    std::vector<HBITMAP> list;
    for (auto& m : registry().modules)
        for (auto& b : m->bitmaps) list.push_back(b.second.get());
    return list;
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    if (instance == nullptr || !known(instance) || !IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    UINT id = static_cast<UINT>(reinterpret_cast<uintptr_t>(name));
    auto cached = instance->bitmaps.find(id);
    if (cached != instance->bitmaps.end()) return cached->second.get();
    const std::vector<unsigned char>* bytes = winFindResource(instance, RT_BITMAP, id);
    if (bytes == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    auto bmp = std::make_unique<WinBitmap>();
    if (!decodeBitmap(*bytes, *bmp)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    bmp->module = instance;
    bmp->resourceId = id;
    HBITMAP h = bmp.get();
    instance->bitmaps[id] = std::move(bmp);
    SetLastError(ERROR_SUCCESS);
    return h;
}

BOOL DeleteObject(void* object) { return object != nullptr ? TRUE : FALSE; }
