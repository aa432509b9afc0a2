#pragma once

#include "core/common/clock.h"
#include "core/common/monotonic_clock.h"

namespace qm::win {

// The local wall clock, to the second.
class SystemClock final : public Clock {
  public:
    DateTime Now() const override;
};

// Milliseconds since the system started, sleep included (GetTickCount64).
class SystemMonotonicClock final : public MonotonicClock {
  public:
    std::int64_t Milliseconds() const override;
};

}  // namespace qm::win
