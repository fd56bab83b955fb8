// Which user interface zdtcad chooses: windows for a person at a terminal on
// a desktop, command-line dialogs for scripts and pipes, windows asked for
// where none can be shown refused with the reason, pictures rendered offscreen.
#include <gtest/gtest.h>

#include "options.h"
#include "ui_mode.h"

using namespace zdtcad;

namespace {

HostOptions optionsFrom(std::vector<std::string> args) {
    HostOptions options;
    std::string error;
    EXPECT_TRUE(parseOptions(args, options, error)) << error;
    return options;
}

UiEnvironment environment(bool terminal, bool display) {
    UiEnvironment e;
    e.terminal = terminal;
    e.display = display;
    e.noDisplay = "DISPLAY 未设置";
    return e;
}

}  // namespace

TEST(UiMode, WindowsOnlyForAPersonAtATerminalWithADisplayUnlessAskedFor) {
    struct Case {
        std::vector<std::string> args;
        bool terminal, display;
        bool windows, offscreen;
    };
    const Case cases[] = {
        {{}, true, true, true, false},
        {{}, true, false, false, false},        // a terminal without a desktop keeps the command line
        {{}, false, true, false, false},        // a pipe is a script
        {{"run.zdt"}, true, true, false, false},  // scripts keep the dialogs they were written for
        {{"--ui", "window", "run.zdt"}, false, true, true, false},
        {{"--ui", "script"}, true, true, false, false},
        {{"--dialog-pictures", "out", "run.zdt"}, false, true, true, true},  // pictures never pop up
        {{"--ui", "window", "--dialog-pictures", "out", "run.zdt"}, false, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        UiChoice choice;
        std::string error;
        ASSERT_TRUE(chooseUi(optionsFrom(c.args), environment(c.terminal, c.display), choice, error)) << error;
        EXPECT_EQ(c.windows, choice.windows);
        EXPECT_EQ(c.offscreen, choice.offscreen);
        EXPECT_EQ(!c.args.empty() && c.windows, choice.required);
    }
}

TEST(UiMode, WhatCannotBeHadIsRefusedWithTheReason) {
    UiChoice choice;
    std::string error;
    EXPECT_FALSE(chooseUi(optionsFrom({"--ui", "window", "run.zdt"}), environment(false, false), choice, error));
    EXPECT_EQ("--ui window 无法显示窗口：DISPLAY 未设置。", error);
    EXPECT_FALSE(
        chooseUi(optionsFrom({"--ui", "script", "--dialog-pictures", "out"}), environment(true, true), choice, error));
    EXPECT_EQ("--dialog-pictures 需要窗口界面，不能与 --ui script 同用。", error);

    HostOptions options;
    EXPECT_FALSE(parseOptions({"--ui", "windows"}, options, error));
    EXPECT_EQ("参数“--ui”需要 window 或 script。", error);
    EXPECT_FALSE(parseOptions({"--ui", "script", "--ui", "window"}, options, error));
    EXPECT_FALSE(parseOptions({"--dialog-pictures"}, options, error));
}
