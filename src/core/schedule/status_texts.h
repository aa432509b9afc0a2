#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/common/date_time.h"

namespace qm {

// The two status lines shown over the tray icon. They use fixed English formats whatever
// the regional settings: month/day/year, a 12-hour clock with seconds, English day names.

// "Monday, 12/7/2026".
std::string DayText(DateTime moment);
// "Midnight", "Noon", or "9:30:00 PM".
std::string TimeText(DateTime moment);

// " Last Defrag  - Today at 8:15:42 AM " and its variants; the zero date-time means never.
std::string LastDefragText(DateTime lastDefrag, DateTime now);
// " Next Defrag - Tomorrow at Midnight " and its variants; a moment before the current
// minute (the no-run marker, the zero date-time) reads "No scheduled times".
std::string NextDefragText(DateTime nextScheduled, DateTime now);

// The status with a third line naming what went wrong in the last run, when something did.
std::string WithRunProblem(std::string status, std::string_view problem);

// Hands the last-defrag line, CR LF and the next-defrag line to `setBalloon`.
void UpdateNextDefragStatus(DateTime nextScheduled, DateTime lastDefrag, DateTime now,
                            const std::function<void(std::string_view)>& setBalloon);

}  // namespace qm
