// The host's system registry and its command stack: modules add command groups
// with their commands at load and remove them at unload; the host program looks
// commands up by global or local name, without regard to case, and runs them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vrxapp.h"
#include "vrxdbcore.h"
#include "winapi.h"

class VRxRxObject {
public:
    virtual ~VRxRxObject();
};

// A name-keyed dictionary of runtime objects; it owns what is put into it.
class VRxRxDictionary : public VRxRxObject {
public:
    ~VRxRxDictionary() override;
    static VRxRxDictionary* cast(VRxRxObject* o) { return dynamic_cast<VRxRxDictionary*>(o); }
    // Null when the key is absent or null.
    VRxRxObject* at(const wchar_t* key) const;
    // Puts obj under key and returns the object that was there (now the caller's),
    // or null. A null key or object changes nothing and returns null.
    VRxRxObject* atPut(const wchar_t* key, VRxRxObject* obj);
    // Takes the object out (the caller owns it), null when absent.
    VRxRxObject* remove(const wchar_t* key);
    std::vector<std::wstring> keys() const;

private:
    std::map<std::wstring, std::unique_ptr<VRxRxObject>> m_entries;
};

// The process-wide registry. Its entry "VRX_REGISTERED_COMMANDS" is the command stack.
VRxRxDictionary* vrxSysRegistry();

// A command's user-interface context (pop-up menus in a richer host); modules may
// pass one, the registry only keeps the pointer.
class VRxEdUIContext {
public:
    virtual ~VRxEdUIContext();
};

namespace VRxRx {
// Command flags.
enum CommandFlags {
    kModal = 0x00000000,
    kTransparent = 0x00000001,
    kUsePickSet = 0x00000002,
    kRedraw = 0x00000004,
    kNoPaperSpace = 0x00000008,
    kNoTileMode = 0x00000010,
    kUndefined = 0x00000020,
};
}  // namespace VRxRx

class VRxEdCommand {
public:
    const std::wstring& groupName() const { return m_group; }
    const std::wstring& globalName() const { return m_global; }
    const std::wstring& localName() const { return m_local; }
    int commandFlags() const { return m_flags; }
    VRxRxFunctionPointer functionAddr() const { return m_function; }
    VRxEdUIContext* UIContext() const { return m_context; }
    int functionCode() const { return m_fcode; }
    HINSTANCE resourceHandle() const { return m_resource; }

private:
    friend class VRxEdCommandStack;
    std::wstring m_group, m_global, m_local;
    int m_flags = 0;
    VRxRxFunctionPointer m_function = nullptr;
    VRxEdUIContext* m_context = nullptr;
    int m_fcode = -1;
    HINSTANCE m_resource = nullptr;
};

class VRxEdCommandStack : public VRxRxObject {
public:
    ~VRxEdCommandStack() override;
    static VRxEdCommandStack* cast(VRxRxObject* o) { return dynamic_cast<VRxEdCommandStack*>(o); }

    // Adds a command to a group (created on first use). eInvalidInput for a null
    // function or an empty or null name, or a name with blanks or control
    // characters; eDuplicateKey when the group already has a command of that
    // global or local name (compared without regard to case).
    Vrx::ErrorStatus addCommand(const wchar_t* cmdGroupName, const wchar_t* cmdGlobalName,
                                const wchar_t* cmdLocalName, int commandFlags, VRxRxFunctionPointer functionAddr,
                                VRxEdUIContext* uiContext = nullptr, int fcode = -1,
                                HINSTANCE resourceHandle = nullptr, VRxEdCommand** cmdPtrRet = nullptr);
    // eKeyNotFound when there is no such group or command.
    Vrx::ErrorStatus removeCmd(const wchar_t* cmdGroupName, const wchar_t* cmdGlobalName);
    Vrx::ErrorStatus removeGroup(const wchar_t* groupName);

    // Lookups ignore case; the most recently added group is searched first.
    VRxEdCommand* lookupGlobalCmd(const wchar_t* globalName) const;
    VRxEdCommand* lookupLocalCmd(const wchar_t* localName) const;
    // The global name first, then the local name (how typed names are resolved).
    VRxEdCommand* lookupCmd(const wchar_t* name) const;

    // Looks the name up and runs the command. eKeyNotFound when there is none.
    // An exception escaping the command is reported on the command line and
    // yields eInvalidInput; it never reaches the caller.
    Vrx::ErrorStatus runCommand(const wchar_t* name) const;

    // Group names, most recent first, and a group's commands in the order added.
    std::vector<std::wstring> groupNames() const;
    std::vector<const VRxEdCommand*> commands(const wchar_t* groupName) const;

private:
    struct Group {
        std::wstring name;
        std::vector<std::unique_ptr<VRxEdCommand>> commands;
    };
    Group* findGroup(const std::wstring& name) const;
    std::vector<std::unique_ptr<Group>> m_groups;  // most recent last
};

// Compares two names the way the command stack does (Latin letters without case).
bool vrxNamesEqualNoCase(const std::wstring& a, const std::wstring& b);
