// The host's user-interface registries: toolbars with buttons, the menu bar with
// pop-up menus, and the ribbon with tabs, panels and buttons. Modules add entries
// to them through vrxUIManagerPtr(); the host program lists them and runs the
// commands they name. A host may lack a toolbar manager or a ribbon: the getters
// then return null, and callers must be ready for that.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vrxdbcore.h"
#include "winapi.h"

// Indexes passed to insertion operations: below 0 or past the end means "at the end".

struct VRxUiToolbarButton {
    std::wstring text;
    std::wstring tooltip;
    std::wstring command;
    bool flag = false;
    HBITMAP smallImage = nullptr;
    HBITMAP largeImage = nullptr;
};

class VRxUiToolbar {
public:
    VRxUiToolbar(const std::wstring& name, const std::wstring& title) : m_name(name), m_title(title) {}
    const std::wstring& name() const { return m_name; }
    const std::wstring& title() const { return m_title; }
    // eInvalidInput for a null text or command.
    Vrx::ErrorStatus addButton(int index, const wchar_t* text, const wchar_t* tooltip, const wchar_t* command,
                               bool flag, HBITMAP smallImage, HBITMAP largeImage);
    int buttonCount() const { return static_cast<int>(m_buttons.size()); }
    // Null when index is out of range.
    const VRxUiToolbarButton* button(int index) const;
    void show(bool visible = true) { m_visible = visible; }
    bool isVisible() const { return m_visible; }

private:
    std::wstring m_name, m_title;
    std::vector<VRxUiToolbarButton> m_buttons;
    bool m_visible = false;
};

class VRxUiToolbarManager {
public:
    // Null when there is no toolbar of that name (compared without regard to case).
    VRxUiToolbar* findToolbar(const wchar_t* name) const;
    // Null for a null or empty name or one already taken; the toolbar starts hidden.
    VRxUiToolbar* addToolbar(const wchar_t* name, const wchar_t* title);
    int count() const { return static_cast<int>(m_toolbars.size()); }
    VRxUiToolbar* toolbar(int index) const;

private:
    std::vector<std::unique_ptr<VRxUiToolbar>> m_toolbars;
};

struct VRxUiMenuItem {
    std::wstring text;
    std::wstring command;
};

class VRxUiMenu {
public:
    explicit VRxUiMenu(const std::wstring& title) : m_title(title) {}
    const std::wstring& title() const { return m_title; }
    // eInvalidInput for a null text or command.
    Vrx::ErrorStatus insertItem(int index, const wchar_t* text, const wchar_t* command);
    int itemCount() const { return static_cast<int>(m_items.size()); }
    const VRxUiMenuItem* item(int index) const;

private:
    std::wstring m_title;
    std::vector<VRxUiMenuItem> m_items;
};

class VRxUiMenuBar {
public:
    int count() const { return static_cast<int>(m_menus.size()); }
    // A new pop-up menu at index; null for a null title.
    VRxUiMenu* insertPopup(int index, const wchar_t* title);
    VRxUiMenu* menu(int index) const;

private:
    std::vector<std::unique_ptr<VRxUiMenu>> m_menus;
};

struct VRxUiRibbonButton {
    std::wstring text;
    std::wstring tooltip;
    HBITMAP smallImage = nullptr;
    HBITMAP largeImage = nullptr;
    std::wstring command;
    std::wstring description;
};

class VRxUiRibbonPanel {
public:
    VRxUiRibbonPanel(const std::wstring& id, const std::wstring& title) : m_id(id), m_title(title) {}
    const std::wstring& id() const { return m_id; }
    const std::wstring& title() const { return m_title; }
    // eInvalidInput for a null text or command.
    Vrx::ErrorStatus addButton(const wchar_t* text, const wchar_t* tooltip, HBITMAP smallImage, HBITMAP largeImage,
                               const wchar_t* command, const wchar_t* description);
    int buttonCount() const { return static_cast<int>(m_buttons.size()); }
    const VRxUiRibbonButton* button(int index) const;

private:
    std::wstring m_id, m_title;
    std::vector<VRxUiRibbonButton> m_buttons;
};

class VRxUiRibbonTab {
public:
    VRxUiRibbonTab(const std::wstring& id, const std::wstring& title, int flag) : m_id(id), m_title(title), m_flag(flag) {}
    const std::wstring& id() const { return m_id; }
    const std::wstring& title() const { return m_title; }
    int flag() const { return m_flag; }
    // A panel of that id already on the tab is returned as it is; null for a null id.
    VRxUiRibbonPanel* addPanel(const wchar_t* id, const wchar_t* title);
    int panelCount() const { return static_cast<int>(m_panels.size()); }
    VRxUiRibbonPanel* panel(int index) const;

private:
    std::wstring m_id, m_title;
    int m_flag;
    std::vector<std::unique_ptr<VRxUiRibbonPanel>> m_panels;
};

class VRxUiRibbon {
public:
    // A tab of that id already on the ribbon is returned as it is; null for a null id.
    VRxUiRibbonTab* addTab(const wchar_t* id, const wchar_t* title, int flag);
    VRxUiRibbonTab* findTab(const wchar_t* id) const;
    int tabCount() const { return static_cast<int>(m_tabs.size()); }
    VRxUiRibbonTab* tab(int index) const;

private:
    std::vector<std::unique_ptr<VRxUiRibbonTab>> m_tabs;
};

class VRxUiManager {
public:
    VRxUiManager();
    ~VRxUiManager();
    // Null when switched off.
    VRxUiToolbarManager* toolbarManager() const;
    VRxUiMenuBar* menuBar() const;
    VRxUiRibbon* ribbon() const;

    // The host's switches (tests run a host without toolbars or ribbon). Switching
    // a part off keeps its content; switching it on shows it again.
    void setToolbarsAvailable(bool available) { m_toolbarsOn = available; }
    void setMenuBarAvailable(bool available) { m_menuBarOn = available; }
    void setRibbonAvailable(bool available) { m_ribbonOn = available; }
    // Drops every toolbar, menu and ribbon entry and switches everything on.
    void reset();

private:
    std::unique_ptr<VRxUiToolbarManager> m_toolbars;
    std::unique_ptr<VRxUiMenuBar> m_menuBar;
    std::unique_ptr<VRxUiRibbon> m_ribbon;
    bool m_toolbarsOn = true, m_menuBarOn = true, m_ribbonOn = true;
};

// The host's UI manager (process-wide).
VRxUiManager* vrxUIManagerPtr();
