#include "core/app/tray_hover.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

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
    void RefreshStatusText() override { message = "status"; }
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
    EXPECT_EQ(timer4.Interval(), 200u);
    EXPECT_EQ(timer2.Interval(), 400u);
    EXPECT_EQ(timer3.Interval(), 5000u);
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
    EXPECT_EQ(host.shownMessages, std::vector<std::string>{"status"});
}

TEST_F(TrayHoverTest, StayingRenewsTheHideTimerAndLeavingRemovesTheBalloon) {
    RestOnTheIcon();
    const int startsBefore = timer3.Starts();
    timer4.Fire();  // still inside: the 5 s count anew
    hover.OnIconMouseMove();
    EXPECT_EQ(timer3.Starts(), startsBefore + 2);
    host.cursor = {117, 790};  // one pixel right of the icon
    timer4.Fire();
    EXPECT_FALSE(hover.BalloonShown());
    EXPECT_FALSE(timer4.Enabled());
    EXPECT_FALSE(timer3.Enabled());
    EXPECT_EQ(host.removed, std::vector<std::uint16_t>{1});
}

TEST_F(TrayHoverTest, LeavingBeforeTheDelayEndsShowsNothing) {
    hover.OnIconMouseMove();
    timer4.Fire();
    host.cursor = {0, 0};
    timer4.Fire();
    EXPECT_FALSE(timer2.Fire());
    EXPECT_TRUE(host.shownAt.empty());
}

TEST_F(TrayHoverTest, DuringARunTheBalloonKeepsTheDriveTextAndNewTextHidesTheOpenOne) {
    host.running = true;
    hover.SetBalloon("Defragmenting drive C:");
    hover.ShowBalloon();
    hover.ShowBalloon();  // already shown: no second balloon
    EXPECT_EQ(host.shownMessages, std::vector<std::string>{"Defragmenting drive C:"});
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

TEST_F(TrayHoverTest, OpeningTheMenuStopsTheHoverSoNoBalloonCoversIt) {
    hover.OnIconMouseMove();
    timer4.Fire();
    hover.GoIdle();
    EXPECT_FALSE(timer4.Enabled());
    EXPECT_FALSE(timer2.Fire());
    EXPECT_TRUE(host.shownAt.empty());
}

}  // namespace
}  // namespace qm::test
