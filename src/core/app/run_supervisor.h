#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/app/process_terminator.h"
#include "core/app/program_settings.h"
#include "core/app/tray_menu_state.h"
#include "core/common/clock.h"
#include "core/common/date_text_format.h"
#include "core/common/settings_store.h"
#include "core/common/timer.h"
#include "core/defrag/defrag_launch.h"
#include "core/defrag/process_table.h"
#include "core/schedule/scheduler.h"

namespace qm {

// Executable names the run watches. "dfrgntfs.exe" is the engine Windows XP and Server 2003
// start for NTFS volumes; later systems defragment in a service and have no such process, so
// setting its priority there finds nothing, harmlessly.
inline constexpr const char* kDefragExe = "defrag.exe";
inline constexpr const char* kContigExe = "contig.exe";
inline constexpr const char* kEngineExe = "dfrgntfs.exe";

// Everything a run touches, owned elsewhere.
struct RunServices {
    ProcessTable& processes;
    ProcessLauncher& launcher;
    ProcessTerminator& terminator;
    Scheduler& scheduler;
    const Clock& clock;
    SettingsStore& store;
    const DateTextFormat& dates;
    RunSettings& run;      // the drives, priority and after-defrag action; LastDefrag
    TrayMenuState& menu;   // the run hides "Stop Current Defrag" when it ends
    Timer& timerWait;      // 2 s: is the defragmenter still running?
    Timer& timerPriority;  // 3 s, once: the engine's priority
    std::function<void(const std::string&)> setBalloon;
    std::function<void()> scheduleChanged;     // refreshes the status text
    std::function<void()> endProgram;          // ends the program (asynchronously is fine)
    std::function<void(int)> shutdownWindows;  // may throw; a failure is swallowed
};

// Defragments the selected drives one after another with the external defragmenter, then
// performs the after-defrag action. Driven by the two timers; nothing blocks.
class RunSupervisor {
  public:
    explicit RunSupervisor(RunServices services);
    RunSupervisor(const RunSupervisor&) = delete;
    RunSupervisor& operator=(const RunSupervisor&) = delete;

    // A poll every 2 s: this many failed process listings in a row (5 minutes) end the run.
    static constexpr int kMaxFailedPolls = 150;
    // The balloon's line after a run that ended so.
    static constexpr const char* kListingFailedProblem =
        " Last run ended early: the running programs could not be listed ";

    // The scheduler reached a scheduled moment: a run starts by the rules of "Defrag Selected
    // Drive(s) Now", decided now rather than when the menu was last opened.
    void Scheduler1_ScheduledTime();
    // "Defrag Selected Drive(s) Now".
    void StartDefragRun();
    void DefragNextDrive();
    void FinishDefragRun();
    void TimerWait_Timer();
    void TimerPriority_Timer();
    // "Stop Current Defrag": ends the running defragmenter (and the engine it started); the
    // run goes on with the next drive at the next poll.
    void mnuStop_Click();

    // Whether "defrag.exe" or "contig.exe" runs, whoever started it; nothing when the process
    // list cannot be taken.
    std::optional<bool> DefragmenterPresence();
    // For the tray menu: a list that cannot be taken shows as no defragmenter.
    bool DefragmenterRunning() { return DefragmenterPresence().value_or(false); }

    bool DefragRunning() const { return defragRunning_; }
    int DriveIndex() const { return driveIndex_; }
    int DriveCount() const { return driveCount_; }
    const std::string& DefragCommand() const { return defragCommand_; }
    const std::string& ContigCommand() const { return contigCommand_; }

  private:
    // Ends a run whose defragmenter can no longer be watched: no after-defrag action (a
    // power-off might cut a defragmentation short), the schedule back on, the reason shown.
    void AbandonDefragRun();
    void EndDefragRun();

    RunServices s_;
    int failedPolls_ = 0;
    bool defragRunning_ = false;
    int driveCount_ = 0;
    int driveIndex_ = 0;
    std::string defragCommand_;
    std::string contigCommand_;
};

}  // namespace qm
