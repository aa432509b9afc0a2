#include "core/schedule/scheduler.h"

#include <utility>

namespace qm {

Scheduler::Scheduler(ScheduleModule& module, Timer& tickTimer, ScheduleEditor& editor)
    : module_(module),
      tickTimer_(tickTimer),
      editor_(editor),
      today_(module.ClockSource().Now().DatePart()) {
    tickTimer_.SetEnabled(false);
    tickTimer_.SetInterval(kTimerIntervalMs);
    tickTimer_.SetHandler([this] { OnTick(); });
}

void Scheduler::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Rebase();
    if (enabled) {
        Reset();
    } else {
        editor_.Close();
        if (nextMomentChanged_) {
            nextMomentChanged_();
        }
    }
    tickTimer_.SetEnabled(enabled);
}

void Scheduler::SetNext(NextRun next) {
    next_ = next;
    if (nextMomentChanged_) {
        nextMomentChanged_();
    }
}

void Scheduler::MissIfPassed() {
    if (next_.exists && MinuteDifference(module_.ClockSource().Now(), next_.moment) <= 0 &&
        momentMissed_) {
        momentMissed_();
    }
}

void Scheduler::Rebase() {
    lastTickMs_ = ticks_ ? ticks_->Milliseconds() : -1;
    lastTickWall_ = module_.ClockSource().Now();
}

void Scheduler::Suspend() {
    tickTimer_.SetEnabled(false);
}

void Scheduler::Resume(bool wokenForNext) {
    if (!enabled_) {
        return;  // a run is going on: it turns the component on again when it ends
    }
    Rebase();
    tickTimer_.SetEnabled(true);
    if (wokenForNext) {
        return;  // the moment it woke for fires at the next tick
    }
    MissIfPassed();
    Reset();
}

void Scheduler::ClockChanged() {
    Rebase();
    if (!enabled_) {
        return;
    }
    MissIfPassed();
    if (Record().occursOption == static_cast<std::int32_t>(OccursOption::Every)) {
        Reset();  // every so often: from the new time on
        return;
    }
    NextRun next = module_.CalculateNextRun(0);
    if (next.exists && !lastFired_.IsZero() && next.moment <= lastFired_) {
        // Set back past a moment already fired: that one is not fired again.
        next = qm::CalculateNextRun(Record(), lastFired_, 1);
    }
    SetNext(next);
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
        SetNext(module_.CalculateNextRun(0));
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
    lastFired_ = StripSeconds(module_.ClockSource().Now());
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
    SetNext(module_.CalculateNextRun(1));
}

void Scheduler::FlagScheduleChanged() {
    if (!Running()) {
        return;
    }
    SetNext(module_.CalculateNextRun(0));
    if (scheduleChanged_) {
        scheduleChanged_();
    }
}

void Scheduler::OnTick() {
    if (!enabled_) {
        tickTimer_.SetEnabled(false);
        return;
    }
    if (ticks_) {
        const std::int64_t nowMs = ticks_->Milliseconds();
        const DateTime wall = module_.ClockSource().Now();
        const std::int64_t sinceMs = nowMs - lastTickMs_;
        const bool first = lastTickMs_ < 0;
        const std::int64_t wallMs = (wall.Seconds() - lastTickWall_.Seconds()) * 1000;
        lastTickMs_ = nowMs;
        lastTickWall_ = wall;
        if (!first && sinceMs > kSleepGapMs) {
            Resume(false);  // a sleep whose resume message never came
            return;
        }
        if (!first && (wallMs - sinceMs > kClockJumpMs || sinceMs - wallMs > kClockJumpMs)) {
            ClockChanged();
            return;
        }
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
