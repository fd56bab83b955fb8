// The module's compiled-in resources (bitmaps from module/ui/res, named
// <name>_<id>.bmp) and the module's own instance, from which they are served.
#pragma once

#include <cstddef>

#include "winapi.h"

struct ZdtEmbeddedResource {
    UINT type;
    UINT id;
    const unsigned char* bytes;
    size_t size;
};

// The table the build generates from the resource files; count receives its length.
const ZdtEmbeddedResource* zdtEmbeddedResources(size_t& count);

// The instance of the loaded object this module's code lives in (the module's
// shared library, or the program it is linked into).
HINSTANCE zdtModuleInstance();

// Registers every compiled-in resource with instance; returns how many were.
int registerModuleResources(HINSTANCE instance);

// Makes the module's own resources current for its lifetime and restores the
// previous resource source when it ends, however the scope is left.
class CModuleResourceScope {
public:
    explicit CModuleResourceScope(HINSTANCE moduleInstance);
    ~CModuleResourceScope();
    CModuleResourceScope(const CModuleResourceScope&) = delete;
    CModuleResourceScope& operator=(const CModuleResourceScope&) = delete;

private:
    HINSTANCE m_previous;
};
