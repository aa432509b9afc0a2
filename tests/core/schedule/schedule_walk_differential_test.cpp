// The weekly and monthly search jumps straight to the later of the reference day and the
// start day. These tests hold it against the plain day-by-day walk over many generated
// schedules and moments.

#include <gtest/gtest.h>

#include "support/date_time_print.h"

#include <cstdint>
#include <random>
#include <string>

#include "core/schedule/schedule_calculation.h"

namespace qm {
namespace {

// One calendar day per step from the reference day until a day qualifies.
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
    DateTime day = reference.DatePart();
    for (int step = 0; step < 400000; ++step, day = AddDays(day, 1)) {
        const DateTime candidate = AtTime(day, s.startHour, s.startMinute);
        const std::size_t index = static_cast<std::size_t>(weekly ? day.Weekday() : day.Date().day);
        if (index <= selections.size() && selections[index - 1] == '1' &&
            MinuteDifference(reference, candidate) >= 0 &&
            DayDifference(s.startDate, candidate) >= 0) {
            return s.useEndDate && DayDifference(s.endDate, candidate) > 0
                       ? marker
                       : StripSeconds(candidate);
        }
    }
    ADD_FAILURE() << "walk did not end";
    return DateTime();
}

// A small deterministic generator: the same cases on every platform and run.
class Generator {
  public:
    explicit Generator(std::uint32_t seed) : engine_(seed) {}
    int Between(int low, int high) {  // inclusive
        return low + static_cast<int>(engine_() % static_cast<std::uint32_t>(high - low + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

    // Leans on month ends, year ends, the days around 29 February and the last minute of a day.
    DateTime Moment() {
        const int year = Chance(30) ? Between(2027, 2029) : Between(1999, 2031);
        const int kind = Between(0, 5);
        const int month = kind == 1 ? 12 : kind == 2 ? 2 : Between(1, 12);
        const int last = DaysInMonth(year, month);
        const int day = kind == 0 || kind == 1 ? last
                        : kind == 2            ? Between(27, last)
                                               : Between(1, last);
        const bool lateMinute = Chance(20);
        return D(year, month, day, lateMinute ? 23 : Between(0, 23),
                 lateMinute ? 59 : Between(0, 59), Between(0, 59));
    }

    // Nothing selected, only days some months lack, or a random mix (now and then with a blank).
    std::string Selections(int length) {
        std::string text(static_cast<std::size_t>(length), '0');
        const int mode = Between(0, 9);
        const bool lateDaysOnly = mode >= 1 && mode <= 3 && length == 31;
        const int percent = lateDaysOnly ? 50 : Between(5, 60);
        for (int i = lateDaysOnly ? 28 : 0; mode != 0 && i < length; ++i) {
            text[static_cast<std::size_t>(i)] = Chance(percent) ? '1' : '0';
        }
        if (lateDaysOnly && text.find('1') == std::string::npos) {
            text[30] = '1';
        } else if (!lateDaysOnly && Chance(5)) {
            text[static_cast<std::size_t>(Between(0, length - 1))] = ' ';
        }
        return text;
    }

  private:
    std::mt19937 engine_;
};

TEST(ScheduleWalkDifferentialTest, SearchFindsTheDayTheWalkFinds) {
    Generator g(20261203);
    constexpr int kCases = 60000;
    int runs = 0;
    for (int i = 0; i < kCases; ++i) {
        const DateTime now = g.Moment();
        ScheduleRecord s;
        s.occursOption = g.Chance(50) ? 2 : 3;
        // A third of the start times lie around the current minute.
        const DateTime at = g.Chance(33) ? AddMinutes(now, g.Between(-2, 2))
                                         : D(2000, 1, 1, g.Between(0, 23), g.Between(0, 59));
        s.startHour = static_cast<std::int16_t>(g.Chance(3) ? 24 : at.Time().hour);
        s.startMinute = static_cast<std::int16_t>(at.Time().minute);
        s.startDate = g.Chance(20)
                          ? now
                          : AddSeconds(AddDays(now, g.Between(-400, 400)), g.Between(0, 86399));
        s.useEndDate = g.Chance(40);
        s.endDate = AddDays(g.Chance(50) ? s.startDate : now, g.Between(-10, 120));
        s.weeklySelections = g.Selections(7);
        s.monthlySelections = g.Selections(31);
        const int kind = g.Between(0, 9);
        const auto offset = static_cast<std::int16_t>(kind < 4   ? 0
                                                      : kind < 8 ? 1
                                                                 : g.Between(-1500, 1500));

        const DateTime actual = CalculateNextScheduledTime(s, now, offset);
        ASSERT_EQ(actual, WalkDayByDay(s, now, offset))
            << "case " << i << " option " << s.occursOption << " now " << now.Seconds()
            << " offset " << offset << " start " << s.startDate.Seconds() << " end "
            << (s.useEndDate ? s.endDate.Seconds() : -1) << " at " << s.startHour << ":"
            << s.startMinute << " weekly " << s.weeklySelections << " monthly "
            << s.monthlySelections;
        runs += actual > now ? 1 : 0;
    }
    // The generated cases reach both outcomes in good number.
    EXPECT_GT(runs, kCases / 3);
    EXPECT_GT(kCases - runs, kCases / 6);

    // Start dates far ahead make the walk long; a few of them are enough.
    ScheduleRecord s;
    s.occursOption = 3;
    s.startHour = 3;
    s.monthlySelections = std::string(30, '0') + "1";
    for (int years : {1, 7, 40, 500}) {
        s.startDate = AddYears(D(2026, 9, 1), years);
        EXPECT_EQ(CalculateNextScheduledTime(s, D(2026, 12, 3, 10, 0), 0),
                  WalkDayByDay(s, D(2026, 12, 3, 10, 0), 0))
            << years;
    }
}

}  // namespace
}  // namespace qm
