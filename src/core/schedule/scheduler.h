#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "core/common/date_time.h"
#include "core/common/timer.h"
#include "core/schedule/schedule_editor.h"
#include "core/schedule/schedule_module.h"
#include "core/schedule/scheduler_properties.h"

namespace qm {

// The scheduler component: exposes the program's schedule as properties, keeps the next due
// moment up to date, checks it against the clock once a second on `Timer1` and raises
// ScheduledTime when it is reached. Disabled, it computes nothing and never fires.
class Scheduler {
  public:
    static constexpr unsigned kTimerIntervalMs = 1000;

    Scheduler(ScheduleModule& module, Timer& timer1, ScheduleEditor& editor);
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Events. ScheduledTime gets the moment Execute was called, seconds kept, and is raised
    // before the next moment is recomputed.
    void OnScheduleChanged(std::function<void()> handler) { scheduleChanged_ = std::move(handler); }
    void OnScheduledTime(std::function<void(DateTime)> handler) {
        scheduledTime_ = std::move(handler);
    }

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

    // The one-second tick.
    void Timer1_Timer();

  private:
    ScheduleRecord& Record() { return module_.Record(); }
    const ScheduleRecord& Record() const { return module_.Record(); }
    bool Running() const { return enabled_; }
    void Display(bool acceptChanges);

    ScheduleModule& module_;
    Timer& timer1_;
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
};

}  // namespace qm
