#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/defrag/defrag_outcome.h"
#include "core/defrag/process_table.h"

namespace qm {

// A program the run started and watches until it ends: its own child, or one the
// defragmentation service started for it.
class StartedProcess {
  public:
    virtual ~StartedProcess() = default;
    virtual std::uint32_t Pid() const = 0;
    // Its exit code once it has ended; nothing while it runs. Never waits.
    virtual std::optional<std::uint32_t> ExitCode() = 0;
    // The text it has written since the last call, as UTF-8 (ConsoleOutputDecoder); the caller
    // asks at every poll, so that the program never waits on a full pipe. Never waits itself.
    virtual std::string ReadText() = 0;
    // Ends it: this program only, never another of the same name.
    virtual void End() = 0;
    // How it went, where someone else ran it and has judged it already (the service, or its
    // refusal); nothing when the caller judges by the exit code and the output.
    virtual std::optional<DriveOutcome> Outcome() { return std::nullopt; }
};

struct LaunchRequest {
    // The file to start; empty to let the system find the first word of the command line.
    std::string program;
    std::string commandLine;
    bool hidden{};
    std::uint32_t creationClass{};  // the system's priority-class value, e.g. 0x40 for idle
    bool captureOutput{};           // read its console output, shown in no window
    // Ended by the system when the starter ends or lets go of it (a job object): the service
    // leaves no defragmenter behind when it stops.
    bool endWithStarter{};
};

class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // Nothing when the program could not be started.
    virtual std::unique_ptr<StartedProcess> Start(const LaunchRequest& request) = 0;
};

// How a Windows version's defragmenter is told what to do.
enum class DefragSyntax {
    kClassic,   // Windows XP, Server 2003 and Vista: "defrag c: -f"
    kWindows7,  // "defrag c: /U /V", " /H" to run at normal priority
    kOptimize,  // Windows 8 and later: "/O" picks the right operation for each medium
};

struct WindowsVersion {
    unsigned major{};
    unsigned minor{};
    unsigned build{};
};

DefragSyntax DefragSyntaxFor(WindowsVersion version);

// The system defragmenter's command line for a drive ("C:", "c:" or the root "c:\") at a run
// priority: on Windows 7 and later, Normal and High add " /H", without which the system
// optimises at low priority.
std::string DefragCommandFor(std::string_view drive, DefragSyntax syntax, int priority);
// The classic form, as on Windows XP: "defrag c: -f".
std::string DefragCommandFor(std::string_view drive);
// "contig -s -q c:\*.*" on every system.
std::string ContigCommandFor(std::string_view drive);

// The creation class of a run's priority level: 1 idle, 2 normal, 3 high; nothing otherwise.
std::optional<std::uint32_t> CreationClassForLevel(int priority);

// What to start for one drive.
class DefragServiceAccess;

struct DefragLaunch {
    std::string defragProgram;  // the system's own defrag.exe, by its full path
    // The contig tool, only ever from the program's own folder, by its full path: never one
    // that the search path or the current folder would offer.
    std::string contigProgram;
    char letter{};  // the drive, 'C'
    std::string defragCommand;
    std::string contigCommand;
    bool hidden{};
    int priority{};  // 1 low, 2 normal, 3 high
    // The defragmentation service, where the system has one to offer: when it is installed,
    // the drive goes through it and nothing is started here.
    DefragServiceAccess* service = nullptr;
};

struct LaunchedDefrag {
    std::unique_ptr<StartedProcess> process;  // null when nothing could be started
    std::string commandLine;                  // the command line of what was started or tried
    bool contig{};                            // the contig tool stands in
    bool viaService{};                        // the service runs it for us
};

// Asks the service to defragment the drive when it is installed. Otherwise starts the system
// defragmenter with its output captured, or the contig tool (from `contigProgram`) when the
// defragmenter cannot be started, each in the priority's class from its first instruction (the
// launcher sets it on the new process itself: nothing of the same name that someone else
// started is touched). `onDefragStarted` runs when the system defragmenter itself started: the
// run uses it to time the priority of its engine. A priority outside 1 to 3 starts nothing.
// Failures are silent.
LaunchedDefrag LaunchDefrag(ProcessLauncher& launcher, const DefragLaunch& launch,
                            const std::function<void()>& onDefragStarted = {});

class OutputWatch;

// How a drive's defragmenter went, once it has ended: stopped at our asking, as the service
// judged it, or by its exit code and the codes of all its output (the rest of which is taken in
// first). No program at all is a failure to start.
DriveOutcome JudgeEndedDrive(StartedProcess* process, OutputWatch& output, bool stopped);

}  // namespace qm
