#pragma once

#include "win32/common/unique_handle.h"

namespace qm::win {

// Holds the program's named mutex for the life of the first copy in a logon session; later
// copies see that it exists. The mutex dies with the process, so a crashed copy never blocks
// the next start.
class SingleInstance {
  public:
    SingleInstance();
    bool AnotherIsRunning() const { return anotherIsRunning_; }

  private:
    UniqueHandle mutex_;
    bool anotherIsRunning_ = false;
};

}  // namespace qm::win
