#pragma once
// Helpers for tests that run real processes and leave files behind.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

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

// Polls `done` until it holds or ten seconds are up; for waits on other processes.
template <typename Predicate>
bool WaitUntil(Predicate done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace qm::test
