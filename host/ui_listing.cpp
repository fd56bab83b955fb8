// The user-interface listing of zdtcad. Texts are quoted so that leading or
// trailing blanks a module put into them stay visible.
#include "ui_listing.h"

#include <string>

#include "afxstub.h"
#include "vrxcmds.h"
#include "vrxui.h"

namespace zdtcad {

namespace {

std::wstring quoted(const std::wstring& text) {
    return L"“" + text + L"”";
}

std::wstring bitmapSize(HBITMAP bitmap) {
    if (!bitmap) return L"无";
    return std::to_wstring(bitmap->width) + L"×" + std::to_wstring(bitmap->height);
}

std::wstring bitmaps(HBITMAP small, HBITMAP large) {
    return L"小图标 " + bitmapSize(small) + L"，大图标 " + bitmapSize(large);
}

void listCommands(CommandLine& out) {
    VRxRxDictionary* registry = vrxSysRegistry();
    VRxEdCommandStack* stack =
        registry ? VRxEdCommandStack::cast(registry->at(L"VRX_REGISTERED_COMMANDS")) : nullptr;
    const std::vector<std::wstring> groups = stack ? stack->groupNames() : std::vector<std::wstring>();
    if (groups.empty()) {
        out.line(L"命令组：无");
        return;
    }
    for (const std::wstring& group : groups) {
        out.line(L"命令组" + quoted(group));
        for (const VRxEdCommand* command : stack->commands(group.c_str())) {
            out.line(L"  命令" + quoted(command->localName()) + L"（全局名" + quoted(command->globalName()) + L"）");
        }
    }
}

void listMenus(CommandLine& out, VRxUiManager* ui) {
    VRxUiMenuBar* bar = ui ? ui->menuBar() : nullptr;
    if (!bar || bar->count() == 0) {
        out.line(L"菜单：无");
        return;
    }
    for (int i = 0; i < bar->count(); ++i) {
        const VRxUiMenu* menu = bar->menu(i);
        if (!menu) continue;
        out.line(L"菜单" + quoted(menu->title()));
        for (int k = 0; k < menu->itemCount(); ++k) {
            const VRxUiMenuItem* item = menu->item(k);
            if (item) out.line(L"  菜单项" + quoted(item->text) + L" → " + item->command);
        }
    }
}

void listToolbars(CommandLine& out, VRxUiManager* ui) {
    VRxUiToolbarManager* toolbars = ui ? ui->toolbarManager() : nullptr;
    if (!toolbars || toolbars->count() == 0) {
        out.line(L"工具栏：无");
        return;
    }
    for (int i = 0; i < toolbars->count(); ++i) {
        const VRxUiToolbar* toolbar = toolbars->toolbar(i);
        if (!toolbar) continue;
        out.line(L"工具栏" + quoted(toolbar->name()) + L"（标题" + quoted(toolbar->title()) + L"，" +
                 (toolbar->isVisible() ? L"显示" : L"隐藏") + L"）");
        for (int k = 0; k < toolbar->buttonCount(); ++k) {
            const VRxUiToolbarButton* button = toolbar->button(k);
            if (!button) continue;
            out.line(L"  按钮" + quoted(button->text) + L"（提示" + quoted(button->tooltip) + L"） → " +
                     button->command + L"，" + bitmaps(button->smallImage, button->largeImage));
        }
    }
}

void listRibbon(CommandLine& out, VRxUiManager* ui) {
    VRxUiRibbon* ribbon = ui ? ui->ribbon() : nullptr;
    if (!ribbon || ribbon->tabCount() == 0) {
        out.line(L"功能区：无");
        return;
    }
    for (int i = 0; i < ribbon->tabCount(); ++i) {
        const VRxUiRibbonTab* tab = ribbon->tab(i);
        if (!tab) continue;
        out.line(L"功能区选项卡" + quoted(tab->id()) + L"（标题" + quoted(tab->title()) + L"）");
        for (int p = 0; p < tab->panelCount(); ++p) {
            const VRxUiRibbonPanel* panel = tab->panel(p);
            if (!panel) continue;
            out.line(L"  面板" + quoted(panel->id()) + L"（标题" + quoted(panel->title()) + L"）");
            for (int b = 0; b < panel->buttonCount(); ++b) {
                const VRxUiRibbonButton* button = panel->button(b);
                if (!button) continue;
                out.line(L"    按钮" + quoted(button->text) + L"（提示" + quoted(button->tooltip) + L"） → " +
                         button->command + L"，说明" + quoted(button->description) + L"，" +
                         bitmaps(button->smallImage, button->largeImage));
            }
        }
    }
}

}  // namespace

void listUserInterface(CommandLine& out) {
    VRxUiManager* ui = vrxUIManagerPtr();
    listCommands(out);
    listMenus(out, ui);
    listToolbars(out, ui);
    listRibbon(out, ui);
}

}  // namespace zdtcad
