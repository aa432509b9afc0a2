#pragma once

#include <cstdint>

#include "core/common/clock.h"
#include "core/schedule/schedule_calculation.h"
#include "core/schedule/schedule_record.h"

namespace qm {

class Scheduler;

// The program's one schedule, created once at start-up and shared by the scheduler
// component, the schedule editor and the settings load and save.
class ScheduleModule {
  public:
    explicit ScheduleModule(const Clock& clock) : clock_(clock) {}
    ScheduleModule(const ScheduleModule&) = delete;
    ScheduleModule& operator=(const ScheduleModule&) = delete;

    ScheduleRecord& Record() { return record_; }
    const ScheduleRecord& Record() const { return record_; }
    const Clock& ClockSource() const { return clock_; }

    // The next run of the record, seen from the clock's now plus `offsetMinutes`.
    NextRun CalculateNextRun(std::int16_t offsetMinutes) const {
        return qm::CalculateNextRun(record_, clock_.Now(), offsetMinutes);
    }
    DateTime CalculateNextScheduledTime(std::int16_t offsetMinutes) const {
        return CalculateNextRun(offsetMinutes).moment;
    }

    // The scheduler that last opened the editor; the editor reports a saved change to it.
    Scheduler* EditorHost() const { return editorHost_; }
    void SetEditorHost(Scheduler* host) { editorHost_ = host; }

  private:
    const Clock& clock_;
    ScheduleRecord record_;
    Scheduler* editorHost_ = nullptr;
};

}  // namespace qm
