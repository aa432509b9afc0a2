// QuillmereService.exe: the defragmentation service. Started by the service manager it serves
// the pipe until it has been idle for a while; "/register" and "/unregister" are for the setup
// program.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "core/defrag/defrag_service.h"
#include "core/defrag/service_protocol.h"
#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/defrag_launcher.h"
#include "win32/defrag/defrag_system.h"
#include "win32/defrag/service/event_log.h"
#include "win32/defrag/service/pipe_server.h"
#include "win32/defrag/service/service_registration.h"
#include "win32/defrag/service/service_volumes.h"
#include "win32/defrag/service/tick_clock.h"

namespace {

using namespace qm;

// Where the test set-ups shorten the service's waits: the machine's part of the registry
// only, which no user may write.
constexpr wchar_t kParametersKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\QuillmereDefrag\\Parameters";

// A running program loads DLLs from the system folder only, never from its own folder, the
// current one or the search path. The call is missing on Windows 7 without update KB2533623:
// then the current folder at least is taken out.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto restrict =
        kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                     reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
               : nullptr;
    if (!restrict || !restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::SetDllDirectoryW(L"");
    }
}

// A positive number of seconds from the service's parameters, in milliseconds.
std::int64_t SecondsSetting(const wchar_t* name, std::int64_t fallbackMs) {
    DWORD seconds = 0;
    DWORD size = sizeof(seconds);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kParametersKey, name, RRF_RT_REG_DWORD, nullptr,
                       &seconds, &size) != ERROR_SUCCESS ||
        seconds == 0) {
        return fallbackMs;
    }
    return static_cast<std::int64_t>(seconds) * 1000;
}

struct ServiceState {
    SERVICE_STATUS_HANDLE handle{};
    win::UniqueHandle stop;
};

void ReportStatus(SERVICE_STATUS_HANDLE handle, DWORD state, DWORD exitCode = NO_ERROR) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode;
    status.dwWaitHint = state == SERVICE_STOP_PENDING ? 5000 : 0;
    ::SetServiceStatus(handle, &status);
}

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void* context) {
    auto* state = static_cast<ServiceState*>(context);
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            ReportStatus(state->handle, SERVICE_STOP_PENDING);
            ::SetEvent(state->stop.get());
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

// Serves the pipe until it is told to stop or has been idle for its idle time; the error that
// kept it from serving, or 0.
DWORD Serve(HANDLE stop) {
    win::EventLogSink events;
    win::PipeServer pipe(win::Widen(service::kPipeName));
    if (const DWORD error = pipe.Open()) {
        events.Report({service::ServiceEvent::Kind::kNameTaken, "", service::kPipeName});
        return error;
    }
    service::ServiceSettings settings;
    settings.syntax = DefragSyntaxFor(win::ReadWindowsVersion());
    const std::string folder = win::SystemFolder();
    settings.defragProgram =
        (folder.empty() ? std::string("C:\\Windows\\system32") : folder) + "\\defrag.exe";
    settings.idleMs = SecondsSetting(L"IdleSeconds", settings.idleMs);
    settings.requestMs = SecondsSetting(L"RequestSeconds", settings.requestMs);
    win::CreateProcessLauncher launcher;
    win::ServiceVolumes volumes;
    win::TickClock clock;
    // Declared after the pipe, so ended before it: a run still going is ended with its job.
    service::DefragService defrag(pipe, launcher, volumes, events, clock, settings);
    pipe.Run(defrag, stop);
    return 0;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
    ServiceState state;
    state.stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    state.handle = ::RegisterServiceCtrlHandlerExW(win::Widen(service::kServiceName).c_str(),
                                                   &OnControl, &state);
    if (!state.handle) {
        return;
    }
    if (!state.stop) {
        ReportStatus(state.handle, SERVICE_STOPPED, ::GetLastError());
        return;
    }
    ReportStatus(state.handle, SERVICE_RUNNING);
    const DWORD error = Serve(state.stop.get());
    ReportStatus(state.handle, SERVICE_STOPPED, error);
}

}  // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    RestrictDllSearch();
    if (argc == 2 && ::_wcsicmp(argv[1], L"/register") == 0) {
        return win::RegisterService();
    }
    if (argc == 2 && ::_wcsicmp(argv[1], L"/unregister") == 0) {
        return win::UnregisterService();
    }
    if (argc > 1) {
        std::fprintf(stderr, "usage: QuillmereService.exe [/register | /unregister]\n");
        return ERROR_INVALID_PARAMETER;
    }
    std::wstring name = win::Widen(service::kServiceName);
    const SERVICE_TABLE_ENTRYW table[] = {{name.data(), &ServiceMain}, {nullptr, nullptr}};
    if (!::StartServiceCtrlDispatcherW(table)) {
        const DWORD error = ::GetLastError();
        std::fprintf(stderr,
                     "QuillmereService runs as a service, started by the service manager "
                     "(error %lu)\n",
                     static_cast<unsigned long>(error));
        return static_cast<int>(error);
    }
    return 0;
}
