// Starting the program: the splash, a second copy refused, settings damaged in every way a
// registry value can be, and ending it with Exit.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_icon.h"
#include "win32/app/tray_menu.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {
namespace {

constexpr UINT kIconId = win::TrayIcon::kIconId;

TEST(E2eStartAndExit, SecondCopyIsRefusedAndExitRemovesTheIcon) {
    ClearSettings();
    AppProcess first = AppProcess::Start();
    const HWND menu = first.WaitForMainWindow();
    ASSERT_NE(menu, nullptr) << "main window never appeared";
    EXPECT_FALSE(::IsWindowVisible(menu));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(menu, kIconId); }, 10000))
        << "the tray icon was not added";

    // A second copy says so and ends, leaving the first alone.
    AppProcess second = AppProcess::Start();
    const HWND box = WaitForWindowWithText(second.Pid(), L" Quillmere", 15000);
    ASSERT_NE(box, nullptr) << "the second copy did not report the first";
    EXPECT_NE(FindChildWithText(box, L"The program is already running"), nullptr);
    ::SendMessageW(FindChildWithText(box, L"&OK"), BM_CLICK, 0, 0);
    EXPECT_EQ(second.WaitForExit(10000), std::optional<DWORD>(0)) << "the second copy did not end";
    EXPECT_TRUE(TrayIconExists(menu, kIconId)) << "the first copy was not left alone";

    // Explorer restarted: its icons are gone, and TaskbarCreated has the program add its own.
    NOTIFYICONDATAW gone{};
    std::tie(gone.cbSize, gone.hWnd, gone.uID) = std::tuple(sizeof(gone), menu, kIconId);
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(TrayIconExists(menu, kIconId));
    ::PostMessageW(menu, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(menu, kIconId); }, 5000))
        << "the icon did not come back after TaskbarCreated";

    // "Exit" ends the program and takes the icon away.
    ::PostMessageW(menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_EQ(first.WaitForExit(10000), std::optional<DWORD>(0)) << "Exit did not end it";
    EXPECT_FALSE(TrayIconExists(menu, kIconId));
}

TEST(E2eStartAndExit, TheSplashShowsRoundedForThreeSecondsBeforeTheTrayIcon) {
    ClearSettings();  // "ShowSplash" absent: shown
    AppProcess app = AppProcess::Start();
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (splash = WindowOfClass(app.Pid(), L"QuillmereSplash")) != nullptr; }, 20000,
        10))
        << "the splash never showed";
    const ULONGLONG shownAt = ::GetTickCount64();

    RECT frame{};  // 3,975 x 2,955 twips at 15 twips per pixel
    ASSERT_TRUE(::GetWindowRect(splash, &frame));
    EXPECT_EQ(std::pair(frame.right - frame.left, frame.bottom - frame.top), std::pair(265L, 197L));
    // A rounded rectangle from (1, 1): the first row and column and the corners are cut off.
    win::UniqueHrgn region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(splash, region.get()), ERROR) << "the splash has no window region";
    std::string inside;  // the left edge; the first column, the first row and two corners
    for (POINT p : {POINT{1, 98}, POINT{0, 98}, POINT{132, 0}, POINT{2, 2}, POINT{263, 195}}) {
        inside += ::PtInRegion(region.get(), p.x, p.y) ? '1' : '0';
    }
    EXPECT_EQ(inside, "10000");

    // While it shows, start-up has not gone on: no main window, so no tray icon either.
    bool mainWindowDuringSplash = false, screenshotTaken = false;
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (!::IsWindowVisible(splash)) {
                return true;
            }
            mainWindowDuringSplash |= ::FindWindowW(L"QuillmereMenu", nullptr) != nullptr;
            // Past the one-second hold it is fully painted.
            if (!screenshotTaken && ::GetTickCount64() - shownAt > 1500) {
                screenshotTaken = SaveScreenshot(splash, 24, L"splash");
            }
            return false;
        },
        15000, 10))
        << "the splash did not close itself";
    const ULONGLONG shownMs = ::GetTickCount64() - shownAt;
    EXPECT_GE(shownMs, 2500u);
    EXPECT_LE(shownMs, 4500u);
    EXPECT_FALSE(mainWindowDuringSplash) << "start-up went on while the splash showed";
    EXPECT_TRUE(screenshotTaken);
    const HWND menu = app.WaitForMainWindow();
    ASSERT_NE(menu, nullptr) << "main window never appeared after the splash";
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(menu, kIconId); }, 10000))
        << "the tray icon was not added after the splash";
}

TEST(E2eStartAndExit, DamagedSettingsStillStartIntoTheTrayAndAreWrittenBackSound) {
    // Values of other types, over-long, no date in the user's form, or not text of one byte a
    // character: what only the registry brings. How each text is mended the core's tests show.
    const SettingList damaged{{L"ShowExitPrompt", L"0"},
                              {L"AfterDefragAction", std::wstring(100 * 1024, L'9')},
                              {L"StartDate", L"12/31/99999"},
                              {L"MonthlySelections", L"\u00e9\u00e9"}};
    TrayApp app = StartInTray(damaged, {}, [] {
        const DWORD number = 3;
        SetRawSetting(L"EveryFrequency", REG_DWORD, &number, sizeof number);
        const BYTE blob[] = {0xFF, 0xFE, 0x00};
        SetRawSetting(L"ShowSplash", REG_BINARY, blob, sizeof blob);
    });
    ASSERT_NE(app.menu, nullptr) << "the program did not reach the tray";
    ::PostMessageW(app.menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_EQ(app.process.WaitForExit(10000), std::optional<DWORD>(0)) << "Exit did not end it";
    // The count's default for hours, today, and each damaged character a "0" for each of its
    // two bytes, padded to 31 with blanks.
    EXPECT_EQ(GetSettings({L"EveryFrequency", L"StartDate", L"MonthlySelections"}),
              L"1|" + TodayShortDate() + L"|0000" + std::wstring(27, L' '));
}

}  // namespace
}  // namespace qm::e2e
