// The system registry and the command stack. Command groups are kept in the
// order they were added; lookups search the newest group first and compare
// names without regard to the case of Latin letters.
#include <cwctype>
#include <exception>

#include "vrxcmds.h"
#include "vrxed.h"

VRxRxObject::~VRxRxObject() = default;
VRxEdUIContext::~VRxEdUIContext() = default;
VRxRxDictionary::~VRxRxDictionary() = default;
VRxEdCommandStack::~VRxEdCommandStack() = default;

VRxRxObject* VRxRxDictionary::at(const wchar_t* key) const {
    if (key == nullptr) return nullptr;
    auto it = m_entries.find(key);
    return it == m_entries.end() ? nullptr : it->second.get();
}

VRxRxObject* VRxRxDictionary::atPut(const wchar_t* key, VRxRxObject* obj) {
    if (key == nullptr || obj == nullptr) return nullptr;
    std::unique_ptr<VRxRxObject>& slot = m_entries[key];
    if (slot.get() == obj) return nullptr;
    VRxRxObject* previous = slot.release();
    slot.reset(obj);
    return previous;
}

VRxRxObject* VRxRxDictionary::remove(const wchar_t* key) {
    if (key == nullptr) return nullptr;
    auto it = m_entries.find(key);
    if (it == m_entries.end()) return nullptr;
    VRxRxObject* obj = it->second.release();
    m_entries.erase(it);
    return obj;
}

std::vector<std::wstring> VRxRxDictionary::keys() const {
    std::vector<std::wstring> list;
    for (auto& e : m_entries) list.push_back(e.first);
    return list;
}

VRxRxDictionary* vrxSysRegistry() {
    // Created on first use with its command stack; never destroyed, as commands
    // may still be removed by modules unloading during process exit.
    static VRxRxDictionary* registry = [] {
        VRxRxDictionary* d = new VRxRxDictionary;
        d->atPut(L"VRX_REGISTERED_COMMANDS", new VRxEdCommandStack);
        return d;
    }();
    return registry;
}

bool vrxNamesEqualNoCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x == y) continue;
        if (x < 0x80 && y < 0x80) {
            if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
            if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
            if (x != y) return false;
        } else if (std::towlower(static_cast<wint_t>(x)) != std::towlower(static_cast<wint_t>(y))) {
            return false;
        }
    }
    return true;
}

namespace {
bool validName(const wchar_t* name) {
    if (name == nullptr || *name == L'\0') return false;
    for (const wchar_t* p = name; *p != L'\0'; ++p)
        if (*p <= L' ' || *p == 0x7F || *p == 0x3000) return false;
    return true;
}
}  // namespace

VRxEdCommandStack::Group* VRxEdCommandStack::findGroup(const std::wstring& name) const {
    for (auto& g : m_groups)
        if (vrxNamesEqualNoCase(g->name, name)) return g.get();
    return nullptr;
}

Vrx::ErrorStatus VRxEdCommandStack::addCommand(const wchar_t* cmdGroupName, const wchar_t* cmdGlobalName,
                                               const wchar_t* cmdLocalName, int commandFlags,
                                               VRxRxFunctionPointer functionAddr, VRxEdUIContext* uiContext,
                                               int fcode, HINSTANCE resourceHandle, VRxEdCommand** cmdPtrRet) {
    if (cmdPtrRet != nullptr) *cmdPtrRet = nullptr;
    if (!validName(cmdGroupName) || !validName(cmdGlobalName) || !validName(cmdLocalName) || functionAddr == nullptr)
        return Vrx::eInvalidInput;
    Group* group = findGroup(cmdGroupName);
    if (group != nullptr) {
        for (auto& c : group->commands)
            if (vrxNamesEqualNoCase(c->m_global, cmdGlobalName) || vrxNamesEqualNoCase(c->m_local, cmdLocalName))
                return Vrx::eDuplicateKey;
    } else {
        m_groups.push_back(std::make_unique<Group>());
        group = m_groups.back().get();
        group->name = cmdGroupName;
    }
    auto cmd = std::make_unique<VRxEdCommand>();
    cmd->m_group = group->name;
    cmd->m_global = cmdGlobalName;
    cmd->m_local = cmdLocalName;
    cmd->m_flags = commandFlags;
    cmd->m_function = functionAddr;
    cmd->m_context = uiContext;
    cmd->m_fcode = fcode;
    cmd->m_resource = resourceHandle;
    if (cmdPtrRet != nullptr) *cmdPtrRet = cmd.get();
    group->commands.push_back(std::move(cmd));
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxEdCommandStack::removeCmd(const wchar_t* cmdGroupName, const wchar_t* cmdGlobalName) {
    if (cmdGroupName == nullptr || cmdGlobalName == nullptr) return Vrx::eInvalidInput;
    Group* group = findGroup(cmdGroupName);
    if (group == nullptr) return Vrx::eKeyNotFound;
    for (auto it = group->commands.begin(); it != group->commands.end(); ++it) {
        if (vrxNamesEqualNoCase((*it)->m_global, cmdGlobalName)) {
            group->commands.erase(it);
            return Vrx::eOk;
        }
    }
    return Vrx::eKeyNotFound;
}

Vrx::ErrorStatus VRxEdCommandStack::removeGroup(const wchar_t* groupName) {
    if (groupName == nullptr) return Vrx::eInvalidInput;
    for (auto it = m_groups.begin(); it != m_groups.end(); ++it) {
        if (vrxNamesEqualNoCase((*it)->name, groupName)) {
            m_groups.erase(it);
            return Vrx::eOk;
        }
    }
    return Vrx::eKeyNotFound;
}

VRxEdCommand* VRxEdCommandStack::lookupGlobalCmd(const wchar_t* globalName) const {
    if (globalName == nullptr) return nullptr;
    for (auto g = m_groups.rbegin(); g != m_groups.rend(); ++g)
        for (auto& c : (*g)->commands)
            if (vrxNamesEqualNoCase(c->m_global, globalName)) return c.get();
    return nullptr;
}

VRxEdCommand* VRxEdCommandStack::lookupLocalCmd(const wchar_t* localName) const {
    if (localName == nullptr) return nullptr;
    for (auto g = m_groups.rbegin(); g != m_groups.rend(); ++g)
        for (auto& c : (*g)->commands)
            if (vrxNamesEqualNoCase(c->m_local, localName)) return c.get();
    return nullptr;
}

VRxEdCommand* VRxEdCommandStack::lookupCmd(const wchar_t* name) const {
    VRxEdCommand* cmd = lookupGlobalCmd(name);
    return cmd != nullptr ? cmd : lookupLocalCmd(name);
}

Vrx::ErrorStatus VRxEdCommandStack::runCommand(const wchar_t* name) const {
    VRxEdCommand* cmd = lookupCmd(name);
    if (cmd == nullptr) return Vrx::eKeyNotFound;
    // The command may unload its own group; keep what is needed before the call.
    VRxRxFunctionPointer fn = cmd->functionAddr();
    std::wstring global = cmd->globalName();
    try {
        fn();
    } catch (const std::exception& e) {
        vrxutPrintf(L"\n命令 %s 异常结束: %hs\n", global.c_str(), e.what());
        return Vrx::eInvalidInput;
    } catch (...) {
        vrxutPrintf(L"\n命令 %s 异常结束\n", global.c_str());
        return Vrx::eInvalidInput;
    }
    return Vrx::eOk;
}

std::vector<std::wstring> VRxEdCommandStack::groupNames() const {
    std::vector<std::wstring> names;
    for (auto g = m_groups.rbegin(); g != m_groups.rend(); ++g) names.push_back((*g)->name);
    return names;
}

std::vector<const VRxEdCommand*> VRxEdCommandStack::commands(const wchar_t* groupName) const {
    std::vector<const VRxEdCommand*> list;
    if (groupName == nullptr) return list;
    Group* group = findGroup(groupName);
    if (group == nullptr) return list;
    for (auto& c : group->commands) list.push_back(c.get());
    return list;
}
