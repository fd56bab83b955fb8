// The host's module framework: the lifecycle messages the host sends through a
// module's entry point, and the application base classes whose virtual
// operations receive them. The virtual operations are declared in slot order:
// slots 0..14 take message codes 1..15, slot 15 takes code 0, slot 16 is the
// abstract operation every concrete application supplies.
#pragma once

#include <string>
#include <vector>

typedef void (*VRxRxFunctionPointer)();

namespace VRxRx {
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kUnloadComponentMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
};
// Zero means success to the host.
enum AppRetCode { kRetOK = 0, kRetError = 3 };
const int kLastAppMsg = 15;
}  // namespace VRxRx

// One entry of the framework's automatic registration tables. Modules fill the
// tables through their own declarations; a module that registers everything
// explicitly leaves them empty.
struct VRxRxAutoEntry {
    std::wstring group;         // command group (commands only)
    std::wstring globalName;    // class, command or symbol name
    std::wstring localName;     // commands only
    int flags = 0;              // commands only
    VRxRxFunctionPointer function = nullptr;  // class initialiser, command or symbol function
};

class VRxDbxApp {
public:
    VRxDbxApp();

    // The host's entry into the application: code 0 reaches slot 15, codes 1..15
    // slots 0..14; any other code returns kRetOK without calling anything.
    // Exceptions never leave it: one that escapes a handler yields kRetError.
    VRxRx::AppRetCode dispatch(int code, void* pkt);

    // slot 0: registers the classes of the custom class table.
    virtual VRxRx::AppRetCode onInitApp(void* pkt);
    // slot 1: unregisters them again.
    virtual VRxRx::AppRetCode onUnloadApp(void* pkt);
    virtual VRxRx::AppRetCode onLoadDwg(void* pkt);           // slot 2
    virtual VRxRx::AppRetCode onUnloadDwg(void* pkt);         // slot 3
    virtual VRxRx::AppRetCode onInvokeSubr(void* pkt);        // slot 4
    virtual VRxRx::AppRetCode onConfig(void* pkt);            // slot 5
    virtual VRxRx::AppRetCode onEnd(void* pkt);               // slot 6
    virtual VRxRx::AppRetCode onQuit(void* pkt);              // slot 7
    virtual VRxRx::AppRetCode onSave(void* pkt);              // slot 8
    virtual VRxRx::AppRetCode onDependency(void* pkt);        // slot 9
    virtual VRxRx::AppRetCode onNoDependency(void* pkt);      // slot 10
    virtual VRxRx::AppRetCode onUnloadComponent(void* pkt);   // slot 11
    virtual VRxRx::AppRetCode onPreQuit(void* pkt);           // slot 12
    virtual VRxRx::AppRetCode onInitDialog(void* pkt);        // slot 13
    virtual VRxRx::AppRetCode onEndDialog(void* pkt);         // slot 14
    virtual VRxRx::AppRetCode onNullMsg(void* pkt);           // slot 15
    // slot 16: never reached through dispatch.
    virtual void registerServerComponents() = 0;

    virtual ~VRxDbxApp();

    // The framework's automatic registration tables (process-wide).
    static std::vector<VRxRxAutoEntry>& customClassTable();
    static std::vector<VRxRxAutoEntry>& commandTable();
    static std::vector<VRxRxAutoEntry>& symbolTable();

    // How many class entries the last load registered; when non-zero the class
    // hierarchy is rebuilt.
    int registeredClassCount() const { return m_registeredClasses; }

protected:
    int m_registeredClasses = 0;
};

class VRxVrxApp : public VRxDbxApp {
public:
    // Base load, then the command table's commands (group "VRX_AUTO" unless an
    // entry names its own).
    VRxRx::AppRetCode onInitApp(void* pkt) override;
    // Removes the table's command groups, then the base unload.
    VRxRx::AppRetCode onUnloadApp(void* pkt) override;
    // Walk the symbol table; nothing is defined for an empty table.
    VRxRx::AppRetCode onLoadDwg(void* pkt) override;
    VRxRx::AppRetCode onUnloadDwg(void* pkt) override;
    // Calls the first symbol table entry's function, when there is one.
    VRxRx::AppRetCode onInvokeSubr(void* pkt) override;

    // How many symbols the last drawing load walked.
    int definedSymbolCount() const { return m_definedSymbols; }

protected:
    int m_definedSymbols = 0;
};
