// A daily schedule that comes due while the program idles: every selected drive is
// defragmented in turn at high priority, then the program closes itself.
#include <gtest/gtest.h>

#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/local_time.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_icon.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {
namespace {

constexpr int kDay = 24 * 60 * 60;

TEST(E2eScheduledRun, DefragmentsBothDrivesInTurnThenCloses) {
    // The next whole minute at least 15 s away, so the program is surely idle by then.
    const SYSTEMTIME now = LocalNow();
    int due = SecondsOfDay(now) - now.wSecond + 60;
    if (due - SecondsOfDay(now) < 15) {
        due += 60;
    }
    if (due + 120 >= kDay) {
        GTEST_SKIP() << "too close to midnight for a run due today";
    }
    ClearDoubleLog();
    TrayApp tray = StartInTray({{L"OccursOption", L"1"},
                                {L"StartHour", std::to_wstring(due / 3600)},
                                {L"StartMinute", std::to_wstring(due / 60 % 60)},
                                {L"ShowCDrive", L"1"},
                                {L"ShowZDrive", L"1"},
                                {L"AfterDefragAction", L"2"},  // close the program
                                {L"RunPriority", L"3"}},       // high
                               {DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=2"});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    AppProcess& app = tray.process;
    EXPECT_TRUE(ReadDoubleLog().empty()) << "a defragmenter started before its time";

    const DWORD untilDue = static_cast<DWORD>(due - SecondsOfDay(LocalNow())) * 1000;
    const auto first = WaitForDefragStart(L"defrag c: -f", untilDue + 30000);
    ASSERT_TRUE(first.has_value()) << "the scheduled run did not start";
    win::UniqueHandle firstProcess(::OpenProcess(SYNCHRONIZE, FALSE, first->pid));
    const long long startedMs = MillisecondsOfDay(first->time);
    EXPECT_GE(startedMs, due * 1000LL) << "started early: " << first->time.c_str();
    // The schedule is checked every second; a busy machine may add a few more.
    EXPECT_LT(startedMs, due * 1000LL + 10000) << "started late: " << first->time.c_str();
    EXPECT_EQ(first->priorityClass, static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    EXPECT_EQ(first->showState, std::to_wstring(SW_HIDE)) << "the defragmenter is started hidden";

    // The second drive only once the first has finished.
    const auto second = WaitForDefragStart(L"defrag z: -f", 20000);
    ASSERT_TRUE(second.has_value()) << "the second drive was not defragmented";
    if (firstProcess) {
        EXPECT_EQ(::WaitForSingleObject(firstProcess.get(), 0), WAIT_OBJECT_0)
            << "the second drive started while the first was still being defragmented";
    }
    EXPECT_GE(MillisecondsOfDay(second->time) - startedMs, 2000) << "the first drive's 2 s";
    EXPECT_EQ(second->priorityClass, static_cast<DWORD>(HIGH_PRIORITY_CLASS));

    const auto exitCode = app.WaitForExit(30000);
    ASSERT_TRUE(exitCode.has_value()) << "the program did not close itself after the run";
    EXPECT_EQ(*exitCode, 0u);
    const auto defrags = ReadDoubleLog(L"defrag.exe");
    ASSERT_EQ(defrags.size(), 2u);
    EXPECT_EQ(defrags[0].commandLine, L"defrag c: -f");
    EXPECT_EQ(defrags[1].commandLine, L"defrag z: -f");

    // "LastDefrag": the start of the run, today, with its time.
    const std::wstring lastDefrag = GetSetting(L"LastDefrag").value_or(L"<absent>");
    bool matches = false;
    for (int s = 0; s <= 10 && !matches; ++s) {
        SYSTEMTIME at = now;
        const int t = due + s;
        at.wHour = static_cast<WORD>(t / 3600);
        at.wMinute = static_cast<WORD>(t / 60 % 60);
        at.wSecond = static_cast<WORD>(t % 60);
        at.wMilliseconds = 0;
        matches = lastDefrag == TodayShortDate() + L" " + TimeText(at);
    }
    EXPECT_TRUE(matches) << "LastDefrag is " << std::string(lastDefrag.begin(), lastDefrag.end());
}

}  // namespace
}  // namespace qm::e2e
