#include "win32/common/system_clock.h"

#include <windows.h>

#include <cstdlib>

#include "win32/common/test_hooks.h"

namespace qm::win {

DateTime SystemClock::Now() const {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    const DateTime now =
        DateTime::Make(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    if (const auto offset = TestHookValue("clock-offset.txt")) {
        return AddSeconds(now, std::strtoll(offset->c_str(), nullptr, 10));
    }
    return now;
}

std::int64_t SystemMonotonicClock::Milliseconds() const {
    std::int64_t offset = 0;
    // The tests' seam: "ticks-offset.txt" moves this clock on by whole seconds, as a sleep would.
    if (const auto hook = TestHookValue("ticks-offset.txt")) {
        offset = std::strtoll(hook->c_str(), nullptr, 10) * 1000;
    }
    return static_cast<std::int64_t>(::GetTickCount64()) + offset;
}

}  // namespace qm::win
