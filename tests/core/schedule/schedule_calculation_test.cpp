#include "core/schedule/schedule_calculation.h"

#include <gtest/gtest.h>

#include <random>

#include "support/fakes.h"

namespace qm {
namespace {

constexpr std::int32_t kNever = 0, kDaily = 1, kWeekly = 2, kMonthly = 3, kEvery = 4;

// A schedule from 1 November 2026; `days` are the weekly or monthly selections as the option
// needs them.
ScheduleRecord S(std::int32_t option, std::int16_t hour, std::int16_t minute, std::string days = "",
                 DateTime start = D(2026, 11, 1), std::optional<DateTime> end = {}) {
    ScheduleRecord r;
    std::tie(r.occursOption, r.startHour, r.startMinute) = std::tuple(option, hour, minute);
    std::tie(r.startDate, r.endDate, r.useEndDate) = std::tuple(start, end.value_or(start), !!end);
    (option == kWeekly ? r.weeklySelections : r.monthlySelections) = days;
    return r;
}

// Monthly on the `day`th.
std::string On(int day) {
    return std::string(static_cast<std::size_t>(day - 1), '0') + "1";
}

TEST(ScheduleCalculationTest, NextMoment) {
    // 3 December 2026 is a Thursday. (How a week or a month is searched the walk below checks.)
    const ScheduleRecord dailyToYearEnd = S(kDaily, 21, 30, "", D(2026, 11, 1), D(2026, 12, 31));
    const std::tuple<const char*, ScheduleRecord, DateTime, std::int16_t, DateTime> cases[] = {
        {"short text", S(kWeekly, 6, 0, "01"), D(2026, 12, 3), 0, D(2026, 12, 7, 6, 0)},
        {"daily start", S(kDaily, 6, 0, "", D(2026, 12, 10)), D(2026, 12, 5, 12, 0), 0,
         D(2026, 12, 10, 6, 0)},
        {"daily end", dailyToYearEnd, D(2026, 12, 31, 22, 0), 0, D(1976, 12, 31, 22, 0)},
        {"daily last", dailyToYearEnd, D(2026, 12, 31, 21, 30, 59), 0, D(2026, 12, 31, 21, 30)},
        {"daily offset", dailyToYearEnd, D(2026, 12, 31, 21, 30, 59), 1, D(1976, 12, 31, 21, 30)},
        {"year end", S(kDaily, 0, 0), D(2026, 12, 31, 23, 59, 30), 1, D(2027, 1, 1, 0, 0)},
        {"far start", S(kMonthly, 3, 0, On(31), D(2526, 12, 1)), D(2026, 12, 3), 0,
         D(2526, 12, 31, 3, 0)},
        {"calendar end", S(kMonthly, 3, 0, On(30), D(9999, 12, 31)), D(2026, 12, 3), 0,
         D(1976, 12, 3)},
        {"last day", S(kDaily, 3, 0, "", DateTime::Max()), D(2026, 12, 3), 0,
         D(9999, 12, 31, 3, 0)},
        {"never", S(kNever, 3, 0), D(2026, 12, 3, 8, 0, 5), 0, D(1976, 12, 3, 8, 0)},
    };
    for (const auto& [name, r, now, offset, expected] : cases) {
        const NextRun run = CalculateNextRun(r, now, offset);
        // Every real run in the table lies ahead of 2026; the rest are "no run".
        EXPECT_EQ(std::pair(run.moment, run.exists), std::pair(expected, expected.Year() >= 2026))
            << name;
    }
    // Weekdays before the zero date, and an offset at the end of the calendar.
    EXPECT_EQ(
        CalculateNextScheduledTime(S(kWeekly, 6, 0, "0100000", D(1800, 1, 1)), D(1850, 6, 5), 0),
        D(1850, 6, 10, 6, 0));
    EXPECT_LE(CalculateNextScheduledTime(S(kDaily, 3, 0), DateTime::Max(), 1), DateTime::Max());
}

TEST(ScheduleCalculationTest, NoRunMarkerIsFiftyYearsBackToTheMinute) {
    EXPECT_EQ(NoOccurrence(D(2028, 2, 29, 1, 2, 3)), D(1978, 2, 28, 1, 2));
    EXPECT_EQ(NoOccurrence(DateTime::Min()), DateTime::Min());
    for (std::int32_t option : {-1, 5, INT32_MIN, INT32_MAX}) {  // unknown: the zero date-time
        EXPECT_EQ(CalculateNextScheduledTime(S(option, 3, 0), D(2026, 12, 3), 0), DateTime());
    }
    // Nothing selected, or no clock time.
    const DateTime now = D(2026, 12, 3, 9, 15, 30);
    const DateTime marker = D(1976, 12, 3, 9, 15);
    for (const char* weekly : {"0000000", "", "00000001", "2222222"}) {
        EXPECT_EQ(CalculateNextScheduledTime(S(kWeekly, 6, 0, weekly), now, 0), marker) << weekly;
    }
    for (const std::string& monthly : {std::string(31, ' '), std::string(), On(32)}) {
        EXPECT_EQ(CalculateNextScheduledTime(S(kMonthly, 6, 0, monthly), now, 0), marker);
    }
    for (std::int32_t option : {kDaily, kWeekly, kMonthly}) {
        for (auto [hour, minute] : {std::pair{24, 0}, {-1, 0}, {10, 60}, {10, -1}}) {
            const ScheduleRecord r = S(option, hour, minute, std::string(31, '1'));
            EXPECT_EQ(CalculateNextScheduledTime(r, now, 0), marker)
                << option << " " << hour << ":" << minute;
        }
    }
}

TEST(ScheduleCalculationTest, EveryAddsToTheLastScheduledTime) {
    const DateTime last = D(2026, 12, 3, 9, 14);
    // The unit (0: hours), the count, the last scheduled time, the next run.
    const std::tuple<std::int32_t, std::int16_t, DateTime, DateTime> cases[] = {
        {1, 30, last, D(2026, 12, 3, 9, 44)},
        {0, 2, last, D(2026, 12, 3, 11, 14)},
        {7, 2, last, D(2026, 12, 3, 9, 16)},  // any non-zero unit means minutes
        {7, 2, DateTime(), D(1899, 12, 30, 0, 2)},
        {0, 32767, D(9999, 12, 1), D(9999, 12, 31, 23, 59)},
        {1, 0, last, D(1976, 12, 3, 9, 14)},  // no positive count: no run
        {0, -32768, last, D(1976, 12, 3, 9, 14)}};
    for (const auto& [interval, frequency, previous, expected] : cases) {
        ScheduleRecord r;
        std::tie(r.occursOption, r.everyFrequency, r.everyInterval, r.lastScheduledTime) =
            std::tuple(kEvery, frequency, interval, previous);
        const NextRun run = CalculateNextRun(r, D(2026, 12, 3, 9, 14, 30), 0);
        EXPECT_EQ(std::pair(run.moment, run.exists), std::pair(expected, expected.Year() >= 2026))
            << interval << " " << frequency;
    }
}

// The weekly and monthly search jumps straight to the later of the reference day and the
// start day; the test below holds it against this plain walk, one day per step.
DateTime WalkDayByDay(const ScheduleRecord& s, DateTime now, std::int16_t offset) {
    const DateTime reference = AddMinutes(now, offset);
    const DateTime marker = StripSeconds(AddYears(now, -50));
    const bool weekly = s.occursOption == 2;
    const std::string& selections = weekly ? s.weeklySelections : s.monthlySelections;
    if (s.startHour < 0 || s.startHour > 23 || s.startMinute < 0 || s.startMinute > 59 ||
        selections.substr(0, weekly ? 7 : 31).find('1') == std::string::npos ||
        (s.useEndDate &&
         MinuteDifference(reference, AtTime(s.endDate, s.startHour, s.startMinute)) < 0)) {
        return marker;
    }
    for (DateTime day = reference.DatePart();; day = AddDays(day, 1)) {
        const DateTime candidate = AtTime(day, s.startHour, s.startMinute);
        const std::size_t index = static_cast<std::size_t>(weekly ? day.Weekday() : day.Date().day);
        if (index <= selections.size() && selections[index - 1] == '1' &&
            MinuteDifference(reference, candidate) >= 0 &&
            DayDifference(s.startDate, candidate) >= 0) {
            return s.useEndDate && DayDifference(s.endDate, candidate) > 0 ? marker : candidate;
        }
    }
}

TEST(ScheduleCalculationTest, WeeklyAndMonthlySearchFindsTheDayAPlainWalkFinds) {
    std::mt19937 engine(20261203);                    // the same cases on every platform and run
    const auto pick = [&engine](int low, int high) {  // inclusive
        return low + static_cast<int>(engine() % static_cast<std::uint32_t>(high - low + 1));
    };
    // Nothing selected, only days some months lack, or a random mix, now and then with a blank.
    const auto selections = [&pick](int length) {
        const int mode = pick(0, 9), from = mode <= 3 && length == 31 ? 28 : 0;
        std::string text(static_cast<std::size_t>(length), '0');
        for (int i = from; mode != 0 && i < length; ++i) {
            text[static_cast<std::size_t>(i)] = pick(0, 1) ? '1' : pick(0, 20) ? '0' : ' ';
        }
        return text;
    };
    for (int i = 0; i < 60000; ++i) {
        // Leans on month ends, year ends, the days around 29 February and a day's last minute.
        const int year = pick(0, 2) ? pick(1999, 2031) : pick(2027, 2029);
        const int month = pick(0, 2) ? pick(1, 12) : pick(0, 1) ? 2 : 12;
        const int day = pick(0, 1) ? DaysInMonth(year, month) - pick(0, 2) : pick(1, 28);
        const bool late = pick(0, 4) == 0;
        const DateTime now =
            D(year, month, day, late ? 23 : pick(0, 23), late ? 59 : pick(0, 59), pick(0, 59));
        ScheduleRecord s;
        s.occursOption = pick(2, 3);
        // A third of the start times lie around the current minute.
        const DateTime at =
            pick(0, 2) ? D(2000, 1, 1, pick(0, 23), pick(0, 59)) : AddMinutes(now, pick(-2, 2));
        s.startHour = static_cast<std::int16_t>(pick(0, 32) ? at.Time().hour : 24);
        s.startMinute = static_cast<std::int16_t>(at.Time().minute);
        s.startDate = pick(0, 4) ? AddSeconds(AddDays(now, pick(-400, 400)), pick(0, 86399)) : now;
        s.useEndDate = pick(0, 4) < 2;
        s.endDate = AddDays(pick(0, 1) ? s.startDate : now, pick(-10, 120));
        s.weeklySelections = selections(7);
        s.monthlySelections = selections(31);
        const auto offset = static_cast<std::int16_t>(pick(0, 4) ? pick(0, 1) : pick(-1500, 1500));

        ASSERT_EQ(CalculateNextScheduledTime(s, now, offset), WalkDayByDay(s, now, offset))
            << "case " << i;  // the same each run
    }
}

}  // namespace
}  // namespace qm
