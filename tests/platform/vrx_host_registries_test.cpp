// The host's module framework and registries: message dispatch to the right
// slot, the command stack (groups, duplicates, case-blind lookups, failing
// commands), the UI registries and the editor's input and output hooks.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "vrxapp.h"
#include "vrxcmds.h"
#include "vrxed.h"
#include "vrxui.h"

namespace {

// Records which slot each message reached.
class RecordingApp : public VRxVrxApp {
public:
    std::vector<std::string> calls;
    VRxRx::AppRetCode onInitApp(void* p) override { calls.push_back("init"); return VRxVrxApp::onInitApp(p); }
    VRxRx::AppRetCode onUnloadApp(void*) override { calls.push_back("unload"); return VRxRx::kRetOK; }
    VRxRx::AppRetCode onLoadDwg(void*) override { calls.push_back("loadDwg"); return VRxRx::kRetOK; }
    VRxRx::AppRetCode onInvokeSubr(void*) override { calls.push_back("invoke"); return VRxRx::kRetOK; }
    VRxRx::AppRetCode onEndDialog(void*) override { calls.push_back("endDialog"); return VRxRx::kRetOK; }
    VRxRx::AppRetCode onNullMsg(void* p) override {
        calls.push_back(p == &marker ? "null+pkt" : "null");
        return VRxRx::kRetOK;
    }
    VRxRx::AppRetCode onSave(void*) override { throw std::runtime_error("disk full"); }
    void registerServerComponents() override { calls.push_back("slot16"); }
    int marker = 0;
};

class BareApp : public VRxVrxApp {
public:
    void registerServerComponents() override {}
};

// Captures command-line output and answers input from a list.
class ScriptedEditor : public VRxEditorHost {
public:
    std::wstring output;
    std::vector<std::wstring> prompts;
    int pointResult = RTNORM;
    std::wstring stringAnswer;
    int getPoint(const double* base, const std::wstring& prompt, double result[3]) override {
        prompts.push_back(prompt + (base != nullptr ? L"(base)" : L""));
        result[0] = 100;
        result[1] = 200;
        result[2] = 0;
        return pointResult;
    }
    int getString(bool, const std::wstring& prompt, std::wstring& result) override {
        prompts.push_back(prompt);
        result = stringAnswer;
        return RTNORM;
    }
    void print(const std::wstring& text) override { output += text; }
};

struct EditorScope {
    ScriptedEditor editor;
    VRxEditorHost* previous;
    EditorScope() : previous(vrxedSetHost(&editor)) {}
    ~EditorScope() { vrxedSetHost(previous); }
};

VRxEdCommandStack* stack() { return VRxEdCommandStack::cast(vrxSysRegistry()->at(L"VRX_REGISTERED_COMMANDS")); }

int g_runs = 0;
void countingCommand() { ++g_runs; }
void throwingCommand() { throw std::runtime_error("bad plate"); }
void unloadingCommand() { stack()->removeGroup(L"SelfRemoving"); }

}  // namespace

TEST(VrxApp, DispatchReachesTheSlotOfEachCode) {
    RecordingApp app;
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kNullMsg, &app.marker));
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kInitAppMsg, nullptr));
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kUnloadAppMsg, nullptr));
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kLoadDwgMsg, nullptr));
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kInvkSubrMsg, nullptr));
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(15, nullptr));
    EXPECT_EQ((std::vector<std::string>{"null+pkt", "init", "unload", "loadDwg", "invoke", "endDialog"}), app.calls);
    app.calls.clear();
    // Codes above 15 (and below 0) call nothing, slot 16 included.
    for (int code : {16, 17, 100, -1}) EXPECT_EQ(VRxRx::kRetOK, app.dispatch(code, nullptr));
    EXPECT_TRUE(app.calls.empty());
    // The codes no one overrides answer success.
    for (int code : {4, 6, 7, 8, 10, 11, 12, 13, 14}) EXPECT_EQ(VRxRx::kRetOK, app.dispatch(code, nullptr));
}

TEST(VrxApp, HandlerExceptionsStayInsideTheDispatcher) {
    EditorScope scope;
    RecordingApp app;
    EXPECT_EQ(VRxRx::kRetError, app.dispatch(VRxRx::kSaveMsg, nullptr));
    EXPECT_NE(std::wstring::npos, scope.editor.output.find(L"disk full"));
}

TEST(VrxApp, EmptyAutomaticTablesDoNothing) {
    BareApp app;
    size_t groups = stack()->groupNames().size();
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kInitAppMsg, nullptr));
    EXPECT_EQ(0, app.registeredClassCount());
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kLoadDwgMsg, nullptr));
    EXPECT_EQ(0, app.definedSymbolCount());
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kInvkSubrMsg, nullptr));
    EXPECT_EQ(VRxRx::kRetOK, app.dispatch(VRxRx::kUnloadAppMsg, nullptr));
    EXPECT_EQ(groups, stack()->groupNames().size());

    // A table entry is walked: its command is registered at load, removed at unload.
    VRxDbxApp::commandTable().push_back({L"AutoGroup", L"GAUTO", L"AUTO", 0, &countingCommand});
    app.dispatch(VRxRx::kInitAppMsg, nullptr);
    EXPECT_NE(nullptr, stack()->lookupCmd(L"auto"));
    app.dispatch(VRxRx::kUnloadAppMsg, nullptr);
    EXPECT_EQ(nullptr, stack()->lookupCmd(L"auto"));
    VRxDbxApp::commandTable().clear();
}

TEST(VrxCommands, GroupsDuplicatesAndCaseBlindLookup) {
    VRxEdCommandStack* s = stack();
    ASSERT_NE(nullptr, s);
    VRxEdCommand* cmd = nullptr;
    ASSERT_EQ(Vrx::eOk, s->addCommand(L"TestGroup", L"GTESTCMD", L"TESTCMD", VRxRx::kModal, &countingCommand, nullptr,
                                      -1, nullptr, &cmd));
    ASSERT_NE(nullptr, cmd);
    EXPECT_EQ(L"TestGroup", cmd->groupName());
    EXPECT_EQ(cmd, s->lookupCmd(L"testcmd"));
    EXPECT_EQ(cmd, s->lookupCmd(L"GTestCmd"));
    EXPECT_EQ(cmd, s->lookupLocalCmd(L"TeStCmD"));
    EXPECT_EQ(nullptr, s->lookupGlobalCmd(L"TESTCMD"));
    EXPECT_EQ(Vrx::eDuplicateKey, s->addCommand(L"TestGroup", L"gtestcmd", L"OTHER", 0, &countingCommand));
    EXPECT_EQ(Vrx::eDuplicateKey, s->addCommand(L"testgroup", L"GOTHER", L"testCMD", 0, &countingCommand));
    // The same names in another group are allowed; the newest group wins lookups.
    ASSERT_EQ(Vrx::eOk, s->addCommand(L"TestGroup2", L"GTESTCMD", L"TESTCMD", 0, &throwingCommand));
    EXPECT_EQ(L"TestGroup2", s->lookupCmd(L"TESTCMD")->groupName());
    EXPECT_EQ(L"TestGroup2", s->groupNames().front());
    EXPECT_EQ(1u, s->commands(L"TestGroup").size());

    // Bad registrations are refused and change nothing.
    EXPECT_EQ(Vrx::eInvalidInput, s->addCommand(L"TestGroup", L"GX", L"X", 0, nullptr));
    EXPECT_EQ(Vrx::eInvalidInput, s->addCommand(L"TestGroup", nullptr, L"X", 0, &countingCommand));
    EXPECT_EQ(Vrx::eInvalidInput, s->addCommand(L"TestGroup", L"G X", L"X", 0, &countingCommand));
    EXPECT_EQ(Vrx::eInvalidInput, s->addCommand(L"", L"GX", L"X", 0, &countingCommand));
    EXPECT_EQ(1u, s->commands(L"TestGroup").size());

    EXPECT_EQ(Vrx::eOk, s->removeGroup(L"TestGroup2"));
    EXPECT_EQ(cmd, s->lookupCmd(L"TESTCMD"));
    EXPECT_EQ(Vrx::eOk, s->removeCmd(L"TestGroup", L"gtestcmd"));
    EXPECT_EQ(nullptr, s->lookupCmd(L"TESTCMD"));
    EXPECT_EQ(Vrx::eOk, s->removeGroup(L"TestGroup"));
    EXPECT_EQ(Vrx::eKeyNotFound, s->removeGroup(L"TestGroup"));
    EXPECT_EQ(Vrx::eKeyNotFound, s->removeCmd(L"TestGroup", L"GTESTCMD"));
    EXPECT_EQ(Vrx::eInvalidInput, s->removeGroup(nullptr));
    EXPECT_EQ(nullptr, s->lookupCmd(nullptr));
}

TEST(VrxCommands, RunningCommands) {
    EditorScope scope;
    VRxEdCommandStack* s = stack();
    g_runs = 0;
    s->addCommand(L"RunGroup", L"GCOUNT", L"COUNT", 0, &countingCommand);
    s->addCommand(L"RunGroup", L"GTHROW", L"THROW", 0, &throwingCommand);
    s->addCommand(L"SelfRemoving", L"GUNLOAD", L"UNLOAD", 0, &unloadingCommand);
    EXPECT_EQ(Vrx::eOk, s->runCommand(L"count"));
    EXPECT_EQ(1, g_runs);
    EXPECT_EQ(Vrx::eKeyNotFound, s->runCommand(L"NOSUCH"));
    EXPECT_EQ(Vrx::eInvalidInput, s->runCommand(L"throw"));
    EXPECT_NE(std::wstring::npos, scope.editor.output.find(L"GTHROW")) << scope.editor.output;
    EXPECT_NE(std::wstring::npos, scope.editor.output.find(L"bad plate"));
    EXPECT_EQ(Vrx::eOk, s->runCommand(L"UNLOAD")) << "a command may remove its own group while it runs";
    EXPECT_EQ(nullptr, s->lookupCmd(L"UNLOAD"));
    s->removeGroup(L"RunGroup");
}

TEST(VrxRegistry, DictionaryOwnsAndHandsBack) {
    VRxRxDictionary dict;
    VRxRxObject* a = new VRxRxDictionary;
    EXPECT_EQ(nullptr, dict.atPut(L"a", a));
    EXPECT_EQ(a, dict.at(L"a"));
    VRxRxObject* b = new VRxRxDictionary;
    VRxRxObject* old = dict.atPut(L"a", b);
    EXPECT_EQ(a, old);
    delete old;
    EXPECT_EQ(nullptr, dict.at(L"missing"));
    EXPECT_EQ(nullptr, dict.at(nullptr));
    EXPECT_EQ(nullptr, dict.atPut(nullptr, nullptr));
    EXPECT_EQ(nullptr, VRxEdCommandStack::cast(dict.at(L"a")));
    EXPECT_NE(nullptr, VRxEdCommandStack::cast(vrxSysRegistry()->at(L"VRX_REGISTERED_COMMANDS")));
}

TEST(VrxUi, ToolbarsMenusAndRibbon) {
    VRxUiManager ui;
    VRxUiToolbarManager* bars = ui.toolbarManager();
    ASSERT_NE(nullptr, bars);
    EXPECT_EQ(nullptr, bars->findToolbar(L"ZDTTools"));
    VRxUiToolbar* bar = bars->addToolbar(L"ZDTTools", L"岱川标准模架");
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(bar, bars->findToolbar(L"zdttools"));
    EXPECT_EQ(nullptr, bars->addToolbar(L"ZDTTools", L"again")) << "a name is taken once";
    EXPECT_EQ(nullptr, bars->addToolbar(nullptr, L"x"));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(Vrx::eOk, bar->addButton(0, L"b", L"", L"GB", false, nullptr, nullptr));
    EXPECT_EQ(Vrx::eOk, bar->addButton(0, L"a", nullptr, L"GA", true, nullptr, nullptr));
    EXPECT_EQ(Vrx::eOk, bar->addButton(99, L"c", L"", L"GC", false, nullptr, nullptr));
    EXPECT_EQ(Vrx::eInvalidInput, bar->addButton(0, nullptr, L"", L"GC", false, nullptr, nullptr));
    ASSERT_EQ(3, bar->buttonCount());
    EXPECT_EQ(L"a", bar->button(0)->text);
    EXPECT_EQ(L"c", bar->button(2)->text);
    EXPECT_EQ(nullptr, bar->button(3));
    bar->show();
    EXPECT_TRUE(bar->isVisible());

    VRxUiMenuBar* menus = ui.menuBar();
    VRxUiMenu* file = menus->insertPopup(0, L"文件");
    VRxUiMenu* mould = menus->insertPopup(menus->count(), L"岱川标准模架");
    ASSERT_NE(nullptr, mould);
    EXPECT_EQ(mould, menus->menu(1));
    EXPECT_EQ(file, menus->menu(0));
    EXPECT_EQ(nullptr, menus->insertPopup(0, nullptr));
    EXPECT_EQ(Vrx::eOk, mould->insertItem(0, L"大水口系统", L"GZDTSGS"));
    EXPECT_EQ(L"GZDTSGS", mould->item(0)->command);
    EXPECT_EQ(nullptr, mould->item(-1));

    VRxUiRibbon* ribbon = ui.ribbon();
    VRxUiRibbonTab* tab = ribbon->addTab(L"t", L"T", 1);
    EXPECT_EQ(tab, ribbon->addTab(L"t", L"T", 1)) << "a tab id is shared, not repeated";
    VRxUiRibbonPanel* panel = tab->addPanel(L"p", L"P");
    EXPECT_EQ(panel, tab->addPanel(L"p", L"P"));
    EXPECT_EQ(Vrx::eOk, panel->addButton(L" x", L"y", nullptr, nullptr, L"GX", L"z"));
    EXPECT_EQ(Vrx::eInvalidInput, panel->addButton(L" x", L"y", nullptr, nullptr, nullptr, L"z"));
    EXPECT_EQ(1, panel->buttonCount());

    // Switched-off parts are absent to callers but keep their content.
    ui.setToolbarsAvailable(false);
    ui.setRibbonAvailable(false);
    EXPECT_EQ(nullptr, ui.toolbarManager());
    EXPECT_EQ(nullptr, ui.ribbon());
    ui.setToolbarsAvailable(true);
    EXPECT_EQ(1, ui.toolbarManager()->count());
    ui.reset();
    EXPECT_EQ(0, ui.toolbarManager()->count());
    EXPECT_NE(nullptr, ui.ribbon());
    EXPECT_NE(nullptr, vrxUIManagerPtr());
}

TEST(VrxEditor, PointStringAndPrintGoThroughTheHost) {
    EditorScope scope;
    vrx_point p = {1, 2, 3};
    EXPECT_EQ(RTNORM, vrxedGetPoint(nullptr, L"请选择插入点", p));
    EXPECT_EQ(100.0, p[0]);
    EXPECT_EQ(200.0, p[1]);
    vrx_point base = {0, 0, 0};
    scope.editor.pointResult = RTCAN;
    vrx_point untouched = {7, 8, 9};
    EXPECT_EQ(RTCAN, vrxedGetPoint(base, L"next", untouched));
    EXPECT_EQ(7.0, untouched[0]) << "a cancelled pick leaves the result alone";
    EXPECT_EQ((std::vector<std::wstring>{L"请选择插入点", L"next(base)"}), scope.editor.prompts);
    EXPECT_EQ(RTERROR, vrxedGetPoint(nullptr, L"x", nullptr));

    wchar_t buf[kVrxMaxStringInput + 1];
    scope.editor.stringAnswer = L"A板 300";
    EXPECT_EQ(RTNORM, vrxedGetString(1, L"名称", buf));
    EXPECT_STREQ(L"A板 300", buf);
    EXPECT_EQ(RTNORM, vrxedGetString(0, L"名称", buf));
    EXPECT_STREQ(L"A板", buf) << "without cronly a blank ends the answer";
    scope.editor.stringAnswer = std::wstring(kVrxMaxStringInput + 1, L'模');
    EXPECT_EQ(RTERROR, vrxedGetString(1, L"名称", buf));
    EXPECT_STREQ(L"", buf);
    EXPECT_NE(std::wstring::npos, scope.editor.output.find(L"输入过长"));

    scope.editor.output.clear();
    EXPECT_EQ(RTNORM, vrxutPrintf(L"\n无法找到文件%s", L"/模具/BlockRes/锁.dwg"));
    EXPECT_EQ(L"\n无法找到文件/模具/BlockRes/锁.dwg", scope.editor.output);
    EXPECT_EQ(RTERROR, vrxutPrintf(nullptr));
}

TEST(VrxEditor, WithoutAHostInputCancelsAndOutputIsPrinted) {
    vrx_point p;
    testing::internal::CaptureStdout();
    EXPECT_EQ(RTCAN, vrxedGetPoint(nullptr, L"请选择插入点", p));
    vrxutPrintf(L"%s=%d\n", L"板数", 9);
    EXPECT_EQ("请选择插入点\n板数=9\n", testing::internal::GetCapturedStdout());
}
