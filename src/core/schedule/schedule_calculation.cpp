#include "core/schedule/schedule_calculation.h"

#include <algorithm>
#include <string_view>

namespace qm {

namespace {

// Far more than the longest gap between two selected days: a day of month that only some
// months have (the 31st) comes back within 62 days.
constexpr int kSearchDayLimit = 400;

bool IsSelected(std::string_view selections, int index) {
    return index >= 1 && static_cast<std::size_t>(index) <= selections.size() &&
           selections[static_cast<std::size_t>(index) - 1] == '1';
}

// Whether any index the calendar can produce is selected. Anything but '1' counts as not
// selected, so a text of blanks or junk yields no run instead of an endless search.
bool HasAnySelection(std::string_view selections, int indexCount) {
    for (int i = 1; i <= indexCount; ++i) {
        if (IsSelected(selections, i)) {
            return true;
        }
    }
    return false;
}

DateTime DayStart(std::int64_t dayNumber) {
    return DateTime::FromSeconds(dayNumber * DateTime::kSecondsPerDay);
}

int WeekdayOfDay(std::int64_t dayNumber) {
    const std::int64_t w = (dayNumber + 6) % 7;  // the zero date was a Saturday
    return static_cast<int>(w < 0 ? w + 7 : w) + 1;
}

NextRun Daily(const ScheduleRecord& s, DateTime now, DateTime reference) {
    DateTime candidate = AtTime(reference, s.startHour, s.startMinute);
    if (MinuteDifference(reference, candidate) < 0) {
        candidate = AddDays(candidate, 1);
    }
    candidate = std::max(candidate, AtTime(s.startDate, s.startHour, s.startMinute));
    if (s.useEndDate && DayDifference(s.endDate, candidate) > 0) {
        return {NoOccurrence(now), false};
    }
    return {candidate, true};
}

// The first day on or after the later of the reference day and the start day whose start
// time has not passed and whose weekday (weekly) or day of month (monthly) is selected.
// Starting the search at that later day, rather than walking day by day from the reference,
// keeps the cost the same however far ahead the start date lies.
NextRun WeeklyOrMonthly(const ScheduleRecord& s, DateTime now, DateTime reference, bool weekly) {
    const std::string_view selections = weekly ? s.weeklySelections : s.monthlySelections;
    const int indexCount = weekly ? static_cast<int>(kWeeklySelectionsLength)
                                  : static_cast<int>(kMonthlySelectionsLength);
    const NextRun none{NoOccurrence(now), false};
    if (!HasAnySelection(selections, indexCount)) {
        return none;
    }
    if (s.useEndDate &&
        MinuteDifference(reference, AtTime(s.endDate, s.startHour, s.startMinute)) < 0) {
        return none;
    }

    std::int64_t day = reference.DayNumber();
    if (MinuteDifference(reference, AtTime(reference, s.startHour, s.startMinute)) < 0) {
        ++day;
    }
    if (s.startDate.DayNumber() > day) {
        day = s.startDate.DayNumber();
    }

    for (int step = 0; step < kSearchDayLimit && day <= DateTime::kMaxDay; ++step, ++day) {
        const int index = weekly ? WeekdayOfDay(day) : CivilFromDays(day).day;
        if (!IsSelected(selections, index)) {
            continue;
        }
        const DateTime candidate = AtTime(DayStart(day), s.startHour, s.startMinute);
        if (s.useEndDate && DayDifference(s.endDate, candidate) > 0) {
            return none;
        }
        return {candidate, true};
    }
    // Only the end of the calendar gets here.
    return none;
}

NextRun Every(const ScheduleRecord& s, DateTime now) {
    // A frequency of zero or less would make every run due again at once, one defrag after
    // another; such a schedule has no run.
    if (s.everyFrequency <= 0) {
        return {NoOccurrence(now), false};
    }
    const DateTime moment = s.everyInterval == 0
                                ? AddHours(s.lastScheduledTime, s.everyFrequency)
                                : AddMinutes(s.lastScheduledTime, s.everyFrequency);
    // Counted from a last time never set, the moment is a day of 1899: no run.
    return {moment, !s.lastScheduledTime.IsZero()};
}

// Whether day `day` (a day number) is one on which `s` runs, by option, dates and selections.
bool RunsOnDay(const ScheduleRecord& s, std::int64_t day) {
    if (day < s.startDate.DayNumber() || (s.useEndDate && day > s.endDate.DayNumber())) {
        return false;
    }
    if (s.occursOption == static_cast<std::int32_t>(OccursOption::Daily)) {
        return true;
    }
    const bool weekly = s.occursOption == static_cast<std::int32_t>(OccursOption::Weekly);
    return IsSelected(weekly ? s.weeklySelections : s.monthlySelections,
                      weekly ? WeekdayOfDay(day) : CivilFromDays(day).day);
}

}  // namespace

std::optional<DateTime> LatestScheduledMoment(const ScheduleRecord& s, DateTime after,
                                              DateTime upTo) {
    if (upTo <= after) {
        return std::nullopt;
    }
    if (s.occursOption == static_cast<std::int32_t>(OccursOption::Every)) {
        if (s.everyFrequency <= 0 || after.IsZero()) {
            return std::nullopt;
        }
        const std::int64_t step =
            (s.everyInterval == 0 ? 3600 : 60) * std::int64_t{s.everyFrequency};
        const std::int64_t runs = (upTo.Seconds() - after.Seconds()) / step;
        return runs >= 1 ? std::optional(StripSeconds(AddSeconds(after, runs * step)))
                         : std::nullopt;
    }
    const bool byDay = s.occursOption == static_cast<std::int32_t>(OccursOption::Daily) ||
                       s.occursOption == static_cast<std::int32_t>(OccursOption::Weekly) ||
                       s.occursOption == static_cast<std::int32_t>(OccursOption::Monthly);
    if (!byDay || !HasValidStartTime(s)) {
        return std::nullopt;
    }
    // Back from the last day, down to the first day that could still lie after `after`.
    for (std::int64_t day = upTo.DayNumber(), steps = 0;
         day >= after.DayNumber() && steps < kSearchDayLimit; --day, ++steps) {
        const DateTime candidate = AtTime(DayStart(day), s.startHour, s.startMinute);
        if (candidate > upTo || candidate <= after || !RunsOnDay(s, day)) {
            continue;
        }
        return candidate;
    }
    return std::nullopt;
}

DateTime NoOccurrence(DateTime now) {
    return StripSeconds(AddYears(now, -50));
}

bool HasValidStartTime(const ScheduleRecord& s) {
    return s.startHour >= 0 && s.startHour <= 23 && s.startMinute >= 0 && s.startMinute <= 59;
}

NextRun CalculateNextRun(const ScheduleRecord& schedule, DateTime now, std::int16_t offsetMinutes) {
    const DateTime reference = AddMinutes(now, offsetMinutes);
    NextRun result;
    switch (schedule.occursOption) {
        case static_cast<std::int32_t>(OccursOption::Never):
            result = {NoOccurrence(now), false};
            break;
        case static_cast<std::int32_t>(OccursOption::Daily):
        case static_cast<std::int32_t>(OccursOption::Weekly):
        case static_cast<std::int32_t>(OccursOption::Monthly):
            // Without a real start time (24 stands for "not chosen yet") nothing is due.
            if (!HasValidStartTime(schedule)) {
                result = {NoOccurrence(now), false};
            } else if (schedule.occursOption == static_cast<std::int32_t>(OccursOption::Daily)) {
                result = Daily(schedule, now, reference);
            } else {
                result = WeeklyOrMonthly(
                    schedule, now, reference,
                    schedule.occursOption == static_cast<std::int32_t>(OccursOption::Weekly));
            }
            break;
        case static_cast<std::int32_t>(OccursOption::Every):
            result = Every(schedule, now);
            break;
        default:
            result = {DateTime(), false};
            break;
    }
    result.moment = StripSeconds(result.moment);
    return result;
}

}  // namespace qm
