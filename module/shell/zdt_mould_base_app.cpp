// Loading and unloading the module. Registration is explicit: one command
// group with the design command and the order list beside it, then the toolbar
// (only when the host has none of that name yet), the menu and the ribbon
// entries, each skipped quietly when the host lacks it.
#include "shell/zdt_mould_base_app.h"

#include "afxstub.h"
#include "shell/module_resources.h"
#include "ui/dialog_resources.h"
#include "shell/mould_base_command.h"
#include "shell/order_list_command.h"
#include "vrxcmds.h"
#include "vrxui.h"

namespace {
const wchar_t* const kGroupName = L"ZDTApp";
const wchar_t* const kGlobalName = L"GZDTSGS";
const wchar_t* const kLocalName = L"ZDTSGS";
const wchar_t* const kToolbarName = L"ZDTTools";
const wchar_t* const kProductTitle = L"岱川标准模架";
const wchar_t* const kSeriesTitle = L"大水口系统";
const wchar_t* const kOrderGlobalName = L"GZDTBOM";
const wchar_t* const kOrderLocalName = L"ZDTBOM";
const wchar_t* const kOrderTitle = L"订料单";
const UINT kCommandIconId = 112;
const UINT kOrderIconId = 113;

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
        stack->addCommand(kGroupName, kGlobalName, kLocalName, VRxRx::kModal, &MouldBaseCommand, nullptr, -1,
                          nullptr, nullptr);
        stack->addCommand(kGroupName, kOrderGlobalName, kOrderLocalName, VRxRx::kModal, &OrderListCommand, nullptr,
                          -1, nullptr, nullptr);
    }
    addToolbar();
    addMenu();
    addRibbon();
    return rc;
}

VRxRx::AppRetCode CZDTMouldBaseApp::onUnloadApp(void* pkt) {
    VRxRx::AppRetCode rc = VRxVrxApp::onUnloadApp(pkt);
    // Menu, toolbar and ribbon entries stay with the host; only the command goes.
    if (VRxEdCommandStack* stack = commandStack()) stack->removeGroup(kGroupName);
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
    HBITMAP icon = loadIcon(kCommandIconId);
    toolbar->addButton(0, kSeriesTitle, kProductTitle, kGlobalName, false, icon, icon);
    HBITMAP orderIcon = loadIcon(kOrderIconId);
    toolbar->addButton(1, kOrderTitle, kProductTitle, kOrderGlobalName, false, orderIcon, orderIcon);
    toolbar->show();
}

void CZDTMouldBaseApp::addMenu() {
    VRxUiManager* ui = vrxUIManagerPtr();
    VRxUiMenuBar* menuBar = ui != nullptr ? ui->menuBar() : nullptr;
    if (menuBar == nullptr) return;
    VRxUiMenu* menu = menuBar->insertPopup(menuBar->count(), kProductTitle);
    if (menu == nullptr) return;
    menu->insertItem(0, kSeriesTitle, kGlobalName);
    menu->insertItem(1, kOrderTitle, kOrderGlobalName);
}

void CZDTMouldBaseApp::addRibbon() {
    VRxUiManager* ui = vrxUIManagerPtr();
    VRxUiRibbon* ribbon = ui != nullptr ? ui->ribbon() : nullptr;
    if (ribbon == nullptr) return;
    VRxUiRibbonTab* tab = ribbon->addTab(kProductTitle, kProductTitle, 1);
    if (tab == nullptr) return;
    VRxUiRibbonPanel* panel = tab->addPanel(kProductTitle, kProductTitle);
    if (panel == nullptr) return;
    HBITMAP icon = loadIcon(kCommandIconId);
    panel->addButton(L" 大水口系统", kSeriesTitle, icon, icon, kGlobalName, L"岱川大水口系统");
    HBITMAP orderIcon = loadIcon(kOrderIconId);
    panel->addButton(kOrderTitle, kOrderTitle, orderIcon, orderIcon, kOrderGlobalName, L"岱川模架订料单");
}

int zdtDispatchHostMessage(int msg, void* pkt) {
    try {
        return CZDTMouldBaseApp::instance().dispatch(msg, pkt);
    } catch (...) {
        // dispatch reports its own failures; this only guards the entry point.
        return VRxRx::kRetError;
    }
}
