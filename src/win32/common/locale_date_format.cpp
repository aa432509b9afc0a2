#include "win32/common/locale_date_format.h"

#include <windows.h>
#include <oleauto.h>

#include <cmath>

#include "win32/common/system_library.h"
#include "win32/common/text.h"

namespace qm::win {

namespace {

// OLE automation's date conversions are loaded when first needed: the locale's own formatting
// serves every date but those before 1601, and text is read back only from stored settings.
template <typename Function>
Function Automation(const char* name) {
    return SystemFunction<Function>(L"oleaut32.dll", name);
}

// The system's own conversion of an automation date to text. It covers years the locale
// formatting functions refuse (before 1601).
std::string VariantDateText(DateTime moment, ULONG flags) {
    static const auto toText =
        Automation<HRESULT(WINAPI*)(DATE, LCID, ULONG, BSTR*)>("VarBstrFromDate");
    static const auto length = Automation<UINT(WINAPI*)(BSTR)>("SysStringLen");
    static const auto release = Automation<void(WINAPI*)(BSTR)>("SysFreeString");
    BSTR text = nullptr;
    if (!toText || !length || !release ||
        FAILED(toText(OleDateFromDateTime(moment), LOCALE_USER_DEFAULT, flags, &text))) {
        return std::string();
    }
    std::string result = Narrow(std::wstring_view(text, length(text)));
    release(text);
    return result;
}

}  // namespace

SYSTEMTIME ToSystemTime(DateTime moment) {
    const CivilDate d = moment.Date();
    const ClockTime t = moment.Time();
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    st.wDayOfWeek = static_cast<WORD>(moment.Weekday() - 1);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    return st;
}

std::optional<DateTime> DateTimeFromOleDate(double oleDate) {
    if (!std::isfinite(oleDate) || oleDate < static_cast<double>(DateTime::kMinDay) ||
        oleDate >= static_cast<double>(DateTime::kMaxDay + 1)) {
        return std::nullopt;
    }
    const double days = std::trunc(oleDate);
    const auto seconds =
        static_cast<std::int64_t>(std::llround(std::fabs(oleDate - days) * 86400.0));
    const std::int64_t total = static_cast<std::int64_t>(days) * DateTime::kSecondsPerDay + seconds;
    if (total > DateTime::kMaxSeconds) {
        return std::nullopt;
    }
    return DateTime::FromSeconds(total);
}

double OleDateFromDateTime(DateTime moment) {
    const double days = static_cast<double>(moment.DayNumber());
    const double fraction = static_cast<double>(moment.SecondOfDay()) / 86400.0;
    // Before the zero date the whole part counts back but the fraction still counts forward.
    return days >= 0 ? days + fraction : days - fraction;
}

std::string LocaleDateTextFormat::FormatShortDate(DateTime moment) const {
    const SYSTEMTIME st = ToSystemTime(moment);
    wchar_t buffer[128];
    const int length = ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr,
                                         buffer, static_cast<int>(std::size(buffer)), nullptr);
    if (length > 1) {
        return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
    }
    return VariantDateText(moment.DatePart(), VAR_DATEVALUEONLY);
}

std::string LocaleDateTextFormat::FormatTime(DateTime moment) const {
    const SYSTEMTIME st = ToSystemTime(moment);
    wchar_t buffer[128];
    const int length = ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buffer,
                                         static_cast<int>(std::size(buffer)));
    if (length > 1) {
        return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
    }
    return VariantDateText(moment, VAR_TIMEVALUEONLY);
}

std::optional<DateTime> LocaleDateTextFormat::ParseDateText(std::string_view text) const {
    std::wstring wide = Widen(text);  // the function wants a writable buffer
    if (wide.empty() || wide.find(L'\0') != std::wstring::npos) {
        return std::nullopt;
    }
    static const auto fromText =
        Automation<HRESULT(WINAPI*)(LPCOLESTR, LCID, ULONG, DATE*)>("VarDateFromStr");
    DATE date = 0;
    if (!fromText || FAILED(fromText(wide.data(), LOCALE_USER_DEFAULT, 0, &date))) {
        return std::nullopt;
    }
    return DateTimeFromOleDate(date);
}

}  // namespace qm::win
