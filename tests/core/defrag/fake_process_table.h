#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/defrag/process_table.h"

namespace qm::test {

// A process list the test writes; records every priority change the code asks for.
class FakeProcessTable final : public ProcessTable {
  public:
    struct PriorityCall {
        std::uint32_t pid;
        std::uint32_t priorityClass;
        friend bool operator==(const PriorityCall&, const PriorityCall&) = default;
    };

    std::vector<ProcessEntry> entries;
    bool snapshotFails = false;
    int snapshots = 0;
    std::vector<PriorityCall> priorityCalls;

    void Add(std::uint32_t pid, std::string exePath, std::int32_t basePriority = 8) {
        entries.push_back({pid, std::move(exePath), basePriority});
    }

    std::optional<std::vector<ProcessEntry>> Snapshot() override {
        ++snapshots;
        if (snapshotFails) {
            return std::nullopt;
        }
        return entries;
    }
    bool SetPriorityClass(std::uint32_t pid, std::uint32_t priorityClass) override {
        priorityCalls.push_back({pid, priorityClass});
        return true;
    }
};

}  // namespace qm::test
