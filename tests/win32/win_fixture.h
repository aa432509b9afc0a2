#pragma once
// Helpers for tests that run real processes, leave files behind or wait on messages.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "win32/common/dialog.h"
#include "win32/common/unique_handle.h"
#include "win32/common/window_timer.h"

namespace qm::test {

inline std::optional<std::wstring> EnvironmentValue(const wchar_t* name) {
    std::wstring value(::GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    if (value.empty()) {
        return std::nullopt;
    }
    value.resize(::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

// Sets an environment variable of this process (and so of the children it starts) for the
// length of a scope.
class ScopedEnvironment {
  public:
    ScopedEnvironment(std::wstring name, const std::wstring& value)
        : name_(std::move(name)), old_(EnvironmentValue(name_.c_str())) {
        ::SetEnvironmentVariableW(name_.c_str(), value.c_str());
    }
    ~ScopedEnvironment() {
        ::SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::wstring name_;
    std::optional<std::wstring> old_;
};

// A fresh folder under the temporary folder, deleted with everything in it at the end.
class TempFolder {
  public:
    TempFolder() {
        static int counter = 0;
        path_ = (std::filesystem::temp_directory_path() /
                 (L"qm-defrag-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter)))
                    .wstring();
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

// Dispatches the messages waiting for this thread.
inline void PumpMessages() {
    for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
        ::DispatchMessageW(&msg);
    }
}

// Polls `done`, dispatching this thread's messages meanwhile, until it holds or the time is up.
template <typename Predicate>
bool WaitUntil(Predicate done, ULONGLONG milliseconds = 10000) {
    for (const ULONGLONG end = ::GetTickCount64() + milliseconds; !done();) {
        if (::GetTickCount64() > end) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

// What a window left behind holds on to: this thread's windows, open dialogs, running timers
// and live GDI objects.
inline std::tuple<int, std::size_t, long, long> HeldResources() {
    int windows = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND, LPARAM n) -> BOOL { return ++*reinterpret_cast<int*>(n) > 0; },
        reinterpret_cast<LPARAM>(&windows));
    return {windows, win::OpenDialogCount(), win::WindowTimer::RunningCount(),
            win::LiveResources::gdiObjects};
}

}  // namespace qm::test
