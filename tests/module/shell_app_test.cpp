// Loading and unloading the module through the entry point's dispatcher: what
// an unload leaves with the host, and what a second load, a host without
// toolbars or ribbon, and out-of-range messages do.
#include "resources/module_resources.h"
#include "shell_fixture.h"

namespace {

const int kLoad = VRxRx::kInitAppMsg;
const int kUnload = VRxRx::kUnloadAppMsg;

}  // namespace

using ShellApp = ShellFixture;

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
