#include "core/app/run_supervisor.h"

#include <algorithm>
#include <cctype>

#include "core/defrag/process_watch.h"

namespace qm {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

RunSupervisor::RunSupervisor(RunServices services) : s_(std::move(services)) {
    s_.timerWait.SetInterval(2000);
    s_.timerPriority.SetInterval(3000);
    s_.timerWait.SetHandler([this] { TimerWait_Timer(); });
    s_.timerPriority.SetHandler([this] { TimerPriority_Timer(); });
}

std::optional<bool> RunSupervisor::DefragmenterPresence() {
    return AnyProcessRunning(s_.processes, {kContigExe, kDefragExe});
}

void RunSupervisor::Scheduler1_ScheduledTime() {
    StartDefragRun();
}

void RunSupervisor::StartDefragRun() {
    // Not when one runs, nor when that cannot be told: two defragmenters must never race.
    if (DefragmenterPresence() != false) {
        return;
    }
    driveCount_ = s_.run.SelectedDriveCount();
    if (driveCount_ <= 0) {
        return;
    }
    s_.scheduler.SetEnabled(false);
    runStarted_ = s_.clock.Now();
    runSucceeded_ = false;
    neededRights_ = false;
    failedDrives_.clear();
    defragRunning_ = true;
    driveIndex_ = 0;
    failedPolls_ = 0;
    DefragNextDrive();
}

void RunSupervisor::DefragNextDrive() {
    ++driveIndex_;
    if (driveIndex_ > driveCount_ || driveIndex_ > static_cast<int>(s_.run.selectedDrives.size())) {
        FinishDefragRun();
        return;
    }
    const std::string drive = Upper(s_.run.selectedDrives[static_cast<size_t>(driveIndex_ - 1)]);
    if (drive.empty()) {
        FinishDefragRun();
        return;
    }
    drive_ = drive;
    if (s_.setBalloon) {
        s_.setBalloon("Defragmenting drive " + drive);
    }
    defragCommand_ = DefragCommandFor(drive, s_.system.syntax, s_.run.runPriority);
    contigCommand_ = ContigCommandFor(drive);
    driveStarted_ = s_.clock.Now();
    stopRequested_ = false;
    if (s_.system.syntax == DefragSyntax::kWindows7 && s_.system.incursSeekPenalty &&
        s_.system.incursSeekPenalty(static_cast<char>(std::tolower(drive[0]))) == false) {
        // Windows 7 would defragment a solid-state drive, which only wears it.
        Record(drive, defragCommand_, driveStarted_,
               {DriveOutcome::Kind::kSkipped, "solid-state drive", 0}, "");
        DefragNextDrive();
        return;
    }
    DefragServiceAccess* service =
        s_.system.syntax == DefragSyntax::kClassic ? nullptr : s_.system.service;
    LaunchedDefrag launched =
        LaunchDefrag(s_.launcher, s_.processes,
                     {s_.system.defragProgram, s_.system.contigProgram, drive[0], defragCommand_,
                      contigCommand_, true, s_.run.runPriority, service});
    child_ = std::move(launched.process);
    childViaService_ = launched.viaService;
    output_ = OutputWatch{};
    launchedCommand_ = launched.commandLine.empty() ? defragCommand_ : launched.commandLine;
    // Restarted, not just switched on: when the previous drive ended within the first poll,
    // its priority timer is still counting and would fire too early for this drive's engine.
    s_.timerPriority.Restart();
    s_.timerWait.SetEnabled(true);
}

void RunSupervisor::TimerWait_Timer() {
    // The timer keeps polling every 2 s until the run moves on or ends.
    if (child_) {
        output_.Feed(child_->ReadText());
    }
    const std::optional<bool> presence = DefragmenterPresence();
    if (!presence) {
        // A list that cannot be taken says nothing about the defragmenter: wait on.
        if (++failedPolls_ >= kMaxFailedPolls) {
            AbandonDefragRun();
        }
        return;
    }
    failedPolls_ = 0;
    const bool childEnded = !child_ || child_->ExitCode().has_value();
    if (*presence || !childEnded) {
        return;
    }
    EndDrive();
    DefragNextDrive();
}

void RunSupervisor::TimerPriority_Timer() {
    s_.timerPriority.SetEnabled(false);
    SetTaskPriority(s_.processes, kEngineExe, EngineLevel(s_.run.runPriority));
}

void RunSupervisor::EndDrive(std::optional<DriveOutcome> known) {
    std::optional<std::uint32_t> exitCode;
    std::optional<DriveOutcome> judged;
    if (child_) {
        exitCode = child_->ExitCode();
        output_.Feed(child_->ReadText());
        judged = child_->Outcome();
    }
    const DriveOutcome outcome = known ? *known
                                 : stopRequested_
                                     ? DriveOutcome{DriveOutcome::Kind::kStopped, "", 0}
                                 : judged ? *judged
                                          : ClassifyDefragOutcome(exitCode, output_.Codes());
    Record(drive_, launchedCommand_, driveStarted_, outcome, output_.Kept());
    child_.reset();
}

void RunSupervisor::Record(const std::string& drive, const std::string& commandLine,
                           DateTime started, const DriveOutcome& outcome,
                           const std::string& output) {
    if (outcome.kind == DriveOutcome::Kind::kOk && !runSucceeded_) {
        // The run has done something: now it counts as the last defrag, from its start.
        runSucceeded_ = true;
        s_.run.lastDefrag = runStarted_;
        SaveLastDefrag(s_.store, s_.dates, runStarted_);
    }
    if (outcome.Failed()) {
        failedDrives_.emplace_back(drive, outcome.reason);
        neededRights_ = neededRights_ || outcome.code == kNeedsAdministratorRights;
    }
    if (s_.log) {
        const DriveRunRecord record{started, drive, commandLine,
                                    s_.clock.Now().Seconds() - started.Seconds(), outcome};
        AppendToRunLog(*s_.log, RunLogLine(record));
        if (!output.empty()) {
            s_.log->Write(DriveOutputFile(drive), output);
        }
    }
}

std::string RunSupervisor::FailureLine(
    const std::vector<std::pair<std::string, std::string>>& failed) {
    if (failed.empty()) {
        return {};
    }
    std::string drives;
    for (const auto& [drive, reason] : failed) {
        drives += (drives.empty() ? "" : ", ") + drive;
    }
    return " Last run failed on " + drives + " - " + failed.front().second + " ";
}

void RunSupervisor::EndDefragRun() {
    defragRunning_ = false;
    s_.timerWait.SetEnabled(false);
    s_.timerPriority.SetEnabled(false);
}

void RunSupervisor::AbandonDefragRun() {
    EndDrive(
        DriveOutcome{DriveOutcome::Kind::kFailed, "the running programs could not be listed", 0});
    EndDefragRun();
    s_.run.lastRunProblem = kListingFailedProblem;
    s_.scheduler.SetEnabled(true);
    if (s_.scheduleChanged) {
        s_.scheduleChanged();
    }
}

void RunSupervisor::FinishDefragRun() {
    EndDefragRun();
    // The line stays until a run without a failed drive.
    s_.run.lastRunProblem = FailureLine(failedDrives_);
    if (neededRights_ && !rightsNoticeShown_ && s_.tell) {
        rightsNoticeShown_ = true;
        s_.tell(kRightsNeededMessage);
    }
    switch (s_.run.afterDefragAction) {
        case 1:
            s_.scheduler.SetEnabled(true);
            if (s_.scheduleChanged) {
                s_.scheduleChanged();
            }
            break;
        case 2:
            if (s_.endProgram) {
                s_.endProgram();
            }
            break;
        case 3:
            // A shutdown that fails says nothing and leaves the program running, its scheduler
            // off, rather than vanishing from a machine that stayed on.
            try {
                if (s_.shutdownWindows) {
                    s_.shutdownWindows(2);
                }
                if (s_.endProgram) {
                    s_.endProgram();
                }
            } catch (...) {
            }
            break;
        default:
            break;
    }
}

void RunSupervisor::mnuStop_Click() {
    stopRequested_ = defragRunning_;
    if (child_) {
        child_->End();
    }
    if (childViaService_) {
        return;  // the service ends what it started; nothing here is ours to end
    }
    // The defragmenter first, so that it cannot start its engine again; then the engine.
    for (const char* name : {kDefragExe, kContigExe, kEngineExe}) {
        if (const std::uint32_t pid = FindProcessId(s_.processes, name)) {
            s_.terminator.EndProcess(pid);
        }
    }
}

}  // namespace qm
