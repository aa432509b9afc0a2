#include "e2e/harness/local_time.h"

namespace qm::e2e {

SYSTEMTIME LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

std::wstring TodayShortDate(int days) {
    SYSTEMTIME day = LocalNow();
    FILETIME file{};
    ::SystemTimeToFileTime(&day, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 864000000000LL);
    file = {ticks.LowPart, ticks.HighPart};
    ::FileTimeToSystemTime(&file, &day);
    wchar_t text[64] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 64, nullptr);
    return text;
}

std::wstring TimeText(const SYSTEMTIME& time) {
    wchar_t text[64] = {};
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, text, 64);
    return text;
}

int SecondsOfDay(const SYSTEMTIME& time) {
    return (time.wHour * 60 + time.wMinute) * 60 + time.wSecond;
}

}  // namespace qm::e2e
