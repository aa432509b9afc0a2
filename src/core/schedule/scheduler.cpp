#include "core/schedule/scheduler.h"

#include <utility>

namespace qm {

Scheduler::Scheduler(ScheduleModule& module, Timer& timer1, ScheduleEditor& editor)
    : module_(module),
      timer1_(timer1),
      editor_(editor),
      today_(module.ClockSource().Now().DatePart()) {
    timer1_.SetEnabled(false);
    timer1_.SetInterval(kTimerIntervalMs);
    timer1_.SetHandler([this] { Timer1_Timer(); });
}

void Scheduler::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        Reset();
    } else {
        editor_.Close();
    }
    timer1_.SetEnabled(enabled);
}

void Scheduler::SetModal(bool value) {
    modal_ = value;
}

DateTime Scheduler::NextScheduledTime() const {
    return Running() ? next_.moment : DateTime();
}

DateTime Scheduler::LastScheduledTime() const {
    return Running() ? Record().lastScheduledTime : DateTime();
}

void Scheduler::SetTitle(std::string_view value) {
    Record().title = std::string(value);
}

void Scheduler::SetOccursOption(std::int32_t value) {
    Record().occursOption = value;
    if (Running()) {
        next_ = module_.CalculateNextRun(0);
    }
}

void Scheduler::Display(bool acceptChanges) {
    module_.SetEditorHost(this);
    ScheduleEditorRequest request;
    request.acceptChanges = acceptChanges;
    request.modal = modal_;
    request.startUpPosition = startUpPosition_;
    request.formLeft = formLeft_;
    request.formTop = formTop_;
    request.title = Record().title;
    editor_.Display(request);
}

void Scheduler::DisplayScheduler() {
    Display(false);
}

void Scheduler::DisplayScheduler2() {
    Display(true);
}

void Scheduler::CloseScheduler() {
    editor_.Close();
}

void Scheduler::Execute() {
    if (!Running()) {
        return;
    }
    if (scheduledTime_) {
        scheduledTime_(module_.ClockSource().Now());
    }
    // The handler may have disabled the component; Reset then does nothing.
    Reset();
}

void Scheduler::Reset() {
    if (!Running()) {
        return;
    }
    Record().lastScheduledTime = StripSeconds(module_.ClockSource().Now());
    next_ = module_.CalculateNextRun(1);
}

void Scheduler::FlagScheduleChanged() {
    if (!Running()) {
        return;
    }
    next_ = module_.CalculateNextRun(0);
    if (scheduleChanged_) {
        scheduleChanged_();
    }
}

void Scheduler::Timer1_Timer() {
    if (!enabled_) {
        timer1_.SetEnabled(false);
        return;
    }
    // A schedule without a run never fires, however the clock is set: its moment (50 years
    // back, or the zero date) is only there to be shown.
    if (next_.exists && MinuteDifference(module_.ClockSource().Now(), next_.moment) <= 0) {
        Execute();
    }
}

void Scheduler::ReadProperties(const SchedulerProperties& p) {
    // Enabled goes through its setter, so a true value resets at once, before the schedule
    // values below are read; those go straight into the record.
    SetEnabled(p.enabled.value_or(true));
    ScheduleRecord& r = Record();
    r.title = p.title.value_or(std::string());
    executeOnStartup_ = p.executeOnStartup.value_or(false);
    modal_ = p.modal.value_or(false);
    startUpPosition_ = p.startUpPosition.value_or(1);
    formLeft_ = p.formLeft.value_or(0);
    formTop_ = p.formTop.value_or(0);
    r.occursOption = p.occursOption.value_or(0);
    r.everyFrequency = p.everyFrequency.value_or(1);
    r.everyInterval = p.everyInterval.value_or(0);
    r.startHour = p.startHour.value_or(24);
    r.startMinute = p.startMinute.value_or(0);
    r.startDate = p.startDate.value_or(today_);
    r.endDate = p.endDate.value_or(today_);
    r.useEndDate = p.useEndDate.value_or(false);
    if (executeOnStartup_) {
        Execute();
    }
}

}  // namespace qm
