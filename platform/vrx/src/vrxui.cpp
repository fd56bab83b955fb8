// The toolbar, menu bar and ribbon registries of the host's user interface.
#include "vrxui.h"

#include "vrxcmds.h"

namespace {
template <class V>
size_t insertPos(const V& v, int index) {
    return index < 0 || static_cast<size_t>(index) > v.size() ? v.size() : static_cast<size_t>(index);
}
const wchar_t* orEmpty(const wchar_t* s) { return s != nullptr ? s : L""; }
}  // namespace

Vrx::ErrorStatus VRxUiToolbar::addButton(int index, const wchar_t* text, const wchar_t* tooltip,
                                         const wchar_t* command, bool flag, HBITMAP smallImage, HBITMAP largeImage) {
    if (text == nullptr || command == nullptr) return Vrx::eInvalidInput;
    VRxUiToolbarButton b;
    b.text = text;
    b.tooltip = orEmpty(tooltip);
    b.command = command;
    b.flag = flag;
    b.smallImage = smallImage;
    b.largeImage = largeImage;
    m_buttons.insert(m_buttons.begin() + static_cast<long>(insertPos(m_buttons, index)), b);
    return Vrx::eOk;
}

const VRxUiToolbarButton* VRxUiToolbar::button(int index) const {
    return index >= 0 && index < buttonCount() ? &m_buttons[static_cast<size_t>(index)] : nullptr;
}

VRxUiToolbar* VRxUiToolbarManager::findToolbar(const wchar_t* name) const {
    if (name == nullptr) return nullptr;
    for (auto& t : m_toolbars)
        if (vrxNamesEqualNoCase(t->name(), name)) return t.get();
    return nullptr;
}

VRxUiToolbar* VRxUiToolbarManager::addToolbar(const wchar_t* name, const wchar_t* title) {
    if (name == nullptr || *name == L'\0' || findToolbar(name) != nullptr) return nullptr;
    m_toolbars.push_back(std::make_unique<VRxUiToolbar>(name, orEmpty(title)));
    return m_toolbars.back().get();
}

VRxUiToolbar* VRxUiToolbarManager::toolbar(int index) const {
    return index >= 0 && index < count() ? m_toolbars[static_cast<size_t>(index)].get() : nullptr;
}

Vrx::ErrorStatus VRxUiMenu::insertItem(int index, const wchar_t* text, const wchar_t* command) {
    if (text == nullptr || command == nullptr) return Vrx::eInvalidInput;
    m_items.insert(m_items.begin() + static_cast<long>(insertPos(m_items, index)), VRxUiMenuItem{text, command});
    return Vrx::eOk;
}

const VRxUiMenuItem* VRxUiMenu::item(int index) const {
    return index >= 0 && index < itemCount() ? &m_items[static_cast<size_t>(index)] : nullptr;
}

VRxUiMenu* VRxUiMenuBar::insertPopup(int index, const wchar_t* title) {
    if (title == nullptr) return nullptr;
    auto pos = m_menus.begin() + static_cast<long>(insertPos(m_menus, index));
    return m_menus.insert(pos, std::make_unique<VRxUiMenu>(title))->get();
}

VRxUiMenu* VRxUiMenuBar::menu(int index) const {
    return index >= 0 && index < count() ? m_menus[static_cast<size_t>(index)].get() : nullptr;
}

Vrx::ErrorStatus VRxUiRibbonPanel::addButton(const wchar_t* text, const wchar_t* tooltip, HBITMAP smallImage,
                                             HBITMAP largeImage, const wchar_t* command,
                                             const wchar_t* description) {
    if (text == nullptr || command == nullptr) return Vrx::eInvalidInput;
    VRxUiRibbonButton b;
    b.text = text;
    b.tooltip = orEmpty(tooltip);
    b.smallImage = smallImage;
    b.largeImage = largeImage;
    b.command = command;
    b.description = orEmpty(description);
    m_buttons.push_back(b);
    return Vrx::eOk;
}

const VRxUiRibbonButton* VRxUiRibbonPanel::button(int index) const {
    return index >= 0 && index < buttonCount() ? &m_buttons[static_cast<size_t>(index)] : nullptr;
}

VRxUiRibbonPanel* VRxUiRibbonTab::addPanel(const wchar_t* id, const wchar_t* title) {
    if (id == nullptr) return nullptr;
    for (auto& p : m_panels)
        if (p->id() == id) return p.get();
    m_panels.push_back(std::make_unique<VRxUiRibbonPanel>(id, orEmpty(title)));
    return m_panels.back().get();
}

VRxUiRibbonPanel* VRxUiRibbonTab::panel(int index) const {
    return index >= 0 && index < panelCount() ? m_panels[static_cast<size_t>(index)].get() : nullptr;
}

VRxUiRibbonTab* VRxUiRibbon::addTab(const wchar_t* id, const wchar_t* title, int flag) {
    if (id == nullptr) return nullptr;
    if (VRxUiRibbonTab* existing = findTab(id)) return existing;
    m_tabs.push_back(std::make_unique<VRxUiRibbonTab>(id, orEmpty(title), flag));
    return m_tabs.back().get();
}

VRxUiRibbonTab* VRxUiRibbon::findTab(const wchar_t* id) const {
    if (id == nullptr) return nullptr;
    for (auto& t : m_tabs)
        if (t->id() == id) return t.get();
    return nullptr;
}

VRxUiRibbonTab* VRxUiRibbon::tab(int index) const {
    return index >= 0 && index < tabCount() ? m_tabs[static_cast<size_t>(index)].get() : nullptr;
}

VRxUiManager::VRxUiManager()
    : m_toolbars(new VRxUiToolbarManager), m_menuBar(new VRxUiMenuBar), m_ribbon(new VRxUiRibbon) {}
VRxUiManager::~VRxUiManager() = default;

VRxUiToolbarManager* VRxUiManager::toolbarManager() const { return m_toolbarsOn ? m_toolbars.get() : nullptr; }
VRxUiMenuBar* VRxUiManager::menuBar() const { return m_menuBarOn ? m_menuBar.get() : nullptr; }
VRxUiRibbon* VRxUiManager::ribbon() const { return m_ribbonOn ? m_ribbon.get() : nullptr; }

void VRxUiManager::reset() {
    m_toolbars.reset(new VRxUiToolbarManager);
    m_menuBar.reset(new VRxUiMenuBar);
    m_ribbon.reset(new VRxUiRibbon);
    m_toolbarsOn = m_menuBarOn = m_ribbonOn = true;
}

VRxUiManager* vrxUIManagerPtr() {
    static VRxUiManager* manager = new VRxUiManager;
    return manager;
}
