#include "core/schedule/schedule_calculation.h"

#include <gtest/gtest.h>

#include "support/date_time_print.h"

#include <optional>
#include <string>

namespace qm {
namespace {

constexpr std::int32_t kNever = 0, kDaily = 1, kWeekly = 2, kMonthly = 3, kEvery = 4;

// A schedule from 1 November 2026; `days` are the weekly or monthly selections as the option
// needs them.
ScheduleRecord S(std::int32_t option, int hour, int minute, std::string days = "",
                 DateTime start = D(2026, 11, 1), std::optional<DateTime> end = {}) {
    ScheduleRecord r;
    r.occursOption = option;
    r.startHour = static_cast<std::int16_t>(hour);
    r.startMinute = static_cast<std::int16_t>(minute);
    (option == kWeekly ? r.weeklySelections : r.monthlySelections) = days;
    r.startDate = start;
    r.useEndDate = end.has_value();
    r.endDate = end.value_or(start);
    return r;
}

std::string Monthly(std::initializer_list<int> days) {
    std::string s(31, '0');
    for (int d : days) {
        s[static_cast<std::size_t>(d - 1)] = '1';
    }
    return s;
}

TEST(ScheduleCalculationTest, NextMoment) {
    struct Case {
        const char* name;
        ScheduleRecord r;
        DateTime now;
        std::int16_t offset;
        DateTime expected;
    };
    // 3 December 2026 is a Thursday; "0100100" is Monday and Thursday.
    const ScheduleRecord monThu = S(kWeekly, 21, 30, "0100100");
    const ScheduleRecord thuTo3rd = S(kWeekly, 21, 30, "0000100", D(2026, 11, 1), D(2026, 12, 3));
    const ScheduleRecord dailyToYearEnd = S(kDaily, 21, 30, "", D(2026, 11, 1), D(2026, 12, 31));
    const Case cases[] = {
        {"same minute", monThu, D(2026, 12, 3, 21, 30, 40), 0, D(2026, 12, 3, 21, 30)},
        {"offset", monThu, D(2026, 12, 3, 21, 30, 40), 1, D(2026, 12, 7, 21, 30)},
        {"after", monThu, D(2026, 12, 3, 21, 31), 0, D(2026, 12, 7, 21, 30)},
        {"before start", monThu, D(2026, 10, 20, 12, 0), 0, D(2026, 11, 2, 21, 30)},
        {"short text", S(kWeekly, 6, 0, "01"), D(2026, 12, 3), 0, D(2026, 12, 7, 6, 0)},
        {"end passed", thuTo3rd, D(2026, 12, 3, 21, 45), 0, D(1976, 12, 3, 21, 45)},
        {"end day", thuTo3rd, D(2026, 12, 3, 21, 0), 0, D(2026, 12, 3, 21, 30)},
        {"next after end", S(kWeekly, 21, 30, "0100000", D(2026, 11, 1), D(2026, 12, 3)),
         D(2026, 12, 2, 8, 0), 0, D(1976, 12, 2, 8, 0)},
        {"daily start", S(kDaily, 6, 0, "", D(2026, 12, 10)), D(2026, 12, 5, 12, 0), 0,
         D(2026, 12, 10, 6, 0)},
        {"daily end", dailyToYearEnd, D(2026, 12, 31, 22, 0), 0, D(1976, 12, 31, 22, 0)},
        {"daily last", dailyToYearEnd, D(2026, 12, 31, 21, 30, 59), 0, D(2026, 12, 31, 21, 30)},
        {"daily offset", dailyToYearEnd, D(2026, 12, 31, 21, 30, 59), 1, D(1976, 12, 31, 21, 30)},
        {"31 in Feb", S(kMonthly, 3, 0, Monthly({31})), D(2027, 2, 1, 10, 0), 0,
         D(2027, 3, 31, 3, 0)},
        {"31 in Apr", S(kMonthly, 3, 0, Monthly({31})), D(2027, 3, 31, 4, 0), 0,
         D(2027, 5, 31, 3, 0)},
        {"29-31", S(kMonthly, 3, 0, Monthly({29, 30, 31})), D(2027, 2, 1), 0, D(2027, 3, 29, 3, 0)},
        {"29 Feb", S(kMonthly, 3, 0, Monthly({29})), D(2028, 2, 1), 0, D(2028, 2, 29, 3, 0)},
        {"midnight", S(kWeekly, 0, 0, "0000010"), D(2026, 12, 3, 23, 59, 30), 1,
         D(2026, 12, 4, 0, 0)},
        {"year end", S(kDaily, 0, 0), D(2026, 12, 31, 23, 59, 30), 1, D(2027, 1, 1, 0, 0)},
        {"far start", S(kMonthly, 3, 0, Monthly({31}), D(2526, 12, 1)), D(2026, 12, 3), 0,
         D(2526, 12, 31, 3, 0)},
        {"calendar end", S(kMonthly, 3, 0, Monthly({30}), D(9999, 12, 31)), D(2026, 12, 3), 0,
         D(1976, 12, 3)},
        {"last day", S(kDaily, 3, 0, "", DateTime::Max()), D(2026, 12, 3), 0,
         D(9999, 12, 31, 3, 0)},
        {"never", S(kNever, 3, 0), D(2026, 12, 3, 8, 0, 5), 0, D(1976, 12, 3, 8, 0)},
    };
    for (const Case& c : cases) {
        const NextRun run = CalculateNextRun(c.r, c.now, c.offset);
        EXPECT_EQ(run.moment, c.expected) << c.name;
        // Every real run in the table lies ahead of 2026; the rest are "no run".
        EXPECT_EQ(run.exists, c.expected.Year() >= 2026) << c.name;
    }
    // An offset at the end of the calendar stays inside it.
    EXPECT_LE(CalculateNextScheduledTime(S(kDaily, 3, 0), DateTime::Max(), 1), DateTime::Max());
}

TEST(ScheduleCalculationTest, NoRunMarkerIsFiftyYearsBackToTheMinute) {
    EXPECT_EQ(NoOccurrence(D(2028, 2, 29, 1, 2, 3)), D(1978, 2, 28, 1, 2));
    EXPECT_EQ(NoOccurrence(DateTime::Min()), DateTime::Min());
    for (std::int32_t option : {-1, 5, INT32_MIN, INT32_MAX}) {  // unknown: the zero date-time
        EXPECT_EQ(CalculateNextScheduledTime(S(option, 3, 0), D(2026, 12, 3), 0), DateTime());
    }
}

TEST(ScheduleCalculationTest, NothingSelectedOrNoClockTimeMeansNoRun) {
    const DateTime now = D(2026, 12, 3, 9, 15, 30);
    const DateTime marker = D(1976, 12, 3, 9, 15);
    for (const char* weekly : {"0000000", "       ", "", "00000001", "abcdefg", "2222222"}) {
        EXPECT_EQ(CalculateNextScheduledTime(S(kWeekly, 6, 0, weekly), now, 0), marker) << weekly;
    }
    for (const std::string& monthly :
         {std::string(31, ' '), std::string(), std::string(31, '0') + "1"}) {
        EXPECT_EQ(CalculateNextScheduledTime(S(kMonthly, 6, 0, monthly), now, 0), marker);
    }
    const std::pair<int, int> times[] = {{24, 0},  {-1, 0},  {32767, 0},
                                         {10, 60}, {10, -1}, {0, 1000}};
    for (std::int32_t option : {kDaily, kWeekly, kMonthly}) {
        for (auto [hour, minute] : times) {
            const ScheduleRecord r = S(option, hour, minute, std::string(31, '1'));
            EXPECT_EQ(CalculateNextScheduledTime(r, now, 0), marker)
                << option << " " << hour << ":" << minute;
        }
    }
}

TEST(ScheduleCalculationTest, EveryAddsToTheLastScheduledTime) {
    struct Case {
        std::int32_t interval;
        std::int16_t frequency;
        DateTime last, expected;
    };
    const DateTime last = D(2026, 12, 3, 9, 14);
    const Case cases[] = {
        {1, 30, last, D(2026, 12, 3, 9, 44)},
        {0, 2, last, D(2026, 12, 3, 11, 14)},
        {7, 2, last, D(2026, 12, 3, 9, 16)},  // any non-zero unit means minutes
        {7, 2, DateTime(), D(1899, 12, 30, 0, 2)},
        {0, 32767, D(9999, 12, 1), D(9999, 12, 31, 23, 59)},
        {1, 0, last, D(1976, 12, 3, 9, 14)},  // no positive frequency: no run
        {1, -1, last, D(1976, 12, 3, 9, 14)},
        {0, -32768, last, D(1976, 12, 3, 9, 14)},
    };
    for (const Case& c : cases) {
        ScheduleRecord r = S(kEvery, 24, 0);
        r.everyInterval = c.interval;
        r.everyFrequency = c.frequency;
        r.lastScheduledTime = c.last;
        const NextRun run = CalculateNextRun(r, D(2026, 12, 3, 9, 14, 30), 0);
        EXPECT_EQ(run.moment, c.expected) << c.interval << " " << c.frequency;
        EXPECT_EQ(run.exists, c.expected.Year() >= 2026) << c.interval << " " << c.frequency;
    }
}

}  // namespace
}  // namespace qm
