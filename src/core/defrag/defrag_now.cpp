#include "core/defrag/defrag_now.h"

#include "core/defrag/process_watch.h"

namespace qm {

DefragNowPlan PlanDefragNow(int row, char letter) {
    if (row == 0) {
        return {DefragCommandFor("c:"), ContigCommandFor("c:"), "Defragmenting Drive C:"};
    }
    const std::string drive = std::string(1, letter) + ":";
    return {DefragCommandFor(drive), ContigCommandFor(drive), "Defragmenting drive " + drive};
}

DefragNowRun::DefragNowRun(DefragNowServices services) : s_(std::move(services)) {
    s_.timerWait.SetInterval(2000);
    s_.timerPriority.SetInterval(3000);
    s_.timerWait.SetHandler([this] { TimerWait_Timer(); });
    s_.timerPriority.SetHandler([this] { TimerPriority_Timer(); });
}

bool DefragNowRun::DefragmenterRunning() {
    return FindProcessId(s_.processes, "defrag.exe") != 0 ||
           FindProcessId(s_.processes, "contig.exe") != 0;
}

bool DefragNowRun::Start(int row, char letter, int launchPriority) {
    const DefragNowPlan plan = PlanDefragNow(row, letter);
    if (DefragmenterRunning()) {
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
    LaunchDefrag(s_.launcher, s_.processes, plan.defragCommand, plan.contigCommand, true,
                 launchPriority);
    s_.timerPriority.Restart();
    s_.timerWait.Restart();
    return true;
}

void DefragNowRun::TimerPriority_Timer() {
    s_.timerPriority.SetEnabled(false);
    // The saved priority, not the one the dialog showed at the start.
    const int priority = s_.run.runPriority;
    SetTaskPriority(s_.processes, "dfrgntfs.exe", (priority == 2 || priority == 3) ? priority : 1);
}

void DefragNowRun::TimerWait_Timer() {
    s_.timerWait.SetEnabled(false);
    if (DefragmenterRunning()) {
        s_.timerWait.SetEnabled(true);
        return;
    }
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
