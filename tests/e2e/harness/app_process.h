#pragma once
// The program under test: where the scenario keeps it, starting it, its settings and the
// forms in which it writes dates and times.

#include <windows.h>

#include <functional>
#include <initializer_list>
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
    // Waits for the process to end; the exit code, or nullopt on time-out.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // The hidden main window, waited for.
    HWND WaitForMainWindow(DWORD timeoutMs = 15000) const;

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

// The program's real settings key, HKCU\Software\Quillmere\Settings, as the test sees it.
void SetSetting(const std::wstring& name, const std::wstring& value);
// A value of any registry type and content, as damage or another program may leave it.
void SetRawSetting(const std::wstring& name, DWORD type, const void* data, DWORD bytes);
std::optional<std::wstring> GetSetting(const std::wstring& name);
// Several values at once, "value|value|...", "<absent>" for any not there.
std::wstring GetSettings(std::initializer_list<const wchar_t*> names);
void ClearSettings();

// Sets the program's clock (through its test seam) to show this time of day, in seconds since
// midnight, when it starts; the environment entry that points the program at the seam.
std::wstring SetClockTo(int secondsOfDay);

SYSTEMTIME LocalNow();
// Today's date in the user's short date form, as the program writes dates ("12/6/2026"), or
// the date `days` from today.
std::wstring TodayShortDate(int days = 0);
// A time of day in the user's time form, as the program appends it ("9:30:00 PM").
std::wstring TimeText(const SYSTEMTIME& time);

}  // namespace qm::e2e
