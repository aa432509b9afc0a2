#include "win32/defrag/system_shutdown.h"

#include "win32/defrag/drives.h"

#include "core/defrag/process_watch.h"
#include "win32/common/text.h"

namespace qm::win {
namespace {

NtFamilyCache& FamilyCache() {
    static NtFamilyCache cache;
    return cache;
}

}  // namespace

bool RealExitWindows(UINT flags, DWORD reason) {
    return ::ExitWindowsEx(flags, reason) != 0;
}

std::string ApiErrorText(DWORD code) {
    wchar_t buffer[256] = {};
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                         0, buffer, 255, nullptr);
    return length == 0 ? std::string() : Narrow(std::wstring_view(buffer, length));
}

bool WindowsShutdownApi::Fail() {
    lastError_ = ::GetLastError();
    return false;
}

std::optional<int> WindowsShutdownApi::PlatformId() {
    return OsPlatformId();
}

bool WindowsShutdownApi::LookupShutdownPrivilege() {
    return ::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privilege_) ? true : Fail();
}

bool WindowsShutdownApi::OpenCurrentProcess() {
    process_ = ::GetCurrentProcess();
    return process_ ? true : Fail();
}

bool WindowsShutdownApi::OpenProcessToken() {
    return ::OpenProcessToken(process_, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token_.put())
               ? true
               : Fail();
}

bool WindowsShutdownApi::EnableTokenPrivilege() {
    UniqueHandle token = std::move(token_);  // closed whatever happens
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid = privilege_;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr,
                                 nullptr)) {
        return Fail();
    }
    // The call succeeds even when the account does not hold the right; that is a refusal.
    return ::GetLastError() == ERROR_NOT_ALL_ASSIGNED ? Fail() : true;
}

bool WindowsShutdownApi::RequestExit(std::uint32_t flags, std::uint32_t reason) {
    return exitCall_(flags, reason) ? true : Fail();
}

std::string WindowsShutdownApi::ExecutableName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FileNameOf(Narrow(std::wstring_view(path, length)));
}

bool IsNTCached() {
    WindowsShutdownApi api(RealExitWindows);
    return FamilyCache().IsNTCached(api);
}

bool EnableShutdownPrivilege() {
    WindowsShutdownApi api(RealExitWindows);
    return qm::EnableShutdownPrivilege(api);
}

bool ShutdownSystem(std::int32_t flags, const ExitCall& exitCall) {
    WindowsShutdownApi api(exitCall);
    return qm::ShutdownSystem(api, FamilyCache(), flags);
}

void ShutdownWindows(int mode, const ExitCall& exitCall) {
    WindowsShutdownApi api(exitCall);
    qm::ShutdownWindows(api, FamilyCache(), mode);
}

}  // namespace qm::win
