#include "win32/app/wake_timer_win.h"

#include <windows.h>

#include <cstdio>

#include "win32/common/test_hooks.h"

namespace qm::win {

WaitableWakeTimer::WaitableWakeTimer() : timer_(::CreateWaitableTimerW(nullptr, TRUE, nullptr)) {}

bool WaitableWakeTimer::Arm(DateTime due, bool resume) {
    // The moment is local wall time; the timer wants an absolute UTC time.
    const SYSTEMTIME local{static_cast<WORD>(due.Date().year),
                           static_cast<WORD>(due.Date().month),
                           0,
                           static_cast<WORD>(due.Date().day),
                           static_cast<WORD>(due.Time().hour),
                           static_cast<WORD>(due.Time().minute),
                           static_cast<WORD>(due.Time().second),
                           0};
    SYSTEMTIME utc{};
    FILETIME file{};
    if (!timer_ || !::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !::SystemTimeToFileTime(&utc, &file)) {
        return false;
    }
    LARGE_INTEGER when{};
    when.LowPart = file.dwLowDateTime;
    when.HighPart = static_cast<LONG>(file.dwHighDateTime);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d %s", due.Date().year,
                  due.Date().month, due.Date().day, due.Time().hour, due.Time().minute,
                  resume ? "wakes" : "waits");
    RecordTestHookLine("wake-timer.txt", text);  // the tests read the due time here
    return ::SetWaitableTimer(timer_.get(), &when, 0, nullptr, nullptr, resume ? TRUE : FALSE) !=
           FALSE;
}

void WaitableWakeTimer::Cancel() {
    if (timer_) {
        ::CancelWaitableTimer(timer_.get());
    }
}

bool WaitableWakeTimer::Fired() {
    return timer_ && ::WaitForSingleObject(timer_.get(), 0) == WAIT_OBJECT_0;
}

void KeepSystemAwake(bool on) {
    // Never the display: a run needs the computer awake, not the screen on.
    ::SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace qm::win
