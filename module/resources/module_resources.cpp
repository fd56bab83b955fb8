// Serving the compiled-in resources from the module's own instance.
#include "resources/module_resources.h"

#include "afxstub.h"

namespace {
// Any object of the module will do to find the loaded object it belongs to.
const char kModuleAnchor = 0;
}  // namespace

HINSTANCE zdtModuleInstance() { return winModuleInstanceFromAddress(&kModuleAnchor); }

int registerModuleResources(HINSTANCE instance) {
    size_t count = 0;
    const ZdtEmbeddedResource* table = zdtEmbeddedResources(count);
    int registered = 0;
    for (size_t i = 0; i < count; ++i) {
        if (winRegisterResource(instance, table[i].type, table[i].id, table[i].bytes, table[i].size)) ++registered;
    }
    return registered;
}

CModuleResourceScope::CModuleResourceScope(HINSTANCE moduleInstance) : m_previous(AfxGetResourceHandle()) {
    AfxSetResourceHandle(moduleInstance);
}

CModuleResourceScope::~CModuleResourceScope() { AfxSetResourceHandle(m_previous); }
