#pragma once

#include <windows.h>

#include "core/common/monotonic_clock.h"

namespace qm::win {

// The system's tick count: milliseconds since start-up, sleep included, never set back.
class TickClock final : public MonotonicClock {
  public:
    std::int64_t Milliseconds() const override {
        return static_cast<std::int64_t>(::GetTickCount64());
    }
};

}  // namespace qm::win
