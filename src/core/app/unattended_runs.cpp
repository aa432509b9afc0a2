#include "core/app/unattended_runs.h"

#include "core/app/setting_conversions.h"
#include "core/schedule/schedule_calculation.h"
#include "core/schedule/status_texts.h"

namespace qm {

UnattendedSettings ReadUnattendedSettings(const SettingsStore& store) {
    UnattendedSettings settings;
    settings.runOnBattery = NumberTextEquals(store.GetSetting("RunOnBattery", "0"), 1);
    const std::string catchUp = store.GetSetting("CatchUpMissedRuns", "1");
    settings.catchUpMissedRuns = !ParseWholeNumber(catchUp) || NumberTextEquals(catchUp, 1);
    return settings;
}

bool OnBatteryFromStatus(int acLineStatus, int batteryFlag) {
    const bool batteryPresent = batteryFlag != 255 && (batteryFlag & 128) == 0;
    return acLineStatus == 0 && batteryPresent;
}

UnattendedRuns::UnattendedRuns(const Clock& clock, const MonotonicClock& ticks, PowerSource& power,
                               Timer& tick, const RunSettings& run, const ScheduleRecord& schedule,
                               std::function<void()> startRun, LogFolder* log)
    : clock_(clock),
      ticks_(ticks),
      power_(power),
      tick_(tick),
      run_(run),
      schedule_(schedule),
      startRun_(std::move(startRun)),
      log_(log) {
    // A second's tick while a catch-up waits: the delay counts on the monotonic clock, which
    // counts sleep too and ignores a clock set back or on.
    tick_.SetInterval(1000);
    tick_.SetHandler([this] { Tick(); });
}

void UnattendedRuns::ScheduledMoment() {
    RunWhenOnMains();
}

void UnattendedRuns::RunWhenOnMains() {
    if (!settings_.runOnBattery && power_.OnBattery() == true) {
        if (!waitingForMains_) {
            Note("postponed: on battery power, until mains power returns");
        }
        waitingForMains_ = true;
        return;
    }
    waitingForMains_ = false;
    if (startRun_) {
        startRun_();
    }
}

void UnattendedRuns::PowerStatusChanged() {
    if (waitingForMains_) {
        RunWhenOnMains();  // which waits on if the battery still powers the computer
    }
}

void UnattendedRuns::LookForMissedRunSoon() {
    if (!settings_.catchUpMissedRuns) {
        return;
    }
    lookFrom_ = clock_.Now();
    lookFromMs_ = ticks_.Milliseconds();
    tick_.SetEnabled(true);
}

void UnattendedRuns::Tick() {
    if (ticks_.Milliseconds() - lookFromMs_ < kCatchUpDelaySeconds * 1000) {
        return;
    }
    tick_.SetEnabled(false);
    // Never for a program that has not yet had a successful run: a fresh installation waits
    // for its first scheduled moment.
    if (run_.lastDefrag.IsZero()) {
        return;
    }
    const auto missed = LatestScheduledMoment(schedule_, run_.lastDefrag, lookFrom_);
    if (!missed) {
        return;
    }
    Note("catch-up: the run due " + DayText(*missed) + " at " + TimeText(*missed) + " was missed");
    RunWhenOnMains();
}

void UnattendedRuns::Note(const std::string& text) {
    if (log_) {
        AppendToRunLog(*log_, RunNoteLine(clock_.Now(), text));
    }
}

}  // namespace qm
