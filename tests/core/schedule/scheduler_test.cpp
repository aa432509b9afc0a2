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

DateTime D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime::Make(y, mo, d, h, mi, s);
}

class SchedulerTest : public ::testing::Test {
  protected:
    SchedulerTest() {
        scheduler.OnScheduledTime([this](DateTime at) {
            fired.push_back(at);
            nextSeenInHandler.push_back(scheduler.NextScheduledTime());
        });
    }

    void Daily(int hour, int minute) {
        ScheduleRecord& r = module.Record();
        r.occursOption = 1;
        r.startHour = static_cast<std::int16_t>(hour);
        r.startMinute = static_cast<std::int16_t>(minute);
        r.startDate = D(2026, 1, 1);
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

TEST_F(SchedulerTest, TimerIsOneSecondAndFollowsEnabled) {
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_FALSE(timer.Enabled());
    scheduler.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    scheduler.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
}

TEST_F(SchedulerTest, StartMinuteOutsideTheHourBecomesZero) {
    const std::pair<int, int> cases[] = {{60, 0}, {-5, 0}, {1000, 0}, {59, 59}, {0, 0}, {7, 7}};
    for (auto [written, stored] : cases) {
        scheduler.SetStartMinute(written);
        EXPECT_EQ(scheduler.StartMinute(), stored) << written;
    }
}

TEST_F(SchedulerTest, StartHourOutsideTheDayBecomesTwentyFour) {
    const std::pair<int, int> cases[] = {{25, 24}, {-1, 24}, {70000, 24},
                                         {24, 24}, {23, 23}, {0, 0}};
    for (auto [written, stored] : cases) {
        scheduler.SetStartHour(written);
        EXPECT_EQ(scheduler.StartHour(), stored) << written;
    }
}

TEST_F(SchedulerTest, SelectionsAreCutOrPaddedWithZeros) {
    const std::pair<const char*, const char*> weekly[] = {
        {"1", "1000000"}, {"110011011", "1100110"}, {"", "0000000"}, {"0101010", "0101010"}};
    for (auto [written, stored] : weekly) {
        scheduler.SetWeeklySelections(written);
        EXPECT_EQ(scheduler.WeeklySelections(), stored) << written;
    }
    scheduler.SetMonthlySelections("01");
    EXPECT_EQ(scheduler.MonthlySelections(), "01" + std::string(29, '0'));
    scheduler.SetMonthlySelections(std::string(40, '1'));
    EXPECT_EQ(scheduler.MonthlySelections(), std::string(31, '1'));
}

TEST_F(SchedulerTest, DisabledReadsZeroAndNeverFires) {
    Daily(8, 1);
    scheduler.SetEnabled(true);
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 3, 8, 1));
    scheduler.SetEnabled(false);
    EXPECT_EQ(scheduler.NextScheduledTime(), DateTime());
    EXPECT_EQ(scheduler.LastScheduledTime(), DateTime());
    scheduler.Execute();
    timer.SetEnabled(true);  // even a stray tick does nothing and stops the timer
    TickFor(120s);
    EXPECT_TRUE(fired.empty());
    EXPECT_FALSE(timer.Enabled());
}

TEST_F(SchedulerTest, EnablingResetsFromTheNextMinute) {
    clock.SetNow(D(2026, 12, 3, 21, 30, 10));
    Daily(21, 30);
    scheduler.SetEnabled(true);
    EXPECT_EQ(scheduler.LastScheduledTime(), D(2026, 12, 3, 21, 30));
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 4, 21, 30));
}

TEST_F(SchedulerTest, DailyFiresOnceInItsMinute) {
    clock.SetNow(D(2026, 12, 3, 21, 29, 0));
    Daily(21, 30);
    scheduler.SetEnabled(true);
    TickFor(59s);
    EXPECT_TRUE(fired.empty());
    TickFor(1s);  // 21:30:00
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], D(2026, 12, 3, 21, 30, 0));
    // The handler still saw the moment being served.
    EXPECT_EQ(nextSeenInHandler[0], D(2026, 12, 3, 21, 30));
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 4, 21, 30));
    TickFor(59s);
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(SchedulerTest, WriteAfterTheRunFindsTheSameMinuteAgain) {
    clock.SetNow(D(2026, 12, 3, 21, 29, 59));
    Daily(21, 30);
    scheduler.SetEnabled(true);
    TickFor(1s);
    ASSERT_EQ(fired.size(), 1u);
    TickFor(20s);  // 21:30:20
    scheduler.SetUseEndDate(false);
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 3, 21, 30));
    TickFor(1s);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(SchedulerTest, EveryThirtyMinutes) {
    module.Record().occursOption = 4;
    module.Record().everyInterval = 1;
    module.Record().everyFrequency = 30;
    clock.SetNow(D(2026, 12, 3, 9, 14, 27));
    scheduler.SetEnabled(true);
    EXPECT_EQ(scheduler.LastScheduledTime(), D(2026, 12, 3, 9, 14));
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 3, 9, 44));
    TickFor(29min + 32s);  // 09:43:59
    EXPECT_TRUE(fired.empty());
    TickFor(1s);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(scheduler.LastScheduledTime(), D(2026, 12, 3, 9, 44));
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 3, 10, 14));
}

TEST_F(SchedulerTest, EveryChangedLongAfterTheResetFiresAtTheNextTick) {
    module.Record().occursOption = 0;
    scheduler.SetEnabled(true);
    clock.Advance(5h);
    scheduler.SetEveryInterval(1);
    scheduler.SetEveryFrequency(30);
    scheduler.SetOccursOption(4);
    EXPECT_LT(scheduler.NextScheduledTime(), clock.Now());
    TickFor(1s);
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(SchedulerTest, ADayOfTicksWithEveryHourRunsTwentyFourTimes) {
    clock.SetNow(D(2026, 12, 31, 0, 0, 0));
    module.Record().occursOption = 4;
    module.Record().everyInterval = 0;
    module.Record().everyFrequency = 1;
    scheduler.SetEnabled(true);
    TickFor(24h);
    ASSERT_EQ(fired.size(), 24u);
    EXPECT_EQ(fired.front(), D(2026, 12, 31, 1, 0, 0));
    EXPECT_EQ(fired.back(), D(2027, 1, 1, 0, 0, 0));
}

TEST_F(SchedulerTest, ADayOfTicksWithWeeklyRunsOnlyOnSelectedDays) {
    clock.SetNow(D(2026, 12, 3, 0, 0, 0));  // Thursday
    module.Record().occursOption = 2;
    module.Record().startHour = 0;
    module.Record().startMinute = 0;
    module.Record().startDate = D(2026, 1, 1);
    module.Record().weeklySelections = "0000010";  // Friday at midnight
    scheduler.SetEnabled(true);
    TickFor(72h);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], D(2026, 12, 4, 0, 0, 0));
}

TEST_F(SchedulerTest, NoOccurrenceAndZeroNeverFire) {
    module.Record().occursOption = 2;
    module.Record().startHour = 3;
    module.Record().weeklySelections = "0000000";
    scheduler.SetEnabled(true);
    EXPECT_EQ(scheduler.NextScheduledTime(), D(1976, 12, 3, 8, 0));
    TickFor(2h);
    scheduler.SetOccursOption(9);  // unknown: the zero date-time
    EXPECT_EQ(scheduler.NextScheduledTime(), DateTime());
    TickFor(2h);
    EXPECT_TRUE(fired.empty());
}

TEST_F(SchedulerTest, HandlerThatDisablesStopsTheComponent) {
    clock.SetNow(D(2026, 12, 3, 21, 29, 59));
    Daily(21, 30);
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
    clock.SetNow(D(2026, 12, 3, 21, 30, 20));
    Daily(21, 30);
    int changes = 0;
    DateTime nextInHandler;
    scheduler.OnScheduleChanged([&] {
        ++changes;
        nextInHandler = scheduler.NextScheduledTime();
    });
    scheduler.FlagScheduleChanged();
    EXPECT_EQ(changes, 0);  // disabled: nothing
    scheduler.SetEnabled(true);
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 4, 21, 30));
    scheduler.FlagScheduleChanged();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(nextInHandler, D(2026, 12, 3, 21, 30));
}

TEST_F(SchedulerTest, WritesWhileDisabledDoNotCompute) {
    Daily(9, 0);
    scheduler.SetStartHour(10);
    scheduler.SetEnabled(true);
    EXPECT_EQ(scheduler.NextScheduledTime(), D(2026, 12, 3, 10, 0));
}

TEST_F(SchedulerTest, DisplayRecordsTheHostAndDescribesTheEditor) {
    scheduler.SetTitle(" Defrag Schedule");
    scheduler.SetStartUpPosition(0);
    scheduler.SetFormLeft(120);
    scheduler.SetFormTop(240);
    scheduler.DisplayScheduler();
    scheduler.SetModal(true);
    scheduler.DisplayScheduler2();
    EXPECT_EQ(module.EditorHost(), &scheduler);
    ASSERT_EQ(editor.requests.size(), 2u);
    EXPECT_FALSE(editor.requests[0].acceptChanges);
    EXPECT_FALSE(editor.requests[0].modal);
    EXPECT_TRUE(editor.requests[1].acceptChanges);
    EXPECT_TRUE(editor.requests[1].modal);
    EXPECT_EQ(editor.requests[1].title, " Defrag Schedule");
    EXPECT_EQ(ScheduleEditorPosition(editor.requests[1], 15360, 11520, 5000),
              (TwipPoint{120, 240}));
}

TEST_F(SchedulerTest, DisablingClosesTheEditor) {
    scheduler.DisplayScheduler();
    EXPECT_TRUE(editor.IsOpen());
    scheduler.SetEnabled(false);
    EXPECT_FALSE(editor.IsOpen());
}

TEST(ScheduleEditorPositionTest, ByStartUpPosition) {
    ScheduleEditorRequest r;
    r.formLeft = 120;
    r.formTop = 120;
    r.startUpPosition = 1;
    EXPECT_EQ(ScheduleEditorPosition(r, 15360, 11520, 6000), (TwipPoint{4680, 2370}));
    r.startUpPosition = 0;
    EXPECT_EQ(ScheduleEditorPosition(r, 15360, 11520, 6000), (TwipPoint{120, 120}));
    r.startUpPosition = 2;
    EXPECT_FALSE(ScheduleEditorPosition(r, 15360, 11520, 6000));
}

TEST_F(SchedulerTest, PropertyWritesAreReportedByName) {
    std::vector<std::string> names;
    scheduler.OnPropertyChanged([&](std::string_view name) { names.emplace_back(name); });
    scheduler.SetStartHour(5);
    scheduler.SetWeeklySelections("1");
    scheduler.SetModal(true);
    EXPECT_EQ(names, (std::vector<std::string>{"StartHour", "WeeklySelections", "Modal"}));
}

TEST_F(SchedulerTest, MenuInstanceLoadsDisabledAndStartupExecuteDoesNothing) {
    scheduler.ReadProperties(MenuSchedulerProperties());
    EXPECT_FALSE(scheduler.Enabled());
    EXPECT_TRUE(scheduler.ExecuteOnStartup());
    EXPECT_EQ(scheduler.FormLeft(), 120);
    EXPECT_EQ(scheduler.FormTop(), 120);
    EXPECT_EQ(scheduler.StartUpPosition(), 1);
    EXPECT_EQ(scheduler.OccursOption(), 4);
    EXPECT_EQ(scheduler.EveryFrequency(), 30);
    EXPECT_EQ(scheduler.EveryInterval(), 1);
    EXPECT_EQ(scheduler.StartHour(), 24);
    EXPECT_EQ(scheduler.StartDate(), D(2026, 12, 3));
    EXPECT_TRUE(fired.empty());
    // Saving leaves out what equals its default.
    const SchedulerProperties saved = scheduler.WriteProperties();
    EXPECT_EQ(saved.enabled, false);
    EXPECT_EQ(saved.formLeft, 120);
    EXPECT_FALSE(saved.startHour);
    EXPECT_FALSE(saved.startDate);
    EXPECT_FALSE(saved.title);
}

TEST_F(SchedulerTest, EmptyPropertiesEnableAndResetBeforeTheScheduleIsRead) {
    module.Record().occursOption = 4;
    module.Record().everyFrequency = 1;
    module.Record().everyInterval = 1;
    clock.SetNow(D(2026, 12, 3, 9, 14, 27));
    SchedulerProperties p;
    p.executeOnStartup = true;
    scheduler.ReadProperties(p);
    EXPECT_TRUE(scheduler.Enabled());
    EXPECT_EQ(scheduler.OccursOption(), 0);
    // ExecuteOnStartup ran Execute: the event, then a reset with the loaded Never schedule.
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], D(2026, 12, 3, 9, 14, 27));
    // The reset on enabling used the record as it was; the defaults came after it.
    EXPECT_EQ(nextSeenInHandler[0], D(2026, 12, 3, 9, 15));
    EXPECT_EQ(scheduler.NextScheduledTime(), D(1976, 12, 3, 9, 14));
}

TEST(SchedulerDesignTimeTest, NothingIsComputedOrFired) {
    test::FakeClock clock{D(2026, 12, 3, 21, 29, 59)};
    test::FakeTimer timer;
    test::FakeScheduleEditor editor;
    ScheduleModule module{clock};
    Scheduler scheduler{module, timer, editor, /*userMode=*/false};
    int fired = 0;
    scheduler.OnScheduledTime([&](DateTime) { ++fired; });
    scheduler.InitProperties();
    EXPECT_TRUE(scheduler.Enabled());
    scheduler.SetOccursOption(4);
    EXPECT_EQ(scheduler.NextScheduledTime(), DateTime());
    EXPECT_EQ(scheduler.LastScheduledTime(), DateTime());
    scheduler.Execute();
    for (int i = 0; i < 5; ++i) {
        clock.Advance(std::chrono::milliseconds(1000));
        timer.Fire();
    }
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(module.Record().lastScheduledTime, DateTime());
}

}  // namespace
}  // namespace qm
