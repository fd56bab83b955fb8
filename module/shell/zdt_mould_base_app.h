// The module's application object: it receives the host's lifecycle messages,
// registers the ZDTSGS, ZDTPGS and ZDTBOM commands with their toolbar, menu and ribbon
// entries at load, and removes the command group at unload.
#pragma once

#include "vrxapp.h"
#include "winapi.h"

class CZDTMouldBaseApp : public VRxVrxApp {
public:
    // The module's one application object.
    static CZDTMouldBaseApp& instance();

    VRxRx::AppRetCode onInitApp(void* pkt) override;
    VRxRx::AppRetCode onUnloadApp(void* pkt) override;
    void registerServerComponents() override {}

    // The module's own instance, known from the first load on.
    HINSTANCE moduleInstance() const { return m_hInstance; }

private:
    void addToolbar();
    void addMenu();
    void addRibbon();
    // A bitmap of the module's own resources (112 the design command's icon,
    // 113 the order list's), whatever source is current.
    HBITMAP loadIcon(UINT id);

    HINSTANCE m_hInstance = nullptr;
};

// The entry point's body: forwards a host message to the application object.
int zdtDispatchHostMessage(int msg, void* pkt);
