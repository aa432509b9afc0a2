// Nights: the wake timer armed for the next scheduled moment, with the system's own call, and a
// sleep over a scheduled minute made up for five minutes after waking, not at it. Wine cannot
// sleep: the power messages are posted as the system would send them, and the five minutes
// pass on the program's monotonic clock through its test seam.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/windows.h"

namespace qm::e2e {
namespace {

TEST(E2eNights, TheWakeTimerIsArmedToWakeTheComputerForTheNextMoment) {
    SetClockTo(20 * 3600);
    TrayApp app = StartInTray({{L"WakeToRun", L"1"},
                               {L"OccursOption", L"1"},
                               {L"StartHour", L"21"},
                               {L"StartMinute", L"30"},
                               {L"ShowExitPrompt", L"0"}},
                              {L"WINEDEBUG=+sync", L"QM_TEST_HOOKS=" + ScenarioDir()});
    ASSERT_NE(app.menu, nullptr);
    // Wine's trace: NtSetTimer(handle, when, callback, arg, resume, period) with the resume flag
    // set; the program's own record gives the due time, 21:30 of the program's day.
    EXPECT_TRUE(WaitUntil(
        [] {
            const std::string trace = ScenarioFile(L"stderr.log");
            const auto call = trace.find(":NtSetTimer (");
            return call != std::string::npos &&
                   trace.substr(call, trace.find('\n', call) - call).find(",00000001,") !=
                       std::string::npos;
        },
        10000))
        << "no timer armed to wake the computer";
    EXPECT_TRUE(ScenarioFile(L"wake-timer.txt").ends_with(" 21:30 wakes\r\n"))
        << ScenarioFile(L"wake-timer.txt");
}

TEST(E2eNights, AMomentSleptThroughIsMadeUpForFiveMinutesAfterWakingNotAtIt) {
    WriteScenarioFile(L"ticks-offset.txt", "0");
    ClearDoubleLog();
    SetClockTo(3 * 3600 - 20);  // daily at 03:00, 20 s on; the last run two days ago
    TrayApp app = StartInTray(
        {{L"OccursOption", L"1"},
         {L"StartHour", L"3"},
         {L"StartMinute", L"0"},
         {L"ShowCDrive", L"1"},
         {L"ShowZDrive", L"0"},
         {L"ShowExitPrompt", L"0"},
         {L"LastDefrag", TodayShortDate(-2)}},
        {L"QM_TEST_HOOKS=" + ScenarioDir(), DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=1"});
    ASSERT_NE(app.menu, nullptr);
    ::Sleep(1000);
    ::SendMessageW(app.menu, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    SetClockTo(3 * 3600 + 600);  // it slept until ten past three
    ::SendMessageW(app.menu, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_FALSE(WaitUntil([] { return !ReadDoubleLog().empty(); }, 4000)) << "ran at waking";
    WriteScenarioFile(L"ticks-offset.txt", "300");  // five minutes later
    EXPECT_TRUE(WaitUntil([] { return !ReadDoubleLog().empty(); }, 10000)) << "never made up";
    ::Sleep(3000);
    EXPECT_EQ(ReadDoubleLog(L"defrag.exe").size(), 1u) << "one run only";
}

}  // namespace
}  // namespace qm::e2e
