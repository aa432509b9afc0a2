#include "core/app/run_supervisor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/defrag/shutdown.h"
#include "core/schedule/status_texts.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

constexpr std::uint32_t kHigh = 0x80, kNormal = 0x20, kIdle = 0x40;

class RunSupervisorTest : public ::testing::Test {
  protected:
    RunSupervisorTest() {
        run.selectedDrives = {"c:", "d:"};
        run.runPriority = 1;
        run.afterDefragAction = 1;
        module.Record().occursOption = 1;  // daily at 03:00
        module.Record().startHour = 3;
        module.Record().startMinute = 0;
        module.Record().startDate = DateTime::Make(2026, 1, 1);
        scheduler.SetEnabled(true);
    }

    // Ends every defragmenter process, as a finished defragmentation does.
    void DefragmenterFinishes() {
        for (const char* name : {"defrag.exe", "contig.exe", "dfrgntfs.exe"}) {
            processes.Remove(name);
        }
    }

    FakeClock clock{DateTime::Make(2026, 12, 6, 14, 30, 5)};
    FakeTimer schedulerTimer, timerWait, timerPriority;
    FakeScheduleEditor editor;
    ScheduleModule module{clock};
    Scheduler scheduler{module, schedulerTimer, editor};
    FakeProcessTable processes;
    FakeLauncher launcher{processes};
    FakeTerminator terminator{processes};
    MemorySettingsStore store;
    UsDateTextFormat dates;
    RunSettings run;
    TrayMenuState menu;
    std::vector<std::string> balloons;
    int scheduleChanges = 0, ends = 0;
    std::vector<int> shutdowns;
    bool shutdownThrows = false;

    RunSupervisor supervisor{RunServices{
        processes, launcher, terminator, scheduler, clock, store, dates, run, menu, timerWait,
        timerPriority, [this](const std::string& t) { balloons.push_back(t); },
        [this] { ++scheduleChanges; }, [this] { ++ends; },
        [this](int mode) {
            shutdowns.push_back(mode);
            if (shutdownThrows) {
                throw ShutdownError(kShutdownFailed, "Quillmere.mShutDown", "Access is denied.");
            }
        }}};
};

TEST_F(RunSupervisorTest, TwoDrivesRunInOrderAndTheScheduleReturnsAfterwards) {
    supervisor.StartDefragRun();
    EXPECT_TRUE(supervisor.DefragRunning());
    EXPECT_FALSE(scheduler.Enabled());
    EXPECT_EQ(store.Find("LastDefrag"), "12/6/2026 2:30:05 PM");
    EXPECT_EQ(run.lastDefrag, DateTime::Make(2026, 12, 6, 14, 30, 5));
    ASSERT_EQ(launcher.CommandLines(), std::vector<std::string>{"defrag c: -f"});
    EXPECT_EQ(balloons.back(), "Defragmenting drive C:");
    EXPECT_TRUE(timerWait.Enabled());
    EXPECT_TRUE(timerPriority.Enabled());
    EXPECT_EQ(timerWait.Interval(), 2000u);
    EXPECT_EQ(timerPriority.Interval(), 3000u);

    timerWait.Fire();  // still running: poll again
    EXPECT_EQ(launcher.starts.size(), 1u);
    EXPECT_TRUE(timerWait.Enabled());

    DefragmenterFinishes();
    const int priorityStarts = timerPriority.Starts();
    timerWait.Fire();
    EXPECT_EQ(launcher.CommandLines().back(), "defrag d: -f");
    // The engine's 3 s count anew for the new drive, even though C's never ran out.
    EXPECT_EQ(timerPriority.Starts(), priorityStarts + 1);
    EXPECT_EQ(balloons.back(), "Defragmenting drive D:");
    EXPECT_EQ(supervisor.DriveIndex(), 2);

    DefragmenterFinishes();
    timerWait.Fire();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_EQ(scheduleChanges, 1);
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(menu.stopVisible);
    EXPECT_FALSE(timerWait.Enabled());
    EXPECT_EQ(scheduler.NextScheduledTime(), DateTime::Make(2026, 12, 7, 3, 0));
}

TEST_F(RunSupervisorTest, AfterDefragActionsCloseOrPowerOffOrLeaveTheSchedulerOff) {
    struct Case {
        std::int16_t action;
        bool shutdownThrows;
        std::vector<int> shutdowns;
        int ends;
    } cases[] = {
        {2, false, {}, 1},   // close the program
        {3, false, {2}, 1},  // power off, forced, then end
        {3, true, {2}, 0},   // the power-off failed: nothing said, the program stays
        {7, false, {}, 0},   // unknown: nothing more, the scheduler stays off
    };
    for (const auto& c : cases) {
        ends = scheduleChanges = 0;
        shutdowns.clear();
        run.afterDefragAction = c.action;
        run.selectedDrives = {"e:"};
        shutdownThrows = c.shutdownThrows;
        supervisor.StartDefragRun();
        DefragmenterFinishes();
        EXPECT_NO_THROW(timerWait.Fire());
        EXPECT_EQ(shutdowns, c.shutdowns) << c.action;
        EXPECT_EQ(ends, c.ends) << c.action;
        EXPECT_EQ(scheduleChanges, 0);
        EXPECT_FALSE(scheduler.Enabled());
    }
}

TEST_F(RunSupervisorTest, EnginePriorityFollowsTheRunPriorityThreeSecondsLater) {
    struct Case {
        int priority;
        std::uint32_t expected;
    } cases[] = {{1, kIdle}, {2, kNormal}, {3, kHigh}};
    for (const auto& c : cases) {
        processes.entries.clear();
        processes.priorityCalls.clear();
        run.runPriority = static_cast<std::int16_t>(c.priority);
        supervisor.StartDefragRun();
        const auto callsAtStart = processes.priorityCalls.size();
        timerPriority.Fire();
        EXPECT_FALSE(timerPriority.Enabled());  // once only
        ASSERT_GT(processes.priorityCalls.size(), callsAtStart);
        const auto& engine = *std::find_if(processes.entries.begin(), processes.entries.end(),
                                           [](auto& e) { return e.exePath == "dfrgntfs.exe"; });
        EXPECT_EQ(processes.priorityCalls.back(),
                  (FakeProcessTable::PriorityCall{engine.pid, c.expected}))
            << c.priority;
        // finish this run
        DefragmenterFinishes();
        timerWait.Fire();
        DefragmenterFinishes();
        timerWait.Fire();
    }
}

TEST_F(RunSupervisorTest, APriorityOutsideOneToThreeStartsNothingAndEachDriveIsPassedOver) {
    run.runPriority = 5;
    supervisor.StartDefragRun();
    EXPECT_TRUE(launcher.starts.empty());
    timerWait.Fire();
    EXPECT_EQ(supervisor.DriveIndex(), 2);
    timerWait.Fire();
    EXPECT_FALSE(supervisor.DefragRunning());
}

TEST_F(RunSupervisorTest, RequestIgnoredWhileADefragmenterRunsOrWithNoDrive) {
    processes.Add("CONTIG.EXE");
    supervisor.StartDefragRun();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_FALSE(store.Find("LastDefrag").has_value());

    processes.entries.clear();
    run.selectedDrives.clear();
    supervisor.StartDefragRun();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_TRUE(launcher.starts.empty());
    EXPECT_FALSE(store.Find("LastDefrag").has_value());
}

TEST_F(RunSupervisorTest, ScheduledMomentDecidesNowNotByTheMenuLastShown) {
    menu.defragEnabled = false;  // the menu was last opened while some defragmenter ran
    supervisor.Scheduler1_ScheduledTime();
    EXPECT_TRUE(supervisor.DefragRunning());
    DefragmenterFinishes();
    timerWait.Fire();
    DefragmenterFinishes();
    timerWait.Fire();
    processes.Add("defrag.exe");  // Windows' own maintenance, say
    supervisor.Scheduler1_ScheduledTime();
    EXPECT_FALSE(supervisor.DefragRunning());
}

TEST_F(RunSupervisorTest, AProcessListThatCannotBeTakenIsNoFinishedDefragmenter) {
    processes.snapshotFails = true;
    supervisor.StartDefragRun();  // cannot tell whether one runs: no run
    EXPECT_FALSE(supervisor.DefragRunning());
    processes.snapshotFails = false;
    supervisor.StartDefragRun();
    processes.snapshotFails = true;
    for (int poll = 1; poll < RunSupervisor::kMaxFailedPolls; ++poll) {
        ASSERT_TRUE(timerWait.Fire());
    }
    processes.snapshotFails = false;
    timerWait.Fire();  // the list is back: the count starts again
    processes.snapshotFails = true;
    for (int poll = 1; poll < RunSupervisor::kMaxFailedPolls; ++poll) {
        ASSERT_TRUE(timerWait.Fire());
    }
    EXPECT_EQ(launcher.starts.size(), 1u) << "the next drive started while C: may still run";
    EXPECT_TRUE(supervisor.DefragRunning());
    timerWait.Fire();  // five minutes of failures in a row: the run ends, and says why
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_FALSE(timerWait.Enabled());
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_EQ(scheduleChanges, 1);
    EXPECT_EQ(run.lastRunProblem, RunSupervisor::kListingFailedProblem);
    EXPECT_EQ(WithRunProblem("a\r\nb", run.lastRunProblem),
              "a\r\nb\r\n Last run ended early: the running programs could not be listed ");
    EXPECT_EQ(WithRunProblem("a", ""), "a");
    // A run that goes well takes the line away again.
    processes.snapshotFails = false;
    processes.entries.clear();
    supervisor.StartDefragRun();
    DefragmenterFinishes();
    timerWait.Fire();
    DefragmenterFinishes();
    timerWait.Fire();
    EXPECT_EQ(run.lastRunProblem, "");
}

TEST_F(RunSupervisorTest, AbandoningARunNeverPowersOff) {
    run.afterDefragAction = 3;
    supervisor.StartDefragRun();
    processes.snapshotFails = true;
    for (int poll = 0; poll < RunSupervisor::kMaxFailedPolls; ++poll) {
        timerWait.Fire();
    }
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_TRUE(shutdowns.empty());
    EXPECT_EQ(ends, 0);
}

TEST_F(RunSupervisorTest, ContigStandsInWhenTheSystemDefragmenterCannotStart) {
    launcher.available = {"contig"};
    supervisor.StartDefragRun();
    EXPECT_EQ(launcher.CommandLines(),
              (std::vector<std::string>{"defrag c: -f", "contig -s -q c:\\*.*"}));
    EXPECT_TRUE(supervisor.DefragmenterRunning());
}

TEST_F(RunSupervisorTest, StopEndsTheCurrentDriveAndTheRunGoesOn) {
    supervisor.StartDefragRun();
    clock.Advance(std::chrono::minutes(5));
    const std::vector<std::uint32_t> order = {processes.entries[0].pid, processes.entries[1].pid};
    supervisor.mnuStop_Click();
    // The defragmenter first, so that it cannot start its engine again, then the engine.
    EXPECT_EQ(terminator.ended, order);
    EXPECT_FALSE(supervisor.DefragmenterRunning());
    timerWait.Fire();
    EXPECT_EQ(launcher.CommandLines().back(), "defrag d: -f");
    // LastDefrag keeps the start of the run that was stopped.
    EXPECT_EQ(store.Find("LastDefrag"), "12/6/2026 2:30:05 PM");
}

TEST_F(RunSupervisorTest, AnEmptyEntryEndsTheRun) {
    run.selectedDrives = {"c:", "", "d:"};
    supervisor.StartDefragRun();
    DefragmenterFinishes();
    timerWait.Fire();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_EQ(launcher.starts.size(), 1u);
}

}  // namespace
}  // namespace qm::test
