#include "core/schedule/scheduler.h"
#include "core/schedule/status_texts.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace qm {
namespace {

using namespace std::chrono_literals;
using Moments = std::vector<DateTime>;

// A scheduler on fakes that records what it fires and what it reported as next meanwhile.
struct Rig {
    Rig() {
        scheduler.OnScheduledTime([this](DateTime at) {
            fired.push_back(at);
            nextSeenInHandler.push_back(scheduler.NextScheduledTime());
        });
    }

    // `option` at hour:minute from 1 January 2026, with the clock set to `now`.
    void Use(std::int32_t option, std::int16_t hour, std::int16_t minute, DateTime now) {
        ScheduleRecord& r = module.Record();
        r.occursOption = option;
        r.startHour = hour;
        r.startMinute = minute;
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

    test::FakeClock clock{D(2026, 12, 3, 8, 0, 0)};
    test::FakeTimer timer;
    test::FakeScheduleEditor editor;
    ScheduleModule module{clock};
    Scheduler scheduler{module, timer, editor};
    std::vector<DateTime> fired;
    std::vector<DateTime> nextSeenInHandler;
};

struct SchedulerTest : ::testing::Test, Rig {};

// With the monotonic clock: sleeps and clock changes, told by the system or noticed by the tick.
struct SchedulerSleepTest : SchedulerTest {
    SchedulerSleepTest() {
        scheduler.SetTicks(&ticks);
        scheduler.OnMomentMissed([this] { ++missed; });
        Use(1, 2, 30, D(2026, 12, 3, 2, 29, 58));  // daily at 02:30
        scheduler.SetEnabled(true);
    }
    // One tick after the wall clock moved by `wall` and the monotonic one by `monotonic`.
    void Tick(std::chrono::seconds wall, std::chrono::seconds monotonic) {
        clock.Advance(wall);
        ticks.now += std::chrono::milliseconds(monotonic).count();
        timer.Fire();
    }
    test::FakeMonotonicClock ticks;
    int missed = 0;
};

TEST_F(SchedulerSleepTest, AMomentSleptThroughIsMissedUnlessTheWakeTimerWokeTheComputerForIt) {
    scheduler.DisplayScheduler();
    scheduler.Suspend();  // the editor stays open; the tick stops
    EXPECT_EQ(std::tuple(timer.Enabled(), editor.open, scheduler.Enabled()),
              std::tuple(false, true, true));
    clock.SetNow(D(2026, 12, 3, 7, 0));
    scheduler.Resume(false);
    Tick(1s, 1s);
    EXPECT_EQ(std::tuple(fired.size(), missed, scheduler.NextScheduledTime()),
              std::tuple(0ul, 1, D(2026, 12, 4, 2, 30)));
    scheduler.Suspend();
    clock.SetNow(D(2026, 12, 4, 2, 30, 4));
    scheduler.Resume(true);  // woken for 02:30: it runs at once
    Tick(1s, 1s);
    EXPECT_EQ(fired, Moments{D(2026, 12, 4, 2, 30, 5)});
    // A sleep that sent no message: the tick comes minutes after the last one.
    Tick(1s, 1s);
    Tick(std::chrono::hours(24), std::chrono::hours(24));
    EXPECT_EQ(std::tuple(fired.size(), missed, scheduler.NextScheduledTime()),
              std::tuple(1ul, 2, D(2026, 12, 6, 2, 30)));
}

TEST_F(SchedulerSleepTest, AClockSetBackRunsNoMomentTwiceAndOneSetOnMissesWhatItJumpedOver) {
    Tick(2s, 2s);
    EXPECT_EQ(fired, Moments{D(2026, 12, 3, 2, 30)});
    // The autumn hour that repeats, noticed by the tick: 02:30 is not fired again.
    Tick(-3600s + 1s, 1s);
    EXPECT_EQ(std::pair(missed, scheduler.NextScheduledTime()),
              std::pair(0, D(2026, 12, 4, 2, 30)));
    // Set back by the user, told by the system: the same.
    clock.SetNow(D(2026, 12, 3, 1, 0));
    scheduler.ClockChanged();
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 4, 2, 30));
    // The spring hour that does not exist: 02:30 is jumped over and made up for later.
    clock.SetNow(D(2026, 12, 4, 2, 0));
    scheduler.ClockChanged();
    Tick(3600s + 1s, 1s);
    EXPECT_EQ(std::tuple(fired.size(), missed, scheduler.NextScheduledTime()),
              std::tuple(1ul, 1, D(2026, 12, 5, 2, 30)));
    // Every so often: from the new time on.
    module.Record().occursOption = 4;
    module.Record().everyFrequency = 2;
    clock.SetNow(D(2026, 12, 10, 9, 0, 20));
    scheduler.ClockChanged();
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 10, 11, 0));
}

TEST_F(SchedulerTest, AHandlerThatDisablesStopsTheTimerAndDisabledReadsZeroAndNeverFires) {
    Use(1, 21, 30, D(2026, 12, 3, 21, 29, 59));
    scheduler.OnScheduledTime([this](DateTime at) {
        fired.push_back(at);
        scheduler.SetEnabled(false);
    });
    scheduler.SetEnabled(true);
    EXPECT_EQ(std::tuple(timer.Interval(), timer.Enabled(), scheduler.NextScheduledTime()),
              std::tuple(1000u, true, D(2026, 12, 3, 21, 30)));
    const DateTime lastBefore = module.Record().lastScheduledTime;
    TickFor(3s);  // once, and no reset while disabled
    EXPECT_EQ(std::tuple(fired.size(), timer.Enabled(), module.Record().lastScheduledTime,
                         scheduler.NextScheduledTime(), scheduler.LastScheduledTime()),
              std::tuple(1ul, false, lastBefore, DateTime(), DateTime()));
    scheduler.Execute();
    clock.SetNow(D(2026, 12, 4, 21, 29));
    timer.SetEnabled(true);  // even a stray tick does nothing and stops the timer
    TickFor(120s);
    EXPECT_EQ(std::pair(fired.size(), timer.Enabled()), std::pair(1ul, false));
}

TEST(SchedulerTicksTest, NoRunNeverFiresHoweverTheClockIsSet) {
    // Enabled just after New Year; then the clock goes back across the year boundary, where
    // the moment shown for "no run" (50 calendar years back) is less than 50 years away.
    for (auto [option, hour] : {std::pair<std::int32_t, std::int16_t>{0, 3}, {1, 24}, {9, 3}}) {
        Rig rig;
        rig.Use(option, hour, 0, D(2027, 1, 1, 0, 0, 30));
        rig.scheduler.SetEnabled(true);
        EXPECT_FALSE(rig.scheduler.HasNextRun());
        rig.clock.SetNow(D(2026, 12, 31, 23, 0, 0));
        rig.TickFor(2min);
        EXPECT_TRUE(rig.fired.empty()) << option << " at " << hour;
    }
}

TEST_F(SchedulerTest, AfterARunTheNextMinuteIsSoughtUntilAWrite) {
    Use(1, 21, 30, D(2026, 12, 3, 21, 29, 59));
    scheduler.SetEnabled(true);
    TickFor(1s);
    // Fired at the exact second, and the handler still saw the moment being served.
    EXPECT_EQ(std::tuple(fired, nextSeenInHandler, scheduler.NextScheduledTime()),
              std::tuple(Moments{D(2026, 12, 3, 21, 30)}, Moments{D(2026, 12, 3, 21, 30)},
                         D(2026, 12, 4, 21, 30)));
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
    EXPECT_EQ(std::pair(scheduler.LastScheduledTime(), scheduler.NextScheduledTime()),
              std::pair(D(2026, 12, 3, 9, 44), D(2026, 12, 3, 10, 14)));
    // Changed long after the reset, the next moment is already past: it fires at the next tick.
    clock.Advance(5h);
    module.Record().everyFrequency = 20;
    scheduler.SetOccursOption(4);
    EXPECT_LT(scheduler.NextScheduledTime(), clock.Now());
    TickFor(1s);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(SchedulerTest, FlagScheduleChangedRecomputesThenRaises) {
    Use(1, 21, 30, D(2026, 12, 3, 21, 30, 20));
    int changes = 0;
    DateTime nextInHandler;
    scheduler.OnScheduleChanged([&] {
        ++changes;
        nextInHandler = scheduler.NextScheduledTime();
    });
    scheduler.FlagScheduleChanged();  // disabled: nothing, as the count below shows
    scheduler.SetEnabled(true);
    // Enabling resets from the next minute.
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 4, 21, 30));
    scheduler.FlagScheduleChanged();
    EXPECT_EQ(std::pair(changes, nextInHandler), std::pair(1, D(2026, 12, 3, 21, 30)));
}

TEST_F(SchedulerTest, EditorRequestsAndClosing) {
    SchedulerProperties placed;
    std::tie(placed.startUpPosition, placed.formLeft, placed.formTop) = std::tuple(0, 120, 240);
    scheduler.ReadProperties(placed);
    scheduler.SetTitle(" Defrag Schedule");
    scheduler.DisplayScheduler();
    EXPECT_TRUE(editor.IsOpen());
    scheduler.SetEnabled(false);
    EXPECT_FALSE(editor.IsOpen());
    scheduler.SetModal(true);
    scheduler.DisplayScheduler2();
    EXPECT_EQ(std::pair(module.EditorHost(), editor.requests.size()), std::pair(&scheduler, 2ul));
    const auto& [view, accept] = std::tie(editor.requests[0], editor.requests[1]);
    EXPECT_EQ(std::tuple(view.acceptChanges, view.modal, accept.acceptChanges, accept.modal),
              std::tuple(false, false, true, true));
    EXPECT_EQ(accept.title, " Defrag Schedule");
    EXPECT_EQ(ScheduleEditorPosition(accept, 15360, 11520, 5000), (TwipPoint{120, 240}));
    accept.startUpPosition = 1;  // centred on the screen
    EXPECT_EQ(ScheduleEditorPosition(accept, 15360, 11520, 6000), (TwipPoint{4680, 2370}));
    accept.startUpPosition = 2;
    EXPECT_FALSE(ScheduleEditorPosition(accept, 15360, 11520, 6000));
}

TEST_F(SchedulerTest, MenuInstanceLoadsDisabledPlacedByHand) {
    scheduler.ReadProperties(MenuSchedulerProperties());
    EXPECT_EQ(std::pair(scheduler.Enabled(), scheduler.ExecuteOnStartup()), std::pair(false, true));
    const ScheduleRecord& r = module.Record();  // every 30 minutes from today
    EXPECT_EQ(std::tuple(r.startDate, r.endDate, r.occursOption, r.everyFrequency, r.everyInterval),
              std::tuple(D(2026, 12, 3), D(2026, 12, 3), 4, 30, 1));
    EXPECT_EQ(std::pair(scheduler.FormLeft(), scheduler.FormTop()), std::pair(120, 120));
    EXPECT_TRUE(fired.empty()) << "the startup Execute does nothing while disabled";
}

TEST_F(SchedulerTest, EmptyPropertiesEnableAndResetBeforeTheScheduleIsRead) {
    Use(4, 24, 0, D(2026, 12, 3, 9, 14, 27));
    module.Record().everyInterval = 1;
    SchedulerProperties p;
    p.executeOnStartup = true;
    scheduler.ReadProperties(p);
    const ScheduleRecord& r = module.Record();
    EXPECT_EQ(std::tuple(scheduler.Enabled(), r.occursOption, r.everyFrequency, r.everyInterval,
                         r.startHour, scheduler.StartUpPosition(), scheduler.FormLeft()),
              std::tuple(true, 0, 1, 0, 24, 1, 0));
    // ExecuteOnStartup ran Execute: the event, then a reset with the loaded Never schedule.
    // The reset on enabling used the record as it was; the defaults came after it.
    EXPECT_EQ(std::tuple(fired, nextSeenInHandler, scheduler.NextScheduledTime()),
              std::tuple(Moments{D(2026, 12, 3, 9, 14, 27)}, Moments{D(2026, 12, 3, 9, 15)},
                         D(1976, 12, 3, 9, 14)));
}

TEST(StatusTextsTest, NextAndLastDefragLinesAndTheBalloon) {
    // Midnight and noon by name, but not a second after; the week's first and last day.
    EXPECT_EQ(TimeText(D(2026, 12, 3, 0, 0, 1)) + TimeText(D(2026, 12, 3, 12, 0, 1)),
              "12:00:01 AM12:00:01 PM");
    EXPECT_EQ(DayText(D(2026, 12, 6)) + DayText(D(2026, 12, 12)),
              "Sunday, 12/6/2026Saturday, 12/12/2026");
    const DateTime now = D(2026, 12, 3, 10, 0, 30);
    const std::pair<DateTime, const char*> next[] = {
        {D(2026, 12, 3, 21, 30), " Next Defrag - Today at 9:30:00 PM "},
        {D(2026, 12, 3, 10, 0), " Next Defrag now! "},
        {D(2026, 12, 4, 0, 0), " Next Defrag - Tomorrow at Midnight "},
        {D(2026, 12, 7, 12, 0), " Next Defrag - Monday, 12/7/2026 at Noon "},
        {DateTime(), " Next Defrag - No scheduled times "},
        {D(2026, 12, 3, 9, 59), " Next Defrag - No scheduled times "}};
    for (auto [at, line] : next) {
        EXPECT_EQ(NextDefragText(at, now), line);
    }
    const std::pair<DateTime, const char*> last[] = {
        {DateTime(), " Last Defrag  - Never (using Quillmere) "},
        {D(2026, 12, 3, 10, 0, 59), " Last Defrag  - Today at 10:00:59 AM "},
        {D(2026, 12, 2, 23, 59, 59), " Last Defrag  - Yesterday at 11:59:59 PM "},
        {D(2026, 11, 30, 0, 0, 0), " Last Defrag  - Monday, 11/30/2026 at Midnight "},
        {D(2026, 12, 3, 10, 1, 0), " Last Defrag  - Never "},  // the clock was moved back
        {D(2026, 12, 4, 9, 0, 0), " Last Defrag  - Never "}};
    for (auto [at, line] : last) {
        EXPECT_EQ(LastDefragText(at, now), line);
    }
    std::string balloon;
    UpdateNextDefragStatus(D(2026, 12, 4, 0, 0), DateTime(), D(2026, 12, 3, 10, 0),
                           [&](std::string_view text) { balloon += text; });
    EXPECT_EQ(balloon,
              " Last Defrag  - Never (using Quillmere) \r\n Next Defrag - Tomorrow at Midnight ");
    UpdateNextDefragStatus(DateTime(), DateTime(), DateTime(), nullptr);  // no receiver: no-op
}

}  // namespace
}  // namespace qm
