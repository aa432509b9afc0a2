#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/defrag/shutdown.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// The call that ends the session; the real one is ExitWindowsEx. Tests hand in their own so
// nothing they run can log the machine off.
using ExitCall = std::function<bool(UINT flags, DWORD reason)>;
bool RealExitWindows(UINT flags, DWORD reason);

// The system's message for an error code, its own line end kept; empty text when the system
// has none.
std::string ApiErrorText(DWORD code);

// The shutdown steps on the real system: the privilege calls on the program's own token and
// the given exit call.
class WindowsShutdownApi final : public ShutdownApi {
  public:
    explicit WindowsShutdownApi(ExitCall exitCall) : exitCall_(std::move(exitCall)) {}

    std::optional<int> PlatformId() override;
    bool LookupShutdownPrivilege() override;
    bool OpenCurrentProcess() override;
    bool OpenProcessToken() override;
    bool EnableTokenPrivilege() override;
    bool RequestExit(std::uint32_t flags, std::uint32_t reason) override;
    std::uint32_t LastError() override { return lastError_; }
    std::string ErrorText(std::uint32_t code) override { return ApiErrorText(code); }
    std::string ExecutableName() override;

  private:
    bool Fail();  // keeps the system's error for the step that just failed

    ExitCall exitCall_;
    LUID privilege_{};
    HANDLE process_ = nullptr;
    UniqueHandle token_;
    DWORD lastError_ = 0;
};

// Whether the system is of the NT family, asked once per process.
bool IsNTCached();

// Enables the shutdown right of this process; throws ShutdownError.
bool EnableShutdownPrivilege();

// Ends the session with the given exit flags through `exitCall`; throws ShutdownError.
bool ShutdownSystem(std::int32_t flags, const ExitCall& exitCall = RealExitWindows);

// 1 log off, 2 power off, 3 restart (all forced); other modes do nothing. Throws
// ShutdownError.
void ShutdownWindows(int mode, const ExitCall& exitCall = RealExitWindows);

}  // namespace qm::win
