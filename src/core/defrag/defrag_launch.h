#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/defrag/process_table.h"

namespace qm {

// Starts a program from a command line whose first word the system resolves on its search
// path. The started process is not kept: it is found again by name.
class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;

    // `creationClass` is the system's priority-class value given at creation. Returns whether
    // the process was started.
    virtual bool Start(const std::string& commandLine, bool hidden,
                       std::uint32_t creationClass) = 0;
};

// The command lines of Windows XP and Server 2003 (NT 5.x), the systems these forms were made
// for; later systems refuse "-f" and take their own options.
// "defrag c: -f" for the drive "C:" (or "c:", or the root "c:\").
std::string DefragCommandFor(std::string_view drive);
// "contig -s -q c:\*.*" for the same drive.
std::string ContigCommandFor(std::string_view drive);

// The creation class of a run's priority level: 1 idle, 2 normal, 3 high; nothing otherwise.
std::optional<std::uint32_t> CreationClassForLevel(int priority);

// Starts the system defragmenter from `defragCmd`, or the contig tool from `contigCmd` when
// the defragmenter cannot be started, and then sets the started program's priority by name
// (creation classes are not honoured everywhere). `onDefragStarted` runs when the system
// defragmenter itself started: the run uses it to time the priority of its engine. A
// priority outside 1 to 3 starts nothing. Failures are silent.
void LaunchDefrag(ProcessLauncher& launcher, ProcessTable& processes, const std::string& defragCmd,
                  const std::string& contigCmd, bool hidden, int priority,
                  const std::function<void()>& onDefragStarted = {});

}  // namespace qm
