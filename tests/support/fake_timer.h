#pragma once

#include <functional>
#include <utility>

#include "core/common/timer.h"

namespace qm::test {

// A timer that fires only when the test says so: Fire() calls the handler if enabled.
class FakeTimer final : public Timer {
  public:
    void SetHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    void SetInterval(unsigned milliseconds) override { interval_ = milliseconds; }
    unsigned Interval() const override { return interval_; }
    void SetEnabled(bool enabled) override {
        if (enabled && !enabled_) {
            ++starts_;
        }
        enabled_ = enabled;
    }
    bool Enabled() const override { return enabled_; }

    // Fires once if enabled; returns whether it fired.
    bool Fire() {
        if (!enabled_ || !handler_) {
            return false;
        }
        handler_();
        return true;
    }
    int Starts() const { return starts_; }

  private:
    std::function<void()> handler_;
    unsigned interval_ = 0;
    bool enabled_ = false;
    int starts_ = 0;
};

}  // namespace qm::test
