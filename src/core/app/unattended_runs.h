#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/app/program_settings.h"
#include "core/common/clock.h"
#include "core/common/monotonic_clock.h"
#include "core/common/timer.h"
#include "core/defrag/run_log.h"
#include "core/schedule/schedule_record.h"

namespace qm {

// Whether the computer runs on its battery, from the system's power status: its AC line status
// (0 off, 1 on, 255 unknown) and battery flags (128 no system battery, 255 unknown). Off the
// mains with a battery present is on battery; an unknown line counts as mains, and so does a
// computer without a battery whatever its line says.
bool OnBatteryFromStatus(int acLineStatus, int batteryFlag);

// Whether the computer runs on its battery; nothing when it cannot tell (a desktop, say), which
// counts as mains power.
class PowerSource {
  public:
    virtual ~PowerSource() = default;
    virtual std::optional<bool> OnBattery() = 0;
};

// The two settings of runs that start without the user asking.
struct UnattendedSettings {
    bool runOnBattery{};            // "RunOnBattery", default "0"
    bool catchUpMissedRuns = true;  // "CatchUpMissedRuns", default "1"
    bool operator==(const UnattendedSettings&) const = default;
};
UnattendedSettings ReadUnattendedSettings(const SettingsStore& store);

// Runs that start without the user asking: a scheduled one waits for mains power (a laptop's
// battery is not spent on it), and one that was due while the program was not running or the
// computer slept is made up for, once, five minutes after the program started or the computer
// resumed. Runs the user asks for are none of its business.
class UnattendedRuns {
  public:
    static constexpr std::int64_t kCatchUpDelaySeconds = 300;

    UnattendedRuns(const Clock& clock, const MonotonicClock& ticks, PowerSource& power, Timer& tick,
                   const RunSettings& run, const ScheduleRecord& schedule,
                   std::function<void()> startRun, LogFolder* log);

    void SetSettings(UnattendedSettings settings) { settings_ = settings; }

    // The scheduler reached a scheduled moment.
    void ScheduledMoment();
    // The power source may have changed: a run waiting for mains power starts once it is back.
    void PowerStatusChanged();
    // The program has started or the computer has resumed: in five minutes, a run missed since
    // the last successful one is made up for.
    void LookForMissedRunSoon();

    bool WaitingForMains() const { return waitingForMains_; }
    bool CatchUpPending() const { return tick_.Enabled(); }

  private:
    void Tick();
    void RunWhenOnMains();
    void Note(const std::string& text);

    const Clock& clock_;
    const MonotonicClock& ticks_;
    PowerSource& power_;
    Timer& tick_;
    const RunSettings& run_;
    const ScheduleRecord& schedule_;
    std::function<void()> startRun_;
    LogFolder* log_;
    UnattendedSettings settings_;
    bool waitingForMains_{};
    DateTime lookFrom_;
    std::int64_t lookFromMs_{};
};

}  // namespace qm
