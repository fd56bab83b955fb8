// The module framework's application classes: the dispatcher that turns a
// lifecycle message into a call of the matching virtual operation, and the
// inherited operations that walk the automatic registration tables.
#include "vrxapp.h"

#include <exception>

#include "vrxcmds.h"
#include "vrxed.h"

namespace {
const wchar_t* const kAutoGroup = L"VRX_AUTO";
}

VRxDbxApp::VRxDbxApp() = default;
VRxDbxApp::~VRxDbxApp() = default;

std::vector<VRxRxAutoEntry>& VRxDbxApp::customClassTable() {
    static std::vector<VRxRxAutoEntry> table;
    return table;
}
std::vector<VRxRxAutoEntry>& VRxDbxApp::commandTable() {
    static std::vector<VRxRxAutoEntry> table;
    return table;
}
std::vector<VRxRxAutoEntry>& VRxDbxApp::symbolTable() {
    static std::vector<VRxRxAutoEntry> table;
    return table;
}

VRxRx::AppRetCode VRxDbxApp::dispatch(int code, void* pkt) {
    typedef VRxRx::AppRetCode (VRxDbxApp::*Handler)(void*);
    // Slot k-1 for code k; code 0 is the last of the sixteen message slots.
    static const Handler slots[16] = {
        &VRxDbxApp::onInitApp,      &VRxDbxApp::onUnloadApp,       &VRxDbxApp::onLoadDwg,
        &VRxDbxApp::onUnloadDwg,    &VRxDbxApp::onInvokeSubr,      &VRxDbxApp::onConfig,
        &VRxDbxApp::onEnd,          &VRxDbxApp::onQuit,            &VRxDbxApp::onSave,
        &VRxDbxApp::onDependency,   &VRxDbxApp::onNoDependency,    &VRxDbxApp::onUnloadComponent,
        &VRxDbxApp::onPreQuit,      &VRxDbxApp::onInitDialog,      &VRxDbxApp::onEndDialog,
        &VRxDbxApp::onNullMsg,
    };
    if (code < 0 || code > VRxRx::kLastAppMsg) return VRxRx::kRetOK;
    int slot = code == 0 ? 15 : code - 1;
    try {
        return (this->*slots[slot])(pkt);
    } catch (const std::exception& e) {
        vrxutPrintf(L"\n模块消息 %d 处理失败: %hs\n", code, e.what());
    } catch (...) {
        vrxutPrintf(L"\n模块消息 %d 处理失败\n", code);
    }
    return VRxRx::kRetError;
}

VRxRx::AppRetCode VRxDbxApp::onInitApp(void*) {
    // Each class entry's initialiser registers its class with the runtime.
    m_registeredClasses = 0;
    for (const VRxRxAutoEntry& e : customClassTable()) {
        if (e.function != nullptr) e.function();
        ++m_registeredClasses;
    }
    return VRxRx::kRetOK;
}

VRxRx::AppRetCode VRxDbxApp::onUnloadApp(void*) {
    m_registeredClasses = 0;
    return VRxRx::kRetOK;
}

VRxRx::AppRetCode VRxDbxApp::onLoadDwg(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onUnloadDwg(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onInvokeSubr(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onConfig(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onEnd(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onQuit(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onSave(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onDependency(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onNoDependency(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onUnloadComponent(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onPreQuit(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onInitDialog(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onEndDialog(void*) { return VRxRx::kRetOK; }
VRxRx::AppRetCode VRxDbxApp::onNullMsg(void*) { return VRxRx::kRetOK; }

VRxRx::AppRetCode VRxVrxApp::onInitApp(void* pkt) {
    VRxRx::AppRetCode rc = VRxDbxApp::onInitApp(pkt);
    if (commandTable().empty()) return rc;
    VRxEdCommandStack* stack = VRxEdCommandStack::cast(vrxSysRegistry()->at(L"VRX_REGISTERED_COMMANDS"));
    if (stack == nullptr) return rc;
    for (const VRxRxAutoEntry& e : commandTable()) {
        const std::wstring& group = e.group.empty() ? std::wstring(kAutoGroup) : e.group;
        stack->addCommand(group.c_str(), e.globalName.c_str(), e.localName.c_str(), e.flags, e.function);
    }
    return rc;
}

VRxRx::AppRetCode VRxVrxApp::onUnloadApp(void* pkt) {
    if (!commandTable().empty()) {
        VRxEdCommandStack* stack = VRxEdCommandStack::cast(vrxSysRegistry()->at(L"VRX_REGISTERED_COMMANDS"));
        if (stack != nullptr) {
            for (const VRxRxAutoEntry& e : commandTable())
                stack->removeGroup(e.group.empty() ? kAutoGroup : e.group.c_str());
        }
    }
    return VRxDbxApp::onUnloadApp(pkt);
}

VRxRx::AppRetCode VRxVrxApp::onLoadDwg(void*) {
    m_definedSymbols = 0;
    for (const VRxRxAutoEntry& e : symbolTable()) {
        (void)e;
        ++m_definedSymbols;
    }
    return VRxRx::kRetOK;
}

VRxRx::AppRetCode VRxVrxApp::onUnloadDwg(void*) {
    m_definedSymbols = 0;
    return VRxRx::kRetOK;
}

VRxRx::AppRetCode VRxVrxApp::onInvokeSubr(void*) {
    if (symbolTable().empty()) return VRxRx::kRetOK;
    const VRxRxAutoEntry& first = symbolTable().front();
    if (first.function != nullptr) first.function();
    return VRxRx::kRetOK;
}
