#pragma once

#include <cstdint>
#include <string_view>

#include "core/defrag/process_table.h"

namespace qm::win {

// The system's process list through a tool-help snapshot, taken afresh on every call.
class ToolhelpProcessTable final : public ProcessTable {
  public:
    std::optional<std::vector<ProcessEntry>> Snapshot() override;
    bool SetPriorityClass(std::uint32_t pid, std::uint32_t priorityClass) override;
};

// The program's process watch on the real process list.
std::uint32_t FindProcessId(std::string_view exeName);
void SetTaskPriority(std::string_view exeName, int level);

}  // namespace qm::win
