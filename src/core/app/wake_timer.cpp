#include "core/app/wake_timer.h"

#include "core/app/setting_conversions.h"
#include "core/app/settings_keys.h"

namespace qm {

bool ReadWakeToRunSetting(const SettingsStore& store) {
    return NumberTextEquals(store.GetSetting(keys::kWakeToRun, "0"), 1);
}

WakePlan PlanWake(bool wakeToRun, bool hasNextRun, DateTime next, bool onBattery,
                  bool runOnBattery) {
    if (!wakeToRun || !hasNextRun) {
        return {};
    }
    return {true, next, !onBattery || runOnBattery};
}

void WakeKeeper::Update(const WakePlan& plan) {
    if (plan == plan_) {
        return;
    }
    plan_ = plan;
    if (plan.armed) {
        timer_.Arm(plan.due, plan.resume);
    } else {
        timer_.Cancel();
    }
}

bool WakeKeeper::WokeFor(DateTime moment) {
    return plan_.armed && plan_.due == moment && timer_.Fired();
}

}  // namespace qm
