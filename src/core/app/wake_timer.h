#pragma once

#include "core/common/date_time.h"
#include "core/common/settings_store.h"

namespace qm {

// "WakeToRun": "1" wakes the computer for scheduled runs; default "0", on only for the number 1.
bool ReadWakeToRunSetting(const SettingsStore& store);

// The system's timer that can wake the computer from sleep at a local time.
class WakeTimer {
  public:
    virtual ~WakeTimer() = default;
    // `resume`: wakes the computer for it, rather than only firing when it is awake.
    virtual bool Arm(DateTime due, bool resume) = 0;
    virtual void Cancel() = 0;
    // Whether it has fired since it was armed.
    virtual bool Fired() = 0;
};

// What the wake timer should be: armed for the next scheduled moment while the option is on
// and there is one; allowed to wake the computer only when a run could then start (on mains
// power, or where runs may use the battery).
struct WakePlan {
    bool armed{};
    DateTime due;
    bool resume{};
    bool operator==(const WakePlan&) const = default;
};

WakePlan PlanWake(bool wakeToRun, bool hasNextRun, DateTime next, bool onBattery,
                  bool runOnBattery);

// Keeps the one wake timer as the plan says, touching the system only when the plan changes.
class WakeKeeper {
  public:
    explicit WakeKeeper(WakeTimer& timer) : timer_(timer) {}
    void Update(const WakePlan& plan);
    // Whether the computer woke for this very moment: the timer was armed for it and fired.
    bool WokeFor(DateTime moment);

  private:
    WakeTimer& timer_;
    WakePlan plan_;
};

}  // namespace qm
