#pragma once

#include "core/app/wake_timer.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// A waitable timer of the system, which may wake the computer from sleep (where the power plan
// lets programs' wake timers do so).
class WaitableWakeTimer final : public WakeTimer {
  public:
    WaitableWakeTimer();
    ~WaitableWakeTimer() override { Cancel(); }
    bool Arm(DateTime due, bool resume) override;
    void Cancel() override;
    bool Fired() override;

  private:
    UniqueHandle timer_;
};

// Keeps the computer from sleeping while `on` (the display may still turn off), and lets it
// sleep again.
void KeepSystemAwake(bool on);

}  // namespace qm::win
