#include "win32/defrag/service/service_registration.h"

#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <string>

#include "core/defrag/service_protocol.h"
#include "core/defrag/service_security.h"
#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/service/event_log.h"
#include "win32/defrag/service/task_migration.h"

namespace qm::win {
namespace {

constexpr DWORD kStopWaitMs = 15000;

// Writes what failed and returns the exit code for it: the error, unless a shell that keeps only
// the low byte of an exit code would read it as success.
int Fail(const std::string& step, DWORD error) {
    wchar_t* text = nullptr;
    ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const UniqueLocal<wchar_t*> owned(text);
    std::string reason = text ? Narrow(text) : std::string();
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
        reason.pop_back();
    }
    std::fprintf(stderr, "QuillmereService: %s failed: %s (error %lu)\n", step.c_str(),
                 reason.c_str(), static_cast<unsigned long>(error));
    return (error & 0xFF) != 0 ? static_cast<int>(error) : 1;
}

// Whether registration may go on after a step: it succeeded, or the service manager does not
// implement it (which Windows always does; some compatible systems do not).
bool StepDone(BOOL ok, const char* step, int& exitCode) {
    if (ok) {
        return true;
    }
    const DWORD error = ::GetLastError();
    if (service::StepNotImplemented(error)) {
        std::printf("QuillmereService: the service manager does not implement %s (error %lu)\n",
                    step, static_cast<unsigned long>(error));
        return true;
    }
    exitCode = Fail(step, error);
    return false;
}

// This program's full path; empty when the system cannot tell it.
std::wstring ThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

int RegisterEventSource(const std::wstring& program) {
    UniqueHkey key;
    LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExW(key.get(), L"EventMessageFile", 0, REG_EXPAND_SZ,
                                  reinterpret_cast<const BYTE*>(program.c_str()),
                                  static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
    }
    if (status == ERROR_SUCCESS) {
        const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
        status = ::RegSetValueExW(key.get(), L"TypesSupported", 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&types), sizeof(types));
    }
    return status == ERROR_SUCCESS ? 0 : Fail("registering the event source", status);
}

// Asks the service to stop and waits for it; whether it is stopped.
bool StopAndWait(SC_HANDLE service) {
    const ULONGLONG deadline = ::GetTickCount64() + kStopWaitMs;
    for (;;) {
        SERVICE_STATUS_PROCESS status{};
        DWORD size = 0;
        if (!::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                    reinterpret_cast<BYTE*>(&status), sizeof(status), &size)) {
            return false;
        }
        if (status.dwCurrentState == SERVICE_STOPPED) {
            return true;
        }
        if (status.dwCurrentState != SERVICE_STOP_PENDING) {
            // While it starts it cannot take the request yet: asked again on the next turn.
            SERVICE_STATUS answer{};
            if (!::ControlService(service, SERVICE_CONTROL_STOP, &answer) &&
                ::GetLastError() == ERROR_SERVICE_NOT_ACTIVE) {
                return true;
            }
        }
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(250);
    }
}

}  // namespace

int RegisterService() {
    const std::wstring program = ThisProgram();
    if (program.empty()) {
        return Fail("finding this program's path", ::GetLastError());
    }
    // Quoted: a path with spaces is otherwise read as a shorter program and its arguments.
    const std::wstring command = L"\"" + program + L"\"";
    const std::wstring name = Widen(service::kServiceName);
    const std::wstring display = Widen(service::kDisplayName);

    UniqueScHandle manager(
        ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
    if (!manager) {
        return Fail("opening the service manager", ::GetLastError());
    }
    constexpr DWORD kAccess =
        SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG | READ_CONTROL | WRITE_DAC;
    UniqueScHandle service(::CreateServiceW(manager.get(), name.c_str(), display.c_str(), kAccess,
                                            SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                            SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr,
                                            nullptr, L"LocalSystem", nullptr));
    if (!service) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_SERVICE_EXISTS) {
            return Fail("creating the service", error);
        }
        // An update: the same service, now this program.
        service.reset(::OpenServiceW(manager.get(), name.c_str(), kAccess));
        if (!service) {
            return Fail("opening the service", ::GetLastError());
        }
        if (!::ChangeServiceConfigW(service.get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                    SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr,
                                    nullptr, L"LocalSystem", L"", display.c_str())) {
            return Fail("updating the service", ::GetLastError());
        }
    }

    int exitCode = 0;
    std::wstring description = Widen(service::kDescription);
    SERVICE_DESCRIPTIONW describe{description.data()};
    if (!StepDone(::ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &describe),
                  "setting the description", exitCode)) {
        return exitCode;
    }
    std::wstring privileges = Widen(service::MultiString(service::RequiredPrivileges()));
    SERVICE_REQUIRED_PRIVILEGES_INFOW keep{privileges.data()};
    if (!StepDone(
            ::ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO, &keep),
            "setting the required privileges", exitCode)) {
        return exitCode;
    }
    UniqueLocal<PSECURITY_DESCRIPTOR> security;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            Widen(service::ServiceSddl()).c_str(), SDDL_REVISION_1, security.put(), nullptr)) {
        return Fail("reading the service's access rules", ::GetLastError());
    }
    if (!StepDone(
            ::SetServiceObjectSecurity(service.get(), DACL_SECURITY_INFORMATION, security.get()),
            "setting who may control the service", exitCode)) {
        return exitCode;
    }

    if (const int failed = RegisterEventSource(program)) {
        return failed;
    }
    if (const StepFailure migration = MigrateLogonTask(); migration.error != 0) {
        return Fail(migration.step, migration.error);
    }
    return 0;
}

int UnregisterService() {
    UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        return Fail("opening the service manager", ::GetLastError());
    }
    const std::wstring name = Widen(service::kServiceName);
    UniqueScHandle service(
        ::OpenServiceW(manager.get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    bool stopped = true;
    if (service) {
        stopped = StopAndWait(service.get());
        // Deleted even when it did not stop: the service manager removes it when it ends.
        if (!::DeleteService(service.get()) &&
            ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
            return Fail("deleting the service", ::GetLastError());
        }
    } else if (const DWORD error = ::GetLastError(); error != ERROR_SERVICE_DOES_NOT_EXIST) {
        return Fail("opening the service", error);
    }
    const LSTATUS status = ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kEventSourceKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        return Fail("removing the event source", static_cast<DWORD>(status));
    }
    if (!stopped) {
        return Fail("stopping the service within 15 s", ERROR_SERVICE_REQUEST_TIMEOUT);
    }
    return 0;
}

}  // namespace qm::win
