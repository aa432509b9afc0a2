// The small decisions of the running program: when Exit asks, how the tray menu is enabled,
// and the splash window's size and version text.

#include <gtest/gtest.h>

#include "core/app/exit_rules.h"
#include "core/app/program_arguments.h"
#include "core/app/splash_layout.h"
#include "core/app/tray_events.h"
#include "core/app/tray_menu_rules.h"
#include "support/date_time_print.h"

namespace qm {
namespace {

TEST(ExitRules, OnlyAFutureRunIsWorthAsking) {
    const DateTime now = D(2026, 12, 6, 14, 30, 45);
    const std::pair<DateTime, bool> cases[] = {
        {DateTime(), true},               // disabled: the zero date
        {D(2026, 12, 5, 23, 59), true},   // yesterday
        {D(2026, 12, 6, 14, 29), true},   // a minute ago
        {D(2026, 12, 6, 14, 30), false},  // this minute, seconds ignored
        {D(2026, 12, 7, 0, 0), false},    // tomorrow at midnight
        {D(2027, 1, 1, 3, 0), false},
    };
    for (auto [next, passed] : cases) {
        EXPECT_EQ(NextRunHasPassed(next, now), passed) << next.Seconds();
    }
}

TEST(TrayMenuRules, StopDefragAndOpenFollowTheRunningDefragmenterAndTheDrives) {
    const struct {
        bool running;
        int drives;
        bool stop, defrag, open;
    } cases[] = {
        {false, 2, false, true, true},   // idle with drives
        {true, 2, true, false, false},   // a defragmenter runs
        {false, 0, false, false, true},  // nothing selected
        {false, 1, false, true, true},
    };
    for (const auto& c : cases) {
        TrayMenuState state;
        ApplyTrayMenuRules(state, c.running, c.drives);
        EXPECT_EQ(state.stopVisible, c.stop);
        EXPECT_EQ(state.stopEnabled, c.stop);
        EXPECT_EQ(state.defragEnabled, c.defrag) << c.running << " " << c.drives;
        EXPECT_EQ(state.openEnabled, c.open);
    }
}

TEST(TrayEvents, ADoubleClickOpensTheConsoleTheMenuOpensOnceAndTheRestHovers) {
    const struct {
        unsigned event;
        bool version4;
        TrayEventAction action;
    } cases[] = {
        {0x203, true, TrayEventAction::kOpenConsole},  // left double-click
        {0x7B, true, TrayEventAction::kShowMenu},      // context menu, mouse or keyboard
        {0x205, true, TrayEventAction::kNothing},      // right button up: the menu comes next
        {0x205, false, TrayEventAction::kShowMenu},
        {0x201, true, TrayEventAction::kNothing},  // left button down
        {0x204, true, TrayEventAction::kHover},    // right button down
        {0x200, false, TrayEventAction::kHover},   // the mouse moving over the icon
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ActionForTrayEvent(c.event, c.version4), c.action) << c.event;
    }
}

TEST(ProgramArguments, TaskCommandsAndTheCopyToWaitFor) {
    using Mode = ProgramArguments::Mode;
    EXPECT_EQ(ParseProgramArguments({}).mode, Mode::kTray);
    EXPECT_EQ(ParseProgramArguments({"/Startup-Task", "REGISTER"}).mode, Mode::kRegisterTask);
    EXPECT_EQ(ParseProgramArguments({"/startup-task", "remove"}).mode, Mode::kRemoveTask);
    EXPECT_EQ(ParseProgramArguments({"/startup-task"}).mode, Mode::kTray);
    EXPECT_EQ(ParseProgramArguments({"/startup-task", "other"}).mode, Mode::kTray);
    EXPECT_EQ(ParseProgramArguments({"/restart-after", "4242"}).restartAfter, 4242u);
    for (const char* bad : {"0", "-5", "1.5", "x", "4294967296"}) {
        EXPECT_FALSE(ParseProgramArguments({"/restart-after", bad}).restartAfter) << bad;
    }
}

TEST(SplashLayout, SizeInPixelsAndVersionText) {
    const struct {
        double tppX, tppY;
        int w, h;
    } cases[] = {
        {15, 15, 265, 197},  // 96 DPI
        {10, 10, 398, 296},  // 144 DPI: 397.5 and 295.5 round to even
        {15, 10, 265, 296},  // each direction with its own factor
        {0, 15, 265, 197},   // nonsense factors fall back to 96 DPI
        {15, -1, 265, 197},
    };
    for (const auto& c : cases) {
        const PixelSize s = SplashPixelSize(c.tppX, c.tppY);
        EXPECT_EQ(s.width, c.w) << c.tppX;
        EXPECT_EQ(s.height, c.h) << c.tppY;
    }
    EXPECT_EQ(SplashVersionText(1, 2), "Version 1.2");
    EXPECT_EQ(SplashVersionText(10, 0), "Version 10.0");
}

}  // namespace
}  // namespace qm
