// Loading and unloading the module through the entry point's dispatcher: what
// gets registered with the host, in which form, and what a second load, a host
// without toolbars or ribbon, and out-of-range messages do.
#include <dlfcn.h>

#include <filesystem>

#include "resources/module_resources.h"
#include "shell_fixture.h"

namespace {

const int kLoad = VRxRx::kInitAppMsg;
const int kUnload = VRxRx::kUnloadAppMsg;

}  // namespace

using ShellApp = ShellFixture;

TEST_F(ShellApp, LoadRegistersCommandToolbarMenuAndRibbon) {
    int menusBefore = 0;
    ui()->menuBar()->insertPopup(0, L"文件");
    menusBefore = ui()->menuBar()->count();

    ASSERT_EQ(0, zdtDispatchHostMessage(kLoad, nullptr));

    VRxEdCommand* cmd = commands()->lookupCmd(L"ZDTSGS");
    ASSERT_NE(nullptr, cmd);
    EXPECT_EQ(cmd, commands()->lookupCmd(L"gzdtsgs"));
    EXPECT_EQ(L"ZDTApp", cmd->groupName());
    EXPECT_EQ(L"GZDTSGS", cmd->globalName());
    EXPECT_EQ(L"ZDTSGS", cmd->localName());
    EXPECT_EQ(0, cmd->commandFlags());
    EXPECT_EQ(-1, cmd->functionCode());
    EXPECT_EQ(nullptr, cmd->UIContext());
    EXPECT_EQ(nullptr, cmd->resourceHandle());
    VRxEdCommand* pinPoint = commands()->lookupCmd(L"ZDTPGS");
    ASSERT_NE(nullptr, pinPoint);
    EXPECT_EQ(pinPoint, commands()->lookupCmd(L"GZDTPGS"));
    EXPECT_EQ(L"ZDTApp", pinPoint->groupName());
    EXPECT_NE(cmd->functionAddr(), pinPoint->functionAddr());

    VRxUiToolbar* bar = ui()->toolbarManager()->findToolbar(L"ZDTTools");
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(L"岱川标准模架", bar->title());
    EXPECT_TRUE(bar->isVisible());
    ASSERT_EQ(3, bar->buttonCount());
    EXPECT_EQ(L"细水口系统", bar->button(1)->text) << "beside the side-gate series";
    EXPECT_EQ(L"GZDTPGS", bar->button(1)->command);
    EXPECT_EQ(112u, bar->button(1)->smallImage->resourceId);
    const VRxUiToolbarButton* button = bar->button(0);
    EXPECT_EQ(L"大水口系统", button->text);
    EXPECT_EQ(L"岱川标准模架", button->tooltip);
    EXPECT_EQ(L"GZDTSGS", button->command);
    EXPECT_FALSE(button->flag);
    ASSERT_NE(nullptr, button->smallImage);
    EXPECT_EQ(button->smallImage, button->largeImage);
    EXPECT_EQ(32, button->smallImage->width);
    EXPECT_EQ(32, button->smallImage->height);
    EXPECT_EQ(112u, button->smallImage->resourceId);
    EXPECT_EQ(zdtModuleInstance(), button->smallImage->module) << "the icon is the module's own resource";
    // The order list beside them, with an icon of its own.
    EXPECT_EQ(L"订料单", bar->button(2)->text);
    EXPECT_EQ(L"GZDTBOM", bar->button(2)->command);
    ASSERT_NE(nullptr, bar->button(2)->smallImage);
    EXPECT_EQ(113u, bar->button(2)->smallImage->resourceId);
    VRxEdCommand* order = commands()->lookupCmd(L"zdtbom");
    ASSERT_NE(nullptr, order);
    EXPECT_EQ(L"ZDTApp", order->groupName());
    EXPECT_EQ(L"GZDTBOM", order->globalName());

    ASSERT_EQ(menusBefore + 1, ui()->menuBar()->count());
    VRxUiMenu* menu = ui()->menuBar()->menu(menusBefore);
    EXPECT_EQ(L"岱川标准模架", menu->title()) << "the menu is appended after the host's menus";
    ASSERT_EQ(3, menu->itemCount());
    EXPECT_EQ(L"大水口系统", menu->item(0)->text);
    EXPECT_EQ(L"GZDTSGS", menu->item(0)->command);
    EXPECT_EQ(L"细水口系统", menu->item(1)->text);
    EXPECT_EQ(L"GZDTPGS", menu->item(1)->command);
    EXPECT_EQ(L"订料单", menu->item(2)->text);
    EXPECT_EQ(L"GZDTBOM", menu->item(2)->command);

    VRxUiRibbonTab* tab = ui()->ribbon()->findTab(L"岱川标准模架");
    ASSERT_NE(nullptr, tab);
    EXPECT_EQ(L"岱川标准模架", tab->title());
    EXPECT_EQ(1, tab->flag());
    ASSERT_EQ(1, tab->panelCount());
    EXPECT_EQ(L"岱川标准模架", tab->panel(0)->id());
    EXPECT_EQ(L"岱川标准模架", tab->panel(0)->title());
    ASSERT_EQ(3, tab->panel(0)->buttonCount());
    EXPECT_EQ(L" 细水口系统", tab->panel(0)->button(1)->text);
    EXPECT_EQ(L"GZDTPGS", tab->panel(0)->button(1)->command);
    EXPECT_EQ(L"岱川细水口系统", tab->panel(0)->button(1)->description);
    EXPECT_EQ(L"GZDTBOM", tab->panel(0)->button(2)->command);
    const VRxUiRibbonButton* rb = tab->panel(0)->button(0);
    EXPECT_EQ(L" 大水口系统", rb->text) << "the ribbon text keeps its leading blank";
    EXPECT_EQ(L"大水口系统", rb->tooltip);
    EXPECT_EQ(L"GZDTSGS", rb->command);
    EXPECT_EQ(L"岱川大水口系统", rb->description);
    EXPECT_EQ(button->smallImage, rb->smallImage);
    EXPECT_EQ(button->smallImage, rb->largeImage);

    EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(ShellApp, UnloadRemovesOnlyTheCommandGroup) {
    ASSERT_EQ(0, zdtDispatchHostMessage(kLoad, nullptr));
    ASSERT_EQ(0, zdtDispatchHostMessage(kUnload, nullptr));
    EXPECT_EQ(nullptr, commands()->lookupCmd(L"ZDTSGS"));
    EXPECT_EQ(nullptr, commands()->lookupCmd(L"GZDTSGS"));
    EXPECT_EQ(nullptr, commands()->lookupCmd(L"ZDTPGS"));
    EXPECT_EQ(nullptr, commands()->lookupCmd(L"ZDTBOM"));
    EXPECT_EQ(Vrx::eKeyNotFound, commands()->runCommand(L"ZDTSGS"));
    // Toolbar, menu and ribbon entries stay with the host.
    EXPECT_NE(nullptr, ui()->toolbarManager()->findToolbar(L"ZDTTools"));
    EXPECT_EQ(1, ui()->menuBar()->count());
    EXPECT_NE(nullptr, ui()->ribbon()->findTab(L"岱川标准模架"));
    // A second unload finds nothing to remove and still succeeds.
    EXPECT_EQ(0, zdtDispatchHostMessage(kUnload, nullptr));
}

TEST_F(ShellApp, SecondLoadKeepsTheExistingToolbar) {
    VRxUiToolbar* existing = ui()->toolbarManager()->addToolbar(L"ZDTTools", L"旧标题");
    ASSERT_NE(nullptr, existing);
    ASSERT_EQ(0, zdtDispatchHostMessage(kLoad, nullptr));
    EXPECT_EQ(1, ui()->toolbarManager()->count());
    EXPECT_EQ(L"旧标题", existing->title());
    EXPECT_EQ(0, existing->buttonCount());
    EXPECT_FALSE(existing->isVisible());
    EXPECT_NE(nullptr, commands()->lookupCmd(L"ZDTSGS"));
    EXPECT_EQ(1, ui()->menuBar()->count());
    EXPECT_NE(nullptr, ui()->ribbon()->findTab(L"岱川标准模架"));

    // Unload and load again: the toolbar from before stays as it is, the command,
    // menu and ribbon entry are added again.
    ASSERT_EQ(0, zdtDispatchHostMessage(kUnload, nullptr));
    ASSERT_EQ(0, zdtDispatchHostMessage(kLoad, nullptr));
    EXPECT_EQ(0, existing->buttonCount());
    EXPECT_NE(nullptr, commands()->lookupCmd(L"ZDTSGS"));
    EXPECT_EQ(2, ui()->menuBar()->count());
    EXPECT_EQ(6, ui()->ribbon()->findTab(L"岱川标准模架")->panel(0)->buttonCount());
}

TEST_F(ShellApp, HostWithoutToolbarsOrRibbonStillLoads) {
    ui()->setToolbarsAvailable(false);
    ui()->setRibbonAvailable(false);
    EXPECT_EQ(0, zdtDispatchHostMessage(kLoad, nullptr));
    EXPECT_NE(nullptr, commands()->lookupCmd(L"ZDTSGS"));
    EXPECT_EQ(1, ui()->menuBar()->count());
    ui()->setToolbarsAvailable(true);
    ui()->setRibbonAvailable(true);
    EXPECT_EQ(0, ui()->toolbarManager()->count());
    EXPECT_EQ(0, ui()->ribbon()->tabCount());

    // Without a menu bar as well, the command alone is registered.
    zdtDispatchHostMessage(kUnload, nullptr);
    ui()->reset();
    ui()->setMenuBarAvailable(false);
    EXPECT_EQ(0, zdtDispatchHostMessage(kLoad, nullptr));
    EXPECT_NE(nullptr, commands()->lookupCmd(L"ZDTSGS"));
}

TEST_F(ShellApp, ResourceSourceIsRestoredAfterLoading) {
    HINSTANCE hostLib = winModuleInstanceFromAddress(reinterpret_cast<const void*>(&GetModuleFileNameW));
    ASSERT_NE(nullptr, hostLib);
    ASSERT_NE(hostLib, zdtModuleInstance());
    AfxSetResourceHandle(hostLib);
    ASSERT_EQ(0, zdtDispatchHostMessage(kLoad, nullptr));
    EXPECT_EQ(hostLib, AfxGetResourceHandle());
    EXPECT_NE(nullptr, ui()->toolbarManager()->findToolbar(L"ZDTTools")->button(0)->smallImage)
        << "the icon comes from the module even though the host library's resources were current";

    // The scope restores the previous source however it is left.
    try {
        CModuleResourceScope scope(zdtModuleInstance());
        EXPECT_EQ(zdtModuleInstance(), AfxGetResourceHandle());
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(hostLib, AfxGetResourceHandle());
}

TEST_F(ShellApp, MessagesOutsideTheRangeCallNothing) {
    for (int code : {16, 17, 255, -3}) EXPECT_EQ(0, zdtDispatchHostMessage(code, nullptr));
    for (int code : {0, 3, 4, 5, 6, 15}) EXPECT_EQ(0, zdtDispatchHostMessage(code, nullptr));
    EXPECT_EQ(nullptr, commands()->lookupCmd(L"ZDTSGS")) << "only code 1 loads";
    EXPECT_EQ(0, ui()->menuBar()->count());
    EXPECT_EQ(0, ui()->toolbarManager()->count());
}

TEST_F(ShellApp, TheBuiltModuleExportsItsEntryPoint) {
    // The shared library as the host loads it, when the build has made it.
    std::filesystem::path lib = std::filesystem::path(ZDT_BIN_DIR) / "libzdtmould.so";
    if (!std::filesystem::exists(lib)) GTEST_SKIP() << "libzdtmould.so is not built";
    void* handle = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, handle) << dlerror();
    using Entry = int (*)(int, void*);
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "vrxrxEntryPoint"));
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(nullptr, dlsym(handle, "zdtDispatchHostMessage")) << "only the entry point is exported";
    EXPECT_EQ(0, entry(kLoad, nullptr));
    VRxEdCommand* cmd = commands()->lookupCmd(L"ZDTSGS");
    ASSERT_NE(nullptr, cmd);
    HBITMAP icon = ui()->toolbarManager()->findToolbar(L"ZDTTools")->button(0)->smallImage;
    ASSERT_NE(nullptr, icon);
    wchar_t name[1024];
    DWORD n = GetModuleFileNameW(icon->module, name, 1024);
    EXPECT_EQ(L"libzdtmould.so", std::wstring(name, n).substr(std::wstring(name, n).rfind(L'/') + 1));
    // A cancelled run of the library's own command draws nothing.
    EXPECT_EQ(Vrx::eOk, commands()->runCommand(L"zdtsgs"));
    EXPECT_EQ((std::vector<std::wstring>{L"请选择插入点"}), editor.prompts);
    EXPECT_EQ(0, entry(kUnload, nullptr));
    EXPECT_EQ(nullptr, commands()->lookupCmd(L"ZDTSGS"));
    dlclose(handle);
}
