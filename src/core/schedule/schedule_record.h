#pragma once

#include <cstdint>
#include <string>

#include "core/common/date_time.h"

namespace qm {

// How often the schedule runs. Stored as a plain 32-bit number, so a record may hold any
// value; the calculation treats unknown ones as "no run".
enum class OccursOption : std::int32_t { Never = 0, Daily = 1, Weekly = 2, Monthly = 3, Every = 4 };

inline constexpr std::size_t kWeeklySelectionsLength = 7;
inline constexpr std::size_t kMonthlySelectionsLength = 31;

// The one schedule of the program. The scheduler component, the schedule editor and the
// settings load and save all work on the same instance (see ScheduleModule).
struct ScheduleRecord {
    std::int32_t occursOption{};
    std::int16_t everyFrequency = 1;
    // 0: EveryFrequency counts hours; any other value: minutes.
    std::int32_t everyInterval{};
    // 24 means no start time chosen yet.
    std::int16_t startHour = 24;
    std::int16_t startMinute{};
    DateTime startDate;
    DateTime endDate;
    bool useEndDate{};
    // Character i (from 0) is '1' when weekday i + 1 is selected (Sunday first).
    std::string weeklySelections = std::string(kWeeklySelectionsLength, '0');
    // Character d (from 0) is '1' when day-of-month d + 1 is selected.
    std::string monthlySelections = std::string(kMonthlySelectionsLength, '0');
    // The moment of the scheduler's last reset, to the minute.
    DateTime lastScheduledTime;
    // Caption of the schedule editor.
    std::string title;
};

}  // namespace qm
