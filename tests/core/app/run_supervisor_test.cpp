#include "core/app/run_supervisor.h"

#include <gmock/gmock.h>

#include "core/defrag/shutdown.h"
#include "core/schedule/status_texts.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

using Call = FakeProcessTable::PriorityCall;
using ::testing::HasSubstr;
const char* kRefusal = "The disk defragmenter requires Administrator privileges. (0x89000024)";

class RunSupervisorTest : public ::testing::Test {
  protected:
    RunSupervisorTest() {
        run.selectedDrives = {"c:", "d:"};
        ScheduleRecord& r = module.Record();  // daily at 03:00
        std::tie(r.occursOption, r.startHour, r.startDate) = std::tuple(1, 3, D(2026, 1, 1));
        scheduler.SetEnabled(true);
    }

    // The current drive's defragmenter ends a minute later; the next poll sees it.
    void DriveEnds(std::uint32_t exitCode = 0, const std::string& output = "") {
        clock.Advance(std::chrono::minutes(1));
        launcher.FinishAll(exitCode, output);
        pollTimer.Fire();
    }
    std::string Log() { return log.Read(kRunLogFile); }
    // Whether a run goes on, the scheduler is on, and the two timers run.
    std::tuple<bool, bool, bool, bool> State() {
        return {supervisor.DefragRunning(), scheduler.Enabled(), pollTimer.Enabled(),
                priorityTimer.Enabled()};
    }
    void Shutdown(int mode) {
        shutdowns.push_back(mode);
        if (shutdownThrows) {
            throw ShutdownError(kShutdownFailed, "Quillmere.mShutDown", "Access is denied.");
        }
    }
    // The run on the system given, or on the oldest.
    RunServices Services(DefragSystem system = {}) {
        system.contigProgram = "C:\\Q\\contig.exe";
        const auto balloon = [this](const std::string& t) { balloons.push_back(t); };
        return RunServices(
            processes, launcher, terminator, scheduler, clock, ticks, store, dates, run, pollTimer,
            priorityTimer, balloon, [this] { ++scheduleChanges; }, [this] { ++ends; },
            [this](int mode) { Shutdown(mode); },
            [this](const std::string& t) { told.push_back(t); },
            [this](const std::string& t) { notices.push_back(t); },
            [this](bool on) { awake.push_back(on); }, std::move(system), &log);
    }

    FakeClock clock{D(2026, 12, 6, 14, 30, 5)};
    FakeTimer schedulerTimer, pollTimer, priorityTimer;
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
    Strings balloons, told, notices;
    FakeMonotonicClock ticks;
    std::vector<bool> awake;  // the computer kept from sleeping, and let go
    int scheduleChanges = 0, ends = 0;
    std::vector<int> shutdowns;
    bool shutdownThrows = false;
    RunSupervisor supervisor{Services()};
};

TEST_F(RunSupervisorTest, TwoDrivesRunInOrderAndTheScheduleReturnsAfterwards) {
    supervisor.StartDefragRun();
    EXPECT_EQ(State(), std::tuple(true, false, true, true));
    EXPECT_EQ(std::pair(pollTimer.Interval(), priorityTimer.Interval()), std::pair(2000u, 3000u));
    pollTimer.Fire();  // still running: poll again, reading its output meanwhile
    EXPECT_EQ(std::tuple(launcher.commandLines, launcher.children[0]->drains, pollTimer.Enabled()),
              std::tuple(Strings{"defrag c: -f"}, 1, true));
    DriveEnds();
    // The engine's 3 s count anew for the new drive, even though C's never ran out.
    EXPECT_EQ(std::pair(launcher.commandLines.back(), priorityTimer.Starts()),
              std::pair(std::string("defrag d: -f"), 2));
    EXPECT_EQ(balloons, (Strings{"Defragmenting drive C:", "Defragmenting drive D:"}));
    // The run did something: it counts from its start.
    EXPECT_EQ(
        std::pair(store.Find("LastDefrag"), run.lastDefrag),
        std::pair(std::optional<std::string>("12/6/2026 2:30:05 PM"), D(2026, 12, 6, 14, 30, 5)));
    DriveEnds();
    EXPECT_EQ(State(), std::tuple(false, true, false, false));
    EXPECT_EQ(launcher.children[1].use_count(), 1l) << "the last drive's process let go";
    EXPECT_EQ(std::pair(scheduleChanges, scheduler.NextScheduledTime()),
              std::pair(1, D(2026, 12, 7, 3, 0)));
    EXPECT_EQ(Log(),
              "2026-12-06 14:30:05\tC:\tdefrag c: -f\t0:01:00\tok\r\n"
              "2026-12-06 14:31:05\tD:\tdefrag d: -f\t0:01:00\tok\r\n");
}

TEST_F(RunSupervisorTest, ARefusedRunIsNeverShownAsDoneAndSaysWhy) {
    // Refused for want of rights, exiting with 0 all the same; then one drive done, one not.
    run.runPriority = 3;
    supervisor.StartDefragRun();
    priorityTimer.Fire();  // high priority for the engine, 3 s on
    EXPECT_EQ(processes.priorityCalls.back(), (Call{101, 0x80}));
    DriveEnds(0, kRefusal);
    DriveEnds(0, kRefusal);
    EXPECT_TRUE(!store.Find("LastDefrag") && run.lastDefrag.IsZero());
    EXPECT_EQ(told, Strings{RunSupervisor::kRightsNeededMessage});
    EXPECT_EQ(run.lastRunProblem, " Last run failed on C:, D: - administrator rights needed ");
    EXPECT_EQ(log.Read("output-C.txt"), kRefusal);
    EXPECT_THAT(Log(), HasSubstr("\tfailed: administrator rights needed (0x89000024)\r\n"));

    clock.Advance(std::chrono::hours(1));
    supervisor.StartDefragRun();
    DriveEnds(0, kRefusal);
    DriveEnds(0, "done");
    EXPECT_EQ(store.Find("LastDefrag"), "12/6/2026 3:32:05 PM");  // this run's start
    EXPECT_EQ(run.lastRunProblem, " Last run failed on C: - administrator rights needed ");

    run.selectedDrives = {"c:"};
    supervisor.StartDefragRun();  // a run without failures takes the line away
    DriveEnds();
    EXPECT_EQ(run.lastRunProblem, "");
}

TEST_F(RunSupervisorTest, NewerSystemsGetTheirCommandLinesAndWindows7LeavesSolidStateAlone) {
    run.runPriority = 2;
    RunSupervisor windows10{
        Services({DefragSyntax::kOptimize, "S\\defrag.exe", {}, {}, {}, {}, {}})};
    windows10.StartDefragRun();
    EXPECT_EQ(launcher.starts.back(), "S\\defrag.exe|defrag c: /O /U /V /H|1|32|1");
    priorityTimer.Fire();  // normal priority for the engine too
    EXPECT_EQ(processes.priorityCalls.back(), (Call{101, 0x20}));
    DriveEnds();
    DriveEnds();

    // C: is a solid-state drive, D: a hard disk; an unanswered query counts as a hard disk.
    run.selectedDrives = {"c:", "d:", "e:"};
    const auto seekPenalty = [](char c) {
        return c == 'e' ? std::nullopt : std::optional(c == 'd');
    };
    RunSupervisor windows7{
        Services({DefragSyntax::kWindows7, "S\\defrag.exe", seekPenalty, {}, {}, {}, {}})};
    launcher.commandLines.clear();
    windows7.StartDefragRun();
    EXPECT_EQ(launcher.commandLines, Strings{"defrag d: /U /V /H"});
    DriveEnds();
    EXPECT_EQ(launcher.commandLines.back(), "defrag e: /U /V /H");
    EXPECT_THAT(Log(), HasSubstr("\tC:\tdefrag c: /U /V /H\t0:00:00\tskipped: solid-state drive"));
}

TEST_F(RunSupervisorTest, AfterDefragActionsCloseOrPowerOffOrLeaveTheSchedulerOff) {
    // Close the program; power off, forced, then end; a failed power-off, which says nothing
    // and leaves the program; an unknown action, which does nothing more.
    const std::tuple<std::int16_t, bool, std::vector<int>, int> cases[] = {
        {2, false, {}, 1}, {3, false, {2}, 1}, {3, true, {2}, 0}, {7, false, {}, 0}};
    run.selectedDrives = {"e:"};
    for (const auto& [action, throws, powerOffs, endings] : cases) {
        ends = 0;
        shutdowns.clear();
        run.afterDefragAction = action;
        shutdownThrows = throws;
        supervisor.StartDefragRun();
        EXPECT_NO_THROW(DriveEnds(0, kRefusal));  // whatever the outcome
        EXPECT_EQ(std::tuple(shutdowns, ends, scheduleChanges, scheduler.Enabled()),
                  std::tuple(powerOffs, endings, 0, false))
            << action;
    }
}

TEST_F(RunSupervisorTest, DrivesThatCannotStartArePassedOverAndAnEmptyEntryEndsTheRun) {
    run.runPriority = 5;  // outside 1 to 3: nothing starts
    supervisor.StartDefragRun();
    pollTimer.Fire();
    EXPECT_EQ(std::pair(supervisor.DriveIndex(), launcher.starts.size()), std::pair(2, 0ul));
    pollTimer.Fire();
    EXPECT_FALSE(supervisor.DefragRunning());
    EXPECT_EQ(run.lastRunProblem,
              " Last run failed on C:, D: - the defragmenter could not be started ");

    run.runPriority = 1;
    run.selectedDrives = {"c:", "", "d:"};
    supervisor.StartDefragRun();
    DriveEnds();
    EXPECT_EQ(std::pair(supervisor.DefragRunning(), launcher.starts.size()), std::pair(false, 1ul));
}

TEST_F(RunSupervisorTest, AScheduledMomentWaitsForAnotherOptimisationAndEachDriveDoesToo) {
    processes.Add("C:\\Windows\\System32\\Defrag.exe");  // process 100
    supervisor.StartDefragRun();  // the user's own start is refused, silently
    EXPECT_FALSE(supervisor.DefragRunning() || !log.files.empty());
    supervisor.OnScheduledMoment();
    supervisor.OnScheduledMoment();  // a later moment is not queued behind it
    EXPECT_EQ(std::tuple(supervisor.WaitingForOtherOptimisation(), launcher.starts.size(),
                         balloons.back(), scheduler.Enabled()),
              std::tuple(true, 0ul, std::string(RunSupervisor::kWaitingLine), false));
    clock.Advance(std::chrono::minutes(5));
    pollTimer.Fire();
    processes.entries.clear();  // Windows' own run ends
    pollTimer.Fire();
    EXPECT_EQ(launcher.commandLines, Strings{"defrag c: -f"});
    // Another starts during ours and outlives it: ours ends with its own handle; D waits.
    clock.Advance(std::chrono::minutes(1));
    launcher.FinishAll();
    const std::uint32_t other = processes.Add("contig.exe");
    pollTimer.Fire();
    EXPECT_EQ(std::pair(launcher.commandLines.size(), supervisor.WaitingForOtherOptimisation()),
              std::pair(1ul, true));
    EXPECT_FALSE(supervisor.StopCurrentDrive()) << "nothing of ours to stop";
    std::erase_if(processes.entries, [&](const ProcessEntry& e) { return e.pid == other; });
    pollTimer.Fire();
    EXPECT_EQ(launcher.commandLines.back(), "defrag d: -f");
    DriveEnds();
    EXPECT_EQ(Log(),
              "2026-12-06 14:30:05\t-\t-\t-\tskipped: another optimisation is running "
              "(Defrag.exe, process 100)\r\n"
              "2026-12-06 14:35:05\tC:\tdefrag c: -f\t0:01:00\tok\r\n"
              "2026-12-06 14:36:05\tD:\tdefrag d: -f\t0:01:00\tok\r\n");
    // Kept awake while a drive runs, never while it only waits.
    EXPECT_EQ(awake, (std::vector{true, false, true, false}));

    // Six hours of another optimisation: the moment is given up, and the user hears of it.
    processes.Add("defrag.exe");
    supervisor.OnScheduledMoment();
    ticks.now += RunSupervisor::kMaxWaitMs - 1;
    pollTimer.Fire();
    EXPECT_TRUE(supervisor.WaitingForOtherOptimisation());
    ticks.now += 1;
    pollTimer.Fire();
    EXPECT_EQ(State(), std::tuple(false, true, false, false));
    EXPECT_THAT(Log(), testing::EndsWith("\tgiven up: another optimisation was still running "
                                         "after six hours\r\n"));
    EXPECT_THAT(notices, testing::ElementsAre(HasSubstr("given up")));
}

TEST_F(RunSupervisorTest, AVolumeBusyWithAnotherOptimisationIsTriedAgainAMinuteLater) {
    run.selectedDrives = {"c:"};
    supervisor.OnScheduledMoment();
    DriveEnds(1, "The requested operation is already in progress on the volume. (0x89000000)");
    EXPECT_EQ(std::pair(supervisor.WaitingForOtherOptimisation(), launcher.starts.size()),
              std::pair(true, 1ul));
    ticks.now += RunSupervisor::kBusyVolumeRetryMs - 1;
    pollTimer.Fire();
    ticks.now += 1;
    pollTimer.Fire();
    EXPECT_EQ(launcher.commandLines, (Strings{"defrag c: -f", "defrag c: -f"}));
    DriveEnds();
    EXPECT_THAT(Log(), HasSubstr("\t-\tskipped: another optimisation is running (the volume "
                                 "C:)\r\n2026-12-06 14:31:05\tC:\tdefrag c: -f\t0:01:00\tok"));
}

TEST_F(RunSupervisorTest, UnattendedFailuresAreNotifiedOncePerReasonAcrossARestart) {
    run.selectedDrives = {"c:"};
    const auto scheduledRun = [this](RunSupervisor& s, const std::string& output) {
        s.OnScheduledMoment();
        DriveEnds(0, output);
    };
    scheduledRun(supervisor, kRefusal);
    scheduledRun(supervisor, kRefusal);
    RunSupervisor restarted{Services()};  // takes the timers over
    scheduledRun(restarted, kRefusal);
    EXPECT_EQ(notices, Strings{"Defragmenting C: failed: administrator rights needed."});
    restarted.StartDefragRun();  // the user's own run: the user sees it
    DriveEnds(0, "Access is denied. (0x80070005)");
    scheduledRun(restarted, "(0x89000020)");  // a drive that can never be done: no news
    EXPECT_EQ(store.Find("LastNotice"), notices.back()) << "nothing went through yet";
    scheduledRun(restarted, "");
    EXPECT_EQ(store.Find("LastNotice"), "");
    scheduledRun(restarted, kRefusal);
    EXPECT_EQ(notices.size(), 2u) << "news again after a run that went through";

    // A disabled optimisation service skips the run, said once.
    const auto disabled = [] { return std::optional(true); };
    RunSupervisor windows10{
        Services({DefragSyntax::kOptimize, "S\\defrag.exe", {}, {}, disabled, {}, {}})};
    windows10.OnScheduledMoment();
    windows10.OnScheduledMoment();
    EXPECT_EQ(std::pair(notices.size(), launcher.starts.size()), std::pair(3ul, 7ul));
    EXPECT_THAT(Log(), testing::EndsWith(
                           "\t-\tskipped: the system's optimisation service is disabled\r\n"));
}

TEST_F(RunSupervisorTest, AProcessListThatCannotBeTakenIsNoFinishedDefragmenter) {
    processes.snapshotFails = true;
    supervisor.StartDefragRun();  // cannot tell whether one runs: no run
    EXPECT_FALSE(supervisor.DefragRunning() || !log.files.empty());
    processes.snapshotFails = false;
    run.afterDefragAction = 3;
    supervisor.StartDefragRun();
    launcher.FinishAll();  // its handle says it ended, but the list cannot confirm it
    const auto failPolls = [this] {
        processes.snapshotFails = true;
        for (int poll = 1; poll < 150; ++poll) {
            ASSERT_TRUE(pollTimer.Fire());
        }
    };
    failPolls();
    processes.snapshotFails = false;
    processes.Add("defrag.exe");  // the list is back, and someone's defragmenter runs
    pollTimer.Fire();
    failPolls();
    EXPECT_EQ(launcher.starts.size(), 1u) << "the next drive started beside another";
    pollTimer.Fire();  // five minutes of failures in a row: the run ends, and says why
    EXPECT_EQ(State(), std::tuple(false, true, false, false));
    EXPECT_TRUE(shutdowns.empty()) << "no power-off in the middle of a defragmentation";
    EXPECT_EQ(awake, (std::vector{true, false})) << "let go when the run is abandoned";
    EXPECT_EQ(WithRunProblem("a\r\nb", run.lastRunProblem),
              "a\r\nb\r\n Last run ended early: the running programs could not be listed ");
    EXPECT_EQ(WithRunProblem("a", ""), "a");
    // The next run counts its failed listings anew.
    processes.snapshotFails = false;
    processes.entries.clear();
    supervisor.StartDefragRun();
    processes.snapshotFails = true;
    pollTimer.Fire();
    EXPECT_TRUE(supervisor.DefragRunning());
}

TEST_F(RunSupervisorTest, ContigStandsInAndStopEndsTheCurrentDriveButNotTheRun) {
    launcher.available = {"contig"};
    run.selectedDrives = {"c:"};
    supervisor.StartDefragRun();
    EXPECT_EQ(std::pair(launcher.commandLines, supervisor.DefragmenterRunning()),
              std::pair(Strings{"defrag c: -f", "contig -s -q c:\\*.*"}, true));
    DriveEnds();
    EXPECT_THAT(Log(), HasSubstr("\tcontig -s -q c:\\*.*\t0:01:00\tok"));

    launcher.available = {"defrag"};
    run.selectedDrives = {"c:", "d:"};
    store.values.clear();
    const std::uint32_t strangers = processes.Add("dfrgntfs.exe", 7);  // someone else's engine
    supervisor.StartDefragRun();
    const std::uint32_t engine = processes.entries.back().pid;
    priorityTimer.Fire();  // low priority for our engine, once, and for none other
    EXPECT_EQ(std::pair(processes.priorityCalls, priorityTimer.Enabled()),
              std::pair(std::vector{Call{engine, 0x40}}, false));
    EXPECT_TRUE(supervisor.StopCurrentDrive());
    // Our defragmenter by its handle, so that it cannot start its engine again, then the engine.
    EXPECT_EQ(
        std::tuple(launcher.children.back()->ends, terminator.ended, processes.entries.size()),
        std::tuple(1, std::vector{engine}, 1ul));
    EXPECT_EQ(processes.entries[0].pid, strangers);
    processes.entries.clear();
    DriveEnds(1);
    EXPECT_EQ(launcher.commandLines.back(), "defrag d: -f");
    EXPECT_THAT(Log(), HasSubstr("\tstopped\r\n"));
    EXPECT_FALSE(store.Find("LastDefrag"));
}

}  // namespace
}  // namespace qm::test
