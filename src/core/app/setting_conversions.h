#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/common/date_text_format.h"
#include "core/common/date_time.h"

namespace qm {

// Conversions between stored setting texts and the program's values. Every reader returns
// nothing for a text it cannot convert, so the caller applies the setting's default.

// A decimal number as stored: blanks around, an optional sign, digits with an optional
// fraction ("12", " -3 ", "2.5"). The value rounded to a whole number, halves to the even
// number; nothing for anything else or a magnitude past 10^15.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);
// Whether the text is a number whose exact value is `value` ("1", "01", "1.0").
bool NumberTextEquals(std::string_view text, std::int64_t value);

std::optional<std::int16_t> ParseInt16(std::string_view text);
std::optional<std::int32_t> ParseInt32(std::string_view text);
// "True"/"False" in any case, or a number (non-zero is true).
std::optional<bool> ParseBoolean(std::string_view text);

std::string FormatBoolean(bool value);  // "True" / "False"
// The short date, with a blank and the time appended when the moment has a time part.
std::string FormatDateSetting(const DateTextFormat& format, DateTime value);
// Cut to `width` characters or padded on the right with `pad`.
std::string FitToWidth(std::string_view text, std::size_t width, char pad);

}  // namespace qm
