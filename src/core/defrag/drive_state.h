#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/date_text_format.h"
#include "core/defrag/run_history.h"

namespace qm {

// What the Options dialog says beside a drive's row: its kind of disk, and its last result.
struct DriveState {
    std::string media;       // "hard disk", "solid-state", or nothing when it cannot be asked
    std::string lastResult;  // "defragmented 12/6/2026", "failed ... - reason", "never"
};

// From the seek-penalty answer: a seek penalty is a hard disk.
std::string MediaText(std::optional<bool> incursSeekPenalty);

// The drive's ("C:") newest line among the history rows (newest first): "defragmented <date>",
// "failed <date> - <reason>", "skipped <date> - <reason>", "stopped <date>"; "never" without
// one. The reason goes without its code.
std::string LastResultText(const std::vector<HistoryRow>& rows, std::string_view drive,
                           const DateTextFormat& dates);

}  // namespace qm
