#include "core/defrag/defrag_now.h"

#include <gtest/gtest.h>

#include "core/defrag/drive_balloon_hover.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

using Log = std::vector<std::string>;

// The dialog, the scheduler and the balloon write one log; rows 0 and 1 have statistics.
struct OptionsRunTest : ::testing::Test, DefragNowView, DriveBalloonHost {
    void ShowAlreadyRunning() override { log.push_back("already running"); }
    void ShowRunning(const std::string& caption) override { log.push_back(caption); }
    void ShowFinished(int row) override { log.push_back("finished " + std::to_string(row)); }
    bool IsCursorOutside() override { return outside; }
    std::string DriveBalloonMessage(int row) override { return row < 2 ? "row" : ""; }
    int ShowBalloon(int row, const std::string& title, const std::string& text) override {
        log.push_back(title + " " + std::to_string(row) + ": " + text);
        return ++lastId;
    }
    void SetBalloonMessage(int id, const std::string&) override {
        log.push_back("update " + std::to_string(id));
    }
    void RemoveBalloon(int id) override { log.push_back("remove " + std::to_string(id)); }
    void RestOn(int row) {
        hover.DriveCheck_MouseMove(row);
        ASSERT_TRUE(timer1.Fire());
    }
    FakeProcessTable processes;
    FakeLauncher launcher{processes};
    FakeTimer wait, priority, timer1;
    RunSettings run;
    Log log;
    bool outside = false;
    int lastId = 0;
    DefragSystem system;  // Windows XP's command lines
    DefragNowRun now{{processes, launcher, wait, priority, run, system,
                      [this](bool on) { log.push_back(on ? "scheduler on" : "scheduler off"); },
                      [this] { log.push_back("status"); }}};
    DriveBalloonHover hover{*this, timer1};
};

TEST_F(OptionsRunTest, RunsOneDriveUntilItsDefragmenterHasGone) {
    now.SetView(this);
    processes.Add("C:\\tools\\CONTIG.EXE");
    EXPECT_FALSE(now.Start(0, 'C', 1));  // any defragmenter running: the message only
    processes.entries.clear();
    run.runPriority = 2;                // saved: the engine's
    ASSERT_TRUE(now.Start(2, 'E', 3));  // the dialog's own for the defragmenter
    EXPECT_EQ(launcher.starts, (Log{"defrag.exe|defrag e: -f|1|128|1"}));
    EXPECT_EQ(log, (Log{"already running", "Defragmenting drive E:", "scheduler off"}));
    EXPECT_EQ(wait.Interval() + priority.Interval(), 5000u);
    ASSERT_TRUE(priority.Fire());
    EXPECT_EQ(processes.priorityCalls.back().priorityClass, 0x20u);
    EXPECT_FALSE(priority.Enabled());
    log.clear();
    ASSERT_TRUE(wait.Fire());
    EXPECT_TRUE(wait.Enabled() && now.Running()) << "still running: polls on";
    EXPECT_EQ(launcher.children[0]->drains, 1) << "its output is taken in at each poll";
    launcher.FinishAll();
    ASSERT_TRUE(wait.Fire());
    EXPECT_FALSE(wait.Enabled() || now.Running());
    EXPECT_EQ(log, (Log{"finished 2", "scheduler on", "status"}));
    log.clear();
    system.syntax = DefragSyntax::kOptimize;  // as later systems want it
    ASSERT_TRUE(now.Start(0, 'X', 2));
    now.SetView(nullptr);  // the dialog closed: the run is still seen to its end
    run.runPriority = 7;   // no level: the engine goes to idle
    ASSERT_TRUE(priority.Fire());
    EXPECT_EQ(processes.priorityCalls.back().priorityClass, 0x40u);
    launcher.FinishAll();
    ASSERT_TRUE(wait.Fire());
    EXPECT_EQ(launcher.commandLines[1], "defrag c: /O /U /V /H");
    EXPECT_EQ(log, (Log{"Defragmenting Drive C:", "scheduler off", "scheduler on", "status"}));
    EXPECT_EQ(now.PanelCaption(), "Defragmenting Drive C:");
}

TEST_F(OptionsRunTest, RestingOnADriveShowsItsStatistics) {
    hover.DriveCheck_MouseMove(1);
    RestOn(1);  // a further move does not restart the delay
    EXPECT_EQ(timer1.Starts() * 10000 + timer1.Interval(), 11500u);
    RestOn(1);  // the row's balloon is up: only its text changes
    RestOn(0);
    hover.OtherMouseMove();  // onto a button: the balloon goes; back on the row, a new one
    EXPECT_FALSE(timer1.Enabled());
    RestOn(0);
    hover.BalloonClosed();  // by its close button
    RestOn(0);
    RestOn(2);  // nothing to tell
    hover.DriveCheck_MouseMove(0);
    outside = true;
    hover.DriveCheck_MouseMove(0);
    EXPECT_FALSE(timer1.Enabled());
    EXPECT_EQ(hover.HoverRow() + hover.BalloonRow() + hover.BalloonId(), 99 + 99 - 1);
    EXPECT_EQ(log,
              (Log{"Drive Statistics 1: row", "update 1", "remove 1", "Drive Statistics 0: row",
                   "remove 2", "Drive Statistics 0: row", "Drive Statistics 0: row", "remove 4"}));
}

}  // namespace
}  // namespace qm::test
