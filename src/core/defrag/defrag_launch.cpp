#include "core/defrag/defrag_launch.h"

#include "core/defrag/process_watch.h"
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

std::string DefragCommandFor(std::string_view drive) {
    return "defrag " + DriveOf(drive) + " -f";
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

void LaunchDefrag(ProcessLauncher& launcher, ProcessTable& processes, const std::string& defragCmd,
                  const std::string& contigCmd, bool hidden, int priority,
                  const std::function<void()>& onDefragStarted) {
    auto creationClass = CreationClassForLevel(priority);
    if (!creationClass) {
        return;
    }
    if (launcher.Start(defragCmd, hidden, *creationClass)) {
        if (onDefragStarted) {
            onDefragStarted();
        }
        SetTaskPriority(processes, "defrag.exe", priority);
        return;
    }
    // Whether the tool started is not checked here: the run finds no process and moves on.
    launcher.Start(contigCmd, hidden, *creationClass);
    SetTaskPriority(processes, "contig.exe", priority);
}

}  // namespace qm
