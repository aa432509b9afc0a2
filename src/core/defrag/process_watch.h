#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "core/defrag/process_table.h"

namespace qm {

// What a priority level sets, and the base priority at which that class counts as set.
struct PriorityRow {
    int level;
    std::uint32_t priorityClass;
    std::int32_t basePriority;
};

// Levels 1 idle, 2 normal, 3 high, 4 real-time; nothing for any other level.
std::optional<PriorityRow> PriorityForLevel(int level);

// The text after the last backslash; the whole text when there is none.
std::string FileNameOf(std::string_view path);

// The id of the first process whose executable file name equals `exeName` (whole name, case
// ignored), or 0 when there is none, the name is empty or the list cannot be taken.
std::uint32_t FindProcessId(ProcessTable& table, std::string_view exeName);

// Whether a process of any of these executable names runs (whole names, case ignored);
// nothing when the process list cannot be taken, which tells nothing either way.
std::optional<bool> AnyProcessRunning(ProcessTable& table,
                                      std::initializer_list<std::string_view> exeNames);

// What a look at the process list found: whether it could be taken, and the first process of
// the names asked for.
struct ProcessLookup {
    bool listed{};
    std::optional<ProcessEntry> found;
};

// The first process of any of these executable names (whole names, case ignored); only
// children of `parent` when one is given.
ProcessLookup FindRunning(ProcessTable& table, std::initializer_list<std::string_view> exeNames,
                          std::optional<std::uint32_t> parent = std::nullopt);

// Gives the first process of that name that `parent` started the level's priority class, as
// SetTaskPriority does: a process of the same name that someone else started keeps its own.
void SetChildPriority(ProcessTable& table, std::uint32_t parent, std::string_view exeName,
                      int level);

// The result of the last lookup by name: id 0 when nothing was found.
struct TaskInfo {
    std::uint32_t TaskProcessId{};
    std::int32_t TaskBasePriority{};
};

TaskInfo FindTask(ProcessTable& table, std::string_view exeName);

// Gives the first process of that name the level's priority class. Leaves the system alone
// when no such process runs, the level is unknown or the process is already at that level;
// a process that refuses keeps its priority, silently.
void SetTaskPriority(ProcessTable& table, std::string_view exeName, int level);

// The defragmentation engine's level for a stored run priority: 2 Normal and 3 High stand,
// anything else runs it at 1, Low.
inline int EngineLevel(int runPriority) {
    return (runPriority == 2 || runPriority == 3) ? runPriority : 1;
}

}  // namespace qm
