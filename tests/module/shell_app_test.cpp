// Loading and unloading the module through the entry point's dispatcher: what
// gets registered with the host, in which form, and what a second load, a host
// without toolbars or ribbon, and out-of-range messages do.
#include "catalogue/text_conversion.h"
#include "shell/module_resources.h"
#include "shell_fixture.h"

namespace {

const int kLoad = VRxRx::kInitAppMsg;
const int kUnload = VRxRx::kUnloadAppMsg;

}  // namespace

using ShellApp = ShellFixture;

TEST_F(ShellApp, LoadRegistersCommandToolbarMenuAndRibbon) {
    ui()->menuBar()->insertPopup(0, L"文件");
    ASSERT_EQ(0, zdtDispatchHostMessage(kLoad, nullptr));

    // The three commands, by local or global name in any case, in one group.
    const wchar_t* const globals[] = {L"GZDTSGS", L"GZDTPGS", L"GZDTBOM"};
    for (const wchar_t* local : {L"zdtsgs", L"ZDTPGS", L"ZdtBom"}) {
        VRxEdCommand* cmd = commands()->lookupCmd(local);
        ASSERT_NE(nullptr, cmd) << toUtf8(local);
        EXPECT_EQ(L"ZDTApp", cmd->groupName());
    }
    EXPECT_NE(commands()->lookupCmd(L"ZDTSGS")->functionAddr(), commands()->lookupCmd(L"ZDTPGS")->functionAddr());

    // Toolbar, menu (after the host's) and ribbon run them in the same order,
    // with the module's own icons.
    VRxUiToolbar* bar = ui()->toolbarManager()->findToolbar(L"ZDTTools");
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(L"岱川标准模架", bar->title());
    EXPECT_TRUE(bar->isVisible());
    ASSERT_EQ(2, ui()->menuBar()->count());
    VRxUiMenu* menu = ui()->menuBar()->menu(1);
    VRxUiRibbonTab* tab = ui()->ribbon()->findTab(L"岱川标准模架");
    ASSERT_NE(nullptr, tab);
    ASSERT_EQ(1, tab->panelCount());
    ASSERT_EQ(3, bar->buttonCount());
    ASSERT_EQ(3, menu->itemCount());
    ASSERT_EQ(3, tab->panel(0)->buttonCount());
    const wchar_t* const texts[] = {L"大水口系统", L"细水口系统", L"订料单"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(texts[i], bar->button(i)->text);
        EXPECT_EQ(globals[i], bar->button(i)->command);
        EXPECT_EQ(globals[i], menu->item(i)->command);
        EXPECT_EQ(globals[i], tab->panel(0)->button(i)->command);
        ASSERT_NE(nullptr, bar->button(i)->smallImage);
        EXPECT_EQ(zdtModuleInstance(), bar->button(i)->smallImage->module);
    }
    EXPECT_EQ(113u, bar->button(2)->smallImage->resourceId) << "the order list has an icon of its own";
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
