// The small decisions of the running program: when Exit asks, the tray icon's menu, events and
// status balloon, the command line, and the splash window's size and version text.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/app/exit_rules.h"
#include "core/app/program_arguments.h"
#include "core/app/splash_layout.h"
#include "core/app/tray_events.h"
#include "core/app/tray_hover.h"
#include "core/app/tray_menu_rules.h"
#include "support/date_time_print.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

using Strings = std::vector<std::string>;

TEST(ExitRules, OnlyAFutureRunIsWorthAsking) {
    // The zero date of a disabled scheduler, yesterday though later in the day, a minute ago;
    // this minute, seconds ignored, and tomorrow though earlier in the day.
    const std::pair<DateTime, bool> cases[] = {{DateTime(), true},
                                               {D(2026, 12, 5, 23, 59), true},
                                               {D(2026, 12, 6, 14, 29), true},
                                               {D(2026, 12, 6, 14, 30), false},
                                               {D(2026, 12, 7, 0, 0), false}};
    for (auto [next, passed] : cases) {
        EXPECT_EQ(NextRunHasPassed(next, D(2026, 12, 6, 14, 30, 45)), passed) << next.Seconds();
    }
}

TEST(TrayMenuRules, StopDefragAndOpenFollowTheRunningDefragmenterAndTheDrives) {
    const std::tuple<bool, int, bool, bool, bool> cases[] = {{false, 1, false, true, true},
                                                             {true, 2, true, false, false},
                                                             {false, 0, false, false, true}};
    for (auto [running, drives, stop, defrag, open] : cases) {
        TrayMenuState s;
        ApplyTrayMenuRules(s, running, drives);
        EXPECT_EQ(std::tuple(s.stopVisible, s.stopEnabled, s.defragEnabled, s.openEnabled),
                  std::tuple(stop, stop, defrag, open))
            << running << " " << drives;
    }
}

TEST(TrayEvents, ADoubleClickOpensTheConsoleTheMenuOpensOnceAndTheRestHovers) {
    // Version 4 icons follow a right-button release with their own context-menu event.
    using enum TrayEventAction;
    const std::tuple<unsigned, bool, TrayEventAction> cases[] = {
        {0x203, true, kOpenConsole}, {0x7B, true, kShowMenu}, {0x205, true, kNothing},
        {0x205, false, kShowMenu},   {0x201, true, kNothing}, {0x200, false, kHover}};
    for (auto [event, version4, action] : cases) {
        EXPECT_EQ(ActionForTrayEvent(event, version4), action) << event;
    }
}

TEST(ProgramArguments, TaskCommandsAndTheCopyToWaitFor) {
    using Mode = ProgramArguments::Mode;
    EXPECT_EQ(ParseProgramArguments({}).mode, Mode::kTray);
    EXPECT_EQ(ParseProgramArguments({"/Startup-Task", "REGISTER"}).mode, Mode::kRegisterTask);
    EXPECT_EQ(ParseProgramArguments({"/startup-task", "remove"}).mode, Mode::kRemoveTask);
    EXPECT_EQ(ParseProgramArguments({"/startup-task"}).mode, Mode::kTray);
    EXPECT_EQ(ParseProgramArguments({"/startup-task", "other"}).mode, Mode::kTray);
    EXPECT_EQ(ParseProgramArguments({"/restart-after", "4294967295"}).restartAfter, 4294967295u);
    for (const char* bad : {"0", "1.5", "x", "4294967296"}) {
        EXPECT_FALSE(ParseProgramArguments({"/restart-after", bad}).restartAfter) << bad;
    }
}

TEST(SplashLayout, SizeInPixelsAndVersionText) {
    // 96 DPI; 144 DPI, where 397.5 and 295.5 round to even; each direction with its own factor;
    // nonsense factors fall back to 96 DPI.
    const std::tuple<double, double, int, int> cases[] = {{15, 15, 265, 197},
                                                          {10, 10, 398, 296},
                                                          {15, 10, 265, 296},
                                                          {0, 15, 265, 197},
                                                          {15, -1, 265, 197}};
    for (auto [tppX, tppY, w, h] : cases) {
        const PixelSize s = SplashPixelSize(tppX, tppY);
        EXPECT_EQ(std::pair(s.width, s.height), std::pair(w, h)) << tppX << " " << tppY;
    }
    EXPECT_EQ(SplashVersionText(10, 0), "Version 10.0");
}

struct FakeBalloonHost : TrayBalloonHost {
    Point CursorPosition() override { return cursor; }
    Rect TrayIconRect() override { return {100, 780, 116, 796}; }
    void SetBalloonMessage(const std::string& text) override { message = text; }
    std::uint16_t ShowBalloonAt(Point at) override {
        shownAt.push_back(at);
        shownMessages.push_back(message);
        return static_cast<std::uint16_t>(shownAt.size());
    }
    void RemoveBalloon(std::uint16_t id) override { removed.push_back(id); }
    void RefreshStatusText() override { message = "status"; }
    bool DefragRunning() override { return running; }

    Point cursor{105, 790};
    bool running = false;
    std::string message;
    std::vector<Point> shownAt;
    Strings shownMessages;
    std::vector<std::uint16_t> removed;
};

class TrayHoverTest : public ::testing::Test {
  protected:
    void RestOnTheIcon() {
        hover.OnIconMouseMove();
        timer4.Fire();
        timer2.Fire();
    }
    FakeBalloonHost host;
    FakeTimer timer4, timer2, timer3;
    TrayHover hover{host, timer4, timer2, timer3};
};

TEST_F(TrayHoverTest, RestingOnTheIconOpensTheBalloonAfterOnePollAndTheDelay) {
    EXPECT_EQ(std::tuple(timer4.Interval(), timer2.Interval(), timer3.Interval()),
              std::tuple(200u, 400u, 5000u));
    hover.OnIconMouseMove();
    EXPECT_TRUE(timer4.Enabled());
    EXPECT_FALSE(timer2.Enabled());
    timer4.Fire();  // 200 ms: still inside, the delay starts
    timer4.Fire();  // a further poll leaves the running delay alone
    EXPECT_EQ(timer2.Starts(), 1);
    timer2.Fire();  // 400 ms later
    EXPECT_TRUE(hover.BalloonShown());
    EXPECT_FALSE(timer2.Enabled());
    EXPECT_TRUE(timer3.Enabled());
    EXPECT_EQ(host.shownAt, std::vector<Point>{(Point{107, 776})});
    EXPECT_EQ(host.shownMessages, Strings{"status"});
}

TEST_F(TrayHoverTest, StayingRenewsTheHideTimerAndLeavingRemovesTheBalloon) {
    RestOnTheIcon();
    const int startsBefore = timer3.Starts();
    host.cursor = {116, 796};  // the icon's corner is still on it
    timer4.Fire();             // still inside: the 5 s count anew
    hover.OnIconMouseMove();
    EXPECT_EQ(timer3.Starts(), startsBefore + 2);
    host.cursor = {117, 790};  // one pixel right of the icon
    timer4.Fire();
    EXPECT_FALSE(hover.BalloonShown());
    EXPECT_FALSE(timer4.Enabled() || timer3.Enabled());
    EXPECT_EQ(host.removed, std::vector<std::uint16_t>{1});
}

TEST_F(TrayHoverTest, OpeningTheMenuOrLeavingBeforeTheDelayEndsShowsNothing) {
    hover.OnIconMouseMove();
    timer4.Fire();
    hover.GoIdle();  // the menu opens
    EXPECT_FALSE(timer4.Enabled());
    EXPECT_FALSE(timer2.Fire());
    hover.OnIconMouseMove();
    timer4.Fire();
    host.cursor = {100, 797};  // one pixel below the icon
    timer4.Fire();
    EXPECT_FALSE(timer2.Fire());
    EXPECT_TRUE(host.shownAt.empty());
}

TEST_F(TrayHoverTest, DuringARunTheBalloonKeepsTheDriveTextAndNewTextHidesTheOpenOne) {
    host.running = true;
    hover.SetBalloon("Defragmenting drive C:");
    hover.ShowBalloon();
    hover.ShowBalloon();  // already shown: no second balloon
    EXPECT_EQ(host.shownMessages, Strings{"Defragmenting drive C:"});
    hover.SetBalloon("Defragmenting drive D:");
    EXPECT_FALSE(hover.BalloonShown());
    EXPECT_EQ(host.removed.size(), 1u);
    timer3.Fire();
    EXPECT_FALSE(timer3.Enabled());
}

TEST_F(TrayHoverTest, AClosedBalloonLeavesNoTimerToHideTheNextOneEarly) {
    RestOnTheIcon();
    hover.OnBalloonClosed();
    EXPECT_FALSE(hover.BalloonShown());
    EXPECT_EQ(hover.BalloonId(), 0);
    EXPECT_FALSE(timer3.Enabled());
    RestOnTheIcon();
    EXPECT_EQ(host.shownAt.size(), 2u);
    EXPECT_EQ(timer3.Starts(), 2);
}

}  // namespace
}  // namespace qm::test
