#include "e2e/harness/local_time.h"

namespace qm::e2e {

SYSTEMTIME LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

std::wstring TodayShortDate() {
    const SYSTEMTIME now = LocalNow();
    wchar_t text[64] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, text, 64, nullptr);
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
