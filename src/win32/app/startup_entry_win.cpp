#include "win32/app/startup_entry_win.h"

#include <windows.h>

#include <cstdio>

#include "win32/app/logon_task.h"
#include "win32/app/rights.h"
#include "win32/defrag/startup_shortcut_win.h"
#include "win32/common/text.h"

namespace qm::win {

WindowsStartupPlatform::WindowsStartupPlatform(std::string exePath, WindowsVersion version,
                                               ProcessRights rights, ShortcutPlatform& shortcuts,
                                               std::function<void(const std::string&)> tell)
    : exePath_(std::move(exePath)),
      version_(version),
      rights_(rights),
      shortcuts_(shortcuts),
      tell_(std::move(tell)) {}

StartupEntryKind WindowsStartupPlatform::Kind() {
    return ChooseStartupEntry(version_, IsPathUnder(exePath_, Narrow(ProgramFilesFolder())));
}

bool WindowsStartupPlatform::TaskExists() {
    return LogonTaskExists();
}

StartupEntryPlatform::TaskResult WindowsStartupPlatform::SetTask(bool registered) {
    if (rights_.elevated) {
        const long hr = RunStartupTaskCommand(registered, exePath_);
        return {hr == 0, TaskErrorReason(hr)};
    }
    const ElevatedStart start =
        StartSelfElevated(registered ? L"/startup-task register" : L"/startup-task remove", true);
    if (start.error == ERROR_CANCELLED) {
        return {false, "the request for administrator rights was declined"};
    }
    if (start.error != ERROR_SUCCESS) {
        return {false, TaskErrorReason(static_cast<long>(HRESULT_FROM_WIN32(start.error)))};
    }
    return {start.exitCode == 0, TaskErrorReason(static_cast<long>(start.exitCode))};
}

bool WindowsStartupPlatform::ShortcutExists() {
    return HasStartupShortcut(shortcuts_, kStartupLinkName);
}

bool WindowsStartupPlatform::CreateShortcut() {
    return CreateStartupShortcut(shortcuts_, kStartupLinkName, exePath_, "", "Quillmere");
}

void WindowsStartupPlatform::RemoveShortcut() {
    RemoveStartupShortcut(shortcuts_, kStartupLinkName);
}

void WindowsStartupPlatform::Tell(const std::string& message) {
    if (tell_) {
        tell_(message);
    }
}

long RunStartupTaskCommand(bool registered, const std::string& exePath) {
    const HRESULT hr =
        registered ? RegisterLogonTask(Widen(LogonTaskXml(Narrow(CurrentUserId()), exePath)))
                   : RemoveLogonTask();
    return static_cast<long>(hr);
}

std::string TaskErrorReason(long hr) {
    switch (static_cast<HRESULT>(hr)) {
        case S_OK:
            return {};
        case E_ACCESSDENIED:
            return "administrator rights are needed";
        case REGDB_E_CLASSNOTREG:
        case static_cast<HRESULT>(0x80041315):  // the task service is not running
        case static_cast<HRESULT>(0x80070422):  // the service is disabled
            return "the task service is not available";
        default: {
            char text[32];
            std::snprintf(text, sizeof text, "error 0x%08lX", static_cast<unsigned long>(hr));
            return text;
        }
    }
}

}  // namespace qm::win
