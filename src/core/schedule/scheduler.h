#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "core/common/date_time.h"
#include "core/common/monotonic_clock.h"
#include "core/common/timer.h"
#include "core/schedule/schedule_editor.h"
#include "core/schedule/schedule_module.h"
#include "core/schedule/scheduler_properties.h"

namespace qm {

// The scheduler component: exposes the program's schedule as properties, keeps the next due
// moment up to date, checks it against the clock once a second on its tick timer and raises
// ScheduledTime when it is reached. Disabled, it computes nothing and never fires.
class Scheduler {
  public:
    static constexpr unsigned kTimerIntervalMs = 1000;

    Scheduler(ScheduleModule& module, Timer& tickTimer, ScheduleEditor& editor);
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Events. ScheduledTime gets the moment Execute was called, seconds kept, and is raised
    // before the next moment is recomputed.
    void OnScheduleChanged(std::function<void()> handler) { scheduleChanged_ = std::move(handler); }
    void OnScheduledTime(std::function<void(DateTime)> handler) {
        scheduledTime_ = std::move(handler);
    }
    // A moment passed while the computer slept or the clock jumped over it: it is not fired
    // now, and the host makes up for it later (the catch-up).
    void OnMomentMissed(std::function<void()> handler) { momentMissed_ = std::move(handler); }
    // The next moment may have changed: the host re-arms what waits for it (the wake timer).
    void OnNextMomentChanged(std::function<void()> handler) {
        nextMomentChanged_ = std::move(handler);
    }
    // The clock that counts sleep and ignores clock changes: with it the tick notices a sleep
    // that sent no resume message and a clock that jumped without saying so.
    void SetTicks(const MonotonicClock* ticks) { ticks_ = ticks; }

    // The computer goes to sleep: the tick stops, the component stays enabled (an open editor
    // stays open).
    void Suspend();
    // It woke: ticking again from the current time. `wokenForNext`: the wake timer woke it for
    // the next moment, which then fires at once; any other passed moment is missed.
    void Resume(bool wokenForNext);
    // The wall clock was changed: a moment it jumped over is missed, and the next one is
    // recomputed from the new time, never at or before the last one fired.
    void ClockChanged();

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool ExecuteOnStartup() const { return executeOnStartup_; }
    bool Modal() const { return modal_; }
    void SetModal(bool value);
    DateTime NextScheduledTime() const;
    // Whether a run lies ahead (or is due now): false for a schedule without one, whatever
    // moment NextScheduledTime shows for it.
    bool HasNextRun() const { return enabled_ && next_.exists; }
    DateTime LastScheduledTime() const;
    std::int32_t StartUpPosition() const { return startUpPosition_; }
    std::int32_t FormLeft() const { return formLeft_; }
    std::int32_t FormTop() const { return formTop_; }
    const std::string& Title() const { return Record().title; }
    void SetTitle(std::string_view value);

    // The schedule as the host reads it; the editor and the settings load write the record
    // itself. Writing the option while enabled recomputes the next moment from this minute.
    std::int32_t OccursOption() const { return Record().occursOption; }
    void SetOccursOption(std::int32_t value);

    // Opens the editor for viewing (OK disabled, "Close").
    void DisplayScheduler();
    // Opens the editor ready to accept (OK enabled and default, "Cancel").
    void DisplayScheduler2();
    void CloseScheduler();
    // Raises ScheduledTime with now, then resets.
    void Execute();
    // Marks now as the last scheduled time and looks for the next moment from the next minute.
    void Reset();
    // Recomputes from the current minute and raises ScheduleChanged (the editor's OK).
    void FlagScheduleChanged();

    // Loading with the host form: each property with its default when absent, then Execute
    // when ExecuteOnStartup says so.
    void ReadProperties(const SchedulerProperties& properties);

    // The one-second tick. A tick that comes more than two minutes after the last one (on the
    // monotonic clock) follows a sleep; one whose wall clock moved a minute more or less than
    // the monotonic one follows a clock change.
    void OnTick();
    static constexpr std::int64_t kSleepGapMs = 2 * 60 * 1000;
    static constexpr std::int64_t kClockJumpMs = 60 * 1000;

  private:
    ScheduleRecord& Record() { return module_.Record(); }
    const ScheduleRecord& Record() const { return module_.Record(); }
    bool Running() const { return enabled_; }
    void Display(bool acceptChanges);
    void SetNext(NextRun next);
    // Missed when it is due: reported, not fired.
    void MissIfPassed();
    // The tick's comparison starts afresh from both clocks as they are now.
    void Rebase();

    ScheduleModule& module_;
    Timer& tickTimer_;  // every second while enabled and awake: is the next moment due?
    ScheduleEditor& editor_;

    bool enabled_{};
    bool executeOnStartup_{};
    bool modal_{};
    NextRun next_;
    std::int32_t startUpPosition_ = 1;
    std::int32_t formLeft_{};
    std::int32_t formTop_{};
    const DateTime today_;

    std::function<void()> scheduleChanged_;
    std::function<void(DateTime)> scheduledTime_;
    std::function<void()> momentMissed_;
    std::function<void()> nextMomentChanged_;
    const MonotonicClock* ticks_ = nullptr;
    DateTime lastFired_;  // the last moment fired, to the minute
    // The last tick, on both clocks.
    std::int64_t lastTickMs_ = -1;
    DateTime lastTickWall_;
};

}  // namespace qm
