#include "win32/app/single_instance.h"

namespace qm::win {

namespace {
// Local\: one copy per logon session, as a tray program is per desktop.
constexpr const wchar_t* kMutexName = L"Local\\Quillmere.SingleInstance.7c1f3e2a";
}  // namespace

SingleInstance::SingleInstance() {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
    const DWORD error = ::GetLastError();
    // ERROR_ACCESS_DENIED: the mutex exists but belongs to a copy running with other rights.
    anotherIsRunning_ = error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
}

}  // namespace qm::win
