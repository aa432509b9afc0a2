// Runs that start by themselves: a daily schedule that comes due while the program idles, and
// one missed while the program was not running. The clock and the power status are given to
// the program through its test seams (QM_TEST_HOOKS), not waited for; the prefix reports
// Windows XP, whose command lines the runs use.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/windows.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {
namespace {

class E2eScheduledRun : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteScenarioFile(L"power.txt", "mains");
        WriteScenarioFile(L"clock-offset.txt", "0");
        WriteScenarioFile(L"ticks-offset.txt", "0");
        ClearDoubleLog();
    }
    // Drive C selected, not Z; the program ends with the test.
    void Start(const SettingList& settings) {
        SettingList all = {{L"ShowCDrive", L"1"}, {L"ShowZDrive", L"0"}};
        all.insert(all.end(), settings.begin(), settings.end());
        app_.emplace(StartInTray(all, {L"QM_TEST_HOOKS=" + ScenarioDir(), DoubleLogEnvironment(),
                                       L"QM_DOUBLE_SECONDS=1"}));
        ASSERT_NE(app_->menu, nullptr) << "the program did not reach the tray";
        // The icon comes before the scheduler is on: let start-up finish before the clock moves.
        ::Sleep(1000);
    }
    bool DefragStarted(DWORD withinMs) {
        return WaitUntil([] { return !ReadDoubleLog(L"defrag.exe").empty(); }, withinMs);
    }

    std::optional<TrayApp> app_;
};

TEST_F(E2eScheduledRun, DefragmentsBothDrivesInTurnAtHighPriorityThenCloses) {
    // Due at 03:00 on this day, kept if the scenario runs past midnight; the clock shows 02:59:52.
    SetClockTo(3 * 3600 - 8);
    const std::wstring runDay = TodayShortDate();
    const ULONGLONG startedAt = ::GetTickCount64();
    Start({{L"OccursOption", L"1"},
           {L"StartHour", L"3"},
           {L"StartMinute", L"0"},
           {L"ShowZDrive", L"1"},
           {L"AfterDefragAction", L"2"},  // close the program
           {L"RunPriority", L"3"}});      // high
    EXPECT_TRUE(ReadDoubleLog().empty()) << "a defragmenter started before its time";

    const auto first = WaitForDefragStart(L"defrag c: -f", 30000);
    ASSERT_TRUE(first.has_value()) << "the scheduled run did not start";
    const ULONGLONG waited = ::GetTickCount64() - startedAt;
    EXPECT_GE(waited, 5000u) << "started before the scheduled minute";
    EXPECT_LT(waited, 20000u) << "started late";
    win::UniqueHandle firstProcess(::OpenProcess(SYNCHRONIZE, FALSE, first->pid));
    EXPECT_EQ(first->priorityClass, static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    EXPECT_EQ(first->showState, std::to_wstring(SW_HIDE)) << "the defragmenter is started hidden";

    // The second drive only once the first has finished.
    const auto second = WaitForDefragStart(L"defrag z: -f", 20000);
    ASSERT_TRUE(second.has_value()) << "the second drive was not defragmented";
    if (firstProcess) {  // else it had ended already
        EXPECT_EQ(::WaitForSingleObject(firstProcess.get(), 0), WAIT_OBJECT_0)
            << "the second drive started while the first was still being defragmented";
    }

    EXPECT_EQ(app_->process.WaitForExit(30000), std::optional<DWORD>(0))
        << "the program did not close itself after the run";
    EXPECT_EQ(ReadDoubleLog(L"defrag.exe").size(), 2u);

    // "LastDefrag": the start of the run, by the program's clock, with its time.
    const std::wstring lastDefrag = GetSetting(L"LastDefrag").value_or(L"<absent>");
    bool matches = false;
    for (WORD s = 0; s <= 10 && !matches; ++s) {
        const SYSTEMTIME at{2026, 1, 4, 1, 3, 0, s, 0};  // 03:00:0s; only the time is read
        matches = lastDefrag == runDay + L" " + TimeText(at);
    }
    EXPECT_TRUE(matches) << "LastDefrag is " << std::string(lastDefrag.begin(), lastDefrag.end());
}

TEST_F(E2eScheduledRun, ARunMissedWhileTheProgramWasNotRunningIsMadeUpForFiveMinutesOn) {
    // Daily at the hour before this one, from a week ago; the last run three days back.
    const int hour = (LocalNow().wHour + 23) % 24;
    Start({{L"OccursOption", L"1"},
           {L"StartHour", std::to_wstring(hour)},
           {L"StartMinute", L"0"},
           {L"StartDate", TodayShortDate(-7)},
           {L"LastDefrag", TodayShortDate(-3)}});
    EXPECT_FALSE(DefragStarted(3000)) << "the catch-up did not wait";
    WriteScenarioFile(L"ticks-offset.txt", "301");  // counted on the clock that counts sleep
    EXPECT_TRUE(DefragStarted(5000)) << "the missed run was not made up for";
}

}  // namespace
}  // namespace qm::e2e
