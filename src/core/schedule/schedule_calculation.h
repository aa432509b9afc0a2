#pragma once

#include <cstdint>
#include <optional>

#include "core/common/date_time.h"
#include "core/schedule/schedule_record.h"

namespace qm {

// The next run of a schedule: whether there is one, and the moment to show. A schedule without
// a run still gets a moment, the one people and older settings know: NoOccurrence(now), 50
// years back, or the zero date-time for an unknown option. Only `exists` says whether to run,
// so no change of the clock can turn "no run" into a run.
struct NextRun {
    DateTime moment;
    bool exists{};
};

// The next run of `schedule`, looking from `now` plus `offsetMinutes` (callers pass 1 after a
// run so the minute just served is not found again), to the minute. An Every schedule's run
// may lie in the past (it is due at once); one counted from a last time never set has none.
// Pure: reads only its arguments.
NextRun CalculateNextRun(const ScheduleRecord& schedule, DateTime now, std::int16_t offsetMinutes);

// The moment of CalculateNextRun, as the status texts and the editor's warning read it.
inline DateTime CalculateNextScheduledTime(const ScheduleRecord& schedule, DateTime now,
                                           std::int16_t offsetMinutes) {
    return CalculateNextRun(schedule, now, offsetMinutes).moment;
}

// The latest moment at which `schedule` was due in (`after`, `upTo`], by the same rules as the
// next one (start time, start and end dates, selected days); nothing when there is none. For
// Every, the last of the runs counted from `after`.
std::optional<DateTime> LatestScheduledMoment(const ScheduleRecord& schedule, DateTime after,
                                              DateTime upTo);

// The "no future run" result: `now` moved back 50 calendar years, seconds dropped.
DateTime NoOccurrence(DateTime now);

// Whether the start time of the record is a real clock time (hour 0-23, minute 0-59).
bool HasValidStartTime(const ScheduleRecord& schedule);

}  // namespace qm
