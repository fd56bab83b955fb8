// Loading and unloading the module. Registration is explicit: one command
// group with a design command per series and the order list beside them, then
// the toolbar (only when the host has none of that name yet), the menu and the
// ribbon entries, each skipped quietly when the host lacks it.
#include "shell/zdt_mould_base_app.h"

#include "afxstub.h"
#include "resources/module_resources.h"
#include "ui/dialog_resources.h"
#include "shell/mould_base_command.h"
#include "shell/order_list_command.h"
#include "vrxcmds.h"
#include "vrxui.h"

namespace {
const wchar_t* const kGroupName = L"ZDTApp";
const wchar_t* const kToolbarName = L"ZDTTools";
const wchar_t* const kProductTitle = L"岱川标准模架";
const UINT kCommandIconId = 112;
const UINT kOrderIconId = 113;

// The commands in the order their entries stand: a design command per series,
// then the order list.
struct ModuleCommand {
    const wchar_t* globalName;
    const wchar_t* localName;
    const wchar_t* title;
    const wchar_t* ribbonText;  // the design commands' keep the leading blank of their ribbon buttons
    const wchar_t* ribbonTip;
    UINT iconId;
    void (*function)();
};
const ModuleCommand kCommands[] = {
    {L"GZDTSGS", L"ZDTSGS", L"大水口系统", L" 大水口系统", L"岱川大水口系统", kCommandIconId, &MouldBaseCommand},
    {L"GZDTPGS", L"ZDTPGS", L"细水口系统", L" 细水口系统", L"岱川细水口系统", kCommandIconId, &PinPointBaseCommand},
    {L"GZDTBOM", L"ZDTBOM", L"订料单", L"订料单", L"岱川模架订料单", kOrderIconId, &OrderListCommand},
};

VRxEdCommandStack* commandStack() {
    VRxRxDictionary* registry = vrxSysRegistry();
    return registry != nullptr ? VRxEdCommandStack::cast(registry->at(L"VRX_REGISTERED_COMMANDS")) : nullptr;
}
}  // namespace

CZDTMouldBaseApp& CZDTMouldBaseApp::instance() {
    static CZDTMouldBaseApp app;
    return app;
}

VRxRx::AppRetCode CZDTMouldBaseApp::onInitApp(void* pkt) {
    VRxRx::AppRetCode rc = VRxVrxApp::onInitApp(pkt);
    m_hInstance = zdtModuleInstance();
    registerModuleResources(m_hInstance);
    registerDialogResources(m_hInstance);

    if (VRxEdCommandStack* stack = commandStack()) {
        for (const ModuleCommand& c : kCommands)
            Vrx::dropStatus(stack->addCommand(kGroupName, c.globalName, c.localName, VRxRx::kModal, c.function,
                                              nullptr, -1, nullptr, nullptr),
                            "a second load finds its commands registered by the first and keeps them");
    }
    addToolbar();
    addMenu();
    addRibbon();
    return rc;
}

VRxRx::AppRetCode CZDTMouldBaseApp::onUnloadApp(void* pkt) {
    VRxRx::AppRetCode rc = VRxVrxApp::onUnloadApp(pkt);
    // Menu, toolbar and ribbon entries stay with the host; only the command goes.
    if (VRxEdCommandStack* stack = commandStack())
        Vrx::dropStatus(stack->removeGroup(kGroupName), "a group that was never added has nothing to remove");
    return rc;
}

HBITMAP CZDTMouldBaseApp::loadIcon(UINT id) {
    CModuleResourceScope ownResources(m_hInstance);
    return LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}

void CZDTMouldBaseApp::addToolbar() {
    VRxUiManager* ui = vrxUIManagerPtr();
    VRxUiToolbarManager* toolbars = ui != nullptr ? ui->toolbarManager() : nullptr;
    if (toolbars == nullptr) return;
    // A second load finds its toolbar from the first and leaves it as it is.
    if (toolbars->findToolbar(kToolbarName) != nullptr) return;
    VRxUiToolbar* toolbar = toolbars->addToolbar(kToolbarName, kProductTitle);
    if (toolbar == nullptr) return;
    int index = 0;
    for (const ModuleCommand& c : kCommands) {
        HBITMAP icon = loadIcon(c.iconId);
        Vrx::dropStatus(toolbar->addButton(index++, c.title, kProductTitle, c.globalName, false, icon, icon),
                        "a refused button leaves its command reachable by name and from the menu");
    }
    toolbar->show();
}

void CZDTMouldBaseApp::addMenu() {
    VRxUiManager* ui = vrxUIManagerPtr();
    VRxUiMenuBar* menuBar = ui != nullptr ? ui->menuBar() : nullptr;
    if (menuBar == nullptr) return;
    VRxUiMenu* menu = menuBar->insertPopup(menuBar->count(), kProductTitle);
    if (menu == nullptr) return;
    int index = 0;
    for (const ModuleCommand& c : kCommands)
        Vrx::dropStatus(menu->insertItem(index++, c.title, c.globalName),
                        "a refused menu item leaves its command reachable by name and from the toolbar");
}

void CZDTMouldBaseApp::addRibbon() {
    VRxUiManager* ui = vrxUIManagerPtr();
    VRxUiRibbon* ribbon = ui != nullptr ? ui->ribbon() : nullptr;
    if (ribbon == nullptr) return;
    VRxUiRibbonTab* tab = ribbon->addTab(kProductTitle, kProductTitle, 1);
    if (tab == nullptr) return;
    VRxUiRibbonPanel* panel = tab->addPanel(kProductTitle, kProductTitle);
    if (panel == nullptr) return;
    for (const ModuleCommand& c : kCommands) {
        HBITMAP icon = loadIcon(c.iconId);
        Vrx::dropStatus(panel->addButton(c.ribbonText, c.title, icon, icon, c.globalName, c.ribbonTip),
                        "a refused ribbon button leaves its command reachable by name and from the toolbar");
    }
}

int zdtDispatchHostMessage(int msg, void* pkt) {
    try {
        return CZDTMouldBaseApp::instance().dispatch(msg, pkt);
    } catch (...) {
        // dispatch reports its own failures; this only guards the entry point.
        return VRxRx::kRetError;
    }
}
