#pragma once

#include "core/common/date_time.h"

namespace qm {

// The local wall clock. The Windows layer reads the system's local time; tests set it.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

}  // namespace qm
