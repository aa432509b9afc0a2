#include "core/schedule/scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/date_time_print.h"
#include "support/fakes.h"

namespace qm {
namespace {

using namespace std::chrono_literals;

// A scheduler on fakes that records what it fires and what it reported as next meanwhile.
struct Rig {
    explicit Rig(DateTime now = D(2026, 12, 3, 8, 0, 0))
        : clock{now}, scheduler{module, timer, editor} {
        scheduler.OnScheduledTime([this](DateTime at) {
            fired.push_back(at);
            nextSeenInHandler.push_back(scheduler.NextScheduledTime());
        });
    }

    // `option` at hour:minute from 1 January 2026, with the clock set to `now`.
    void Use(std::int32_t option, int hour, int minute, DateTime now) {
        ScheduleRecord& r = module.Record();
        r.occursOption = option;
        r.startHour = static_cast<std::int16_t>(hour);
        r.startMinute = static_cast<std::int16_t>(minute);
        r.startDate = D(2026, 1, 1);
        clock.SetNow(now);
    }

    // One tick per second of fake time, as the one-second timer does.
    void TickFor(std::chrono::seconds duration) {
        for (std::int64_t i = 0; i < duration.count(); ++i) {
            clock.Advance(1000ms);
            timer.Fire();
        }
    }

    test::FakeClock clock;
    test::FakeTimer timer;
    test::FakeScheduleEditor editor;
    ScheduleModule module{clock};
    Scheduler scheduler;
    std::vector<DateTime> fired;
    std::vector<DateTime> nextSeenInHandler;
};

struct SchedulerTest : ::testing::Test, Rig {};

TEST_F(SchedulerTest, DisabledReadsZeroStopsTheTimerAndNeverFires) {
    EXPECT_EQ(timer.Interval(), 1000u);
    Use(1, 8, 1, D(2026, 12, 3, 8, 0));
    scheduler.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 3, 8, 1));
    scheduler.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(scheduler.NextScheduledTime(), DateTime());
    EXPECT_EQ(scheduler.LastScheduledTime(), DateTime());
    scheduler.Execute();
    timer.SetEnabled(true);  // even a stray tick does nothing and stops the timer
    TickFor(120s);
    EXPECT_TRUE(fired.empty());
    EXPECT_FALSE(timer.Enabled());
}

TEST(SchedulerTicksTest, NoRunNeverFiresHoweverTheClockIsSet) {
    // Enabled just after New Year; then the clock goes back across the year boundary, where
    // the moment shown for "no run" (50 calendar years back) is less than 50 years away.
    const struct { std::int32_t option, hour; } cases[] = {{0, 3}, {1, 24}, {9, 3}};
    for (const auto& c : cases) {
        Rig rig;
        rig.Use(c.option, c.hour, 0, D(2027, 1, 1, 0, 0, 30));
        rig.scheduler.SetEnabled(true);
        EXPECT_FALSE(rig.scheduler.HasNextRun());
        rig.clock.SetNow(D(2026, 12, 31, 23, 0, 0));
        rig.TickFor(2min);
        EXPECT_TRUE(rig.fired.empty()) << c.option << " at " << c.hour;
    }
}

TEST(SchedulerTicksTest, RunsOverTicks) {
    struct Case {
        std::int32_t option, hour, minute;
        const char* weekly;
        std::int16_t everyMinutes;
        DateTime now;
        std::chrono::seconds ticks;
        std::size_t runs;
        DateTime first, last;
    };
    const DateTime none;
    const Case cases[] = {
        {1, 21, 30, "", 0, D(2026, 12, 3, 21, 29), 2min, 1, D(2026, 12, 3, 21, 30), none},
        {4, 24, 0, "", 30, D(2026, 12, 3, 9, 14, 27), 29min + 33s, 1, D(2026, 12, 3, 9, 44), none},
        {4, 24, 0, "", 60, D(2026, 12, 31), 24h, 24, D(2026, 12, 31, 1, 0), D(2027, 1, 1)},
        {2, 0, 0, "0000010", 0, D(2026, 12, 3), 72h, 1, D(2026, 12, 4), none},  // Fridays
        {2, 3, 0, "0000000", 0, D(2026, 12, 3, 8, 0), 2h, 0, none, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Rig rig;
        rig.Use(c.option, c.hour, c.minute, c.now);
        rig.module.Record().weeklySelections = c.weekly;
        rig.module.Record().everyInterval = 1;
        rig.module.Record().everyFrequency = c.everyMinutes;
        rig.scheduler.SetEnabled(true);
        rig.TickFor(c.ticks);
        ASSERT_EQ(rig.fired.size(), c.runs);
        if (c.runs > 0) {
            // Fired at the exact second, and the handler still saw the moment being served.
            EXPECT_EQ(rig.fired.front(), c.first);
            EXPECT_EQ(rig.nextSeenInHandler.front(), c.first);
            EXPECT_EQ(rig.fired.back(), c.runs > 1 ? c.last : c.first);
        }
    }
}

TEST_F(SchedulerTest, AfterARunTheNextMinuteIsSoughtUntilAWrite) {
    Use(1, 21, 30, D(2026, 12, 3, 21, 29, 59));
    scheduler.SetEnabled(true);
    TickFor(1s);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 4, 21, 30));
    TickFor(20s);
    // A write recalculates without the offset, so the same minute is found again.
    scheduler.SetOccursOption(1);
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 3, 21, 30));
    TickFor(1s);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(SchedulerTest, EveryCountsFromTheLastReset) {
    Use(4, 24, 0, D(2026, 12, 3, 9, 14, 27));
    module.Record().everyInterval = 1;
    module.Record().everyFrequency = 30;
    scheduler.SetEnabled(true);
    EXPECT_EQ(scheduler.LastScheduledTime(), D(2026, 12, 3, 9, 14));
    TickFor(29min + 33s);
    EXPECT_EQ(scheduler.LastScheduledTime(), D(2026, 12, 3, 9, 44));
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 3, 10, 14));
    // Changed long after the reset, the next moment is already past: it fires at the next tick.
    clock.Advance(5h);
    module.Record().everyFrequency = 20;
    scheduler.SetOccursOption(4);
    EXPECT_LT(scheduler.NextScheduledTime(), clock.Now());
    TickFor(1s);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(SchedulerTest, HandlerThatDisablesStopsTheComponent) {
    Use(1, 21, 30, D(2026, 12, 3, 21, 29, 59));
    scheduler.OnScheduledTime([this](DateTime at) {
        fired.push_back(at);
        scheduler.SetEnabled(false);
    });
    scheduler.SetEnabled(true);
    const DateTime lastBefore = module.Record().lastScheduledTime;
    TickFor(3s);
    EXPECT_EQ(fired.size(), 1u);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(module.Record().lastScheduledTime, lastBefore);  // no reset while disabled
}

TEST_F(SchedulerTest, FlagScheduleChangedRecomputesThenRaises) {
    Use(1, 21, 30, D(2026, 12, 3, 21, 30, 20));
    int changes = 0;
    DateTime nextInHandler;
    scheduler.OnScheduleChanged([&] {
        ++changes;
        nextInHandler = scheduler.NextScheduledTime();
    });
    scheduler.FlagScheduleChanged();
    EXPECT_EQ(changes, 0);  // disabled: nothing
    scheduler.SetEnabled(true);
    // Enabling resets from the next minute.
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 4, 21, 30));
    scheduler.FlagScheduleChanged();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(nextInHandler, D(2026, 12, 3, 21, 30));
}

TEST_F(SchedulerTest, EditorRequestsAndClosing) {
    SchedulerProperties placed;
    placed.startUpPosition = 0;
    placed.formLeft = 120;
    placed.formTop = 240;
    scheduler.ReadProperties(placed);
    scheduler.SetTitle(" Defrag Schedule");
    scheduler.DisplayScheduler();
    EXPECT_TRUE(editor.IsOpen());
    scheduler.SetEnabled(false);  // disabling closes the editor
    EXPECT_FALSE(editor.IsOpen());
    scheduler.SetModal(true);
    scheduler.DisplayScheduler2();
    EXPECT_EQ(module.EditorHost(), &scheduler);
    ASSERT_EQ(editor.requests.size(), 2u);
    EXPECT_FALSE(editor.requests[0].acceptChanges || editor.requests[0].modal);
    EXPECT_TRUE(editor.requests[1].acceptChanges && editor.requests[1].modal);
    EXPECT_EQ(editor.requests[1].title, " Defrag Schedule");
    EXPECT_EQ(ScheduleEditorPosition(editor.requests[1], 15360, 11520, 5000),
              (TwipPoint{120, 240}));
    editor.requests[1].startUpPosition = 1;  // centred on the screen
    EXPECT_EQ(ScheduleEditorPosition(editor.requests[1], 15360, 11520, 6000),
              (TwipPoint{4680, 2370}));
    editor.requests[1].startUpPosition = 2;
    EXPECT_FALSE(ScheduleEditorPosition(editor.requests[1], 15360, 11520, 6000));
}

TEST_F(SchedulerTest, MenuInstanceLoadsDisabledPlacedByHand) {
    scheduler.ReadProperties(MenuSchedulerProperties());
    EXPECT_FALSE(scheduler.Enabled());
    EXPECT_TRUE(scheduler.ExecuteOnStartup());
    EXPECT_EQ(module.Record().startDate, D(2026, 12, 3));
    EXPECT_EQ(scheduler.FormLeft(), 120);
    EXPECT_EQ(scheduler.FormTop(), 120);
    EXPECT_TRUE(fired.empty());  // the startup Execute does nothing while disabled
}

TEST_F(SchedulerTest, EmptyPropertiesEnableAndResetBeforeTheScheduleIsRead) {
    Use(4, 24, 0, D(2026, 12, 3, 9, 14, 27));
    module.Record().everyInterval = 1;
    SchedulerProperties p;
    p.executeOnStartup = true;
    scheduler.ReadProperties(p);
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_EQ(scheduler.OccursOption(), 0);
    // ExecuteOnStartup ran Execute: the event, then a reset with the loaded Never schedule.
    ASSERT_EQ(fired, std::vector<DateTime>{D(2026, 12, 3, 9, 14, 27)});
    // The reset on enabling used the record as it was; the defaults came after it.
    EXPECT_EQ(nextSeenInHandler[0], D(2026, 12, 3, 9, 15));
    EXPECT_EQ(scheduler.NextScheduledTime(), D(1976, 12, 3, 9, 14));
}

}  // namespace
}  // namespace qm
