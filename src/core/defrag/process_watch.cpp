#include "core/defrag/process_watch.h"

#include <array>
#include <string>

#include "core/defrag/text_case.h"

namespace qm {
namespace {

constexpr std::array<PriorityRow, 4> kPriorityRows{{
    {1, 0x40, 4},    // idle
    {2, 0x20, 8},    // normal
    {3, 0x80, 13},   // high
    {4, 0x100, 24},  // real-time
}};

// The list may hand back a fixed-size buffer: only what precedes the first NUL is the name.
std::string MatchableName(std::string_view exePath) {
    auto nul = exePath.find('\0');
    return AsciiLower(FileNameOf(exePath.substr(0, nul)));
}

// The first entry whose file name equals the (already lower-cased) name.
std::optional<ProcessEntry> FindFirst(ProcessTable& table, const std::string& lowerName) {
    if (lowerName.empty()) {
        return std::nullopt;
    }
    auto entries = table.Snapshot();
    if (!entries) {
        return std::nullopt;
    }
    for (const auto& entry : *entries) {
        if (MatchableName(entry.exePath) == lowerName) {
            return entry;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<PriorityRow> PriorityForLevel(int level) {
    for (const auto& row : kPriorityRows) {
        if (row.level == level) {
            return row;
        }
    }
    return std::nullopt;
}

std::string FileNameOf(std::string_view path) {
    auto slash = path.find_last_of('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::uint32_t FindProcessId(ProcessTable& table, std::string_view exeName) {
    auto found = FindFirst(table, AsciiLower(exeName));
    return found ? found->pid : 0;
}

std::optional<bool> AnyProcessRunning(ProcessTable& table,
                                      std::initializer_list<std::string_view> exeNames) {
    auto entries = table.Snapshot();
    if (!entries) {
        return std::nullopt;
    }
    for (const auto& entry : *entries) {
        const std::string name = MatchableName(entry.exePath);
        for (std::string_view wanted : exeNames) {
            if (name == AsciiLower(wanted)) {
                return true;
            }
        }
    }
    return false;
}

ProcessLookup FindRunning(ProcessTable& table, std::initializer_list<std::string_view> exeNames,
                          std::optional<std::uint32_t> parent) {
    ProcessLookup lookup;
    auto entries = table.Snapshot();
    lookup.listed = entries.has_value();
    for (const auto& entry : entries.value_or(std::vector<ProcessEntry>{})) {
        const std::string name = MatchableName(entry.exePath);
        for (std::string_view wanted : exeNames) {
            if (name == AsciiLower(wanted) && (!parent || entry.parentPid == *parent)) {
                lookup.found = entry;
                return lookup;
            }
        }
    }
    return lookup;
}

void SetChildPriority(ProcessTable& table, std::uint32_t parent, std::string_view exeName,
                      int level) {
    const auto row = PriorityForLevel(level);
    const auto child = row ? FindRunning(table, {exeName}, parent).found : std::nullopt;
    if (child && child->basePriority != row->basePriority) {
        table.SetPriorityClass(child->pid, row->priorityClass);  // refusal is not reported
    }
}

TaskInfo FindTask(ProcessTable& table, std::string_view exeName) {
    TaskInfo task;
    if (auto found = FindFirst(table, AsciiLower(exeName))) {
        task.TaskProcessId = found->pid;
        task.TaskBasePriority = found->basePriority;
    }
    return task;
}

void SetTaskPriority(ProcessTable& table, std::string_view exeName, int level) {
    auto row = PriorityForLevel(level);
    if (!row) {
        return;  // an unknown level needs no look at the process list
    }
    TaskInfo task = FindTask(table, exeName);
    if (task.TaskProcessId == 0 || task.TaskBasePriority == row->basePriority) {
        return;
    }
    table.SetPriorityClass(task.TaskProcessId, row->priorityClass);  // refusal is not reported
}

}  // namespace qm
