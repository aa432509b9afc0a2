#pragma once

#include "core/common/clock.h"

namespace qm::win {

// The local wall clock, to the second.
class SystemClock final : public Clock {
  public:
    DateTime Now() const override;
};

}  // namespace qm::win
