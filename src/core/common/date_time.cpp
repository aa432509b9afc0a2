#include "core/common/date_time.h"

#include <algorithm>

namespace qm {

namespace {

// 1970-01-01 counted from the zero date (30 December 1899).
constexpr std::int64_t kUnixEpochDay = 25569;

// Keeps a count of units within what can ever matter for the supported range, so the
// multiplication by the unit's length cannot overflow.
std::int64_t ClampCount(std::int64_t n, std::int64_t unitSeconds) {
    const std::int64_t limit = (DateTime::kMaxSeconds - DateTime::kMinSeconds) / unitSeconds + 1;
    return std::clamp(n, -limit, limit);
}

DateTime AddUnits(DateTime t, std::int64_t n, std::int64_t unitSeconds) {
    return DateTime::FromSeconds(t.Seconds() + ClampCount(n, unitSeconds) * unitSeconds);
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Civil-calendar conversions after H. Hinnant's public-domain algorithms: eras of 400 years,
// years starting in March so the leap day comes last. Dates from the year 100 on only, so
// the counts are never negative and plain division finds the era.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = y / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kUnixEpochDay;
}

CivilDate CivilFromDays(std::int64_t days) {
    const std::int64_t z = days - kUnixEpochDay + 719468;
    const std::int64_t era = z / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

std::optional<DateTime> DateTime::FromParts(int year, int month, int day, int hour, int minute,
                                            int second) {
    // A month that does not exist has no days, so no day fits it.
    if (year < 100 || year > 9999 || day < 1 || day > DaysInMonth(year, month) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    return FromSeconds(DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 +
                       minute * 60 + second);
}

CivilDate DateTime::Date() const {
    return CivilFromDays(DayNumber());
}

ClockTime DateTime::Time() const {
    const auto s = static_cast<int>(SecondOfDay());
    return {s / 3600, s / 60 % 60, s % 60};
}

int DateTime::Weekday() const {
    // The zero date was a Saturday.
    const std::int64_t w = (DayNumber() + 6) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w) + 1;
}

std::int64_t DayDifference(DateTime a, DateTime b) {
    return b.DayNumber() - a.DayNumber();
}

std::int64_t MinuteDifference(DateTime a, DateTime b) {
    return (StripSeconds(b).Seconds() - StripSeconds(a).Seconds()) / 60;
}

int YearDifference(DateTime a, DateTime b) {
    return b.Year() - a.Year();
}

DateTime AddSeconds(DateTime t, std::int64_t n) {
    return AddUnits(t, n, 1);
}

DateTime AddMinutes(DateTime t, std::int64_t n) {
    return AddUnits(t, n, 60);
}

DateTime AddHours(DateTime t, std::int64_t n) {
    return AddUnits(t, n, 3600);
}

DateTime AddDays(DateTime t, std::int64_t n) {
    return AddUnits(t, n, DateTime::kSecondsPerDay);
}

DateTime AddYears(DateTime t, std::int64_t n) {
    const CivilDate d = t.Date();
    // Compared before adding, so that no count of years can overflow.
    if (n < 100 - d.year) {
        return DateTime::Min();
    }
    if (n > 9999 - d.year) {
        return DateTime::Max();
    }
    const int y = d.year + static_cast<int>(n);
    const int day = d.month == 2 && d.day == 29 && !IsLeapYear(y) ? 28 : d.day;
    return DateTime::FromSeconds(DaysFromCivil(y, d.month, day) * DateTime::kSecondsPerDay +
                                 t.SecondOfDay());
}

DateTime StripSeconds(DateTime t) {
    // Floor to the minute; the supported range starts on a whole minute, so this stays in it.
    const std::int64_t s = t.Seconds();
    const std::int64_t r = s % 60;
    return DateTime::FromSeconds(s - (r < 0 ? r + 60 : r));
}

DateTime AtTime(DateTime day, int hour, int minute) {
    return DateTime::FromSeconds(day.DayNumber() * DateTime::kSecondsPerDay + hour * 3600 +
                                 minute * 60);
}

}  // namespace qm
