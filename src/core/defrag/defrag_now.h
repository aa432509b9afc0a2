#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/app/program_settings.h"
#include "core/app/run_supervisor.h"
#include "core/common/clock.h"
#include "core/common/timer.h"
#include "core/defrag/defrag_launch.h"
#include "core/defrag/console_output.h"
#include "core/defrag/process_table.h"
#include "core/defrag/progress.h"
#include "core/defrag/run_log.h"

namespace qm {

// What a Defrag Now click on one drive row starts: the two command lines and the panel text.
struct DefragNowPlan {
    std::string defragCommand;
    std::string contigCommand;
    std::string panelCaption;
};

// Row 0 is drive C ("Defragmenting Drive C:"); any other row names its own drive (upper-case
// letter: "Defragmenting drive E:"). The command line is the system's, as a run's is.
DefragNowPlan PlanDefragNow(int row, char letter, DefragSyntax syntax, int priority);

// The Options dialog while it has a window: what a Defrag Now run shows on it.
class DefragNowView {
  public:
    virtual ~DefragNowView() = default;
    // "Defrag is already running on this computer".
    virtual void ShowAlreadyRunning() = 0;
    // The busy pointer and the panel over the drive rows.
    virtual void ShowRunning(const std::string& panelCaption) = 0;
    // How far the drive is, each time that changes; never where the defragmenter prints no
    // progress (Windows XP's), so the panel shows only that it works.
    virtual void ShowProgress(const DefragProgress& /*progress*/) {}
    // The panel gone, the pointer back, the focus on the row that was defragmented.
    virtual void ShowFinished(int row) = 0;
};

struct DefragNowServices {
    ProcessTable& processes;
    ProcessLauncher& launcher;
    const Clock& clock;
    LogFolder* log;          // where the drive's line goes; none keeps no log
    Timer& pollTimer;        // 2 s: is the defragmenter still running?
    Timer& priorityTimer;    // 3 s, once: the engine's priority
    const RunSettings& run;  // the saved priority, for the engine
    const DefragSystem& system;
    std::function<void(bool)> setSchedulerEnabled;
    std::function<void()> scheduleChanged;  // refreshes the tray's status text
    // Says why the drive was not done, in the program's message box.
    std::function<void(const std::string&)> tellFailure;
};

// One drive defragmented at once from the Options dialog, watched by its own timers. The
// scheduler stays off meanwhile and no after-defrag action follows. The watch belongs to the
// program, not to the dialog's window: closing the dialog does not lose the end of the run.
// The drive is judged and logged as a run's drive is, but it does not count as a run: neither
// "LastDefrag" nor the balloon's failure line changes. A drive not done says why.
class DefragNowRun {
  public:
    explicit DefragNowRun(DefragNowServices services);
    DefragNowRun(const DefragNowRun&) = delete;
    DefragNowRun& operator=(const DefragNowRun&) = delete;

    // The dialog's window, or null while it has none.
    void SetView(DefragNowView* view) { view_ = view; }

    // A Defrag Now click: the drive of `row` at the priority the dialog shows. Refused (and
    // said so) when a defragmenter runs already, whoever started it, or when that cannot be
    // known.
    bool Start(int row, char letter, int launchPriority);
    // The priority timer: the engine gets the saved priority, once.
    void OnEnginePriorityDue();
    // The poll timer: the defragmenter's output taken in, and the drive finished once it ended.
    void OnPoll();
    // Ends its defragmenter; false when none of its own runs.
    bool Stop();

    bool Running() const { return running_; }
    const std::string& PanelCaption() const { return panelCaption_; }
    // The drive's progress as the defragmenter last printed it; none before it prints any.
    const std::optional<DefragProgress>& Progress() const { return progress_.Latest(); }

  private:
    // The drive has ended: judged, logged, and a failure told.
    void Finish();

    DefragNowServices s_;
    DefragNowView* view_ = nullptr;
    bool running_{};
    int runningRow_{};
    std::string panelCaption_;
    std::unique_ptr<StartedProcess> child_;
    std::uint32_t childPid_{};
    bool viaService_{};
    bool stopped_{};
    OutputWatch output_;
    ProgressReader progress_;
    std::string drive_;
    std::string commandLine_;
    DateTime started_;
};

}  // namespace qm
