#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// One row of the system's process list, as far as the program cares about it.
struct ProcessEntry {
    std::uint32_t pid{};
    std::string exePath;  // as the list reports it: a bare file name or a full path
    std::int32_t basePriority{};
    std::uint32_t parentPid{};  // who started it, as the list remembers
};

// The system's list of running processes and the one thing the program does to them.
// Every Snapshot() call reads the list afresh; nothing is cached.
class ProcessTable {
  public:
    virtual ~ProcessTable() = default;

    // The processes in the system's own order, or nothing when the list cannot be taken.
    virtual std::optional<std::vector<ProcessEntry>> Snapshot() = 0;

    // Sets the priority class (the system's class value, e.g. 0x80 for high) of a process.
    // Returns false when the process cannot be opened or changed.
    virtual bool SetPriorityClass(std::uint32_t pid, std::uint32_t priorityClass) = 0;
};

}  // namespace qm
