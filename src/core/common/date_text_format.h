#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/common/date_time.h"

namespace qm {

// Dates and times as the user's regional settings write and read them. Stored settings
// hold dates in this form, so they follow the user's locale. The Windows layer asks the
// system; the core's tests use UsDateTextFormat.
class DateTextFormat {
  public:
    virtual ~DateTextFormat() = default;
    // The short date of `moment` ("12/5/2026" in the United States).
    virtual std::string FormatShortDate(DateTime moment) const = 0;
    // The clock time of `moment` ("9:30:00 PM" in the United States).
    virtual std::string FormatTime(DateTime moment) const = 0;
    // A date, optionally followed by a time, in the user's form; nothing for text that is
    // not a date or lies outside years 100-9999.
    virtual std::optional<DateTime> ParseDateText(std::string_view text) const = 0;
};

// Month/day/year with a 12-hour clock: the United States' defaults. Reads m/d/y (one to four
// year digits; two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999) optionally followed
// by h:mm or h:mm:ss with an optional AM/PM.
class UsDateTextFormat final : public DateTextFormat {
  public:
    std::string FormatShortDate(DateTime moment) const override;
    std::string FormatTime(DateTime moment) const override;
    std::optional<DateTime> ParseDateText(std::string_view text) const override;
};

}  // namespace qm
