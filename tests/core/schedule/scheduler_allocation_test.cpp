// The scheduler's tick runs every second for as long as the program lives; it must not touch
// the heap. This file replaces the global allocation functions with counting ones, which
// count only while a test has switched counting on. Every plain form is replaced, so that
// what one form allocates is never freed by another (AddressSanitizer supplies any form left
// out, and would report the mismatch).

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

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

namespace qm {
namespace {

long AllocationsDuring(const std::function<void()>& work) {
    g_allocations = 0;
    g_counting = true;
    work();
    g_counting = false;
    return g_allocations.load();
}

TEST(SchedulerAllocationTest, TicksAndRunsAllocateNothing) {
    // The counter itself must see an allocation, or the zeros below prove nothing.
    ASSERT_GE(AllocationsDuring([] {
                  std::string* volatile text = new std::string(100, 'x');
                  delete text;
              }),
              1);
    for (std::int32_t option : {0, 1, 2, 3, 4}) {
        test::FakeClock clock{DateTime::Make(2026, 12, 30, 0, 0, 0)};
        test::FakeTimer timer;
        test::FakeScheduleEditor editor;
        ScheduleModule module{clock};
        ScheduleRecord& r = module.Record();
        r.occursOption = option;
        r.startMinute = 30;
        r.startHour = 0;
        r.startDate = DateTime::Make(2026, 1, 1);
        r.weeklySelections = "0100100";
        r.monthlySelections = std::string(30, '0') + "1";
        r.everyInterval = 1;
        r.everyFrequency = 7;
        Scheduler scheduler{module, timer, editor};
        long runs = 0;
        scheduler.OnScheduledTime([&runs](DateTime) { ++runs; });
        scheduler.SetEnabled(true);
        const long allocations = AllocationsDuring([&] {
            for (int second = 0; second < 2 * 86400; ++second) {
                clock.Advance(std::chrono::milliseconds(1000));
                timer.Fire();
            }
        });
        EXPECT_EQ(allocations, 0) << option;
        EXPECT_EQ(runs > 0, option != 0) << option;
    }
}

}  // namespace
}  // namespace qm
