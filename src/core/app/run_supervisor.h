#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/app/process_terminator.h"
#include "core/app/program_settings.h"
#include "core/common/clock.h"
#include "core/common/date_text_format.h"
#include "core/common/monotonic_clock.h"
#include "core/common/settings_store.h"
#include "core/common/timer.h"
#include "core/defrag/console_output.h"
#include "core/defrag/defrag_launch.h"
#include "core/defrag/defrag_outcome.h"
#include "core/defrag/process_table.h"
#include "core/defrag/progress.h"
#include "core/defrag/run_log.h"
#include "core/defrag/service_run.h"
#include "core/schedule/scheduler.h"

namespace qm {

// Executable names the run watches. "dfrgntfs.exe" is the engine Windows XP and Server 2003
// start for NTFS volumes; later systems defragment in a service and have no such process, so
// setting its priority there finds nothing, harmlessly.
inline constexpr const char* kDefragExe = "defrag.exe";
inline constexpr const char* kContigExe = "contig.exe";
inline constexpr const char* kEngineExe = "dfrgntfs.exe";

// What the run needs to know of the system it defragments on.
struct DefragSystem {
    DefragSyntax syntax = DefragSyntax::kClassic;
    // The system's own defrag.exe by its full path, never one found on the search path.
    std::string defragProgram = "defrag.exe";
    // Whether a drive's disk has a seek penalty (a hard disk); nothing when that cannot be
    // asked. Windows 7 cannot optimise a solid-state drive, so it leaves those alone.
    std::function<std::optional<bool>(char letter)> incursSeekPenalty;
    // A drive's file system ("NTFS"), as the volume reports it; nothing when it cannot say.
    std::function<std::optional<std::string>(char letter)> fileSystemOf;
    // Whether the system's optimisation service (Windows 7 and later) is disabled; nothing
    // when that cannot be asked, which never stops a run.
    std::function<std::optional<bool>()> optimisationServiceDisabled;
    // The contig tool beside the program, by its full path; none when that is unknown.
    std::string contigProgram;
    // The defragmentation service; none where the program starts the defragmenter itself.
    // Windows XP never uses it: its command lines are the tray's own.
    DefragServiceAccess* service = nullptr;
};

// Whether the system's defragmenter handles a file system: NTFS, FAT and FAT32 on every system.
bool DefragmenterHandles(std::string_view fileSystem);

// Everything a run touches, owned elsewhere.
struct RunServices {
    ProcessTable& processes;
    ProcessLauncher& launcher;
    ProcessTerminator& terminator;
    Scheduler& scheduler;
    const Clock& clock;
    const MonotonicClock& ticks;  // waits are measured with it, whatever the wall clock does
    SettingsStore& store;
    const DateTextFormat& dates;
    RunSettings& run;      // the drives, priority and after-defrag action; LastDefrag
    Timer& pollTimer;      // 2 s: has our defragmenter ended, has the other optimisation?
    Timer& priorityTimer;  // 3 s, once: the engine's priority
    std::function<void(const std::string&)> setBalloon;
    std::function<void()> scheduleChanged;     // refreshes the status text
    std::function<void()> endProgram;          // ends the program (asynchronously is fine)
    std::function<void(int)> shutdownWindows;  // may throw; a failure is swallowed
    // Tells the user something in the program's message box.
    std::function<void(const std::string&)> tell;
    // Shows a notification from the tray icon, where the user looks even when nobody watched
    // the run.
    std::function<void(const std::string&)> notify;
    // Keeps the computer from sleeping (true) from the start of a run to its end; never while
    // the run only waits for another optimisation.
    std::function<void(bool)> keepAwake;
    DefragSystem system{};
    LogFolder* log = nullptr;  // the run log; none keeps no log
    // The tray icon's tip: the drive's progress while the defragmenter prints it, else
    // kPlainTip. Called only when the text changes.
    std::function<void(const std::string&)> setTip = nullptr;
};

// Defragments the selected drives one after another with the external defragmenter, then
// performs the after-defrag action. Driven by the two timers; nothing blocks.
//
// A drive ends when our own defragmenter ends (its handle, or the service's word), and its exit
// code and output tell how it went. "LastDefrag", the start of the run, is written once a drive
// has succeeded, so a run that did nothing is never shown as done; each drive is logged.
//
// A scheduled or made-up run that finds another optimisation going on (a defragmenter of
// anyone's, or a volume the defragmenter says is busy) notes it once, waits for it to end, and
// then runs; six hours on, it gives up. The same wait comes before each next drive. Runs that
// nobody watched tell of a failure, a disabled optimisation service or a run given up in a
// notification, once for each reason until a run goes through.
class RunSupervisor {
  public:
    explicit RunSupervisor(RunServices services);
    RunSupervisor(const RunSupervisor&) = delete;
    RunSupervisor& operator=(const RunSupervisor&) = delete;

    // A poll every 2 s: this many failed process listings in a row (5 minutes) end the run.
    static constexpr int kMaxFailedPolls = 150;
    // How long a run waits for another optimisation before it gives the moment up.
    static constexpr std::int64_t kMaxWaitMs = 6LL * 60 * 60 * 1000;
    // A volume that was busy with an optimisation nobody can see is tried again this often.
    static constexpr std::int64_t kBusyVolumeRetryMs = 60 * 1000;
    // The balloon's line after a run that ended so.
    static constexpr const char* kListingFailedProblem =
        " Last run ended early: the running programs could not be listed ";
    static constexpr const char* kWaitingLine = "Waiting for another optimisation to end";
    // Said once per program run after a run refused for want of rights, where there is no
    // service to ask.
    static constexpr const char* kRightsNeededMessage =
        "Scheduled runs need administrator rights. Install Quillmere for all users of this "
        "computer to run them without a prompt.";

    // A scheduled moment, or a missed one made up for: a run starts by the rules of "Defrag
    // Selected Drive(s) Now", except that another optimisation is waited for.
    void OnScheduledMoment();
    // "Defrag Selected Drive(s) Now": nothing while any defragmenter runs.
    void StartDefragRun();
    // "Stop Current Defrag": ends the drive our defragmenter works on (the service ends the
    // one it started for us); the run goes on with the next drive. False when no defragmenter
    // of ours runs.
    bool StopCurrentDrive();

    // Whether "defrag.exe" or "contig.exe" runs, whoever started it; nothing when the process
    // list cannot be taken.
    std::optional<bool> DefragmenterPresence();
    // For the tray menu: a list that cannot be taken shows as no defragmenter.
    bool DefragmenterRunning() { return DefragmenterPresence().value_or(false); }

    bool DefragRunning() const { return defragRunning_; }
    bool WaitingForOtherOptimisation() const { return waiting_; }
    int DriveIndex() const { return driveIndex_; }
    const std::string& DefragCommand() const { return defragCommand_; }
    // The balloon's line for a run with failed drives: " Last run failed on C: - reason ".
    static std::string FailureLine(const std::vector<std::pair<std::string, std::string>>& failed);

  private:
    void BeginRun(bool unattended);
    // Starts the next drive, or the same one again after its volume was busy.
    void DefragNextDrive();
    void FinishDefragRun();
    void OnPoll();
    void OnEnginePriorityDue();
    // Whether our Windows XP defragmenter's engine still works.
    std::optional<bool> OurEngineRuns();
    // Before a drive: another optimisation going on is waited for; false while it is.
    bool ReadyForNextDrive();
    void WaitForOtherOptimisation(const std::string& what);
    void PollWhileWaiting();
    // Ends a run whose defragmenter can no longer be watched: no after-defrag action (a
    // power-off might cut a defragmentation short), the schedule back on, the reason shown.
    void AbandonDefragRun(const std::string& reason, const std::string& problem);
    void EndDefragRun();
    // The current drive has ended: its outcome is logged, and the first success of the run
    // records the run as done.
    void EndDrive(std::optional<DriveOutcome> known = std::nullopt);
    void Record(const std::string& drive, const std::string& commandLine, DateTime started,
                const DriveOutcome& outcome, const std::string& output);
    void Note(const std::string& text);
    // A notification for an unattended run, unless this reason was the last one told.
    void Notify(const std::string& text);
    void ScheduleBackOn();
    void KeepAwake(bool on);
    // The drive's progress in the tip and the balloon's run line, each only when it changes.
    void ShowProgress();
    void ShowTip(const std::string& tip);

    RunServices s_;
    int failedPolls_{};
    bool defragRunning_{};
    bool unattended_{};
    int driveCount_{};
    int driveIndex_{};
    std::string defragCommand_;
    std::string contigCommand_;
    DateTime runStarted_;
    bool runSucceeded_{};
    bool neededRights_{};
    std::vector<std::pair<std::string, std::string>> failedDrives_;  // drive, reason
    std::string drive_;  // "C:", the drive being defragmented
    std::unique_ptr<StartedProcess> child_;
    std::uint32_t childPid_{};
    bool childViaService_{};
    OutputWatch output_;
    ProgressReader progress_;
    std::string tip_ = kPlainTip;  // as the tray shows it
    std::string runLine_;          // the balloon's line for the drive, as last set
    bool rightsNoticeShown_{};
    std::string launchedCommand_;
    DateTime driveStarted_;
    bool stopRequested_{};
    // Waiting for another optimisation before a drive.
    bool waiting_{};
    bool waitNoted_{};   // once per run
    bool retryDrive_{};  // the current drive again: its volume was busy
    std::int64_t waitStartedMs_{};
    std::int64_t retryAtMs_{};
    bool awake_{};
};

}  // namespace qm
