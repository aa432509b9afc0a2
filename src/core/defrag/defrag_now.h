#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/app/program_settings.h"
#include "core/app/run_supervisor.h"
#include "core/common/timer.h"
#include "core/defrag/defrag_launch.h"
#include "core/defrag/process_table.h"

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
    // The panel gone, the pointer back, the focus on the row that was defragmented.
    virtual void ShowFinished(int row) = 0;
};

struct DefragNowServices {
    ProcessTable& processes;
    ProcessLauncher& launcher;
    Timer& timerWait;        // 2 s: is the defragmenter still running?
    Timer& timerPriority;    // 3 s, once: the engine's priority
    const RunSettings& run;  // the saved priority, for the engine
    const DefragSystem& system;
    std::function<void(bool)> setSchedulerEnabled;
    std::function<void()> scheduleChanged;  // refreshes the tray's status text
};

// One drive defragmented at once from the Options dialog, watched by its own timers. The
// scheduler stays off meanwhile and no after-defrag action follows. The watch belongs to the
// program, not to the dialog's window: closing the dialog does not lose the end of the run.
class DefragNowRun {
  public:
    explicit DefragNowRun(DefragNowServices services);
    DefragNowRun(const DefragNowRun&) = delete;
    DefragNowRun& operator=(const DefragNowRun&) = delete;

    // The dialog's window, or null while it has none.
    void SetView(DefragNowView* view) { view_ = view; }

    // DefragButton_Click: the drive of `row` at the priority the dialog shows. Refused (and
    // said so) when a defragmenter runs already, whoever started it, or when that cannot be
    // known.
    bool Start(int row, char letter, int launchPriority);
    void TimerPriority_Timer();
    void TimerWait_Timer();

    bool Running() const { return running_; }
    const std::string& PanelCaption() const { return panelCaption_; }

  private:
    DefragNowServices s_;
    DefragNowView* view_ = nullptr;
    bool running_{};
    int runningRow_{};
    std::string panelCaption_;
    std::unique_ptr<StartedProcess> child_;
};

}  // namespace qm
