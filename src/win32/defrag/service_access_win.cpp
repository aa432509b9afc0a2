#include "win32/defrag/service_access_win.h"

#include <windows.h>

#include <algorithm>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

constexpr char kNotStarted[] = "the defragmentation service could not be started";
// How long a stopped service may take to start and open its pipe.
constexpr ULONGLONG kStartTimeoutMs = 15000;

class ServicePipeHandle final : public ServicePipe {
  public:
    explicit ServicePipeHandle(UniqueFileHandle pipe) : pipe_(std::move(pipe)) {}

    bool Send(std::string_view bytes) override {
        DWORD written = 0;
        return ::WriteFile(pipe_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
               written == bytes.size();
    }

    std::optional<std::string> Receive() override {
        std::string bytes;
        for (;;) {
            DWORD waiting = 0;
            if (!::PeekNamedPipe(pipe_.get(), nullptr, 0, nullptr, &waiting, nullptr)) {
                // The service has hung up; what it sent before is in `bytes` or was read.
                if (bytes.empty()) {
                    return std::nullopt;
                }
                return bytes;
            }
            if (waiting == 0 || bytes.size() >= 256 * 1024) {
                return bytes;
            }
            const std::size_t at = bytes.size();
            bytes.resize(at + std::min<DWORD>(waiting, 64 * 1024));
            DWORD read = 0;
            if (!::ReadFile(pipe_.get(), bytes.data() + at, static_cast<DWORD>(bytes.size() - at),
                            &read, nullptr)) {
                bytes.resize(at);
                return bytes.empty() ? std::nullopt : std::optional(bytes);
            }
            bytes.resize(at + read);
        }
    }

  private:
    UniqueFileHandle pipe_;
};

struct ServiceHandles {
    UniqueScHandle manager;
    UniqueScHandle service;
};

ServiceHandles OpenDefragService(DWORD access) {
    ServiceHandles handles;
    handles.manager.reset(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (handles.manager) {
        handles.service.reset(
            ::OpenServiceW(handles.manager.get(), Widen(service::kServiceName).c_str(), access));
    }
    return handles;
}

// The process id of the running service; 0 while it is not running.
DWORD RunningServicePid(SC_HANDLE service) {
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                sizeof(status), &needed)) {
        return 0;
    }
    return status.dwCurrentState == SERVICE_RUNNING ? status.dwProcessId : 0;
}

}  // namespace

bool WindowsDefragService::Installed() {
    return static_cast<bool>(OpenDefragService(SERVICE_QUERY_STATUS).service);
}

DefragServiceAccess::Connection WindowsDefragService::Connect() {
    const ServiceHandles handles = OpenDefragService(SERVICE_QUERY_STATUS | SERVICE_START);
    if (!handles.service) {
        return {nullptr, kNotStarted};
    }
    if (RunningServicePid(handles.service.get()) == 0 &&
        !::StartServiceW(handles.service.get(), 0, nullptr) &&
        ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) {
        return {nullptr, kNotStarted};
    }
    const std::wstring name = Widen(service::kPipeName);
    const ULONGLONG end = ::GetTickCount64() + kStartTimeoutMs;
    UniqueFileHandle pipe;
    while (!pipe) {
        // Identification only: the service may ask who we are, never act as us.
        pipe.reset(::CreateFileW(name.c_str(), GENERIC_READ | FILE_WRITE_DATA, 0, nullptr,
                                 OPEN_EXISTING, SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                                 nullptr));
        if (pipe) {
            break;
        }
        const DWORD error = ::GetLastError();
        if (::GetTickCount64() >= end ||
            (error != ERROR_PIPE_BUSY && error != ERROR_FILE_NOT_FOUND)) {
            return {nullptr, kNotStarted};
        }
        if (error == ERROR_PIPE_BUSY) {
            ::WaitNamedPipeW(name.c_str(), 1000);
        } else {
            ::Sleep(100);  // the service is still starting
        }
    }
    ULONG server = 0;
    DWORD service = RunningServicePid(handles.service.get());
    for (int tries = 0; service == 0 && tries < 50; ++tries) {
        ::Sleep(100);  // it serves its pipe a moment before it reports that it runs
        service = RunningServicePid(handles.service.get());
    }
    if (!::GetNamedPipeServerProcessId(pipe.get(), &server) || server == 0 || server != service) {
        return {nullptr, kServiceNotVerified};
    }
    return {std::make_unique<ServicePipeHandle>(std::move(pipe)), {}};
}

}  // namespace qm::win
