#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/defrag/defrag_launch.h"

namespace qm::win {

// Starts programs for the run: the given file, or the first word of the command line as the
// system finds it. The child's process handle is kept to learn its exit code, and with
// capture its console output comes through a pipe, the one handle it inherits, with no
// console window on the screen.
//
// The child starts suspended and is let go once its class is set; one that cannot be let go is
// ended at once rather than left asleep for ever, with the run waiting on it.
class CreateProcessLauncher final : public ProcessLauncher {
  public:
    using ResumeCall = DWORD(WINAPI*)(HANDLE thread);
    explicit CreateProcessLauncher(ResumeCall resume = &::ResumeThread) : resume_(resume) {}

    std::unique_ptr<StartedProcess> Start(const LaunchRequest& request) override;

  private:
    ResumeCall resume_;
};

// The console's OEM code page as UTF-8.
std::string OemToUtf8(std::string_view bytes);

}  // namespace qm::win
