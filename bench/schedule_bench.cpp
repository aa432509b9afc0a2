// Cost of one next-moment calculation for the schedules the program sees most and for the
// worst one it can be given (a start date centuries ahead).

#include <benchmark/benchmark.h>

#include <string>

#include "core/schedule/schedule_calculation.h"

namespace {

using qm::DateTime;
using qm::ScheduleRecord;

ScheduleRecord Weekly() {
    ScheduleRecord r;
    r.occursOption = 2;
    r.startHour = 21;
    r.startMinute = 30;
    r.startDate = DateTime::Make(2026, 11, 1);
    r.weeklySelections = "0100100";  // Monday and Thursday
    return r;
}

ScheduleRecord MonthlyDay31() {
    ScheduleRecord r;
    r.occursOption = 3;
    r.startHour = 3;
    r.startMinute = 0;
    r.startDate = DateTime::Make(2026, 1, 1);
    r.monthlySelections = std::string(30, '0') + "1";
    return r;
}

ScheduleRecord StartFarAhead() {
    ScheduleRecord r = MonthlyDay31();
    r.startDate = DateTime::Make(2526, 12, 1);
    return r;
}

void Run(benchmark::State& state, const ScheduleRecord& record) {
    // Walks the clock a minute per iteration so no single day is favoured.
    DateTime now = DateTime::Make(2027, 2, 1, 10, 0, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(qm::CalculateNextScheduledTime(record, now, 1));
        now = qm::AddMinutes(now, 1);
    }
}

void BM_WeeklyTypical(benchmark::State& state) {
    Run(state, Weekly());
}
void BM_MonthlyDay31(benchmark::State& state) {
    Run(state, MonthlyDay31());
}
void BM_StartDate500YearsAhead(benchmark::State& state) {
    Run(state, StartFarAhead());
}

BENCHMARK(BM_WeeklyTypical);
BENCHMARK(BM_MonthlyDay31);
BENCHMARK(BM_StartDate500YearsAhead);

}  // namespace
