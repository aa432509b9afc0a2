// Leaving the program while a scheduled defrag is still ahead asks first.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/windows.h"
#include "win32/app/end_now_message.h"
#include "win32/app/tray_icon.h"
#include "win32/app/tray_menu.h"

namespace qm::e2e {
namespace {

constexpr std::optional<DWORD> kEndedWell = 0;

class E2eExitPrompt : public ::testing::Test {
  protected:
    // Daily, two hours from now: always ahead. "ShowExitPrompt" and the other keys absent.
    void SetUp() override {
        tray_ =
            StartInTray({{L"OccursOption", L"1"}, {L"StartHour", hour_}, {L"StartMinute", L"15"}});
        ASSERT_NE(tray_->menu, nullptr) << "the program did not reach the tray";
        ASSERT_FALSE(GetSetting(L"UseEndDate").has_value());
    }
    // Picks Exit in the tray menu; the question it asks, or nullptr.
    HWND AskToExit() {
        if (!OpenTrayMenu(tray_->menu, Pid())) {
            return nullptr;
        }
        TypeKeys({VK_UP, VK_RETURN});  // "Exit", the last item of the menu
        return WaitForWindowWithText(Pid(), L" Exit");
    }
    DWORD Pid() const { return tray_->process.Pid(); }
    // The end sequence saved the schedule, absent keys in their default forms.
    void ExpectScheduleSaved() const {
        EXPECT_EQ(GetSettings({L"StartHour", L"UseEndDate", L"StartDate", L"MonthlySelections"}),
                  hour_ + L"|False|" + TodayShortDate() + L"|" + std::wstring(31, L'0'));
    }

    const std::wstring hour_ = std::to_wstring((LocalNow().wHour + 2) % 24);
    std::optional<TrayApp> tray_;
};

TEST_F(E2eExitPrompt, NoKeepsTheProgramYesEndsItAndSavesTheSchedule) {
    HWND box = AskToExit();
    ASSERT_NE(box, nullptr) << "Exit did not ask";
    // While it asks, neither the tray menu nor a second question opens.
    PostTrayEvent(tray_->menu, WM_CONTEXTMENU);
    ::PostMessageW(tray_->menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_FALSE(WaitUntil([&] { return PopupMenuOf(Pid()) != nullptr; }, 1000));
    const auto windows = TopLevelWindowsOf(Pid());
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                            [](HWND w) { return ::IsWindowVisible(w) && TextOf(w) == L" Exit"; }),
              1);
    ::SendMessageW(FindChildWithText(box, L"&No"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10000))
        << "the box stayed after No";
    EXPECT_FALSE(tray_->process.WaitForExit(1000).has_value()) << "No ended the program";
    EXPECT_TRUE(TrayIconExists(tray_->menu, win::TrayIcon::kIconId));

    box = AskToExit();
    ASSERT_NE(box, nullptr) << "the second Exit did not ask";
    ::SendMessageW(FindChildWithText(box, L"&Yes"), BM_CLICK, 0, 0);
    EXPECT_EQ(tray_->process.WaitForExit(10000), kEndedWell) << "Yes did not end the program";
    EXPECT_FALSE(TrayIconExists(tray_->menu, win::TrayIcon::kIconId));
    ExpectScheduleSaved();
}

TEST_F(E2eExitPrompt, WindowsEndingTheSessionSavesEvenWhileTheProgramAsks) {
    HWND box = AskToExit();
    ASSERT_NE(box, nullptr) << "Exit did not ask";
    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(tray_->menu, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                      &answer));
    EXPECT_EQ(answer, DWORD_PTR{TRUE}) << "the program must not hold up the session";
    ASSERT_TRUE(::SendMessageTimeoutW(tray_->menu, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000,
                                      &answer));
    ExpectScheduleSaved();
    EXPECT_FALSE(TrayIconExists(tray_->menu, win::TrayIcon::kIconId));

    // The box the user still sees answers safely.
    ::SendMessageW(FindChildWithText(box, L"&No"), BM_CLICK, 0, 0);
    EXPECT_FALSE(tray_->process.WaitForExit(1000).has_value()) << "the program fell over";
}

// The setup program's request to end, with the question open: no answer is awaited, and the
// schedule is saved as on Exit (the install test ends a copy that is not asking).
TEST_F(E2eExitPrompt, EndNowMessageEndsWithoutAskingAndSaves) {
    ASSERT_NE(AskToExit(), nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(tray_->menu,
                                      ::RegisterWindowMessageW(win::kEndNowMessageName), 0, 0,
                                      SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(tray_->process.WaitForExit(10000), kEndedWell) << "the program did not end";
    ExpectScheduleSaved();
}

}  // namespace
}  // namespace qm::e2e
