#include "core/defrag/defrag_now.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/defrag/fake_process_table.h"
#include "core/defrag/drive_balloon_hover.h"
#include "support/fake_timer.h"

namespace qm::test {
namespace {

TEST(PlanDefragNow, RowZeroIsDriveCAndTheOthersNameTheirDrive) {
    struct Case {
        int row;
        char letter;
        const char *defrag, *contig, *panel;
    };
    const Case cases[] = {
        {0, 'C', "defrag c: -f", "contig -s -q c:\\*.*", "Defragmenting Drive C:"},
        {0, 'X', "defrag c: -f", "contig -s -q c:\\*.*", "Defragmenting Drive C:"},
        {2, 'E', "defrag e: -f", "contig -s -q e:\\*.*", "Defragmenting drive E:"},
    };
    for (const auto& c : cases) {
        const DefragNowPlan plan = PlanDefragNow(c.row, c.letter);
        EXPECT_EQ(plan.defragCommand, c.defrag);
        EXPECT_EQ(plan.contigCommand, c.contig);
        EXPECT_EQ(plan.panelCaption, c.panel);
    }
}

// Starts put the program into the process list, at the class asked for; the dialog's view
// and the scheduler are written into one log.
class DefragNowTest : public ::testing::Test, public ProcessLauncher, public DefragNowView {
  protected:
    bool Start(const std::string& commandLine, bool hidden, std::uint32_t cls) override {
        log.push_back(commandLine + (hidden ? " hidden " : " shown ") + std::to_string(cls));
        processes.Add(pid_, commandLine.substr(0, commandLine.find(' ')) + ".exe");
        processes.Add(pid_ + 1, "dfrgntfs.exe", 8);
        pid_ += 2;
        return true;
    }
    void ShowAlreadyRunning() override { log.push_back("already running"); }
    void ShowRunning(const std::string& caption) override { log.push_back(caption); }
    void ShowFinished(int row) override { log.push_back("finished " + std::to_string(row)); }

    FakeProcessTable processes;
    FakeTimer wait, priority;
    RunSettings run;
    std::vector<std::string> log;
    DefragNowRun now{{processes, *this, wait, priority, run,
                      [this](bool on) { log.push_back(on ? "scheduler on" : "scheduler off"); },
                      [this] { log.push_back("status"); }}};
    std::uint32_t pid_ = 10;
};

TEST_F(DefragNowTest, RunsOneDriveUntilItsDefragmenterHasGone) {
    now.SetView(this);
    run.runPriority = 2;
    ASSERT_TRUE(now.Start(2, 'E', 3));  // the dialog shows High, unsaved
    EXPECT_EQ(log, (std::vector<std::string>{"Defragmenting drive E:", "scheduler off",
                                             "defrag e: -f hidden 128"}));
    EXPECT_TRUE(now.Running());
    EXPECT_EQ(now.PanelCaption(), "Defragmenting drive E:");
    EXPECT_EQ(wait.Interval(), 2000u);
    EXPECT_EQ(priority.Interval(), 3000u);
    EXPECT_TRUE(wait.Enabled());

    // The engine takes the saved priority, once.
    processes.priorityCalls.clear();
    ASSERT_TRUE(priority.Fire());
    EXPECT_EQ(processes.priorityCalls, (std::vector<FakeProcessTable::PriorityCall>{}))
        << "already normal";
    EXPECT_FALSE(priority.Enabled());

    // A second click while it runs: the message and nothing else.
    log.clear();
    EXPECT_FALSE(now.Start(0, 'C', 1));
    EXPECT_EQ(log, (std::vector<std::string>{"already running"}));

    ASSERT_TRUE(wait.Fire());
    EXPECT_TRUE(wait.Enabled()) << "still running: polls on";
    EXPECT_EQ(log.size(), 1u);
    processes.entries.clear();
    ASSERT_TRUE(wait.Fire());
    EXPECT_FALSE(wait.Enabled());
    EXPECT_FALSE(now.Running());
    EXPECT_EQ(now.RunningRow(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"already running", "finished 2", "scheduler on",
                                             "status"}));
}

TEST_F(DefragNowTest, TheRunIsSeenToItsEndWithTheDialogClosed) {
    now.SetView(this);
    processes.Add(5, "C:\\tools\\CONTIG.EXE");
    EXPECT_FALSE(now.Start(0, 'C', 1));
    processes.entries.clear();
    run.runPriority = 7;  // no level: the engine goes to idle
    ASSERT_TRUE(now.Start(0, 'C', 1));
    now.SetView(nullptr);
    log.clear();
    ASSERT_TRUE(priority.Fire());
    EXPECT_EQ(processes.priorityCalls.back().priorityClass, 0x40u);
    processes.entries.clear();
    ASSERT_TRUE(wait.Fire());
    EXPECT_EQ(log, (std::vector<std::string>{"scheduler on", "status"}));
}

// The balloon host writes what it is asked into a log; statistics exist for rows 0 and 1.
class DriveBalloonHoverTest : public ::testing::Test, public DriveBalloonHost {
  protected:
    bool IsCursorOutside() override { return outside; }
    std::string DriveBalloonMessage(int row) override {
        return row < 2 ? "row " + std::to_string(row) : "";
    }
    int ShowBalloon(int row, const std::string& title, const std::string& message) override {
        log.push_back("show " + std::to_string(row) + " " + title + ": " + message);
        return ++lastId;
    }
    void SetBalloonMessage(int id, const std::string& message) override {
        log.push_back("update " + std::to_string(id) + ": " + message);
    }
    void RemoveBalloon(int id) override { log.push_back("remove " + std::to_string(id)); }

    bool outside = false;
    int lastId = 0;
    std::vector<std::string> log;
    FakeTimer timer1;
    DriveBalloonHover hover{*this, timer1};
};

TEST_F(DriveBalloonHoverTest, RestingOnADriveShowsItsStatistics) {
    EXPECT_FALSE(timer1.Fire());
    hover.DriveCheck_MouseMove(1);
    hover.DriveCheck_MouseMove(1);
    EXPECT_EQ(timer1.Starts(), 1) << "a further move does not restart the delay";
    EXPECT_EQ(timer1.Interval(), 1500u);
    ASSERT_TRUE(timer1.Fire());
    EXPECT_FALSE(timer1.Enabled());
    hover.DriveCheck_MouseMove(1);
    ASSERT_TRUE(timer1.Fire());  // the same row's balloon is up: only its text changes
    hover.DriveCheck_MouseMove(0);
    ASSERT_TRUE(timer1.Fire());
    EXPECT_EQ(log, (std::vector<std::string>{"show 1 Drive Statistics: row 1", "update 1: row 1",
                                             "remove 1", "show 0 Drive Statistics: row 0"}));

    // Onto a button and back: the balloon went, so a new one comes.
    log.clear();
    hover.OtherMouseMove();
    EXPECT_FALSE(timer1.Enabled());
    hover.DriveCheck_MouseMove(0);
    ASSERT_TRUE(timer1.Fire());
    hover.BalloonClosed();  // its close button
    hover.DriveCheck_MouseMove(0);
    ASSERT_TRUE(timer1.Fire());
    EXPECT_EQ(log, (std::vector<std::string>{"remove 2", "show 0 Drive Statistics: row 0",
                                             "show 0 Drive Statistics: row 0"}));

    // Nothing to tell (statistics unreadable), then the pointer outside the dialog.
    log.clear();
    hover.DriveCheck_MouseMove(2);
    ASSERT_TRUE(timer1.Fire());
    EXPECT_TRUE(log.empty());
    hover.DriveCheck_MouseMove(0);
    outside = true;
    hover.DriveCheck_MouseMove(0);
    EXPECT_FALSE(timer1.Enabled());
    EXPECT_EQ(log, (std::vector<std::string>{"remove 4"}));
    EXPECT_EQ(hover.HoverRow(), kNoRow);
    EXPECT_EQ(hover.BalloonRow(), kNoRow);
    EXPECT_EQ(hover.BalloonId(), kNoBalloon);
}

}  // namespace
}  // namespace qm::test
