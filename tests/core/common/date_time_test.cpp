#include "core/common/date_time.h"

#include <gtest/gtest.h>

#include "support/date_time_print.h"

#include <cstdint>
#include <functional>
#include <limits>

namespace qm {
namespace {

TEST(DateTimeTest, ZeroAndRangeEnds) {
    EXPECT_EQ(D(1899, 12, 30), DateTime());
    EXPECT_TRUE(DateTime().IsZero());
    EXPECT_EQ(DaysFromCivil(100, 1, 1), DateTime::kMinDay);
    EXPECT_EQ(DateTime::Max(), D(9999, 12, 31, 23, 59, 59));
    // Weekdays count from Sunday = 1.
    const std::pair<DateTime, int> weekdays[] = {{DateTime(), 7},     {D(2026, 12, 3), 5},
                                                 {D(2026, 12, 6), 1}, {D(2026, 12, 7), 2},
                                                 {D(100, 1, 1), 6},   {D(9999, 12, 31), 6}};
    for (auto [t, weekday] : weekdays) {
        EXPECT_EQ(t.Weekday(), weekday) << t.Seconds();
    }
}

TEST(DateTimeTest, CivilRoundTripOverTheWholeRange) {
    for (std::int64_t day = DateTime::kMinDay; day <= DateTime::kMaxDay; day += 1) {
        const CivilDate c = CivilFromDays(day);
        ASSERT_EQ(DaysFromCivil(c.year, c.month, c.day), day);
        ASSERT_GE(c.day, 1);
        ASSERT_LE(c.day, DaysInMonth(c.year, c.month));
    }
}

TEST(DateTimeTest, FromPartsRejectsImpossibleValues) {
    struct Case {
        int y, mo, d, h, mi, s;
    };
    const Case bad[] = {{2026, 2, 29, 0, 0, 0}, {2026, 4, 31, 0, 0, 0}, {2026, 13, 1, 0, 0, 0},
                        {2026, 0, 1, 0, 0, 0},  {2026, 1, 0, 0, 0, 0},  {2026, 1, 1, 24, 0, 0},
                        {2026, 1, 1, 0, 60, 0}, {2026, 1, 1, 0, 0, 60}, {99, 12, 31, 0, 0, 0},
                        {10000, 1, 1, 0, 0, 0}, {1900, 2, 29, 0, 0, 0}, {2026, 1, 1, -1, 0, 0}};
    for (const Case& c : bad) {
        EXPECT_FALSE(DateTime::FromParts(c.y, c.mo, c.d, c.h, c.mi, c.s))
            << c.y << "-" << c.mo << "-" << c.d << " " << c.h << ":" << c.mi << ":" << c.s;
    }
    EXPECT_TRUE(DateTime::FromParts(2000, 2, 29));
    EXPECT_TRUE(DateTime::FromParts(2028, 2, 29, 23, 59, 59));
}

TEST(DateTimeTest, PartsOfMomentsBeforeTheZeroDate) {
    const DateTime t = D(1899, 12, 29, 18, 0, 1);
    EXPECT_EQ(t.Date(), (CivilDate{1899, 12, 29}));
    EXPECT_EQ(t.Time(), (ClockTime{18, 0, 1}));
    EXPECT_EQ(t.DatePart(), D(1899, 12, 29));
    EXPECT_EQ(StripSeconds(t), D(1899, 12, 29, 18, 0, 0));
    EXPECT_EQ(AtTime(t, 6, 0), D(1899, 12, 29, 6, 0));
}

TEST(DateTimeTest, Differences) {
    struct Case {
        std::function<std::int64_t(DateTime, DateTime)> difference;
        DateTime from, to;
        std::int64_t expected;
    };
    const Case cases[] = {
        // Days count midnights passed.
        {DayDifference, D(2026, 12, 3, 23, 59, 59), D(2026, 12, 4), 1},
        {DayDifference, D(2026, 12, 4), D(2026, 12, 3, 23, 59, 59), -1},
        {DayDifference, D(2026, 12, 3), D(2026, 12, 3, 23, 59, 59), 0},
        {DayDifference, D(2028, 2, 28), D(2028, 3, 1), 2},
        {DayDifference, DateTime(), D(1899, 12, 29, 23), -1},
        // Minutes drop the seconds first.
        {MinuteDifference, D(2026, 12, 3, 21, 30, 40), D(2026, 12, 3, 21, 30, 0), 0},
        {MinuteDifference, D(2026, 12, 3, 21, 30, 59), D(2026, 12, 3, 21, 31, 0), 1},
        {MinuteDifference, D(2026, 12, 3, 21, 31, 0), D(2026, 12, 3, 21, 30, 59), -1},
        {MinuteDifference, D(2026, 12, 31, 23, 59, 30), D(2027, 1, 1, 0, 0, 10), 1},
        {MinuteDifference, D(1899, 12, 29, 23, 59, 30), DateTime(), 1},
        {YearDifference, D(2026, 12, 31, 23, 59), D(2027, 1, 1), 1},
        {YearDifference, D(2026, 1, 1), D(1976, 12, 31), -50}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.difference(c.from, c.to), c.expected) << (&c - cases);
    }
}

TEST(DateTimeTest, Adding) {
    const DateTime t = D(2026, 12, 31, 23, 59, 30);
    EXPECT_EQ(AddMinutes(t, 1), D(2027, 1, 1, 0, 0, 30));
    EXPECT_EQ(AddHours(t, -24), D(2026, 12, 30, 23, 59, 30));
    EXPECT_EQ(AddDays(t, 60), D(2027, 3, 1, 23, 59, 30));
    EXPECT_EQ(AddSeconds(t, 30), D(2027, 1, 1));
    // Years keep month and day, 29 February becoming the 28th.
    struct Case {
        DateTime from;
        std::int64_t years;
        DateTime expected;
    };
    const Case cases[] = {{D(2028, 2, 29, 10, 0, 5), 1, D(2029, 2, 28, 10, 0, 5)},
                          {D(2028, 2, 29), 4, D(2032, 2, 29)},
                          {D(2028, 2, 29), -50, D(1978, 2, 28)},
                          {D(2000, 2, 29), -100, D(1900, 2, 28)}};
    for (const Case& c : cases) {
        EXPECT_EQ(AddYears(c.from, c.years), c.expected) << c.years;
    }
}

TEST(DateTimeTest, ArithmeticClampsToTheRangeInsteadOfOverflowing) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const DateTime t = D(2026, 6, 1);
    EXPECT_EQ(AddSeconds(t, kMax), DateTime::Max());
    EXPECT_EQ(AddMinutes(t, kMax), DateTime::Max());
    EXPECT_EQ(AddHours(t, kMin), DateTime::Min());
    EXPECT_EQ(AddDays(t, kMin), DateTime::Min());
    EXPECT_EQ(AddYears(t, kMax), DateTime::Max());
    EXPECT_EQ(AddYears(t, kMin), DateTime::Min());
    EXPECT_EQ(AddYears(D(120, 5, 5), -50), DateTime::Min());
    EXPECT_EQ(AddDays(DateTime::Max(), 1), DateTime::Max());
    EXPECT_EQ(DateTime::FromSeconds(kMax), DateTime::Max());
    EXPECT_EQ(DateTime::FromSeconds(kMin), DateTime::Min());
    EXPECT_EQ(StripSeconds(DateTime::Max()), D(9999, 12, 31, 23, 59, 0));
}

}  // namespace
}  // namespace qm
