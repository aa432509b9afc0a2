// Outcomes on Windows 10 without the service (a per-user copy starts the defragmenter itself):
// another optimisation waited for before and between drives and never stopped by us, refusals
// in any language and encoding, a disabled optimisation service, Options' Defrag Now saying
// why, and notifications once per reason. The stand-ins read what to write from a file beside
// them (qm-doubles.txt), which a test may change between runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/windows.h"
#include "win32/app/menu_window.h"
#include "win32/app/tray_menu.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/options_dialog.h"

namespace qm::e2e {
namespace {

const std::string kRussianRefusal =
    "Для дефрагментации нужны права администратора. (0x89000024)\r\n";

class E2eOutcomes : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearDoubleLog();
        Output("");
    }
    // What the stand-ins write; nothing makes them the ordinary, successful kind.
    static void Output(const std::string& bytes) { SetDoubleSettings("", bytes); }
    void StartTray(const SettingList& extra) {
        SettingList settings = {{L"ShowCDrive", L"1"},
                                {L"ShowDDrive", L"1"},
                                {L"ShowZDrive", L"0"},
                                {L"ShowExitPrompt", L"0"}};
        settings.insert(settings.end(), extra.begin(), extra.end());
        app_.emplace(StartInTray(settings, {L"QM_TEST_HOOKS=" + ScenarioDir(),
                                            DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=2"}));
        ASSERT_NE(app_->menu, nullptr) << "the program did not reach the tray";
    }
    // A defragmenter of someone else's: the stand-in, started by the test for `seconds`.
    static AppProcess Foreign(int seconds) {
        return AppProcess::Start({L"QM_DOUBLE_SECONDS=" + std::to_wstring(seconds)},
                                 L"C:\\windows\\system32\\defrag.exe");
    }

    std::optional<TrayApp> app_;
};

TEST_F(E2eOutcomes, AnotherOptimisationIsWaitedForBeforeAndBetweenDrivesAndNeverStopped) {
    AppProcess windows = Foreign(6);
    SetClockTo(3 * 3600 - 3);  // due at 03:00, 3 s on
    StartTray({{L"OccursOption", L"1"}, {L"StartHour", L"3"}, {L"StartMinute", L"0"}});
    EXPECT_TRUE(
        RunLogHas("\t-\t-\t-\tskipped: another optimisation is running (defrag.exe, process " +
                      std::to_string(windows.Pid()) + ")\r\n",
                  15000))
        << RunLog();
    EXPECT_FALSE(WaitForDefragStart(L"defrag c: /O /U /V", 0)) << "started beside it";
    ASSERT_TRUE(WaitForDefragStart(L"defrag c: /O /U /V", 20000)) << "not started after it";
    AppProcess other = Foreign(14);  // starts during ours and outlives it
    EXPECT_TRUE(RunLogHas("\tC:\tdefrag c: /O /U /V\t0:00:0", 10000)) << "C: ends with ours";
    EXPECT_FALSE(WaitForDefragStart(L"defrag d: /O /U /V", 3000)) << "D: did not wait";
    ::PostMessageW(app_->menu, WM_COMMAND, win::kCmdStop, 0);
    const HWND told = WaitForWindowWithText(app_->process.Pid(),
                                            win::Widen(win::MenuWindow::kNotOurDefragmenter));
    EXPECT_NE(told, nullptr);
    ::PostMessageW(::GetAncestor(told, GA_ROOT), WM_CLOSE, 0, 0);
    EXPECT_FALSE(other.WaitForExit(0)) << "stopped someone else's";
    EXPECT_TRUE(WaitForDefragStart(L"defrag d: /O /U /V", 20000)) << "D: after the other";
}

TEST_F(E2eOutcomes, RefusalsInAnyEncodingFailTheDriveAndEachReasonIsNotifiedOnce) {
    Output("The service cannot be started. (0x80070422)\r\n");  // and the exit code 0
    // Every minute from 03:00; each run's minute is reached by moving the clock on.
    auto before = RunLogLines();
    int clock = 3 * 3600 - 3;
    SetClockTo(clock);
    StartTray({{L"OccursOption", L"4"},
               {L"EveryInterval", L"1"},
               {L"EveryFrequency", L"1"},
               {L"StartHour", L"3"},
               {L"StartMinute", L"0"},
               {L"ShowDDrive", L"0"}});
    // Waits for the next run's log line; then moves the clock on to the next minute.
    const auto nextRun = [&](const std::string& outcome) {
        EXPECT_TRUE(
            WaitUntil([&] { return RunLogLines() > before && RunLog().ends_with(outcome); }, 30000))
            << RunLog();
        before = RunLogLines();
        SetClockTo(clock += 60);
    };
    const std::string disabled =
        "\tfailed: the system's optimisation service is disabled "
        "(0x80070422)\r\n";
    nextRun(disabled);
    EXPECT_FALSE(GetSetting(L"LastDefrag").has_value()) << "a refused run is no run";
    const std::string notice =
        "Defragmenting C: failed: the system's optimisation service is disabled.";
    EXPECT_TRUE(WaitUntil([&] { return ScenarioFile(L"notices.txt") == notice + "\r\n"; }, 5000))
        << ScenarioFile(L"notices.txt");
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto texts = ShellBalloonTexts();
            return std::ranges::find(texts, win::Widen(notice)) != texts.end();
        },
        5000))
        << "the shell shows no such balloon";
    nextRun(disabled);
    Output(WideBytes(kRussianRefusal));  // the same refusal in Russian, as wide text
    nextRun("\tfailed: administrator rights needed (0x89000024)\r\n");
    EXPECT_TRUE(WaitUntil(
        [&] { return ScenarioFile(L"notices.txt").ends_with("rights needed.\r\n"); }, 5000));
    const std::string notices = ScenarioFile(L"notices.txt");
    EXPECT_EQ(std::count(notices.begin(), notices.end(), '\n'), 2) << notices;
    EXPECT_EQ(GetSetting(L"LastNotice"), L"Defragmenting C: failed: administrator rights needed.");
    // A click on the notification opens the log, in whatever shows text files.
    PostTrayEvent(app_->menu, 0x405);  // NIN_BALLOONUSERCLICK
    EXPECT_TRUE(
        WaitUntil([] { return ::FindWindowW(nullptr, L"runs.log - Notepad") != nullptr; }, 10000));
}

TEST_F(E2eOutcomes, ADisabledOptimisationServiceSkipsTheRun) {
    win::UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    win::UniqueScHandle service(::CreateServiceW(
        manager.get(), L"defragsvc", L"Optimize drives", SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_DISABLED, SERVICE_ERROR_IGNORE,
        L"C:\\windows\\system32\\dfrgntfs.exe", nullptr, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(service);
    StartTray({});
    ::PostMessageW(app_->menu, WM_COMMAND, win::kCmdDefrag, 0);
    EXPECT_TRUE(
        RunLogHas("\t-\tskipped: the system's optimisation service is disabled\r\n", 10000));
    EXPECT_TRUE(ReadDoubleLog().empty());
    ::DeleteService(service.get());
}

TEST_F(E2eOutcomes, OptionsDefragNowSaysWhyTheDriveWasNotDone) {
    Output("The disk defragmenter requires Administrator privileges. (0x89000024)\r\n");
    win::LocalLogFolder().Write(
        kRunLogFile,
        "2026-12-05 21:30:00\tC:\tdefrag c: /O /U /V\t0:10:00\tok\r\n"
        "2026-12-06 21:30:05\tD:\tdefrag d: /O /U /V\t0:00:01\tfailed: administrator rights "
        "needed (0x89000024)\r\n");
    StartTray({});
    ::PostMessageW(app_->menu, WM_COMMAND, win::kCmdOptions, 0);
    const HWND dialog = WaitForWindowWithText(app_->process.Pid(), L" Defrag Options", 15000);
    ASSERT_NE(dialog, nullptr);
    // Each drive's last result beside its row, from the log.
    EXPECT_TRUE(TextOf(::GetDlgItem(dialog, win::OptionsDialog::kIdDriveState))
                    .ends_with(L"defragmented 12/5/2026"));
    EXPECT_TRUE(TextOf(::GetDlgItem(dialog, win::OptionsDialog::kIdDriveState + 1))
                    .ends_with(L"failed 12/6/2026 - administrator rights needed"));
    SaveScreenshot(dialog, 10, L"options-drive-states");
    ::SendDlgItemMessageW(dialog, win::OptionsDialog::kIdDefragButton, BM_CLICK, 0, 0);
    const HWND told = WaitForWindowWithText(
        app_->process.Pid(), L"Drive C: was not defragmented: administrator rights needed.", 20000);
    EXPECT_NE(told, nullptr);
    EXPECT_TRUE(RunLogHas("\tC:\tdefrag c: /O /U /V\t0:00:0", 1000) &&
                RunLogHas("\tfailed: administrator rights needed (0x89000024)\r\n", 1000))
        << RunLog();
    ::PostMessageW(::GetAncestor(told, GA_ROOT), WM_CLOSE, 0, 0);
}

}  // namespace
}  // namespace qm::e2e
