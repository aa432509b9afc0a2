#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/defrag/defrag_launch.h"

namespace qm::win {

// Starts a command line the way a command prompt would: the system finds the program named
// by its first word on the search path. No handle to the child is kept or handed down.
//
// The child starts suspended and is let go once its class is set; one that cannot be let go is
// ended at once rather than left asleep for ever, with the run waiting on it.
class CreateProcessLauncher final : public ProcessLauncher {
  public:
    using ResumeCall = DWORD(WINAPI*)(HANDLE thread);
    explicit CreateProcessLauncher(ResumeCall resume = &::ResumeThread) : resume_(resume) {}

    bool Start(const std::string& commandLine, bool hidden, std::uint32_t creationClass) override;

  private:
    ResumeCall resume_;
};

// Starts the defragmenter for one drive (see qm::LaunchDefrag) on the real system.
void LaunchDefrag(const std::string& defragCmd, const std::string& contigCmd, bool hidden,
                  int priority, const std::function<void()>& onDefragStarted = {});

}  // namespace qm::win
