// Leaving the program while a scheduled defrag is still ahead asks first.
#include <gtest/gtest.h>

#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/local_time.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/tray_driver.h"
#include "e2e/harness/windows.h"
#include "win32/app/end_now_message.h"
#include "win32/app/tray_icon.h"
#include "win32/app/tray_menu.h"

namespace qm::e2e {
namespace {

HWND WaitForMessageBox(DWORD pid, const std::wstring& title) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopLevelWindowsOf(pid)) {
                if (ClassNameOf(w) == L"QuillmereMessageBox" && ::IsWindowVisible(w) &&
                    TextOf(w) == title) {
                    box = w;
                    return true;
                }
            }
            return false;
        },
        10000);
    return box;
}

HWND ExitFromTheTrayMenu(HWND menu, DWORD pid) {
    if (!OpenTrayMenu(menu, pid)) {
        return nullptr;
    }
    TypeKeys(KeysForExit());
    return WaitForMessageBox(pid, L" Exit");
}

TEST(E2eExitPrompt, NoKeepsTheProgramYesEndsItAndSavesTheSchedule) {
    // Daily, two hours from now: always ahead, today or tomorrow.
    const std::wstring hour = std::to_wstring((LocalNow().wHour + 2) % 24);
    // "ShowExitPrompt" absent: asked. The other schedule keys absent: their defaults.
    TrayApp tray =
        StartInTray({{L"OccursOption", L"1"}, {L"StartHour", hour}, {L"StartMinute", L"15"}});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    AppProcess& app = tray.process;
    const HWND menu = tray.menu;

    HWND box = ExitFromTheTrayMenu(menu, app.Pid());
    ASSERT_NE(box, nullptr) << "Exit did not ask";
    // While it asks, neither the tray menu nor a second question opens.
    PostTrayEvent(menu, WM_CONTEXTMENU);
    ::PostMessageW(menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_FALSE(WaitUntil([&] { return VisiblePopupMenuOf(app.Pid()) != nullptr; }, 1000));
    int questions = 0;
    for (HWND w : TopLevelWindowsOf(app.Pid())) {
        questions += ::IsWindowVisible(w) && TextOf(w) == L" Exit";
    }
    EXPECT_EQ(questions, 1);
    HWND no = FindChildWithText(box, L"&No");
    ASSERT_NE(no, nullptr);
    EXPECT_NE(FindChildWithText(box, L"&Yes"), nullptr);
    ::SendMessageW(no, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10000))
        << "the box stayed after No";
    EXPECT_FALSE(app.WaitForExit(1000).has_value()) << "No ended the program";
    EXPECT_TRUE(TrayIconExists(menu, win::TrayIcon::kIconId));

    box = ExitFromTheTrayMenu(menu, app.Pid());
    ASSERT_NE(box, nullptr) << "the second Exit did not ask";
    HWND yes = FindChildWithText(box, L"&Yes");
    ASSERT_NE(yes, nullptr);
    ::SendMessageW(yes, BM_CLICK, 0, 0);
    const auto exitCode = app.WaitForExit(10000);
    ASSERT_TRUE(exitCode.has_value()) << "Yes did not end the program";
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_FALSE(TrayIconExists(menu, win::TrayIcon::kIconId));

    // The end sequence saved the schedule, absent keys in their default forms.
    EXPECT_EQ(GetSetting(L"StartHour").value_or(L"<absent>"), hour);
    EXPECT_EQ(GetSetting(L"StartDate").value_or(L"<absent>"), TodayShortDate());
    EXPECT_EQ(GetSetting(L"MonthlySelections").value_or(L"<absent>"), std::wstring(31, L'0'));
}

TEST(E2eExitPrompt, WindowsEndingTheSessionSavesEvenWhileTheProgramAsks) {
    const std::wstring hour = std::to_wstring((LocalNow().wHour + 2) % 24);
    TrayApp tray =
        StartInTray({{L"OccursOption", L"1"}, {L"StartHour", hour}, {L"StartMinute", L"15"}});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    HWND box = ExitFromTheTrayMenu(tray.menu, tray.process.Pid());
    ASSERT_NE(box, nullptr) << "Exit did not ask";
    ASSERT_FALSE(GetSetting(L"UseEndDate").has_value());

    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(tray.menu, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                      &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "the program must not hold up the session";
    ASSERT_TRUE(
        ::SendMessageTimeoutW(tray.menu, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(GetSetting(L"UseEndDate").value_or(L"<absent>"), L"False") << "schedule not saved";
    EXPECT_EQ(GetSetting(L"StartHour").value_or(L"<absent>"), hour);
    EXPECT_FALSE(TrayIconExists(tray.menu, win::TrayIcon::kIconId));

    // The box the user still sees answers safely.
    HWND no = FindChildWithText(box, L"&No");
    ASSERT_NE(no, nullptr);
    ::SendMessageW(no, BM_CLICK, 0, 0);
    EXPECT_FALSE(tray.process.WaitForExit(1000).has_value()) << "the program fell over";
    ::PostMessageW(tray.menu, WM_CLOSE, 0, 0);
    const auto exitCode = tray.process.WaitForExit(10000);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
}

// The setup program's request to end: no question, whether or not the user has one open, and
// the schedule saved as on Exit.
TEST(E2eExitPrompt, EndNowMessageEndsWithoutAskingAndSaves) {
    const std::wstring hour = std::to_wstring((LocalNow().wHour + 2) % 24);
    for (const bool questionOpen : {false, true}) {
        SCOPED_TRACE(questionOpen ? "while Exit asks" : "in the tray");
        TrayApp tray =
            StartInTray({{L"OccursOption", L"1"}, {L"StartHour", hour}, {L"StartMinute", L"15"}});
        ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
        if (questionOpen) {
            ASSERT_NE(ExitFromTheTrayMenu(tray.menu, tray.process.Pid()), nullptr);
        }
        ASSERT_FALSE(GetSetting(L"UseEndDate").has_value());
        DWORD_PTR answer = 0;
        ASSERT_TRUE(::SendMessageTimeoutW(tray.menu,
                                          ::RegisterWindowMessageW(win::kEndNowMessageName), 0, 0,
                                          SMTO_ABORTIFHUNG, 5000, &answer));
        const auto exitCode = tray.process.WaitForExit(10000);
        ASSERT_TRUE(exitCode.has_value()) << "the program did not end";
        EXPECT_EQ(*exitCode, 0u);
        EXPECT_EQ(GetSetting(L"UseEndDate").value_or(L"<absent>"), L"False") << "not saved";
        EXPECT_EQ(GetSetting(L"StartHour").value_or(L"<absent>"), hour);
    }
}

}  // namespace
}  // namespace qm::e2e
