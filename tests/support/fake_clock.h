#pragma once

#include <chrono>
#include <cstdint>

#include "core/common/clock.h"

namespace qm::test {

// A clock that stands still until the test moves it. It keeps milliseconds so a test can
// walk in timer steps; Now() reports the whole second, as the wall clock does.
class FakeClock final : public Clock {
  public:
    explicit FakeClock(DateTime now) { SetNow(now); }

    DateTime Now() const override {
        const std::int64_t ms = millis_;
        return DateTime::FromSeconds(ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000));
    }
    void SetNow(DateTime now) { millis_ = now.Seconds() * 1000; }
    void Advance(std::chrono::milliseconds step) { millis_ += step.count(); }

  private:
    std::int64_t millis_ = 0;
};

}  // namespace qm::test
