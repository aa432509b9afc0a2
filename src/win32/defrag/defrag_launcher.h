#pragma once

#include <functional>
#include <string>

#include "core/defrag/defrag_launch.h"

namespace qm::win {

// Starts a command line the way a command prompt would: the system finds the program named
// by its first word on the search path. No handle to the child is kept or handed down.
class CreateProcessLauncher final : public ProcessLauncher {
  public:
    bool Start(const std::string& commandLine, bool hidden, std::uint32_t creationClass) override;
};

// Starts the defragmenter for one drive (see qm::LaunchDefrag) on the real system.
void LaunchDefrag(const std::string& defragCmd, const std::string& contigCmd, bool hidden,
                  int priority, const std::function<void()>& onDefragStarted = {});

}  // namespace qm::win
