#include "core/app/tray_hover.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/tray_menu_rules.h"
#include "support/fake_timer.h"

namespace qm::test {
namespace {

class FakeBalloonHost : public TrayBalloonHost {
  public:
    Point CursorPosition() override { return cursor; }
    Rect TrayIconRect() override { return icon; }
    void SetBalloonMessage(const std::string& text) override { message = text; }
    std::uint16_t ShowBalloonAt(Point at) override {
        shownAt.push_back(at);
        shownMessages.push_back(message);
        return ++lastId;
    }
    void RemoveBalloon(std::uint16_t id) override { removed.push_back(id); }
    void RefreshStatusText() override { message = "Next defrag: ...\r\nLast defrag: ..."; }
    bool DefragRunning() override { return running; }

    Point cursor{105, 790};
    Rect icon{100, 780, 116, 796};
    bool running = false;
    std::string message;
    std::vector<Point> shownAt;
    std::vector<std::string> shownMessages;
    std::vector<std::uint16_t> removed;
    std::uint16_t lastId = 0;
};

class TrayHoverTest : public ::testing::Test {
  protected:
    FakeBalloonHost host;
    FakeTimer timer4, timer2, timer3;
    TrayHover hover{host, timer4, timer2, timer3};
};

TEST_F(TrayHoverTest, RestingOnTheIconOpensTheBalloonAfterOnePollAndTheDelay) {
    EXPECT_EQ(timer4.Interval(), 200u);
    EXPECT_EQ(timer2.Interval(), 400u);
    EXPECT_EQ(timer3.Interval(), 5000u);

    hover.OnIconMouseMove();
    EXPECT_TRUE(timer4.Enabled());
    EXPECT_FALSE(timer2.Enabled());
    timer4.Fire();  // 200 ms: still inside, the delay starts
    EXPECT_TRUE(timer2.Enabled());
    timer4.Fire();  // a further poll leaves the running delay alone
    EXPECT_EQ(timer2.Starts(), 1);
    timer2.Fire();  // 400 ms later
    EXPECT_TRUE(hover.BalloonShown());
    EXPECT_FALSE(timer2.Enabled());
    EXPECT_TRUE(timer3.Enabled());
    ASSERT_EQ(host.shownAt.size(), 1u);
    EXPECT_EQ(host.shownAt[0], (Point{107, 776}));
    EXPECT_EQ(host.shownMessages[0], "Next defrag: ...\r\nLast defrag: ...");
    EXPECT_EQ(hover.BalloonId(), 1);
}

TEST_F(TrayHoverTest, StayingRenewsTheHideTimerAndLeavingRemovesTheBalloon) {
    hover.OnIconMouseMove();
    timer4.Fire();
    timer2.Fire();
    const int startsBefore = timer3.Starts();
    timer4.Fire();  // still inside: the 5 s count anew
    hover.OnIconMouseMove();
    EXPECT_EQ(timer3.Starts(), startsBefore + 2);
    EXPECT_EQ(host.shownAt.size(), 1u);

    host.cursor = {300, 300};
    timer4.Fire();
    EXPECT_FALSE(hover.BalloonShown());
    EXPECT_FALSE(timer4.Enabled());
    EXPECT_FALSE(timer3.Enabled());
    EXPECT_EQ(host.removed, std::vector<std::uint16_t>{1});
    EXPECT_EQ(hover.BalloonId(), 0);
}

TEST_F(TrayHoverTest, LeavingBeforeTheDelayEndsShowsNothing) {
    hover.OnIconMouseMove();
    timer4.Fire();
    host.cursor = {0, 0};
    timer4.Fire();
    EXPECT_FALSE(timer2.Enabled());
    EXPECT_FALSE(timer2.Fire());
    EXPECT_TRUE(host.shownAt.empty());
}

TEST_F(TrayHoverTest, FiveSecondsWithoutRenewalHideIt) {
    hover.ShowBalloon();
    ASSERT_TRUE(timer3.Enabled());
    timer3.Fire();
    EXPECT_FALSE(hover.BalloonShown());
    EXPECT_FALSE(timer3.Enabled());
}

TEST_F(TrayHoverTest, DuringARunTheBalloonKeepsTheDriveText) {
    host.running = true;
    hover.SetBalloon("Defragmenting drive C:");
    hover.ShowBalloon();
    EXPECT_EQ(host.shownMessages.back(), "Defragmenting drive C:");
}

TEST_F(TrayHoverTest, NewTextHidesTheOpenBalloonAndShowsNextTime) {
    hover.ShowBalloon();
    hover.SetBalloon("Defragmenting drive D:");
    EXPECT_FALSE(hover.BalloonShown());
    EXPECT_EQ(host.removed.size(), 1u);
    hover.ShowBalloon();
    hover.ShowBalloon();  // already shown: no second balloon
    EXPECT_EQ(host.shownAt.size(), 2u);
}

TEST_F(TrayHoverTest, ClosedByTheUserForgetsTheBalloon) {
    hover.ShowBalloon();
    hover.OnBalloonClosed();
    EXPECT_FALSE(hover.BalloonShown());
    EXPECT_EQ(hover.BalloonId(), 0);
    hover.OnIconMouseMove();  // the next hover starts over
    EXPECT_TRUE(timer4.Enabled());
}

TEST_F(TrayHoverTest, OpeningTheMenuStopsTheHoverSoNoBalloonCoversIt) {
    hover.OnIconMouseMove();
    timer4.Fire();
    hover.GoIdle();
    EXPECT_FALSE(timer4.Enabled());
    EXPECT_FALSE(timer2.Enabled());
    EXPECT_FALSE(timer3.Enabled());
    EXPECT_FALSE(timer2.Fire());
    EXPECT_TRUE(host.shownAt.empty());
}

struct MenuRuleCase {
    bool running;
    int drives;
    bool stop, defrag, open;
};

TEST(TrayMenuRules, StopDefragAndOpenFollowTheRunningDefragmenterAndTheDrives) {
    const MenuRuleCase cases[] = {
        {false, 2, false, true, true},   // idle with drives
        {true, 2, true, false, false},   // a defragmenter runs
        {false, 0, false, false, true},  // nothing selected
        {true, 0, true, false, false},
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

}  // namespace
}  // namespace qm::test
