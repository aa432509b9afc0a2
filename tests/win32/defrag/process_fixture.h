#pragma once
// Helpers for tests that run the stand-in defragmenters as real processes.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "win32/common/unique_handle.h"

namespace qm::test {

// The folder of the stand-in programs: QM_DOUBLES_DIR, else "doubles" beside the test
// program. Kept out of the test program's own folder, which process creation searches first.
std::wstring DoublesDir();

std::wstring EnvironmentValue(const wchar_t* name);

// Sets an environment variable of this process (and so of the children it starts) for the
// length of a scope.
class ScopedEnvironment {
  public:
    ScopedEnvironment(std::wstring name, const std::wstring& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::wstring name_;
    std::optional<std::wstring> old_;
};

// A fresh folder under the temporary folder, deleted with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

bool DeleteTree(const std::wstring& path);

// A process this test started; ended when the object goes.
class ChildProcess {
  public:
    // `application` may be empty: the system then searches for the command line's first word.
    ChildProcess(const std::wstring& application, const std::wstring& commandLine);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    DWORD Pid() const { return pid_; }
    bool Started() const { return static_cast<bool>(process_); }

  private:
    win::UniqueHandle process_;
    DWORD pid_ = 0;
};

// Ends every process of that file name (the doubles a test caused to be started).
void EndProcessesNamed(const char* exeName);

// The priority class of a running process, 0 when it cannot be read.
DWORD PriorityClassOf(DWORD pid);

// One line of a double's log.
struct DoubleStart {
    std::string exeName;
    unsigned long pid = 0;
    unsigned long priorityClass = 0;
    std::string showState;  // "0" when asked to hide, "-" when the starter did not say
    std::string commandLine;
};
std::vector<DoubleStart> ReadDoubleLog(const std::wstring& path);

// Polls `done` until it holds or the time is up; for waits on other processes.
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace qm::test
