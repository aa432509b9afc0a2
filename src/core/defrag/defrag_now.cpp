#include "core/defrag/defrag_now.h"

#include "core/defrag/process_watch.h"

namespace qm {

DefragNowPlan PlanDefragNow(int row, char letter, DefragSyntax syntax, int priority) {
    const std::string drive = row == 0 ? "C:" : std::string(1, letter) + ":";
    return {DefragCommandFor(drive, syntax, priority), ContigCommandFor(drive),
            (row == 0 ? "Defragmenting Drive " : "Defragmenting drive ") + drive};
}

DefragNowRun::DefragNowRun(DefragNowServices services) : s_(std::move(services)) {
    s_.timerWait.SetInterval(2000);
    s_.timerPriority.SetInterval(3000);
    s_.timerWait.SetHandler([this] { TimerWait_Timer(); });
    s_.timerPriority.SetHandler([this] { TimerPriority_Timer(); });
}

bool DefragNowRun::Start(int row, char letter, int launchPriority) {
    const DefragNowPlan plan = PlanDefragNow(row, letter, s_.system.syntax, launchPriority);
    if (AnyProcessRunning(s_.processes, {kDefragExe, kContigExe}) != false) {
        if (view_) {
            view_->ShowAlreadyRunning();
        }
        return false;
    }
    running_ = true;
    runningRow_ = row;
    panelCaption_ = plan.panelCaption;
    if (view_) {
        view_->ShowRunning(plan.panelCaption);
    }
    if (s_.setSchedulerEnabled) {
        s_.setSchedulerEnabled(false);
    }
    DefragServiceAccess* service =
        s_.system.syntax == DefragSyntax::kClassic ? nullptr : s_.system.service;
    const char drive = static_cast<char>(row == 0 ? 'C' : letter & ~0x20);
    child_ = LaunchDefrag(s_.launcher, s_.processes,
                          {s_.system.defragProgram, s_.system.contigProgram, drive,
                           plan.defragCommand, plan.contigCommand, true, launchPriority, service})
                 .process;
    s_.timerPriority.Restart();
    s_.timerWait.Restart();
    return true;
}

void DefragNowRun::TimerPriority_Timer() {
    s_.timerPriority.SetEnabled(false);
    // The saved priority, not the one the dialog showed at the start.
    SetTaskPriority(s_.processes, kEngineExe, EngineLevel(s_.run.runPriority));
}

void DefragNowRun::TimerWait_Timer() {
    // Its output is taken in at every poll, so that it never waits on a full pipe.
    if (child_) {
        child_->ReadText();
    }
    const bool childEnded = !child_ || child_->ExitCode().has_value();
    if (!childEnded || AnyProcessRunning(s_.processes, {kDefragExe, kContigExe}) == true) {
        return;  // the timer polls on
    }
    s_.timerWait.SetEnabled(false);
    child_.reset();
    running_ = false;
    if (view_) {
        view_->ShowFinished(runningRow_);
    }
    if (s_.setSchedulerEnabled) {
        s_.setSchedulerEnabled(true);
    }
    if (s_.scheduleChanged) {
        s_.scheduleChanged();
    }
}

}  // namespace qm
