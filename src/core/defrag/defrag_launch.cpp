#include "core/defrag/defrag_launch.h"

#include "core/defrag/console_output.h"
#include "core/defrag/process_watch.h"
#include "core/defrag/service_run.h"
#include "core/defrag/text_case.h"

namespace qm {
namespace {

// "c:" from "C:", "c:" or "C:\": command lines always name the drive by letter and colon.
std::string DriveOf(std::string_view drive) {
    std::string lower = AsciiLower(drive);
    while (!lower.empty() && lower.back() == '\\') {
        lower.pop_back();
    }
    return lower;
}

}  // namespace

DefragSyntax DefragSyntaxFor(WindowsVersion version) {
    if (version.major < 6 || (version.major == 6 && version.minor == 0)) {
        return DefragSyntax::kClassic;
    }
    if (version.major == 6 && version.minor == 1) {
        return DefragSyntax::kWindows7;
    }
    return DefragSyntax::kOptimize;
}

std::string DefragCommandFor(std::string_view drive, DefragSyntax syntax, int priority) {
    const std::string head = "defrag " + DriveOf(drive);
    if (syntax == DefragSyntax::kClassic) {
        return head + " -f";
    }
    const std::string normalPriority = priority == 2 || priority == 3 ? " /H" : "";
    return head + (syntax == DefragSyntax::kOptimize ? " /O" : "") + " /U /V" + normalPriority;
}

std::string DefragCommandFor(std::string_view drive) {
    return DefragCommandFor(drive, DefragSyntax::kClassic, 1);
}

std::string ContigCommandFor(std::string_view drive) {
    return "contig -s -q " + DriveOf(drive) + "\\*.*";
}

std::optional<std::uint32_t> CreationClassForLevel(int priority) {
    if (priority < 1 || priority > 3) {
        return std::nullopt;
    }
    return PriorityForLevel(priority)->priorityClass;
}

LaunchedDefrag LaunchDefrag(ProcessLauncher& launcher, const DefragLaunch& launch,
                            const std::function<void()>& onDefragStarted) {
    LaunchedDefrag launched;
    const auto creationClass = CreationClassForLevel(launch.priority);
    if (!creationClass) {
        return launched;
    }
    launched.commandLine = launch.defragCommand;
    if (launch.service && launch.service->Installed()) {
        // The service builds the same command line for this system; only the letter and the
        // priority go to it.
        launched.process =
            std::make_unique<ServiceRun>(launch.service->Connect(), launch.letter, launch.priority);
        launched.viaService = true;
        return launched;
    }
    launched.process = launcher.Start(
        {launch.defragProgram, launch.defragCommand, launch.hidden, *creationClass, true});
    if (launched.process) {
        if (onDefragStarted) {
            onDefragStarted();
        }
        return launched;
    }
    // Whether the tool started is not checked here: the run finds no process and moves on.
    launched.contig = true;
    launched.commandLine = launch.contigCommand;
    if (launch.contigProgram.empty()) {
        return launched;
    }
    launched.process = launcher.Start(
        {launch.contigProgram, launch.contigCommand, launch.hidden, *creationClass, true});
    return launched;
}

DriveOutcome JudgeEndedDrive(StartedProcess* process, OutputWatch& output, bool stopped) {
    std::optional<std::uint32_t> exitCode;
    std::optional<DriveOutcome> judged;
    if (process) {
        exitCode = process->ExitCode();
        output.Feed(process->ReadText());
        judged = process->Outcome();
    }
    return stopped  ? DriveOutcome{DriveOutcome::Kind::kStopped, "", 0}
           : judged ? *judged
                    : ClassifyDefragOutcome(exitCode, output.Codes());
}

}  // namespace qm
