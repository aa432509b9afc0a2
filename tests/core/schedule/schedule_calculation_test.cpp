#include "core/schedule/schedule_calculation.h"

#include <gtest/gtest.h>

#include "support/date_time_print.h"

#include <string>

namespace qm {
namespace {

DateTime D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime::Make(y, mo, d, h, mi, s);
}

ScheduleRecord At(std::int32_t option, int hour, int minute) {
    ScheduleRecord r;
    r.occursOption = option;
    r.startHour = static_cast<std::int16_t>(hour);
    r.startMinute = static_cast<std::int16_t>(minute);
    r.startDate = D(2026, 11, 1);
    r.endDate = D(2026, 11, 1);
    return r;
}

std::string Monthly(std::initializer_list<int> days) {
    std::string s(31, '0');
    for (int d : days) {
        s[static_cast<std::size_t>(d - 1)] = '1';
    }
    return s;
}

constexpr std::int32_t kNever = 0, kDaily = 1, kWeekly = 2, kMonthly = 3, kEvery = 4;

TEST(ScheduleCalculationTest, NoOccurrenceIsFiftyYearsBackToTheMinute) {
    EXPECT_EQ(NoOccurrence(D(2026, 12, 31, 22, 0, 17)), D(1976, 12, 31, 22, 0));
    EXPECT_EQ(NoOccurrence(D(2028, 2, 29, 1, 2, 3)), D(1978, 2, 28, 1, 2));
    EXPECT_EQ(CalculateNextScheduledTime(At(kNever, 3, 0), D(2026, 12, 3, 8, 0, 5), 0),
              D(1976, 12, 3, 8, 0));
}

TEST(ScheduleCalculationTest, UnknownOptionGivesTheZeroDateTime) {
    for (std::int32_t option : {-1, 5, 1000, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(CalculateNextScheduledTime(At(option, 3, 0), D(2026, 12, 3), 0), DateTime());
    }
}

struct WeeklyCase {
    const char* name;
    DateTime now;
    std::int16_t offset;
    DateTime expected;
};

// Monday and Thursday at 21:30 from 1 November 2026; 3 December 2026 is a Thursday.
TEST(ScheduleCalculationTest, WeeklyMondayAndThursday) {
    ScheduleRecord r = At(kWeekly, 21, 30);
    r.weeklySelections = "0100100";
    const WeeklyCase cases[] = {
        {"same minute", D(2026, 12, 3, 21, 30, 40), 0, D(2026, 12, 3, 21, 30)},
        {"offset passes the minute", D(2026, 12, 3, 21, 30, 40), 1, D(2026, 12, 7, 21, 30)},
        {"a second before", D(2026, 12, 3, 21, 29, 59), 0, D(2026, 12, 3, 21, 30)},
        {"the minute after", D(2026, 12, 3, 21, 31, 0), 0, D(2026, 12, 7, 21, 30)},
        {"before the start date", D(2026, 10, 20, 12, 0, 0), 0, D(2026, 11, 2, 21, 30)},
    };
    for (const WeeklyCase& c : cases) {
        EXPECT_EQ(CalculateNextScheduledTime(r, c.now, c.offset), c.expected) << c.name;
    }
}

TEST(ScheduleCalculationTest, WeeklyWithEndDate) {
    ScheduleRecord r = At(kWeekly, 21, 30);
    r.weeklySelections = "0000100";
    r.useEndDate = true;
    r.endDate = D(2026, 12, 3);
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 3, 21, 45), 0), D(1976, 12, 3, 21, 45));
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 3, 21, 0), 0), D(2026, 12, 3, 21, 30));
    // The first qualifying day lies after the end day.
    r.weeklySelections = "0100000";
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 2, 8, 0), 0), D(1976, 12, 2, 8, 0));
}

TEST(ScheduleCalculationTest, NothingSelectedMeansNoRun) {
    const DateTime now = D(2026, 12, 3, 9, 15, 30);
    for (const char* weekly : {"0000000", "       ", "", "00000001", "abcdefg", "2222222"}) {
        ScheduleRecord r = At(kWeekly, 6, 0);
        r.weeklySelections = weekly;
        EXPECT_EQ(CalculateNextScheduledTime(r, now, 0), D(1976, 12, 3, 9, 15)) << weekly;
    }
    for (const std::string& monthly :
         {std::string(31, '0'), std::string(31, ' '), std::string(), std::string(31, '0') + "1"}) {
        ScheduleRecord r = At(kMonthly, 6, 0);
        r.monthlySelections = monthly;
        EXPECT_EQ(CalculateNextScheduledTime(r, now, 0), D(1976, 12, 3, 9, 15)) << monthly;
    }
}

TEST(ScheduleCalculationTest, ShortSelectionsCountOnlyTheirOwnDays) {
    ScheduleRecord r = At(kWeekly, 6, 0);
    r.weeklySelections = "01";  // Monday only
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 3), 0), D(2026, 12, 7, 6, 0));
}

TEST(ScheduleCalculationTest, DailyCases) {
    ScheduleRecord r = At(kDaily, 6, 0);
    r.startDate = D(2026, 12, 10);
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 5, 12, 0), 0), D(2026, 12, 10, 6, 0));

    r = At(kDaily, 21, 30);
    r.useEndDate = true;
    r.endDate = D(2026, 12, 31);
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 31, 22, 0), 0), D(1976, 12, 31, 22, 0));
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 31, 21, 30, 59), 0),
              D(2026, 12, 31, 21, 30));
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 31, 21, 30, 59), 1),
              D(1976, 12, 31, 21, 30));
}

TEST(ScheduleCalculationTest, MonthlyDaysMissingFromShortMonths) {
    ScheduleRecord r = At(kMonthly, 3, 0);
    r.monthlySelections = Monthly({31});
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2027, 2, 1, 10, 0), 0), D(2027, 3, 31, 3, 0));
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2027, 3, 31, 4, 0), 0), D(2027, 5, 31, 3, 0));
    r.monthlySelections = Monthly({29, 30, 31});
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2027, 2, 1), 0), D(2027, 3, 29, 3, 0));
    r.monthlySelections = Monthly({29});
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2028, 2, 1), 0), D(2028, 2, 29, 3, 0));
}

TEST(ScheduleCalculationTest, OffsetAcrossMidnightStartsOnTheNextDay) {
    ScheduleRecord r = At(kWeekly, 0, 0);
    r.weeklySelections = "0000010";  // Friday
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 3, 23, 59, 30), 1), D(2026, 12, 4, 0, 0));
    r = At(kDaily, 0, 0);
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 31, 23, 59, 30), 1), D(2027, 1, 1, 0, 0));
}

TEST(ScheduleCalculationTest, StartTimeThatIsNoClockTimeMeansNoRun) {
    struct Case {
        int hour, minute;
    };
    const Case cases[] = {{24, 0}, {-1, 0}, {25, 0}, {32767, 0}, {10, 60}, {10, -1}, {0, 1000}};
    const DateTime now = D(2026, 12, 3, 9, 15);
    for (std::int32_t option : {kDaily, kWeekly, kMonthly}) {
        for (const Case& c : cases) {
            ScheduleRecord r = At(option, c.hour, c.minute);
            r.weeklySelections = "1111111";
            r.monthlySelections = std::string(31, '1');
            EXPECT_EQ(CalculateNextScheduledTime(r, now, 0), D(1976, 12, 3, 9, 15))
                << option << " " << c.hour << ":" << c.minute;
        }
    }
}

TEST(ScheduleCalculationTest, EveryAddsToTheLastScheduledTime) {
    ScheduleRecord r = At(kEvery, 24, 0);
    r.lastScheduledTime = D(2026, 12, 3, 9, 14);
    r.everyInterval = 1;
    r.everyFrequency = 30;
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2030, 1, 1), 0), D(2026, 12, 3, 9, 44));
    r.everyInterval = 0;
    r.everyFrequency = 2;
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2030, 1, 1), 0), D(2026, 12, 3, 11, 14));
    r.everyInterval = 7;  // any non-zero unit means minutes
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2030, 1, 1), 0), D(2026, 12, 3, 9, 16));
    r.lastScheduledTime = DateTime();
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2030, 1, 1), 0), D(1899, 12, 30, 0, 2));
    r.everyFrequency = 32767;
    r.everyInterval = 0;
    r.lastScheduledTime = D(9999, 12, 1);
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2030, 1, 1), 0), D(9999, 12, 31, 23, 59));
}

TEST(ScheduleCalculationTest, EveryWithoutAPositiveFrequencyHasNoRun) {
    ScheduleRecord r = At(kEvery, 24, 0);
    r.lastScheduledTime = D(2026, 12, 3, 9, 14);
    for (std::int16_t frequency : {0, -1, -32768}) {
        r.everyFrequency = frequency;
        EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 3, 9, 14, 30), 0),
                  D(1976, 12, 3, 9, 14));
    }
}

TEST(ScheduleCalculationTest, FarAheadAndExtremeDates) {
    ScheduleRecord r = At(kMonthly, 3, 0);
    r.monthlySelections = Monthly({31});
    r.startDate = D(2526, 12, 1);
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 3), 0), D(2526, 12, 31, 3, 0));
    // Nothing left before the calendar ends.
    r.startDate = D(9999, 12, 31);
    r.monthlySelections = Monthly({30});
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 3), 0), D(1976, 12, 3));
    r.occursOption = kDaily;
    r.startDate = DateTime::Max();
    EXPECT_EQ(CalculateNextScheduledTime(r, D(2026, 12, 3), 0), D(9999, 12, 31, 3, 0));
    // A clock at the very start of the calendar.
    EXPECT_EQ(NoOccurrence(DateTime::Min()), DateTime::Min());
    // An offset at the end of the calendar stays inside it.
    r.startDate = D(2026, 1, 1);
    EXPECT_LE(CalculateNextScheduledTime(r, DateTime::Max(), 1), DateTime::Max());
}

}  // namespace
}  // namespace qm
