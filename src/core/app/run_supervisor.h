#pragma once

#include <functional>
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

// Executable names the run watches.
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
    TrayMenuState& menu;   // "Defrag Selected Drive(s) Now" gates scheduled runs
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

    // The scheduler reached a scheduled moment.
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

    // Whether "defrag.exe" or "contig.exe" runs, whoever started it.
    bool DefragmenterRunning();

    bool DefragRunning() const { return defragRunning_; }
    int DriveIndex() const { return driveIndex_; }
    int DriveCount() const { return driveCount_; }
    const std::string& DefragCommand() const { return defragCommand_; }
    const std::string& ContigCommand() const { return contigCommand_; }

  private:
    RunServices s_;
    bool defragRunning_ = false;
    int driveCount_ = 0;
    int driveIndex_ = 0;
    std::string defragCommand_;
    std::string contigCommand_;
};

}  // namespace qm
