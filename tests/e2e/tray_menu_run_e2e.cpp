// A run started and stopped from the tray menu, picked with the keyboard as a user does.
#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/tray_driver.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_icon.h"
#include "win32/app/tray_menu.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {
namespace {

// Item shades from the top, separators left out: Set Program Options, Set Defrag Schedule
// (both offered disabled for now), Defrag Selected Drive(s) Now, [Stop Current Defrag],
// Open Defrag Program, About Quillmere (disabled for now), Exit.
constexpr const char* kIdleShades = "ddeede";
constexpr const char* kRunningShades = "dddedde";
constexpr const char* kNoDriveShades = "dddede";

void EndProcessById(DWORD pid) {
    win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (process) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }
}

TEST(E2eTrayMenuRun, DefragNowThenStopMovesOnToTheNextDrive) {
    ClearDoubleLog();
    // Long enough that only Stop ends the first drive.
    TrayApp tray =
        StartInTray({{L"ShowExitPrompt", L"0"}, {L"ShowCDrive", L"1"}, {L"ShowZDrive", L"1"}},
                    {DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=60"});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    AppProcess& app = tray.process;
    const HWND menu = tray.menu;

    // Idle with two drives: no Stop item; Defrag and Open offered.
    HWND popup = OpenTrayMenu(menu, app.Pid());
    ASSERT_NE(popup, nullptr) << "the tray menu did not open";
    const int idleHeight = WindowHeight(popup);
    EXPECT_EQ(SettledPopupMenuShades(popup), kIdleShades);
    TypeKeys(KeysForDefragNow());
    ASSERT_TRUE(WaitForPopupMenuGone(app.Pid())) << "the menu did not close";

    const auto first = WaitForDefragStart(L"defrag c: -f", 10000);
    ASSERT_TRUE(first.has_value()) << "picking Defrag did not start the first drive";
    win::UniqueHandle firstProcess(::OpenProcess(SYNCHRONIZE, FALSE, first->pid));
    ASSERT_TRUE(firstProcess) << "the first defragmenter is already gone";

    // During the run: Stop is there and offered, Defrag and Open are not.
    popup = OpenTrayMenu(menu, app.Pid());
    ASSERT_NE(popup, nullptr) << "the tray menu did not open during the run";
    EXPECT_GT(WindowHeight(popup), idleHeight) << "no extra item in the menu during the run";
    EXPECT_EQ(SettledPopupMenuShades(popup), kRunningShades);
    TypeKeys(KeysForStop());
    ASSERT_TRUE(WaitForPopupMenuGone(app.Pid()));

    ASSERT_EQ(::WaitForSingleObject(firstProcess.get(), 10000), WAIT_OBJECT_0)
        << "Stop did not end the first defragmenter";
    const ULONGLONG stoppedAt = ::GetTickCount64();
    // The run polls every 2 seconds.
    const auto second = WaitForDefragStart(L"defrag z: -f", 5000);
    ASSERT_TRUE(second.has_value()) << "the next drive did not start after Stop";
    std::printf("next drive started %llu ms after the stop\n", ::GetTickCount64() - stoppedAt);
    EXPECT_EQ(ReadDoubleLog(L"defrag.exe").size(), 2u) << "the stopped drive was started again";

    // Exit during a run needs no answer; then the second drive's stand-in goes as well.
    ::PostMessageW(menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_TRUE(app.WaitForExit(10000).has_value());
    for (const DoubleStart& s : ReadDoubleLog()) {
        EndProcessById(s.pid);
    }
}

TEST(E2eTrayMenuRun, NoDriveSelectedOffersNoDefrag) {
    ClearDoubleLog();
    TrayApp tray =
        StartInTray({{L"ShowExitPrompt", L"0"}, {L"ShowCDrive", L"0"}, {L"ShowZDrive", L"0"}},
                    {DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=60"});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    AppProcess& app = tray.process;
    const HWND menu = tray.menu;

    HWND popup = OpenTrayMenu(menu, app.Pid());
    ASSERT_NE(popup, nullptr) << "the tray menu did not open";
    EXPECT_EQ(SettledPopupMenuShades(popup), kNoDriveShades);
    TypeKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitForPopupMenuGone(app.Pid())) << "Escape did not close the menu";

    // Asked all the same, the program has nothing to defragment.
    ::PostMessageW(menu, WM_COMMAND, win::kCmdDefrag, 0);
    // Only the defragmenters count: a late engine of the previous test may still log here.
    EXPECT_FALSE(WaitUntil(
        [] {
            return !ReadDoubleLog(L"defrag.exe").empty() || !ReadDoubleLog(L"contig.exe").empty();
        },
        3000))
        << "a defragmenter started with no drive selected";

    ::PostMessageW(menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_TRUE(app.WaitForExit(10000).has_value());
}

}  // namespace
}  // namespace qm::e2e
