// The scheduler's tick runs every second for as long as the program lives; it must not touch
// the heap. This file replaces the global allocation functions with counting ones, which
// count only while a test has switched counting on.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>

#include "core/schedule/scheduler.h"
#include "support/fake_schedule_editor.h"
#include "support/fake_clock.h"
#include "support/fake_timer.h"

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
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAllocate(size);
    } catch (...) {
        return nullptr;
    }
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

namespace qm {
namespace {

class CountAllocations {
  public:
    CountAllocations() {
        g_allocations = 0;
        g_counting = true;
    }
    ~CountAllocations() { g_counting = false; }
    long Count() const { return g_allocations.load(); }
};

struct TickCase {
    const char* name;
    std::int32_t option;
    const char* weekly;
};

TEST(SchedulerAllocationTest, TicksAndRunsAllocateNothing) {
    const TickCase cases[] = {
        {"daily", 1, "0000000"}, {"weekly", 2, "0100100"}, {"monthly", 3, "0000000"},
        {"every", 4, "0000000"}, {"never", 0, "0000000"},
    };
    for (const TickCase& c : cases) {
        test::FakeClock clock{DateTime::Make(2026, 12, 30, 0, 0, 0)};
        test::FakeTimer timer;
        test::FakeScheduleEditor editor;
        ScheduleModule module{clock};
        ScheduleRecord& r = module.Record();
        r.occursOption = c.option;
        r.startHour = 0;
        r.startMinute = 30;
        r.startDate = DateTime::Make(2026, 1, 1);
        r.weeklySelections = c.weekly;
        r.monthlySelections = std::string(30, '0') + "1";
        r.everyInterval = 1;
        r.everyFrequency = 7;
        Scheduler scheduler{module, timer, editor};
        long runs = 0;
        scheduler.OnScheduledTime([&runs](DateTime) { ++runs; });
        scheduler.SetEnabled(true);

        long allocations = 0;
        {
            CountAllocations counter;
            for (int second = 0; second < 2 * 86400; ++second) {
                clock.Advance(std::chrono::milliseconds(1000));
                timer.Fire();
            }
            allocations = counter.Count();
        }
        EXPECT_EQ(allocations, 0) << c.name;
        EXPECT_EQ(runs > 0, c.option != 0) << c.name;
    }
}

TEST(SchedulerAllocationTest, CounterSeesAllocations) {
    CountAllocations counter;
    auto* p = new int(7);
    delete p;
    EXPECT_GE(counter.Count(), 1);
}

}  // namespace
}  // namespace qm
