// Runs that start by themselves: a scheduled one waits for mains power, and one missed while
// the program was not running is made up for. The power status and the clock are given to the
// program through its test seams (QM_TEST_HOOKS), not waited for.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/local_time.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_menu.h"

namespace qm::e2e {
namespace {

class E2eUnattendedRuns : public ::testing::Test {
  protected:
    void SetUp() override {
        ::CreateDirectoryW(hooks_.c_str(), nullptr);
        Hook(L"power.txt", "mains");
        Hook(L"clock-offset.txt", "0");
        ClearDoubleLog();
    }
    void TearDown() override {
        if (app_ && app_->menu) {
            ::PostMessageW(app_->menu, WM_COMMAND, win::kCmdExit, 0);
            app_->process.WaitForExit(10000);
        }
    }
    void Hook(const std::wstring& file, const std::string& text) {
        std::ofstream(std::filesystem::path(hooks_ + L"\\" + file),
                      std::ios::binary | std::ios::trunc)
            << text;
    }
    void Start(const SettingList& settings) {
        SettingList all = {{L"ShowExitPrompt", L"0"}, {L"ShowCDrive", L"1"}, {L"ShowZDrive", L"0"}};
        all.insert(all.end(), settings.begin(), settings.end());
        app_.emplace(StartInTray(
            all, {L"QM_TEST_HOOKS=" + hooks_, DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=1"}));
        ASSERT_NE(app_->menu, nullptr) << "the program did not reach the tray";
        // The icon comes before the scheduler is on: let start-up finish before the clock moves.
        ::Sleep(1000);
    }
    bool DefragStarted(DWORD withinMs) {
        return WaitUntil([] { return !ReadDoubleLog(L"defrag.exe").empty(); }, withinMs);
    }

    std::wstring hooks_ = ScenarioDir() + L"\\hooks";
    std::optional<TrayApp> app_;
};

TEST_F(E2eUnattendedRuns, OnBatteryAScheduledRunWaitsForMainsPower) {
    Hook(L"power.txt", "battery");
    // Every minute; the clock then moves two minutes on, so the moment comes at once.
    Start({{L"OccursOption", L"4"}, {L"EveryInterval", L"1"}, {L"EveryFrequency", L"1"}});
    Hook(L"clock-offset.txt", "120");
    EXPECT_FALSE(DefragStarted(4000)) << "a run started on battery";
    Hook(L"power.txt", "mains");
    ::SendMessageW(app_->menu, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
    EXPECT_TRUE(DefragStarted(5000)) << "the run did not start when the mains came back";
}

TEST_F(E2eUnattendedRuns, ARunMissedWhileTheProgramWasNotRunningIsMadeUpForFiveMinutesOn) {
    // Daily at the hour before this one, from a week ago; the last run three days back.
    const int hour = (LocalNow().wHour + 23) % 24;
    Start({{L"OccursOption", L"1"},
           {L"StartHour", std::to_wstring(hour)},
           {L"StartMinute", L"0"},
           {L"StartDate", TodayShortDate(-7)},
           {L"LastDefrag", TodayShortDate(-3)}});
    EXPECT_FALSE(DefragStarted(3000)) << "the catch-up did not wait";
    Hook(L"clock-offset.txt", "301");
    EXPECT_TRUE(DefragStarted(5000)) << "the missed run was not made up for";
}

}  // namespace
}  // namespace qm::e2e
