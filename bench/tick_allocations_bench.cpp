// The scheduler's tick runs every second for as long as the program lives; it should not touch
// the heap. This benchmark replaces the global allocation functions with counting ones (every
// plain form, so that what one form allocates is never freed by another) and reports the heap
// allocations of two days of ticks, per schedule option, as the counter "allocations".

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <string>

#include "core/schedule/scheduler.h"
#include "support/fakes.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

void* CountedAllocate(std::size_t size) {
    if (g_counting.load(std::memory_order_relaxed)) {
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
    return CountedAllocate(size);
}
void* operator new[](std::size_t size) {
    return CountedAllocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAllocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

using qm::DateTime;

// Two days of one-second ticks for schedule option `state.range(0)` (0 Never ... 4 Every).
void BM_TwoDaysOfTicks(benchmark::State& state) {
    long allocations = 0;
    long runs = 0;
    for (auto _ : state) {
        qm::test::FakeClock clock{DateTime::Make(2026, 12, 30, 0, 0, 0)};
        qm::test::FakeTimer timer;
        qm::test::FakeScheduleEditor editor;
        qm::ScheduleModule module{clock};
        qm::ScheduleRecord& r = module.Record();
        r.occursOption = static_cast<std::int32_t>(state.range(0));
        r.startHour = 0;
        r.startMinute = 30;
        r.startDate = DateTime::Make(2026, 1, 1, 0, 0, 0);
        r.weeklySelections = "0100100";
        r.monthlySelections = std::string(30, '0') + "1";
        r.everyInterval = 1;
        r.everyFrequency = 7;
        qm::Scheduler scheduler{module, timer, editor};
        scheduler.OnScheduledTime([&runs](DateTime) { ++runs; });
        scheduler.SetEnabled(true);
        g_allocations = 0;
        g_counting = true;
        for (int second = 0; second < 2 * 86400; ++second) {
            clock.Advance(std::chrono::milliseconds(1000));
            timer.Fire();
        }
        g_counting = false;
        allocations = g_allocations.load();
    }
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["runs"] = static_cast<double>(runs) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_TwoDaysOfTicks)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace
