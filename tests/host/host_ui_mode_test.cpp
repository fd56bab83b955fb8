// Which user interface zdtcad chooses: windows for a person at a terminal on
// a desktop, command-line dialogs for scripts and pipes, pictures rendered
// offscreen. (What cannot be had is refused in the window scenarios.)
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
