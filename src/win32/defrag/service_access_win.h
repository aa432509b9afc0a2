#pragma once

#include "core/defrag/service_run.h"

namespace qm::win {

// The tray's way to its defragmentation service: the service manager and the service's pipe.
class WindowsDefragService final : public DefragServiceAccess {
  public:
    bool Installed() override;
    // Starts the service if it is stopped, opens the pipe as a client the server may identify
    // but never impersonate, and checks that the process serving it is the service before a
    // word is sent: another program that took the pipe's name gets nothing.
    Connection Connect() override;
};

}  // namespace qm::win
