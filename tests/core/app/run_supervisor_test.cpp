#include "core/app/run_supervisor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/defrag/shutdown.h"
#include "core/schedule/status_texts.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

constexpr std::uint32_t kHigh = 0x80, kNormal = 0x20, kIdle = 0x40;
const char* kRefusal = "The disk defragmenter requires Administrator privileges. (0x89000024)";

class RunSupervisorTest : public ::testing::Test {
  protected:
    RunSupervisorTest() {
        run.selectedDrives = {"c:", "d:"};
        module.Record().occursOption = 1;  // daily at 03:00
        module.Record().startHour = 3;
        module.Record().startMinute = 0;
        module.Record().startDate = DateTime::Make(2026, 1, 1);
        scheduler.SetEnabled(true);
    }

    // The current drive's defragmenter ends a minute later; the next poll sees it.
    void DriveEnds(std::uint32_t exitCode = 0, const std::string& output = "") {
        clock.Advance(std::chrono::minutes(1));
        launcher.FinishAll(exitCode, output);
        timerWait.Fire();
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
    MemoryLogFolder log;
    UsDateTextFormat dates;
    RunSettings run;
    TrayMenuState menu;
    std::vector<std::string> balloons;
    int scheduleChanges = 0, ends = 0;
    std::vector<int> shutdowns;
    bool shutdownThrows = false;

    RunSupervisor supervisor{RunServices{
        processes,
        launcher,
        terminator,
        scheduler,
        clock,
        store,
        dates,
        run,
        menu,
        timerWait,
        timerPriority,
        [this](const std::string& t) { balloons.push_back(t); },
        [this] { ++scheduleChanges; },
        [this] { ++ends; },
        [this](int mode) {
            shutdowns.push_back(mode);
            if (shutdownThrows) {
                throw ShutdownError(kShutdownFailed, "Quillmere.mShutDown", "Access is denied.");
            }
        },
        {},
        &log}};
    // The same run on a newer system.
    RunSupervisor Supervisor(DefragSystem on) {
        return RunSupervisor{RunServices{processes,
                                         launcher,
                                         terminator,
                                         scheduler,
                                         clock,
                                         store,
                                         dates,
                                         run,
                                         menu,
                                         timerWait,
                                         timerPriority,
                                         {},
                                         {},
                                         {},
                                         {},
                                         std::move(on),
                                         &log}};
    }
};

TEST_F(RunSupervisorTest, TwoDrivesRunInOrderAndTheScheduleReturnsAfterwards) {
    supervisor.StartDefragRun();
    EXPECT_TRUE(supervisor.DefragRunning());
    EXPECT_FALSE(scheduler.Enabled());
    ASSERT_EQ(launcher.CommandLines(), std::vector<std::string>{"defrag c: -f"});
    EXPECT_EQ(balloons.back(), "Defragmenting drive C:");
    EXPECT_EQ(timerWait.Interval(), 2000u);
    EXPECT_EQ(timerPriority.Interval(), 3000u);

    timerWait.Fire();  // still running: poll again, reading its output meanwhile
    EXPECT_EQ(launcher.starts.size(), 1u);
    EXPECT_TRUE(timerWait.Enabled());
    EXPECT_EQ(launcher.children[0]->drains, 1);

    const int priorityStarts = timerPriority.Starts();
    DriveEnds();
    EXPECT_EQ(launcher.CommandLines().back(), "defrag d: -f");
    // The engine's 3 s count anew for the new drive, even though C's never ran out.
    EXPECT_EQ(timerPriority.Starts(), priorityStarts + 1);
    EXPECT_EQ(balloons.back(), "Defragmenting drive D:");
    // The run did something: it counts from its start.
    EXPECT_EQ(store.Find("LastDefrag"), "12/6/2026 2:30:05 PM");
    EXPECT_EQ(run.lastDefrag, DateTime::Make(2026, 12, 6, 14, 30, 5));

    DriveEnds();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_EQ(scheduleChanges, 1);
    EXPECT_FALSE(timerWait.Enabled());
    EXPECT_FALSE(timerPriority.Enabled()) << "the engine of a run that is over needs no priority";
    EXPECT_EQ(scheduler.NextScheduledTime(), DateTime::Make(2026, 12, 7, 3, 0));
    EXPECT_EQ(log.Read(kRunLogFile),
              "2026-12-06 14:30:05\tC:\tdefrag c: -f\t0:01:00\tok\r\n"
              "2026-12-06 14:31:05\tD:\tdefrag d: -f\t0:01:00\tok\r\n");
}

TEST_F(RunSupervisorTest, ARefusedRunIsNeverShownAsDoneAndSaysWhy) {
    // Refused for want of rights, exiting with 0 all the same; then one drive done, one not.
    supervisor.StartDefragRun();
    DriveEnds(0, kRefusal);
    DriveEnds(0, kRefusal);
    EXPECT_FALSE(store.Find("LastDefrag").has_value());
    EXPECT_EQ(run.lastDefrag, DateTime());
    EXPECT_EQ(run.lastRunProblem, " Last run failed on C:, D: - administrator rights needed ");
    EXPECT_EQ(log.Read("output-C.txt"), kRefusal);
    EXPECT_NE(log.Read(kRunLogFile).find("\tfailed: administrator rights needed (0x89000024)\r\n"),
              std::string::npos);

    clock.Advance(std::chrono::hours(1));
    supervisor.StartDefragRun();
    DriveEnds(0, kRefusal);
    DriveEnds(0, "done");
    EXPECT_EQ(store.Find("LastDefrag"), "12/6/2026 3:32:05 PM");  // this run's start
    EXPECT_EQ(run.lastRunProblem, " Last run failed on C: - administrator rights needed ");

    supervisor.StartDefragRun();  // a run without failures takes the line away
    DriveEnds();
    DriveEnds();
    EXPECT_EQ(run.lastRunProblem, "");
}

TEST_F(RunSupervisorTest, NewerSystemsGetTheirCommandLinesAndWindows7LeavesSolidStateAlone) {
    run.runPriority = 2;
    RunSupervisor windows10 = Supervisor({DefragSyntax::kOptimize, "S\\defrag.exe", {}});
    windows10.StartDefragRun();
    EXPECT_EQ(launcher.starts.back(), "S\\defrag.exe|defrag c: /O /U /V /H|1|32|1");
    DriveEnds();
    DriveEnds();

    // C: is a solid-state drive, D: a hard disk; an unanswered query counts as a hard disk.
    run.selectedDrives = {"c:", "d:", "e:"};
    RunSupervisor windows7 = Supervisor(
        {DefragSyntax::kWindows7, "S\\defrag.exe", [](char letter) -> std::optional<bool> {
             return letter == 'c'   ? std::optional(false)
                    : letter == 'd' ? std::optional(true)
                                    : std::nullopt;
         }});
    launcher.starts.clear();
    windows7.StartDefragRun();
    EXPECT_EQ(launcher.CommandLines(), std::vector<std::string>{"defrag d: /U /V /H"});
    DriveEnds();
    EXPECT_EQ(launcher.CommandLines().back(), "defrag e: /U /V /H");
    EXPECT_NE(
        log.Read(kRunLogFile).find("\tC:\tdefrag c: /U /V /H\t0:00:00\tskipped: solid-state drive"),
        std::string::npos);
}

TEST_F(RunSupervisorTest, AfterDefragActionsCloseOrPowerOffOrLeaveTheSchedulerOff) {
    const struct {
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
        EXPECT_NO_THROW(DriveEnds(0, kRefusal));  // whatever the outcome
        EXPECT_EQ(shutdowns, c.shutdowns) << c.action;
        EXPECT_EQ(ends, c.ends) << c.action;
        EXPECT_EQ(scheduleChanges, 0);
        EXPECT_FALSE(scheduler.Enabled());
    }
}

TEST_F(RunSupervisorTest, EnginePriorityFollowsTheRunPriorityThreeSecondsLater) {
    for (auto [priority, expected] : {std::pair{1, kIdle}, {2, kNormal}, {3, kHigh}}) {
        processes.priorityCalls.clear();
        run.runPriority = static_cast<std::int16_t>(priority);
        run.selectedDrives = {"c:"};
        supervisor.StartDefragRun();
        timerPriority.Fire();
        EXPECT_FALSE(timerPriority.Enabled());  // once only
        ASSERT_FALSE(processes.priorityCalls.empty());
        EXPECT_EQ(processes.priorityCalls.back(),
                  (FakeProcessTable::PriorityCall{processes.entries[1].pid, expected}))
            << priority;
        DriveEnds();
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
    EXPECT_EQ(run.lastRunProblem,
              " Last run failed on C:, D: - the defragmenter could not be started ");
}

TEST_F(RunSupervisorTest, RequestIgnoredWhileADefragmenterRunsOrWithNoDrive) {
    processes.Add("CONTIG.EXE");
    supervisor.StartDefragRun();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_TRUE(scheduler.Enabled());
    processes.entries.clear();
    run.selectedDrives.clear();
    supervisor.StartDefragRun();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_TRUE(launcher.starts.empty());
    EXPECT_TRUE(log.files.empty());
}

TEST_F(RunSupervisorTest, ScheduledMomentDecidesNowNotByTheMenuLastShown) {
    menu.defragEnabled = false;  // the menu was last opened while some defragmenter ran
    supervisor.Scheduler1_ScheduledTime();
    EXPECT_TRUE(supervisor.DefragRunning());
    DriveEnds();
    DriveEnds();
    processes.Add("defrag.exe");  // Windows' own maintenance, say
    supervisor.Scheduler1_ScheduledTime();
    EXPECT_FALSE(supervisor.DefragRunning());
}

TEST_F(RunSupervisorTest, AProcessListThatCannotBeTakenIsNoFinishedDefragmenter) {
    processes.snapshotFails = true;
    supervisor.StartDefragRun();  // cannot tell whether one runs: no run
    EXPECT_FALSE(supervisor.DefragRunning());
    processes.snapshotFails = false;
    run.afterDefragAction = 3;
    supervisor.StartDefragRun();
    launcher.FinishAll();  // its handle says it ended, but the list cannot confirm it
    processes.snapshotFails = true;
    for (int poll = 1; poll < RunSupervisor::kMaxFailedPolls; ++poll) {
        ASSERT_TRUE(timerWait.Fire());
    }
    processes.snapshotFails = false;
    processes.Add("defrag.exe");  // the list is back, and someone's defragmenter runs
    timerWait.Fire();
    processes.snapshotFails = true;
    for (int poll = 1; poll < RunSupervisor::kMaxFailedPolls; ++poll) {
        ASSERT_TRUE(timerWait.Fire());
    }
    EXPECT_EQ(launcher.starts.size(), 1u) << "the next drive started while C: may still run";
    timerWait.Fire();  // five minutes of failures in a row: the run ends, and says why
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_FALSE(timerWait.Enabled());
    EXPECT_TRUE(shutdowns.empty()) << "no power-off in the middle of a defragmentation";
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_EQ(run.lastRunProblem, RunSupervisor::kListingFailedProblem);
    EXPECT_EQ(WithRunProblem("a\r\nb", run.lastRunProblem),
              "a\r\nb\r\n Last run ended early: the running programs could not be listed ");
    EXPECT_EQ(WithRunProblem("a", ""), "a");
    // The next run counts its failed listings anew.
    processes.snapshotFails = false;
    processes.entries.clear();
    supervisor.StartDefragRun();
    processes.snapshotFails = true;
    timerWait.Fire();
    EXPECT_TRUE(supervisor.DefragRunning());
}

TEST_F(RunSupervisorTest, ContigStandsInWhenTheSystemDefragmenterCannotStart) {
    launcher.available = {"contig"};
    supervisor.StartDefragRun();
    EXPECT_EQ(launcher.CommandLines(),
              (std::vector<std::string>{"defrag c: -f", "contig -s -q c:\\*.*"}));
    EXPECT_TRUE(supervisor.DefragmenterRunning());
    DriveEnds();
    EXPECT_NE(log.Read(kRunLogFile).find("\tcontig -s -q c:\\*.*\t0:01:00\tok"), std::string::npos);
}

TEST_F(RunSupervisorTest, StopEndsTheCurrentDriveAndTheRunGoesOn) {
    supervisor.StartDefragRun();
    const std::vector<std::uint32_t> order = {processes.entries[0].pid, processes.entries[1].pid};
    supervisor.mnuStop_Click();
    // The defragmenter first, so that it cannot start its engine again, then the engine.
    EXPECT_EQ(terminator.ended, order);
    EXPECT_FALSE(supervisor.DefragmenterRunning());
    DriveEnds(1);
    EXPECT_EQ(launcher.CommandLines().back(), "defrag d: -f");
    EXPECT_NE(log.Read(kRunLogFile).find("\tstopped\r\n"), std::string::npos);
    EXPECT_FALSE(store.Find("LastDefrag").has_value());
}

TEST_F(RunSupervisorTest, AnEmptyEntryEndsTheRun) {
    run.selectedDrives = {"c:", "", "d:"};
    supervisor.StartDefragRun();
    DriveEnds();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_EQ(launcher.starts.size(), 1u);
}

}  // namespace
}  // namespace qm::test
