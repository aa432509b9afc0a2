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
// ScheduledTime when it is reached. At design time (userMode false) it computes nothing and
// never fires.
class Scheduler {
  public:
    static constexpr unsigned kTimerIntervalMs = 1000;

    Scheduler(ScheduleModule& module, Timer& timer1, ScheduleEditor& editor, bool userMode = true);
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Events. ScheduledTime gets the moment Execute was called, seconds kept, and is raised
    // before the next moment is recomputed.
    void OnScheduleChanged(std::function<void()> handler) { scheduleChanged_ = std::move(handler); }
    void OnScheduledTime(std::function<void(DateTime)> handler) {
        scheduledTime_ = std::move(handler);
    }
    // The host hears of every property write, under the property's name.
    void OnPropertyChanged(std::function<void(std::string_view)> handler) {
        propertyChanged_ = std::move(handler);
    }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool ExecuteOnStartup() const { return executeOnStartup_; }
    void SetExecuteOnStartup(bool value);
    bool Modal() const { return modal_; }
    void SetModal(bool value);
    DateTime NextScheduledTime() const;
    DateTime LastScheduledTime() const;
    std::int32_t StartUpPosition() const { return startUpPosition_; }
    void SetStartUpPosition(std::int32_t value);
    std::int32_t FormLeft() const { return formLeft_; }
    void SetFormLeft(std::int32_t value);
    std::int32_t FormTop() const { return formTop_; }
    void SetFormTop(std::int32_t value);
    const std::string& Title() const { return Record().title; }
    void SetTitle(std::string_view value);

    // Schedule fields: stored in the shared record; while enabled at run time the next
    // moment is recomputed from the current minute.
    std::int32_t OccursOption() const { return Record().occursOption; }
    void SetOccursOption(std::int32_t value);
    std::int16_t EveryFrequency() const { return Record().everyFrequency; }
    void SetEveryFrequency(std::int16_t value);
    std::int32_t EveryInterval() const { return Record().everyInterval; }
    void SetEveryInterval(std::int32_t value);
    std::int16_t StartHour() const { return Record().startHour; }
    // 0-24 kept (24: no start time chosen yet); anything else becomes 24.
    void SetStartHour(int value);
    std::int16_t StartMinute() const { return Record().startMinute; }
    // 0-59 kept; anything else becomes 0.
    void SetStartMinute(int value);
    DateTime StartDate() const { return Record().startDate; }
    void SetStartDate(DateTime value);
    DateTime EndDate() const { return Record().endDate; }
    void SetEndDate(DateTime value);
    bool UseEndDate() const { return Record().useEndDate; }
    void SetUseEndDate(bool value);
    const std::string& WeeklySelections() const { return Record().weeklySelections; }
    // Cut to 7 characters or padded on the right with '0'.
    void SetWeeklySelections(std::string_view value);
    const std::string& MonthlySelections() const { return Record().monthlySelections; }
    // Cut to 31 characters or padded on the right with '0'.
    void SetMonthlySelections(std::string_view value);

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

    // A new instance placed on a form.
    void InitProperties();
    // Loading with the host form: each property with its default when absent, then Execute
    // when ExecuteOnStartup says so.
    void ReadProperties(const SchedulerProperties& properties);
    SchedulerProperties WriteProperties() const;

    // The one-second tick.
    void Timer1_Timer();

  private:
    ScheduleRecord& Record() { return module_.Record(); }
    const ScheduleRecord& Record() const { return module_.Record(); }
    bool Running() const { return enabled_ && userMode_; }
    void ScheduleValueWritten(std::string_view name);
    void Notify(std::string_view name);
    void Display(bool acceptChanges);

    ScheduleModule& module_;
    Timer& timer1_;
    ScheduleEditor& editor_;
    const bool userMode_;

    bool enabled_ = false;
    bool executeOnStartup_ = false;
    bool modal_ = false;
    DateTime next_;
    std::int32_t startUpPosition_ = 1;
    std::int32_t formLeft_ = 0;
    std::int32_t formTop_ = 0;
    const DateTime today_;

    std::function<void()> scheduleChanged_;
    std::function<void(DateTime)> scheduledTime_;
    std::function<void(std::string_view)> propertyChanged_;
};

}  // namespace qm
