#include "win32/common/system_clock.h"

#include <windows.h>

namespace qm::win {

DateTime SystemClock::Now() const {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return DateTime::Make(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

}  // namespace qm::win
