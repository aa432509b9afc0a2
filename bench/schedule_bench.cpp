// Cost of one next-moment calculation for the schedules the program sees most and for the
// worst one it can be given (a start date centuries ahead).

#include <benchmark/benchmark.h>

#include <string>

#include "core/schedule/schedule_calculation.h"

namespace {

using qm::DateTime;

// Monday and Thursday at 21:30 (weekly), or day 31 at 03:00 (monthly), from `start`.
void Run(benchmark::State& state, std::int32_t option, DateTime start) {
    qm::ScheduleRecord r;
    r.occursOption = option;
    r.startHour = option == 2 ? 21 : 3;
    r.startMinute = option == 2 ? 30 : 0;
    r.startDate = start;
    r.weeklySelections = "0100100";
    r.monthlySelections = std::string(30, '0') + "1";
    // Walks the clock a minute per iteration so no single day is favoured.
    DateTime now = DateTime::Make(2027, 2, 1, 10, 0, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(qm::CalculateNextScheduledTime(r, now, 1));
        now = qm::AddMinutes(now, 1);
    }
}

void BM_WeeklyTypical(benchmark::State& state) {
    Run(state, 2, DateTime::Make(2026, 11, 1, 0, 0, 0));
}
void BM_MonthlyDay31(benchmark::State& state) {
    Run(state, 3, DateTime::Make(2026, 1, 1, 0, 0, 0));
}
void BM_StartDate500YearsAhead(benchmark::State& state) {
    Run(state, 3, DateTime::Make(2526, 12, 1, 0, 0, 0));
}

BENCHMARK(BM_WeeklyTypical);
BENCHMARK(BM_MonthlyDay31);
BENCHMARK(BM_StartDate500YearsAhead);

}  // namespace
