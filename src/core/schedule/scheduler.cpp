#include "core/schedule/scheduler.h"

#include <utility>

namespace qm {

namespace {

std::string FixedWidthZeros(std::string_view value, std::size_t width) {
    std::string text(value.substr(0, width));
    text.resize(width, '0');
    return text;
}

}  // namespace

Scheduler::Scheduler(ScheduleModule& module, Timer& timer1, ScheduleEditor& editor, bool userMode)
    : module_(module),
      timer1_(timer1),
      editor_(editor),
      userMode_(userMode),
      today_(module.ClockSource().Now().DatePart()) {
    timer1_.SetEnabled(false);
    timer1_.SetInterval(kTimerIntervalMs);
    timer1_.SetHandler([this] { Timer1_Timer(); });
}

void Scheduler::Notify(std::string_view name) {
    if (propertyChanged_) {
        propertyChanged_(name);
    }
}

void Scheduler::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        Reset();
    } else {
        editor_.Close();
    }
    timer1_.SetEnabled(enabled);
    Notify("Enabled");
}

void Scheduler::SetExecuteOnStartup(bool value) {
    executeOnStartup_ = value;
    Notify("ExecuteOnStartup");
}

void Scheduler::SetModal(bool value) {
    modal_ = value;
    Notify("Modal");
}

DateTime Scheduler::NextScheduledTime() const {
    return Running() ? next_ : DateTime();
}

DateTime Scheduler::LastScheduledTime() const {
    return Running() ? Record().lastScheduledTime : DateTime();
}

void Scheduler::SetStartUpPosition(std::int32_t value) {
    startUpPosition_ = value;
    Notify("StartUpPosition");
}

void Scheduler::SetFormLeft(std::int32_t value) {
    formLeft_ = value;
    Notify("FormLeft");
}

void Scheduler::SetFormTop(std::int32_t value) {
    formTop_ = value;
    Notify("FormTop");
}

void Scheduler::SetTitle(std::string_view value) {
    Record().title = std::string(value);
    Notify("Title");
}

void Scheduler::ScheduleValueWritten(std::string_view name) {
    if (Running()) {
        next_ = module_.CalculateNextScheduledTime(0);
    }
    Notify(name);
}

void Scheduler::SetOccursOption(std::int32_t value) {
    Record().occursOption = value;
    ScheduleValueWritten("OccursOption");
}

void Scheduler::SetEveryFrequency(std::int16_t value) {
    Record().everyFrequency = value;
    ScheduleValueWritten("EveryFrequency");
}

void Scheduler::SetEveryInterval(std::int32_t value) {
    Record().everyInterval = value;
    ScheduleValueWritten("EveryInterval");
}

void Scheduler::SetStartHour(int value) {
    Record().startHour = static_cast<std::int16_t>(value < 0 || value > 24 ? 24 : value);
    ScheduleValueWritten("StartHour");
}

void Scheduler::SetStartMinute(int value) {
    Record().startMinute = static_cast<std::int16_t>(value < 0 || value > 59 ? 0 : value);
    ScheduleValueWritten("StartMinute");
}

void Scheduler::SetStartDate(DateTime value) {
    Record().startDate = value;
    ScheduleValueWritten("StartDate");
}

void Scheduler::SetEndDate(DateTime value) {
    Record().endDate = value;
    ScheduleValueWritten("EndDate");
}

void Scheduler::SetUseEndDate(bool value) {
    Record().useEndDate = value;
    ScheduleValueWritten("UseEndDate");
}

void Scheduler::SetWeeklySelections(std::string_view value) {
    Record().weeklySelections = FixedWidthZeros(value, kWeeklySelectionsLength);
    ScheduleValueWritten("WeeklySelections");
}

void Scheduler::SetMonthlySelections(std::string_view value) {
    Record().monthlySelections = FixedWidthZeros(value, kMonthlySelectionsLength);
    ScheduleValueWritten("MonthlySelections");
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
    next_ = module_.CalculateNextScheduledTime(1);
}

void Scheduler::FlagScheduleChanged() {
    if (!Running()) {
        return;
    }
    next_ = module_.CalculateNextScheduledTime(0);
    if (scheduleChanged_) {
        scheduleChanged_();
    }
}

void Scheduler::Timer1_Timer() {
    if (!enabled_) {
        timer1_.SetEnabled(false);
        return;
    }
    if (!userMode_) {
        return;
    }
    // A moment 50 or more years back is the "no run" marker, and the zero date-time means
    // nothing scheduled: neither fires.
    const DateTime now = module_.ClockSource().Now();
    if (!next_.IsZero() && YearDifference(now, next_) > -50 && MinuteDifference(now, next_) <= 0) {
        Execute();
    }
}

void Scheduler::InitProperties() {
    SetEnabled(true);
    ScheduleRecord& r = Record();
    r.title.clear();
    executeOnStartup_ = false;
    modal_ = false;
    startUpPosition_ = 1;
    formLeft_ = 0;
    formTop_ = 0;
    r.occursOption = 0;
    r.everyFrequency = 1;
    r.everyInterval = 0;
    r.startHour = 24;
    r.startMinute = 0;
    r.startDate = today_;
    r.endDate = today_;
    r.useEndDate = false;
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

SchedulerProperties Scheduler::WriteProperties() const {
    // As with the reading, a value equal to its default is left out.
    const auto unless = [](auto value, auto defaultValue) {
        using T = decltype(value);
        return value == defaultValue ? std::optional<T>() : std::optional<T>(value);
    };
    const ScheduleRecord& r = Record();
    SchedulerProperties p;
    p.enabled = unless(enabled_, true);
    p.title = unless(r.title, std::string());
    p.executeOnStartup = unless(executeOnStartup_, false);
    p.modal = unless(modal_, false);
    p.startUpPosition = unless(startUpPosition_, std::int32_t{1});
    p.formLeft = unless(formLeft_, std::int32_t{0});
    p.formTop = unless(formTop_, std::int32_t{0});
    p.occursOption = unless(r.occursOption, std::int32_t{0});
    p.everyFrequency = unless(r.everyFrequency, std::int16_t{1});
    p.everyInterval = unless(r.everyInterval, std::int32_t{0});
    p.startHour = unless(r.startHour, std::int16_t{24});
    p.startMinute = unless(r.startMinute, std::int16_t{0});
    p.startDate = unless(r.startDate, today_);
    p.endDate = unless(r.endDate, today_);
    p.useEndDate = unless(r.useEndDate, false);
    return p;
}

}  // namespace qm
