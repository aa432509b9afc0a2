#include "core/app/run_supervisor.h"

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
    s_.run.lastDefrag = s_.clock.Now();
    SaveLastDefrag(s_.store, s_.dates, s_.run.lastDefrag);
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
    if (s_.setBalloon) {
        s_.setBalloon("Defragmenting drive " + drive);
    }
    defragCommand_ = DefragCommandFor(drive);
    contigCommand_ = ContigCommandFor(drive);
    LaunchDefrag(s_.launcher, s_.processes, defragCommand_, contigCommand_, true,
                 s_.run.runPriority);
    // Restarted, not just switched on: when the previous drive ended within the first poll,
    // its priority timer is still counting and would fire too early for this drive's engine.
    s_.timerPriority.Restart();
    s_.timerWait.SetEnabled(true);
}

void RunSupervisor::TimerWait_Timer() {
    s_.timerWait.SetEnabled(false);
    const std::optional<bool> presence = DefragmenterPresence();
    if (!presence) {
        // A list that cannot be taken says nothing about the defragmenter: wait on.
        if (++failedPolls_ >= kMaxFailedPolls) {
            AbandonDefragRun();
            return;
        }
        s_.timerWait.SetEnabled(true);
        return;
    }
    failedPolls_ = 0;
    if (*presence) {
        s_.timerWait.SetEnabled(true);
        return;
    }
    DefragNextDrive();
}

void RunSupervisor::TimerPriority_Timer() {
    s_.timerPriority.SetEnabled(false);
    const int priority = s_.run.runPriority;
    const int level = (priority == 2 || priority == 3) ? priority : 1;
    SetTaskPriority(s_.processes, kEngineExe, level);
}

void RunSupervisor::EndDefragRun() {
    defragRunning_ = false;
    s_.timerWait.SetEnabled(false);
    s_.timerPriority.SetEnabled(false);
    s_.menu.stopVisible = false;
    s_.menu.stopEnabled = false;
}

void RunSupervisor::AbandonDefragRun() {
    EndDefragRun();
    s_.run.lastRunProblem = kListingFailedProblem;
    s_.scheduler.SetEnabled(true);
    if (s_.scheduleChanged) {
        s_.scheduleChanged();
    }
}

void RunSupervisor::FinishDefragRun() {
    EndDefragRun();
    s_.run.lastRunProblem.clear();
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
    // The defragmenter first, so that it cannot start its engine again; then the engine.
    for (const char* name : {kDefragExe, kContigExe, kEngineExe}) {
        if (const std::uint32_t pid = FindProcessId(s_.processes, name)) {
            s_.terminator.EndProcess(pid);
        }
    }
}

}  // namespace qm
