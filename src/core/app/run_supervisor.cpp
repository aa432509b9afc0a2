#include "core/app/run_supervisor.h"

#include <cctype>
#include <utility>

#include "core/app/settings_keys.h"
#include "core/defrag/process_watch.h"
#include "core/defrag/text_case.h"

namespace qm {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

constexpr char kDisabledServiceReason[] = "the system's optimisation service is disabled";

}  // namespace

bool DefragmenterHandles(std::string_view fileSystem) {
    const std::string name = AsciiLower(fileSystem);
    return name == "ntfs" || name == "fat" || name == "fat32";
}

RunSupervisor::RunSupervisor(RunServices services) : s_(std::move(services)) {
    s_.pollTimer.SetInterval(2000);
    s_.priorityTimer.SetInterval(3000);
    s_.pollTimer.SetHandler([this] { OnPoll(); });
    s_.priorityTimer.SetHandler([this] { OnEnginePriorityDue(); });
}

std::optional<bool> RunSupervisor::DefragmenterPresence() {
    return AnyProcessRunning(s_.processes, {kContigExe, kDefragExe});
}

void RunSupervisor::OnScheduledMoment() {
    BeginRun(true);
}

void RunSupervisor::StartDefragRun() {
    BeginRun(false);
}

void RunSupervisor::BeginRun(bool unattended) {
    if (defragRunning_) {
        return;  // one run; a later moment is not queued behind it
    }
    // Never when that cannot be told: two defragmenters must never race.
    const ProcessLookup other = FindRunning(s_.processes, {kContigExe, kDefragExe});
    if (!other.listed || (other.found && !unattended)) {
        return;
    }
    driveCount_ = s_.run.SelectedDriveCount();
    if (driveCount_ <= 0) {
        return;
    }
    runStarted_ = s_.clock.Now();
    unattended_ = unattended;
    if (s_.system.syntax != DefragSyntax::kClassic && s_.system.optimisationServiceDisabled &&
        s_.system.optimisationServiceDisabled() == true) {
        // Every drive would fail: the run is skipped, said once, and tried again next time.
        Note(std::string("skipped: ") + kDisabledServiceReason);
        Notify(std::string("Scheduled defrags are skipped: ") + kDisabledServiceReason + ".");
        return;
    }
    s_.scheduler.SetEnabled(false);
    runSucceeded_ = false;
    neededRights_ = false;
    failedDrives_.clear();
    defragRunning_ = true;
    driveIndex_ = 0;
    failedPolls_ = 0;
    waitNoted_ = false;
    retryDrive_ = false;
    if (other.found) {
        WaitForOtherOptimisation(FileNameOf(other.found->exePath) + ", process " +
                                 std::to_string(other.found->pid));
        return;
    }
    DefragNextDrive();
}

void RunSupervisor::DefragNextDrive() {
    if (!std::exchange(retryDrive_, false)) {
        ++driveIndex_;
    }
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
    progress_ = ProgressReader{};
    ShowTip(kPlainTip);
    runLine_ = ProgressBalloonLine(drive, std::nullopt);
    if (s_.setBalloon) {
        s_.setBalloon(runLine_);
    }
    defragCommand_ = DefragCommandFor(drive, s_.system.syntax, s_.run.runPriority);
    contigCommand_ = ContigCommandFor(drive);
    driveStarted_ = s_.clock.Now();
    stopRequested_ = false;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(drive[0])));
    std::optional<DriveOutcome> skip;
    if (const auto fileSystem =
            s_.system.fileSystemOf ? s_.system.fileSystemOf(letter) : std::nullopt;
        fileSystem && !fileSystem->empty() && !DefragmenterHandles(*fileSystem)) {
        skip = DriveOutcome{DriveOutcome::Kind::kSkipped,
                            "the defragmenter cannot handle " + *fileSystem, 0};
    } else if (s_.system.syntax == DefragSyntax::kWindows7 && s_.system.incursSeekPenalty &&
               s_.system.incursSeekPenalty(letter) == false) {
        // Windows 7 would defragment a solid-state drive, which only wears it.
        skip = DriveOutcome{DriveOutcome::Kind::kSkipped, "solid-state drive", 0};
    }
    if (skip) {
        Record(drive, defragCommand_, driveStarted_, *skip, "");
        if (ReadyForNextDrive()) {
            DefragNextDrive();
        }
        return;
    }
    KeepAwake(true);
    DefragServiceAccess* service =
        s_.system.syntax == DefragSyntax::kClassic ? nullptr : s_.system.service;
    LaunchedDefrag launched = LaunchDefrag(
        s_.launcher, {s_.system.defragProgram, s_.system.contigProgram, drive[0], defragCommand_,
                      contigCommand_, true, s_.run.runPriority, service});
    child_ = std::move(launched.process);
    childPid_ = child_ ? child_->Pid() : 0;
    childViaService_ = launched.viaService;
    output_ = OutputWatch{};
    launchedCommand_ = launched.commandLine.empty() ? defragCommand_ : launched.commandLine;
    // Restarted, not just switched on: when the previous drive ended within the first poll,
    // its priority timer is still counting and would fire too early for this drive's engine.
    s_.priorityTimer.Restart();
    s_.pollTimer.SetEnabled(true);
}

std::optional<bool> RunSupervisor::OurEngineRuns() {
    if (s_.system.syntax != DefragSyntax::kClassic || childPid_ == 0) {
        return false;  // later systems optimise in a service, with no engine of ours
    }
    const ProcessLookup engine = FindRunning(s_.processes, {kEngineExe}, childPid_);
    return engine.listed ? std::optional(engine.found.has_value()) : std::nullopt;
}

void RunSupervisor::OnPoll() {
    // The timer keeps polling every 2 s until the run moves on or ends.
    if (waiting_) {
        PollWhileWaiting();
        return;
    }
    if (child_) {
        const std::string text = child_->ReadText();
        output_.Feed(text);
        if (progress_.Feed(text)) {
            ShowProgress();
        }
        if (!child_->ExitCode()) {
            return;
        }
        // The drive is done when our defragmenter is, and on Windows XP the engine it started.
        const std::optional<bool> engine = OurEngineRuns();
        if (!engine) {
            if (++failedPolls_ >= kMaxFailedPolls) {
                AbandonDefragRun("the running programs could not be listed", kListingFailedProblem);
            }
            return;
        }
        failedPolls_ = 0;
        if (*engine) {
            return;
        }
    }
    EndDrive();
    if (ReadyForNextDrive()) {
        DefragNextDrive();
    }
}

bool RunSupervisor::ReadyForNextDrive() {
    if (retryDrive_) {
        // Its volume was busy with an optimisation that no process of ours can see.
        WaitForOtherOptimisation("the volume " + drive_);
        retryAtMs_ = s_.ticks.Milliseconds() + kBusyVolumeRetryMs;
        return false;
    }
    if (driveIndex_ >= driveCount_) {
        return true;  // nothing more to defragment: the run finishes
    }
    const ProcessLookup other = FindRunning(s_.processes, {kContigExe, kDefragExe});
    if (!other.found && other.listed) {
        return true;
    }
    WaitForOtherOptimisation(other.found ? FileNameOf(other.found->exePath) + ", process " +
                                               std::to_string(other.found->pid)
                                         : std::string());
    return false;
}

void RunSupervisor::WaitForOtherOptimisation(const std::string& what) {
    if (!waiting_) {
        waiting_ = true;
        KeepAwake(false);
        ShowTip(kPlainTip);
        waitStartedMs_ = s_.ticks.Milliseconds();
        retryAtMs_ = 0;
        // The wait holds nothing: the engine's priority is no business of a waiting run.
        s_.priorityTimer.SetEnabled(false);
        s_.pollTimer.SetEnabled(true);
        if (s_.setBalloon) {
            s_.setBalloon(kWaitingLine);
        }
    }
    if (!what.empty() && !waitNoted_) {
        waitNoted_ = true;
        Note("skipped: another optimisation is running (" + what + ")");
    }
}

void RunSupervisor::PollWhileWaiting() {
    const std::int64_t now = s_.ticks.Milliseconds();
    if (now - waitStartedMs_ >= kMaxWaitMs) {
        waiting_ = false;
        Note("given up: another optimisation was still running after six hours");
        if (unattended_) {
            Notify(
                "A scheduled defrag was given up: another optimisation was still running "
                "after six hours.");
        }
        EndDefragRun();
        ScheduleBackOn();
        return;
    }
    const ProcessLookup other = FindRunning(s_.processes, {kContigExe, kDefragExe});
    if (!other.listed) {
        if (++failedPolls_ >= kMaxFailedPolls) {
            waiting_ = false;
            AbandonDefragRun("the running programs could not be listed", kListingFailedProblem);
        }
        return;
    }
    failedPolls_ = 0;
    if (other.found) {
        if (!waitNoted_) {
            WaitForOtherOptimisation(FileNameOf(other.found->exePath) + ", process " +
                                     std::to_string(other.found->pid));
        }
        return;
    }
    if (now < retryAtMs_) {
        return;
    }
    waiting_ = false;
    DefragNextDrive();
}

void RunSupervisor::OnEnginePriorityDue() {
    s_.priorityTimer.SetEnabled(false);
    // Only the engine our own defragmenter started: one of someone else's keeps its priority.
    if (childPid_ != 0 && !childViaService_) {
        SetChildPriority(s_.processes, childPid_, kEngineExe, EngineLevel(s_.run.runPriority));
    }
}

void RunSupervisor::EndDrive(std::optional<DriveOutcome> known) {
    const DriveOutcome outcome =
        known ? *known : JudgeEndedDrive(child_.get(), output_, stopRequested_);
    child_.reset();
    childPid_ = 0;
    if (outcome.kind == DriveOutcome::Kind::kBusy) {
        // Someone else optimises this volume: the drive is tried again once they are done.
        retryDrive_ = true;
        return;
    }
    Record(drive_, launchedCommand_, driveStarted_, outcome, output_.Kept());
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

void RunSupervisor::Note(const std::string& text) {
    if (s_.log) {
        AppendToRunLog(*s_.log, RunNoteLine(s_.clock.Now(), text));
    }
}

void RunSupervisor::Notify(const std::string& text) {
    if (!unattended_ || s_.store.GetSetting(keys::kLastNotice, "") == text) {
        return;
    }
    s_.store.SaveSetting(keys::kLastNotice, text);
    if (s_.notify) {
        s_.notify(text);
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

void RunSupervisor::KeepAwake(bool on) {
    if (awake_ != on && s_.keepAwake) {
        s_.keepAwake(on);
    }
    awake_ = on;
}

void RunSupervisor::ShowProgress() {
    ShowTip(ProgressTip(drive_, *progress_.Latest()));
    if (std::string line = ProgressBalloonLine(drive_, progress_.Latest()); line != runLine_) {
        runLine_ = std::move(line);
        if (s_.setBalloon) {
            s_.setBalloon(runLine_);
        }
    }
}

void RunSupervisor::ShowTip(const std::string& tip) {
    if (tip != tip_) {
        tip_ = tip;
        if (s_.setTip) {
            s_.setTip(tip_);
        }
    }
}

void RunSupervisor::EndDefragRun() {
    KeepAwake(false);
    ShowTip(kPlainTip);
    defragRunning_ = false;
    waiting_ = false;
    s_.pollTimer.SetEnabled(false);
    s_.priorityTimer.SetEnabled(false);
}

void RunSupervisor::ScheduleBackOn() {
    s_.scheduler.SetEnabled(true);
    if (s_.scheduleChanged) {
        s_.scheduleChanged();
    }
}

void RunSupervisor::AbandonDefragRun(const std::string& reason, const std::string& problem) {
    if (child_) {
        EndDrive(DriveOutcome{DriveOutcome::Kind::kFailed, reason, 0});
    }
    EndDefragRun();
    s_.run.lastRunProblem = problem;
    ScheduleBackOn();
}

void RunSupervisor::FinishDefragRun() {
    EndDefragRun();
    // The line stays until a run without a failed drive.
    s_.run.lastRunProblem = FailureLine(failedDrives_);
    if (!failedDrives_.empty()) {
        std::string drives;
        for (const auto& [drive, reason] : failedDrives_) {
            drives += (drives.empty() ? "" : ", ") + drive;
        }
        Notify("Defragmenting " + drives + " failed: " + failedDrives_.front().second + ".");
    } else if (runSucceeded_ && !s_.store.GetSetting(keys::kLastNotice, "").empty()) {
        s_.store.SaveSetting(keys::kLastNotice, "");  // the next failure is news again
    }
    if (neededRights_ && !rightsNoticeShown_ && s_.tell) {
        rightsNoticeShown_ = true;
        s_.tell(kRightsNeededMessage);
    }
    switch (s_.run.afterDefragAction) {
        case 1:
            ScheduleBackOn();
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

bool RunSupervisor::StopCurrentDrive() {
    if (!child_) {
        return false;
    }
    stopRequested_ = true;
    child_->End();
    // On Windows XP our defragmenter's engine goes with it, and nothing of anyone else's.
    if (!childViaService_ && s_.system.syntax == DefragSyntax::kClassic) {
        if (const auto engine = FindRunning(s_.processes, {kEngineExe}, childPid_).found) {
            s_.terminator.EndProcess(engine->pid);
        }
    }
    return true;
}

}  // namespace qm
