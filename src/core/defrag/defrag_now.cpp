#include "core/defrag/defrag_now.h"

#include "core/defrag/process_watch.h"

namespace qm {

DefragNowPlan PlanDefragNow(int row, char letter, DefragSyntax syntax, int priority) {
    const std::string drive = row == 0 ? "C:" : std::string(1, letter) + ":";
    return {DefragCommandFor(drive, syntax, priority), ContigCommandFor(drive),
            (row == 0 ? "Defragmenting Drive " : "Defragmenting drive ") + drive};
}

DefragNowRun::DefragNowRun(DefragNowServices services) : s_(std::move(services)) {
    s_.pollTimer.SetInterval(2000);
    s_.priorityTimer.SetInterval(3000);
    s_.pollTimer.SetHandler([this] { OnPoll(); });
    s_.priorityTimer.SetHandler([this] { OnEnginePriorityDue(); });
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
    LaunchedDefrag launched = LaunchDefrag(
        s_.launcher, {s_.system.defragProgram, s_.system.contigProgram, drive, plan.defragCommand,
                      plan.contigCommand, true, launchPriority, service});
    child_ = std::move(launched.process);
    childPid_ = child_ ? child_->Pid() : 0;
    viaService_ = launched.viaService;
    stopped_ = false;
    output_ = OutputWatch{};
    progress_ = ProgressReader{};
    drive_ = std::string(1, drive) + ":";
    commandLine_ = launched.commandLine.empty() ? plan.defragCommand : launched.commandLine;
    started_ = s_.clock.Now();
    s_.priorityTimer.Restart();
    s_.pollTimer.Restart();
    return true;
}

void DefragNowRun::OnEnginePriorityDue() {
    s_.priorityTimer.SetEnabled(false);
    // The saved priority, not the one the dialog showed at the start; only for the engine our
    // own defragmenter started.
    if (childPid_ != 0 && !viaService_) {
        SetChildPriority(s_.processes, childPid_, kEngineExe, EngineLevel(s_.run.runPriority));
    }
}

void DefragNowRun::OnPoll() {
    // Its output is taken in at every poll, so that it never waits on a full pipe.
    if (child_) {
        const std::string text = child_->ReadText();
        output_.Feed(text);
        if (progress_.Feed(text) && view_) {
            view_->ShowProgress(*progress_.Latest());
        }
        if (!child_->ExitCode()) {
            return;  // the timer polls on
        }
        // On Windows XP the drive is done once the engine our defragmenter started is.
        if (s_.system.syntax == DefragSyntax::kClassic && !viaService_ &&
            FindRunning(s_.processes, {kEngineExe}, childPid_).found) {
            return;
        }
    }
    s_.pollTimer.SetEnabled(false);
    Finish();
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

void DefragNowRun::Finish() {
    const DriveOutcome outcome = JudgeEndedDrive(child_.get(), output_, stopped_);
    child_.reset();
    childPid_ = 0;
    if (s_.log) {
        AppendToRunLog(*s_.log,
                       RunLogLine({started_, drive_, commandLine_,
                                   s_.clock.Now().Seconds() - started_.Seconds(), outcome}));
        if (output_.TotalBytes() > 0) {
            s_.log->Write(DriveOutputFile(drive_), output_.Kept());
        }
    }
    if ((outcome.Failed() || outcome.kind == DriveOutcome::Kind::kBusy) && s_.tellFailure) {
        s_.tellFailure("Drive " + drive_ + " was not defragmented: " + outcome.reason + ".");
    }
}

bool DefragNowRun::Stop() {
    if (!child_) {
        return false;
    }
    stopped_ = true;
    child_->End();
    return true;
}

}  // namespace qm
