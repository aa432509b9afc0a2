#pragma once

#include <cstdint>

#include "core/common/date_time.h"
#include "core/schedule/schedule_record.h"

namespace qm {

// The next moment at which `schedule` is due, looking from `now` plus `offsetMinutes`
// (callers pass 1 after a run so the minute just served is not found again). The result is
// to the minute. When the schedule has no future run the result is NoOccurrence(now), which
// lies 50 years back; an unknown OccursOption gives the zero date-time. Pure: reads only its
// arguments.
DateTime CalculateNextScheduledTime(const ScheduleRecord& schedule, DateTime now,
                                    std::int16_t offsetMinutes);

// The "no future run" result: `now` moved back 50 calendar years, seconds dropped.
DateTime NoOccurrence(DateTime now);

// Whether the start time of the record is a real clock time (hour 0-23, minute 0-59).
bool HasValidStartTime(const ScheduleRecord& schedule);

}  // namespace qm
