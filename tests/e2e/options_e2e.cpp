// The Options dialog on a machine with fixed drives C, D and E, a CD-ROM drive F and a
// network drive G (the scenario's preparation).
#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_menu.h"
#include "win32/defrag/drives.h"
#include "win32/defrag/options_dialog.h"
#include "win32/schedule/schedule_editor_ids.h"

namespace qm::e2e {
namespace {

using Ids = win::OptionsDialog;

TEST(E2eOptions, OnlyFixedDrivesAreListedAndCIsLeftOutOfTheList) {
    ASSERT_EQ(::GetDriveTypeW(L"F:\\"), UINT{DRIVE_CDROM}) << "the scenario's drives are missing";
    ASSERT_EQ(::GetDriveTypeW(L"G:\\"), UINT{DRIVE_REMOTE});
    EXPECT_EQ(win::GetFixedDrives().FixedDrives, (std::vector<std::string>{"d:\\", "e:\\"}));
    const auto volumes = win::ListFixedVolumes();
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_TRUE(volumes[1].details.sizesRead && volumes[1].details.totalBytes > 0);
}

TEST(E2eOptions, FirstRunThenDefragNowOnOneDriveAndNotTwiceAtOnce) {
    ClearSettings();
    SetSetting(L"ShowSplash", L"0");
    SetSetting(L"ShowExitPrompt", L"0");
    ClearDoubleLog();
    AppProcess app = AppProcess::Start({DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=6"});
    const HWND dialog = WaitForWindowWithText(app.Pid(), L" Defrag Options", 20000);
    ASSERT_NE(dialog, nullptr) << "the first run did not show the Options dialog";
    EXPECT_EQ(::SendDlgItemMessageW(dialog, Ids::kIdOptionCheck + 1, BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, Ids::kIdSave)));
    std::wstring rows;  // C, D and E only
    for (int k = 0; k < 4; ++k) {
        rows += TextOf(::GetDlgItem(dialog, Ids::kIdDriveCheck + k)) + L"|";
    }
    EXPECT_EQ(rows, L"Fixed Disk  (C:)|Data  (D:)|Fixed Disk  (E:)||");
    ::SendDlgItemMessageW(dialog, Ids::kIdDefragButton + 2, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitForDefragStart(L"defrag e: -f", 10000).has_value()) << "Defrag Now on E";
    const HWND panel = ::GetDlgItem(dialog, Ids::kIdRunningMessage);
    EXPECT_EQ(TextOf(panel), L"Defragmenting drive E:");
    // A second click while it runs: the message, and no second defragmenter.
    ::PostMessageW(::GetDlgItem(dialog, Ids::kIdDefragButton), BM_CLICK, 0, 0);
    const HWND prompt =
        WaitForWindowWithText(app.Pid(), L"Defrag is already running on this computer", 9000);
    ASSERT_NE(prompt, nullptr);
    ::PostMessageW(::GetAncestor(prompt, GA_ROOT), WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(panel); }, 20000)) << "run not ended";
    EXPECT_EQ(ReadDoubleLog(L"defrag.exe").size(), 1u);
    ::SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return GetSetting(L"OptionsShown") == L"True"; }, 10000));
    // Then the schedule editor, the first run's second question.
    const HWND editor = WaitForWindowWithText(app.Pid(), L" Schedule");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(editor, win::kIdOk))) << "not ready to accept";
    ::SendDlgItemMessageW(editor, win::kIdOk, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return GetSetting(L"ScheduleShown") == L"True"; }, 10000));
    // Daily, at the time the editor suggested.
    EXPECT_EQ(GetSettings({L"OccursOption", L"StartHour", L"StartMinute"}), L"1|21|0");
}

TEST(E2eOptions, UntickingDKeepsItOutOfTheNextScheduledRun) {
    // Due at 03:00; the program's clock shows 02:59:45 when it starts.
    const std::wstring clock = SetClockTo(3 * 3600 - 15);
    ClearDoubleLog();
    TrayApp tray = StartInTray({{L"OccursOption", L"1"},
                                {L"StartHour", L"3"},
                                {L"StartMinute", L"0"},
                                {L"AfterDefragAction", L"2"}},  // close the program
                               {DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=1", clock});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    ::PostMessageW(tray.menu, WM_COMMAND, win::kCmdOptions, 0);
    const HWND dialog = WaitForWindowWithText(tray.process.Pid(), L" Defrag Options", 20000);
    ASSERT_NE(dialog, nullptr) << "Set Program Options did not open the dialog";
    // Wine's power plan cannot be read: no line under the wake box, which saves all the same.
    EXPECT_EQ(::GetDlgItem(dialog, Ids::kIdWakeNote), nullptr);
    ::SendDlgItemMessageW(dialog, Ids::kIdOptionCheck + 4, BM_CLICK, 0, 0);
    ::SendDlgItemMessageW(dialog, Ids::kIdDriveCheck + 1, BM_CLICK, 0, 0);
    ::SendDlgItemMessageW(dialog, Ids::kIdSave, BM_CLICK, 0, 0);
    const auto saved = [] { return GetSettings({L"ShowDDrive", L"WakeToRun"}) == L"0|1"; };
    EXPECT_TRUE(WaitUntil(saved, 5000));
    ASSERT_TRUE(tray.process.WaitForExit(60000).has_value()) << "no run, or no end";
    const auto starts = ReadDoubleLog(L"defrag.exe");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].commandLine + L"|" + starts[1].commandLine, L"defrag c: -f|defrag e: -f");
}

}  // namespace
}  // namespace qm::e2e
