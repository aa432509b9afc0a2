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

DateTime D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime::Make(y, mo, d, h, mi, s);
}

// One calendar day per step from the reference day until a day qualifies.
DateTime WalkDayByDay(const ScheduleRecord& s, DateTime now, std::int16_t offset) {
    const DateTime reference = AddMinutes(now, offset);
    const DateTime marker = StripSeconds(AddYears(now, -50));
    const bool weekly = s.occursOption == 2;
    const std::string& selections = weekly ? s.weeklySelections : s.monthlySelections;
    const auto selected = [&](int index) {
        return index >= 1 && static_cast<std::size_t>(index) <= selections.size() &&
               selections[static_cast<std::size_t>(index) - 1] == '1';
    };
    if (s.startHour < 0 || s.startHour > 23 || s.startMinute < 0 || s.startMinute > 59) {
        return marker;
    }
    bool any = false;
    for (int i = 1; i <= (weekly ? 7 : 31); ++i) {
        any = any || selected(i);
    }
    if (!any) {
        return marker;
    }
    if (s.useEndDate &&
        MinuteDifference(reference, AtTime(s.endDate, s.startHour, s.startMinute)) < 0) {
        return marker;
    }
    DateTime day = reference.DatePart();
    DateTime candidate;
    for (int step = 0;; ++step) {
        if (step > 400000) {
            ADD_FAILURE() << "walk did not end";
            return DateTime();
        }
        candidate = AtTime(day, s.startHour, s.startMinute);
        const int index = weekly ? day.Weekday() : day.Date().day;
        if (selected(index) && MinuteDifference(reference, candidate) >= 0 &&
            DayDifference(s.startDate, candidate) >= 0) {
            break;
        }
        day = AddDays(day, 1);
    }
    if (s.useEndDate && DayDifference(s.endDate, candidate) > 0) {
        return marker;
    }
    return StripSeconds(candidate);
}

// A small deterministic generator: the same cases on every platform and run.
class Generator {
  public:
    explicit Generator(std::uint32_t seed) : engine_(seed) {}
    int Between(int low, int high) {  // inclusive
        return low + static_cast<int>(engine_() % static_cast<std::uint32_t>(high - low + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

    DateTime Moment() {
        const int year = Chance(30) ? Between(2027, 2029) : Between(1999, 2031);
        int month = Between(1, 12);
        int day = Between(1, DaysInMonth(year, month));
        switch (Between(0, 5)) {
            case 0:  // month ends
                day = DaysInMonth(year, month);
                break;
            case 1:  // year end
                month = 12;
                day = 31;
                break;
            case 2:  // around 29 February
                month = 2;
                day = Between(27, DaysInMonth(year, 2));
                break;
            default:
                break;
        }
        int hour = Between(0, 23);
        int minute = Between(0, 59);
        if (Chance(20)) {  // just before midnight
            hour = 23;
            minute = 59;
        }
        return D(year, month, day, hour, minute, Between(0, 59));
    }

    std::string Selections(int length) {
        std::string text(static_cast<std::size_t>(length), '0');
        const int mode = Between(0, 9);
        if (mode == 0) {
            return text;  // nothing selected
        }
        if (mode <= 3 && length == 31) {  // only days some months lack
            for (int d = 29; d <= 31; ++d) {
                if (Chance(50)) {
                    text[static_cast<std::size_t>(d - 1)] = '1';
                }
            }
            if (text.find('1') == std::string::npos) {
                text[30] = '1';
            }
            return text;
        }
        const int percent = Between(5, 60);
        for (char& c : text) {
            if (Chance(percent)) {
                c = '1';
            }
        }
        if (Chance(5)) {
            text[static_cast<std::size_t>(Between(0, length - 1))] = ' ';
        }
        return text;
    }

  private:
    std::mt19937 engine_;
};

TEST(ScheduleWalkDifferentialTest, SearchFindsTheDayTheWalkFinds) {
    Generator g(20261203);
    int compared = 0;
    int runs = 0;
    for (int i = 0; i < 60000; ++i) {
        const DateTime now = g.Moment();
        ScheduleRecord s;
        s.occursOption = g.Chance(50) ? 2 : 3;
        s.startHour = static_cast<std::int16_t>(g.Between(0, 23));
        s.startMinute = static_cast<std::int16_t>(g.Between(0, 59));
        if (g.Chance(25)) {  // the start time around the current minute
            const DateTime near = AddMinutes(now, g.Between(-2, 2));
            s.startHour = static_cast<std::int16_t>(near.Time().hour);
            s.startMinute = static_cast<std::int16_t>(near.Time().minute);
        }
        if (g.Chance(3)) {
            s.startHour = 24;
        }
        s.startDate = AddSeconds(AddDays(now, g.Between(-400, 400)), g.Between(0, 86399));
        if (g.Chance(20)) {
            s.startDate = now;
        }
        s.useEndDate = g.Chance(40);
        s.endDate = AddDays(g.Chance(50) ? s.startDate : now, g.Between(-10, 120));
        s.weeklySelections = g.Selections(7);
        s.monthlySelections = g.Selections(31);
        const int offsetKind = g.Between(0, 9);
        const auto offset = static_cast<std::int16_t>(offsetKind < 4   ? 0
                                                      : offsetKind < 8 ? 1
                                                                       : g.Between(-1500, 1500));

        const DateTime expected = WalkDayByDay(s, now, offset);
        const DateTime actual = CalculateNextScheduledTime(s, now, offset);
        ASSERT_EQ(actual, expected)
            << "case " << i << " option " << s.occursOption << " now " << now.Seconds()
            << " offset " << offset << " start " << s.startDate.Seconds() << " end "
            << (s.useEndDate ? s.endDate.Seconds() : -1) << " at " << s.startHour << ":"
            << s.startMinute << " weekly " << s.weeklySelections << " monthly "
            << s.monthlySelections;
        ++compared;
        runs += actual > now ? 1 : 0;
    }
    EXPECT_EQ(compared, 60000);
    // The generated cases reach both outcomes in good number.
    EXPECT_GT(runs, 20000);
    EXPECT_GT(compared - runs, 10000);
}

TEST(ScheduleWalkDifferentialTest, StartDateFarAheadGivesTheWalkResult) {
    ScheduleRecord s;
    s.occursOption = 3;
    s.startHour = 3;
    s.startMinute = 0;
    s.monthlySelections = std::string(30, '0') + "1";
    const DateTime now = D(2026, 12, 3, 10, 0);
    for (int years : {1, 7, 40, 500}) {
        s.startDate = AddYears(D(2026, 9, 1), years);
        EXPECT_EQ(CalculateNextScheduledTime(s, now, 0), WalkDayByDay(s, now, 0)) << years;
    }
}

}  // namespace
}  // namespace qm
