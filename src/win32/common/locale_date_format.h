#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "core/common/date_text_format.h"

namespace qm::win {

// Dates and times in the user's regional settings: written with the locale's short date and
// time formats, read back with the system's own text-to-date conversion (oleaut32).
class LocaleDateTextFormat final : public DateTextFormat {
  public:
    std::string FormatShortDate(DateTime moment) const override;
    std::string FormatTime(DateTime moment) const override;
    std::optional<DateTime> ParseDateText(std::string_view text) const override;
};

// Whether a WM_SETTINGCHANGE is about the user's regional settings ("intl"): what shows dates,
// times or numbers writes them anew.
inline bool IsRegionalSettingsChange(LPARAM lp) {
    return lp && std::wstring_view(reinterpret_cast<const wchar_t*>(lp)) == L"intl";
}

// An automation date (days from 30 December 1899, the fraction the time of that day even for
// negative days) as a DateTime, to the nearest second; nothing outside years 100-9999.
std::optional<DateTime> DateTimeFromOleDate(double oleDate);
double OleDateFromDateTime(DateTime moment);

// The moment as the system's calendar and time controls take it.
SYSTEMTIME ToSystemTime(DateTime moment);

}  // namespace qm::win
