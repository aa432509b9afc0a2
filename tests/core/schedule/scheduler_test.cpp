#include "core/schedule/scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/fake_schedule_editor.h"
#include "support/date_time_print.h"
#include "support/fake_clock.h"
#include "support/fake_timer.h"

namespace qm {
namespace {

using namespace std::chrono_literals;

// A scheduler on fakes that records what it fires and what it reported as next meanwhile.
struct Rig {
    explicit Rig(DateTime now = D(2026, 12, 3, 8, 0, 0), bool userMode = true)
        : clock{now}, scheduler{module, timer, editor, userMode} {
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

TEST_F(SchedulerTest, WrittenValuesAreBroughtIntoRange) {
    struct Case {
        int hourIn, hourOut, minuteIn, minuteOut;
    };
    const Case cases[] = {{25, 24, 60, 0},  {-1, 24, -5, 0}, {70000, 24, 1000, 0},
                          {24, 24, 59, 59}, {23, 23, 7, 7},  {0, 0, 0, 0}};
    for (const Case& c : cases) {
        scheduler.SetStartHour(c.hourIn);
        scheduler.SetStartMinute(c.minuteIn);
        EXPECT_EQ(scheduler.StartHour(), c.hourOut) << c.hourIn;
        EXPECT_EQ(scheduler.StartMinute(), c.minuteOut) << c.minuteIn;
    }
    const std::pair<std::string, std::string> selections[] = {
        {"1", "1000000"}, {"110011011", "1100110"}, {"", "0000000"}};
    for (const auto& [written, stored] : selections) {
        scheduler.SetWeeklySelections(written);
        EXPECT_EQ(scheduler.WeeklySelections(), stored) << written;
    }
    scheduler.SetMonthlySelections("01");
    EXPECT_EQ(scheduler.MonthlySelections(), "01" + std::string(29, '0'));
    scheduler.SetMonthlySelections(std::string(40, '1'));
    EXPECT_EQ(scheduler.MonthlySelections(), std::string(31, '1'));
}

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
        {9, 3, 0, "", 0, D(2026, 12, 3, 8, 0), 2h, 0, none, none},  // unknown option
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
    scheduler.SetUseEndDate(false);
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
    scheduler.SetEveryFrequency(20);
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
    scheduler.SetTitle(" Defrag Schedule");
    scheduler.SetStartUpPosition(0);
    scheduler.SetFormLeft(120);
    scheduler.SetFormTop(240);
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

TEST_F(SchedulerTest, PropertyWritesAreReportedByName) {
    std::vector<std::string> names;
    scheduler.OnPropertyChanged([&](std::string_view name) { names.emplace_back(name); });
    scheduler.SetStartHour(5);
    scheduler.SetWeeklySelections("1");
    scheduler.SetModal(true);
    EXPECT_EQ(names, (std::vector<std::string>{"StartHour", "WeeklySelections", "Modal"}));
}

TEST_F(SchedulerTest, MenuInstanceLoadsDisabledAndSavesOnlyWhatDiffers) {
    scheduler.ReadProperties(MenuSchedulerProperties());
    EXPECT_FALSE(scheduler.Enabled());
    EXPECT_TRUE(scheduler.ExecuteOnStartup());
    EXPECT_EQ(scheduler.StartDate(), D(2026, 12, 3));
    EXPECT_TRUE(fired.empty());  // the startup Execute does nothing while disabled
    const SchedulerProperties saved = scheduler.WriteProperties();
    EXPECT_EQ(saved.enabled, false);
    EXPECT_EQ(saved.formLeft, 120);
    EXPECT_FALSE(saved.startHour || saved.startDate || saved.title);
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

TEST(SchedulerDesignTimeTest, NothingIsComputedOrFired) {
    Rig rig{D(2026, 12, 3, 21, 29, 59), /*userMode=*/false};
    rig.scheduler.InitProperties();
    EXPECT_TRUE(rig.scheduler.Enabled());
    rig.scheduler.SetOccursOption(4);
    EXPECT_EQ(rig.scheduler.NextScheduledTime(), DateTime());
    rig.scheduler.Execute();
    rig.timer.SetEnabled(true);
    rig.TickFor(5s);
    EXPECT_TRUE(rig.fired.empty());
    EXPECT_EQ(rig.module.Record().lastScheduledTime, DateTime());
}

}  // namespace
}  // namespace qm
