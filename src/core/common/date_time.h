#pragma once

#include <algorithm>
#include <compare>
#include <cstdint>
#include <optional>

namespace qm {

// A calendar date and a time of day, as DateTime hands them out.
struct CivilDate {
    int year{};
    int month{};
    int day{};
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct ClockTime {
    int hour{};
    int minute{};
    int second{};
    friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

// A local wall-clock moment to the second, without time zone. The zero value,
// 30 December 1899 00:00:00, stands for "never set". Values are held as seconds from that
// zero and are kept within 1 January 100 00:00:00 .. 31 December 9999 23:59:59: every
// operation clamps to that range, so stored values of any size are safe to work with.
class DateTime {
  public:
    static constexpr std::int64_t kSecondsPerDay = 86400;
    // 1 January 100 and 31 December 9999, counted in days from the zero date.
    static constexpr std::int64_t kMinDay = -657434;
    static constexpr std::int64_t kMaxDay = 2958465;
    static constexpr std::int64_t kMinSeconds = kMinDay * kSecondsPerDay;
    static constexpr std::int64_t kMaxSeconds = (kMaxDay + 1) * kSecondsPerDay - 1;

    constexpr DateTime() = default;

    // Clamps to the supported range.
    static constexpr DateTime FromSeconds(std::int64_t seconds) {
        DateTime t;
        t.seconds_ = std::clamp(seconds, kMinSeconds, kMaxSeconds);
        return t;
    }
    static constexpr DateTime Min() { return FromSeconds(kMinSeconds); }
    static constexpr DateTime Max() { return FromSeconds(kMaxSeconds); }

    // Nothing for an impossible date or time (31 April, 25:00, year 10000...).
    static std::optional<DateTime> FromParts(int year, int month, int day, int hour, int minute,
                                             int second);
    // For dates known to be valid (tests, constants): an impossible one gives the zero value.
    static DateTime Make(int year, int month, int day, int hour, int minute, int second) {
        return FromParts(year, month, day, hour, minute, second).value_or(DateTime());
    }

    constexpr std::int64_t Seconds() const { return seconds_; }
    constexpr bool IsZero() const { return seconds_ == 0; }

    // Days from the zero date to this moment's date (floor, so earlier moments are negative).
    constexpr std::int64_t DayNumber() const {
        return seconds_ >= 0 ? seconds_ / kSecondsPerDay
                             : -((-seconds_ + kSecondsPerDay - 1) / kSecondsPerDay);
    }
    constexpr std::int64_t SecondOfDay() const { return seconds_ - DayNumber() * kSecondsPerDay; }
    constexpr bool HasTime() const { return SecondOfDay() != 0; }

    CivilDate Date() const;
    ClockTime Time() const;
    int Year() const { return Date().year; }
    // 1 Sunday .. 7 Saturday.
    int Weekday() const;

    // The same day at 00:00:00.
    constexpr DateTime DatePart() const { return FromSeconds(DayNumber() * kSecondsPerDay); }

    friend constexpr auto operator<=>(const DateTime&, const DateTime&) = default;

  private:
    std::int64_t seconds_{};
};

// Day number (from the zero date) of a proleptic Gregorian date; no range check.
std::int64_t DaysFromCivil(int year, int month, int day);
CivilDate CivilFromDays(std::int64_t days);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Number of midnights from a to b: date of b minus date of a.
std::int64_t DayDifference(DateTime a, DateTime b);
// b minus a in minutes, both cut down to the whole minute first.
std::int64_t MinuteDifference(DateTime a, DateTime b);
// Year of b minus year of a.
int YearDifference(DateTime a, DateTime b);

DateTime AddSeconds(DateTime t, std::int64_t n);
DateTime AddMinutes(DateTime t, std::int64_t n);
DateTime AddHours(DateTime t, std::int64_t n);
DateTime AddDays(DateTime t, std::int64_t n);
// The same month and day n years on; 29 February becomes 28 February in a common year.
DateTime AddYears(DateTime t, std::int64_t n);

// The moment with its seconds removed.
DateTime StripSeconds(DateTime t);
// The date of `day` at hour:minute:00; the caller passes a valid clock time.
DateTime AtTime(DateTime day, int hour, int minute);

}  // namespace qm
