// Starting the program, refusing a second copy, and ending it from the tray menu.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_icon.h"
#include "win32/app/tray_menu.h"

namespace qm::e2e {
namespace {

constexpr UINT kIconId = win::TrayIcon::kIconId;

HWND FindButton(HWND box, const std::wstring& caption) {
    for (const std::wstring& text : {caption, L"&" + caption}) {
        if (HWND b = FindChildWithText(box, text)) {
            return b;
        }
    }
    return nullptr;
}

TEST(E2eStartAndExit, SecondCopyIsRefusedAndExitRemovesTheIcon) {
    ClearSettings();
    AppProcess first = AppProcess::Start();
    ASSERT_NE(first.Pid(), 0u) << "could not start the program";
    const HWND menu = first.WaitForMainWindow();
    ASSERT_NE(menu, nullptr) << "main window never appeared";
    EXPECT_FALSE(::IsWindowVisible(menu));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(menu, kIconId); }, 10000))
        << "the tray icon was not added";

    // A second copy says so and ends, leaving the first alone.
    AppProcess second = AppProcess::Start();
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND w : TopLevelWindowsOf(second.Pid())) {
                if (::IsWindowVisible(w) && TextOf(w) == L" Quillmere") {
                    box = w;
                    return true;
                }
            }
            return false;
        },
        15000))
        << "the second copy did not report the first";
    EXPECT_NE(FindWindowWithText(second.Pid(), L"The program is already running"), nullptr);
    HWND ok = FindButton(box, L"OK");
    ASSERT_NE(ok, nullptr);
    ::SendMessageW(ok, BM_CLICK, 0, 0);
    const auto secondExit = second.WaitForExit(10000);
    ASSERT_TRUE(secondExit.has_value()) << "the second copy did not end";
    EXPECT_EQ(*secondExit, 0u);
    EXPECT_TRUE(first.IsRunning());
    EXPECT_TRUE(::IsWindow(menu));
    EXPECT_TRUE(TrayIconExists(menu, kIconId));

    // Explorer restarted: its icons are gone, and TaskbarCreated tells the program to add its
    // icon again.
    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof(gone);
    gone.hWnd = menu;
    gone.uID = kIconId;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(TrayIconExists(menu, kIconId));
    ::PostMessageW(menu, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(menu, kIconId); }, 5000))
        << "the icon did not come back after TaskbarCreated";

    // "Exit" ends the program and takes the icon away.
    ::PostMessageW(menu, WM_COMMAND, win::kCmdExit, 0);
    const auto firstExit = first.WaitForExit(10000);
    ASSERT_TRUE(firstExit.has_value()) << "Exit did not end the program";
    EXPECT_EQ(*firstExit, 0u);
    EXPECT_FALSE(TrayIconExists(menu, kIconId));
}

}  // namespace
}  // namespace qm::e2e
