#include "e2e/harness/app_process.h"

#include "e2e/harness/double_log.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_icon.h"

namespace qm::e2e {

namespace {

constexpr const wchar_t* kKey = L"Software\\Quillmere\\Settings";

std::wstring EnvOr(const wchar_t* name, const wchar_t* fallback) {
    wchar_t buffer[2048];
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
    return n == 0 || n >= std::size(buffer) ? fallback : std::wstring(buffer, n);
}

}  // namespace

std::wstring AppExePath() {
    return EnvOr(L"QM_APP_EXE", L"Quillmere.exe");
}
std::wstring DoublesDir() {
    return EnvOr(L"QM_DOUBLES_DIR", L"");
}
std::wstring ScenarioDir() {
    return EnvOr(L"QM_SCENARIO_WINDIR", L"C:\\");
}

AppProcess AppProcess::Start(const std::vector<std::wstring>& extraEnvironment,
                             const std::wstring& exe) {
    // The program inherits the test's environment, the extra entries set for the moment of its
    // start (the scenario's own environment holds none of them).
    for (const std::wstring& e : extraEnvironment) {
        const size_t equals = e.find(L'=');
        ::SetEnvironmentVariableW(e.substr(0, equals).c_str(), e.c_str() + equals + 1);
    }
    AppProcess app;
    std::wstring commandLine = L"\"" + (exe.empty() ? AppExePath() : exe) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &si, &pi)) {
        ::CloseHandle(pi.hThread);
        app.process_.reset(pi.hProcess);
        app.pid_ = pi.dwProcessId;
    }
    for (const std::wstring& e : extraEnvironment) {
        ::SetEnvironmentVariableW(e.substr(0, e.find(L'=')).c_str(), nullptr);
    }
    return app;
}

AppProcess::~AppProcess() {
    if (process_ && ::TerminateProcess(process_.get(), 99)) {
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

std::optional<DWORD> AppProcess::WaitForExit(DWORD timeoutMs) const {
    DWORD code = 0;
    if (!process_ || ::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process_.get(), &code)) {
        return std::nullopt;
    }
    return code;
}

HWND AppProcess::WaitForMainWindow(DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = WindowOfClass(pid_, L"QuillmereMenu", true)) != nullptr; },
              timeoutMs);
    return found;
}

TrayApp StartInTray(const SettingList& settings, const std::vector<std::wstring>& environment,
                    const std::function<void()>& prepare, const std::wstring& exe) {
    ClearSettings();
    SetSetting(L"ShowSplash", L"0");
    SetSetting(L"OptionsShown", L"True");  // past the first run
    SetSetting(L"ScheduleShown", L"True");
    for (const auto& [name, value] : settings) {
        SetSetting(name, value);
    }
    if (prepare) {
        prepare();
    }
    TrayApp app{AppProcess::Start(environment, exe)};
    if (app.process.Pid() == 0) {
        return app;
    }
    const HWND menu = app.process.WaitForMainWindow();
    if (menu && WaitUntil([&] { return TrayIconExists(menu, win::TrayIcon::kIconId); }, 10000)) {
        app.menu = menu;
    }
    return app;
}

void SetRawSetting(const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name.c_str(), type, data, bytes);
}

void SetSetting(const std::wstring& name, const std::wstring& value) {
    SetRawSetting(name, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> GetSetting(const std::wstring& name) {
    wchar_t value[256] = {};
    DWORD bytes = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name.c_str(), RRF_RT_REG_SZ, nullptr, value,
                       &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::wstring GetSettings(std::initializer_list<const wchar_t*> names) {
    std::wstring values;
    for (const wchar_t* name : names) {
        values += (values.empty() ? L"" : L"|") + GetSetting(name).value_or(L"<absent>");
    }
    return values;
}

void ClearSettings() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillmere");
}

std::wstring SetClockTo(int secondsOfDay) {
    const SYSTEMTIME now = LocalNow();
    WriteScenarioFile(
        L"clock-offset.txt",
        std::to_string(secondsOfDay - ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond)));
    return L"QM_TEST_HOOKS=" + ScenarioDir();
}

SYSTEMTIME LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

std::wstring TodayShortDate(int days) {
    SYSTEMTIME day = LocalNow();
    FILETIME file{};
    ::SystemTimeToFileTime(&day, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 864000000000LL);
    file = {ticks.LowPart, ticks.HighPart};
    ::FileTimeToSystemTime(&file, &day);
    wchar_t text[64] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 64, nullptr);
    return text;
}

std::wstring TimeText(const SYSTEMTIME& time) {
    wchar_t text[64] = {};
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, text, 64);
    return text;
}

}  // namespace qm::e2e
