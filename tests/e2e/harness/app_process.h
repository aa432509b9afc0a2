#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32/common/unique_handle.h"

namespace qm::e2e {

// Where the scenario script put things (environment set by scripts/e2e-scenario.sh).
std::wstring AppExePath();   // Quillmere.exe
std::wstring DoublesDir();   // the defragmenter doubles
std::wstring ScenarioDir();  // a scratch folder of this scenario's own
std::wstring EnvOr(const wchar_t* name, const wchar_t* fallback);

// A running copy of Quillmere.exe started by the test; ended by force if still running when
// the object goes (a failing test must not leave it behind).
class AppProcess {
  public:
    // Starts the program with extra "NAME=value" environment entries on top of the test's.
    // `exe` replaces the program under test with a copy of it elsewhere.
    static AppProcess Start(const std::vector<std::wstring>& extraEnvironment = {},
                            const std::wstring& exe = {});

    AppProcess(AppProcess&&) = default;
    AppProcess& operator=(AppProcess&&) = default;
    ~AppProcess();

    DWORD Pid() const { return pid_; }
    bool IsRunning() const;
    // Waits for the process to end; the exit code, or nullopt on time-out.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // The top-level window of this process with the given class, waited for.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs) const;
    // The hidden main window.
    HWND WaitForMainWindow(DWORD timeoutMs = 15000) const;
    void Kill();

  private:
    AppProcess() = default;
    win::UniqueHandle process_;
    DWORD pid_ = 0;
};

// The program running in the tray: its process and its hidden main window.
struct TrayApp {
    AppProcess process;
    HWND menu = nullptr;  // null when the program never put its icon into the tray
};

using SettingList = std::vector<std::pair<std::wstring, std::wstring>>;

// Starts the program on a fresh settings key holding `settings` (the splash and the first run's
// dialogs off unless they set them) and the extra environment entries, and waits until its icon
// is in the tray. `prepare` runs after the settings are written, before the program starts.
TrayApp StartInTray(const SettingList& settings, const std::vector<std::wstring>& environment = {},
                    const std::function<void()>& prepare = {}, const std::wstring& exe = {});

}  // namespace qm::e2e
