// Date-times, their arithmetic, rounding, and the dates as the settings store writes them.

#include "core/common/date_time.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/common/date_text_format.h"
#include "core/common/rounding.h"
#include "support/fakes.h"

namespace qm {
namespace {

TEST(DateTimeTest, ZeroRangeEndsWeekdaysAndPartsOfMomentsBeforeTheZeroDate) {
    EXPECT_TRUE(D(1899, 12, 30).IsZero() && D(2026, 2, 30).IsZero());
    EXPECT_EQ(DaysFromCivil(100, 1, 1), DateTime::kMinDay);
    EXPECT_EQ(DateTime::Max(), D(9999, 12, 31, 23, 59, 59));
    // Weekdays count from Sunday = 1.
    const std::pair<DateTime, int> weekdays[] = {
        {DateTime(), 7}, {D(2026, 12, 3), 5}, {D(2026, 12, 6), 1}, {D(100, 1, 1), 6}};
    for (auto [t, weekday] : weekdays) {
        EXPECT_EQ(t.Weekday(), weekday) << t.Seconds();
    }
    const DateTime t = D(1899, 12, 29, 18, 0, 1);
    EXPECT_EQ(std::pair(t.Date(), t.Time()),
              std::pair(CivilDate{1899, 12, 29}, ClockTime{18, 0, 1}));
    EXPECT_EQ(StripSeconds(t), D(1899, 12, 29, 18, 0, 0));
    EXPECT_EQ(AtTime(t, 6, 0), D(1899, 12, 29, 6, 0));
}

TEST(DateTimeTest, CivilRoundTripOverTheWholeRange) {
    for (std::int64_t day = DateTime::kMinDay; day <= DateTime::kMaxDay; day += 1) {
        const CivilDate c = CivilFromDays(day);
        ASSERT_EQ(DaysFromCivil(c.year, c.month, c.day), day);
        ASSERT_GE(c.day, 1);
        ASSERT_LE(c.day, DaysInMonth(c.year, c.month));
    }
}

TEST(DateTimeTest, FromPartsKnowsTheLengthOfEveryMonthAndRejectsTheRest) {
    int month = 0;  // each month of 2026 to its last day, and not a day further
    for (const int last : {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}) {
        EXPECT_TRUE(DateTime::FromParts(2026, ++month, last, 0, 0, 0)) << month;
        EXPECT_FALSE(DateTime::FromParts(2026, month, last + 1, 0, 0, 0)) << month;
    }
    EXPECT_TRUE(DateTime::FromParts(2000, 2, 29, 0, 0, 0));
    EXPECT_TRUE(DateTime::FromParts(2028, 2, 29, 23, 59, 59));
    const std::array<int, 6> bad[] = {{2026, 13, 1, 0, 0, 0}, {2026, 0, 1, 0, 0, 0},
                                      {2026, 1, 0, 0, 0, 0},  {2026, 1, 1, 24, 0, 0},
                                      {2026, 1, 1, 0, 60, 0}, {2026, 1, 1, 0, 0, 60},
                                      {99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0},
                                      {1900, 2, 29, 0, 0, 0}, {2026, 1, 1, -1, 0, 0}};
    for (const auto& parts : bad) {
        EXPECT_FALSE(std::apply(DateTime::FromParts, parts)) << testing::PrintToString(parts);
    }
}

TEST(DateTimeTest, DifferencesAndAdditionsClampedToTheRange) {
    // Days count midnights passed; minutes drop the seconds first.
    EXPECT_EQ(DayDifference(D(2026, 12, 3, 23, 59, 59), D(2026, 12, 4)), 1);
    EXPECT_EQ(DayDifference(D(2026, 12, 3), D(2026, 12, 3, 23, 59, 59)), 0);
    EXPECT_EQ(DayDifference(DateTime(), D(1899, 12, 29, 23)), -1);
    EXPECT_EQ(MinuteDifference(D(2026, 12, 3, 21, 30, 40), D(2026, 12, 3, 21, 30, 0)), 0);
    EXPECT_EQ(MinuteDifference(D(2026, 12, 3, 21, 30, 59), D(2026, 12, 3, 21, 31, 0)), 1);
    EXPECT_EQ(MinuteDifference(D(2026, 12, 3, 21, 31, 0), D(2026, 12, 3, 21, 30, 59)), -1);
    EXPECT_EQ(MinuteDifference(D(1899, 12, 29, 23, 59, 30), DateTime()), 1);
    EXPECT_EQ(YearDifference(D(2026, 12, 31, 23, 59), D(2027, 1, 1)), 1);
    EXPECT_EQ(YearDifference(D(2026, 1, 1), D(1976, 12, 31)), -50);
    const DateTime t = D(2026, 12, 31, 23, 59, 30);
    EXPECT_EQ(std::tuple(AddMinutes(t, 1), AddHours(t, -24), AddDays(t, 60), AddSeconds(t, 30)),
              std::tuple(D(2027, 1, 1, 0, 0, 30), D(2026, 12, 30, 23, 59, 30),
                         D(2027, 3, 1, 23, 59, 30), D(2027, 1, 1)));
    // Years keep month and day, 29 February becoming the 28th.
    EXPECT_EQ(AddYears(D(2028, 2, 29, 10, 0, 5), 1), D(2029, 2, 28, 10, 0, 5));
    EXPECT_EQ(AddYears(D(2028, 2, 29), 4), D(2032, 2, 29));
    EXPECT_EQ(AddYears(D(2000, 2, 29), -100), D(1900, 2, 28));
    constexpr std::int64_t kMax = INT64_MAX, kMin = INT64_MIN;
    const auto max = DateTime::Max(), min = DateTime::Min();
    EXPECT_EQ(std::tuple(AddSeconds(t, kMax), AddMinutes(t, kMax), AddYears(t, kMax)),
              std::tuple(max, max, max));
    EXPECT_EQ(std::tuple(AddHours(t, kMin), AddDays(t, kMin), AddYears(t, kMin)),
              std::tuple(min, min, min));
    EXPECT_EQ(std::pair(AddYears(D(120, 5, 5), -20), AddYears(D(120, 5, 5), -21)),
              std::pair(D(100, 5, 5), min));
    EXPECT_EQ(std::pair(AddYears(t, 7973), AddYears(t, 7974)),
              std::pair(D(9999, 12, 31, 23, 59, 30), max));
    EXPECT_EQ(DateTime::FromSeconds(kMin), min);
    EXPECT_EQ(StripSeconds(DateTime::Max()), D(9999, 12, 31, 23, 59, 0));
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNumber) {
    const std::pair<double, double> cases[] = {{1.5, 2},    {2.5, 2},    {-1.5, -2}, {-2.5, -2},
                                               {2.4999, 2}, {2.5001, 3}, {-2.6, -3}};
    for (auto [in, out] : cases) {
        EXPECT_EQ(RoundHalfEven(in), out) << in;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

TEST(UsDateTextFormatTest, WritesAndReadsBack) {
    const UsDateTextFormat f;
    EXPECT_EQ(f.FormatShortDate(D(2026, 12, 5)) + " " + f.FormatTime(D(2026, 12, 5, 13, 4, 5)),
              "12/5/2026 1:04:05 PM");
    EXPECT_EQ(f.FormatTime(D(2026, 12, 5, 0, 0, 0)), "12:00:00 AM");
    EXPECT_EQ(f.FormatTime(D(2026, 12, 5, 12, 0, 20)), "12:00:20 PM");
    for (const DateTime t : {D(100, 1, 1, 0, 0, 1), D(9999, 12, 31, 23, 59, 59)}) {
        EXPECT_EQ(f.ParseDateText(f.FormatShortDate(t) + " " + f.FormatTime(t)), t);
    }
    const std::pair<const char*, DateTime> cases[] = {
        {" 02/29/2028 ", D(2028, 2, 29)},
        {"12/5/2026 12:30 pm", D(2026, 12, 5, 12, 30)},
        {"12/5/2026 21:30", D(2026, 12, 5, 21, 30)},
        {"1/2/29", D(2029, 1, 2)},
        {"1/2/30", D(1930, 1, 2)}};
    for (auto [text, expected] : cases) {
        EXPECT_EQ(f.ParseDateText(text), expected) << text;
    }
    for (const char* text :
         {"", "2/29/2027", "12/5", "12/5/20261", "12/5/2026x", "12/5/2026 13:00 PM",
          "12/5/2026 0:10 AM", "12/5/2026 1:00:00 XM", "1//2026", "1/012/2026",
          "12/5/2026 1:", "12/5/2026 1:00:", "999999999999/1/1", "012/5/2026"}) {
        EXPECT_FALSE(f.ParseDateText(text)) << text;
    }
}

}  // namespace
}  // namespace qm
