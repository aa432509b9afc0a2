#pragma once

#include <windows.h>

#include <string>

namespace qm::e2e {

// Today's date in the user's short date form, as the program writes dates ("12/6/2026"), or
// the date `days` from today.
std::wstring TodayShortDate(int days = 0);
// A time of day in the user's time form, as the program appends it ("9:30:00 PM").
std::wstring TimeText(const SYSTEMTIME& time);
SYSTEMTIME LocalNow();
// Seconds since local midnight.
int SecondsOfDay(const SYSTEMTIME& time);

}  // namespace qm::e2e
