#include "e2e/harness/app_process.h"

#include <cwchar>

#include "e2e/harness/settings.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_icon.h"

namespace qm::e2e {

std::wstring EnvOr(const wchar_t* name, const wchar_t* fallback) {
    wchar_t buffer[2048];
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
    if (n == 0 || n >= std::size(buffer)) {
        return fallback;
    }
    return std::wstring(buffer, n);
}

std::wstring AppExePath() {
    return EnvOr(L"QM_APP_EXE", L"Quillmere.exe");
}
std::wstring DoublesDir() {
    return EnvOr(L"QM_DOUBLES_DIR", L"");
}
std::wstring ScenarioDir() {
    return EnvOr(L"QM_SCENARIO_WINDIR", L"C:\\");
}

namespace {

// The test's own environment block plus the extra entries, sorted as Windows expects.
std::wstring BuildEnvironment(const std::vector<std::wstring>& extra) {
    std::vector<std::wstring> entries;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += std::wcslen(p) + 1) {
            entries.emplace_back(p);
        }
        ::FreeEnvironmentStringsW(block);
    }
    for (const std::wstring& e : extra) {
        const std::wstring name = e.substr(0, e.find(L'=') + 1);
        std::erase_if(entries, [&](const std::wstring& x) {
            return _wcsnicmp(x.c_str(), name.c_str(), name.size()) == 0;
        });
        entries.push_back(e);
    }
    std::wstring block;
    for (const std::wstring& e : entries) {
        block += e;
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace

AppProcess AppProcess::Start(const std::vector<std::wstring>& extraEnvironment,
                             const std::wstring& exe) {
    AppProcess app;
    std::wstring commandLine = L"\"" + (exe.empty() ? AppExePath() : exe) + L"\"";
    std::wstring environment = BuildEnvironment(extraEnvironment);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                         CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &si, &pi)) {
        ::CloseHandle(pi.hThread);
        app.process_.reset(pi.hProcess);
        app.pid_ = pi.dwProcessId;
    }
    return app;
}

AppProcess::~AppProcess() {
    if (IsRunning()) {
        Kill();
    }
}

bool AppProcess::IsRunning() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> AppProcess::WaitForExit(DWORD timeoutMs) const {
    if (!process_ || ::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

HWND AppProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopLevelWindowsOf(pid_)) {
                if (ClassNameOf(w) == className) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND AppProcess::WaitForMainWindow(DWORD timeoutMs) const {
    return WaitForWindow(L"QuillmereMenu", timeoutMs);
}

void AppProcess::Kill() {
    if (process_) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 5000);
    }
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

}  // namespace qm::e2e
