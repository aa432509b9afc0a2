// A daily schedule that comes due while the program idles: every selected drive is
// defragmented in turn at high priority, then the program closes itself. The program's clock is
// set (through its test seam) to just before the scheduled minute, so no one waits for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/local_time.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/windows.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {
namespace {

TEST(E2eScheduledRun, DefragmentsBothDrivesInTurnThenCloses) {
    // Due at 03:00 today; the program's clock shows 02:59:52 when it starts.
    const std::wstring hooks = ScenarioDir();
    const int offset = (3 * 3600 - 8) - SecondsOfDay(LocalNow());
    std::ofstream(std::filesystem::path(hooks + L"\\clock-offset.txt")) << offset;
    ClearDoubleLog();
    TrayApp tray = StartInTray({{L"OccursOption", L"1"},
                                {L"StartHour", L"3"},
                                {L"StartMinute", L"0"},
                                {L"ShowCDrive", L"1"},
                                {L"ShowZDrive", L"1"},
                                {L"AfterDefragAction", L"2"},  // close the program
                                {L"RunPriority", L"3"}},       // high
                               {DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=2",
                                L"QM_TEST_HOOKS=" + hooks});
    const ULONGLONG startedAt = ::GetTickCount64();
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    EXPECT_TRUE(ReadDoubleLog().empty()) << "a defragmenter started before its time";

    // The Windows XP command lines: the scenario's prefix reports that system.
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
    if (firstProcess) {
        EXPECT_EQ(::WaitForSingleObject(firstProcess.get(), 0), WAIT_OBJECT_0)
            << "the second drive started while the first was still being defragmented";
    }
    EXPECT_GE(MillisecondsOfDay(second->time) - MillisecondsOfDay(first->time), 2000)
        << "the first drive's 2 s";

    const auto exitCode = tray.process.WaitForExit(30000);
    ASSERT_TRUE(exitCode.has_value()) << "the program did not close itself after the run";
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_EQ(ReadDoubleLog(L"defrag.exe").size(), 2u);

    // "LastDefrag": the start of the run, by the program's clock, with its time.
    const std::wstring lastDefrag = GetSetting(L"LastDefrag").value_or(L"<absent>");
    bool matches = false;
    for (int s = 0; s <= 10 && !matches; ++s) {
        SYSTEMTIME at = LocalNow();
        at.wHour = 3;
        at.wMinute = 0;
        at.wSecond = static_cast<WORD>(s);
        at.wMilliseconds = 0;
        matches = lastDefrag == TodayShortDate() + L" " + TimeText(at);
    }
    EXPECT_TRUE(matches) << "LastDefrag is " << std::string(lastDefrag.begin(), lastDefrag.end());
}

}  // namespace
}  // namespace qm::e2e
