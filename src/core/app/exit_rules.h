#pragma once

#include "core/common/date_time.h"

namespace qm {

// Whether the next scheduled moment has passed, judged by calendar days and then by whole
// minutes: such a moment, like the no-run marker or the zero date of a disabled scheduler,
// means there is nothing to wait for, so the program may end without asking.
inline bool NextRunHasPassed(DateTime next, DateTime now) {
    const auto days = DayDifference(now, next);
    return days < 0 || (days == 0 && MinuteDifference(now, next) < 0);
}

inline constexpr const char* kExitPrompt =
    "Are you sure you wish to exit the\r\nQuillmere program?";
inline constexpr int kExitPromptStyle = 36;  // question icon, Yes and No
inline constexpr const char* kExitPromptTitle = " Exit";

}  // namespace qm
