#pragma once

#include <cstdint>

namespace qm {

// Milliseconds from an arbitrary start that only ever go forward, whatever is done to the
// wall clock (GetTickCount64 on Windows, which counts sleep too). Waits and time limits are
// measured with it.
class MonotonicClock {
  public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t Milliseconds() const = 0;
};

}  // namespace qm
