// The splash window at start-up: how long it stays, its shape and size, and that the tray
// icon only comes once it has gone.
#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/screenshot.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_icon.h"
#include "win32/app/tray_menu.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {
namespace {

HWND VisibleWindowOfClass(DWORD pid, const wchar_t* className) {
    for (HWND w : TopLevelWindowsOf(pid)) {
        if (ClassNameOf(w) == className && ::IsWindowVisible(w)) {
            return w;
        }
    }
    return nullptr;
}

bool AnyWindowOfClass(DWORD pid, const wchar_t* className) {
    for (HWND w : TopLevelWindowsOf(pid)) {
        if (ClassNameOf(w) == className) {
            return true;
        }
    }
    return false;
}

TEST(E2eSplash, ShowsRoundedForThreeSecondsBeforeTheTrayIcon) {
    ClearSettings();  // "ShowSplash" absent: shown
    AppProcess app = AppProcess::Start();
    ASSERT_NE(app.Pid(), 0u) << "could not start the program";

    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (splash = VisibleWindowOfClass(app.Pid(), L"QuillmereSplash")) != nullptr; },
        20000, 10))
        << "the splash never showed";
    const ULONGLONG shownAt = ::GetTickCount64();

    // 3,975 x 2,955 twips at 15 twips per pixel.
    RECT frame{};
    ASSERT_TRUE(::GetWindowRect(splash, &frame));
    EXPECT_EQ(frame.right - frame.left, 265);
    EXPECT_EQ(frame.bottom - frame.top, 197);

    // The shape: a rounded rectangle from (1, 1), so the first row and column and the
    // corners are cut off.
    win::UniqueHrgn region(::CreateRectRgn(0, 0, 0, 0));
    const int kind = ::GetWindowRgn(splash, region.get());
    if (kind == ERROR) {
        ADD_FAILURE() << "the splash has no window region";
    } else {
        const int w = frame.right - frame.left;
        const int h = frame.bottom - frame.top;
        EXPECT_TRUE(::PtInRegion(region.get(), 1, h / 2)) << "left edge";
        EXPECT_FALSE(::PtInRegion(region.get(), 0, h / 2)) << "first column";
        EXPECT_FALSE(::PtInRegion(region.get(), w / 2, 0)) << "first row";
        for (POINT corner : {POINT{2, 2}, POINT{w - 2, h - 2}}) {
            EXPECT_FALSE(::PtInRegion(region.get(), corner.x, corner.y))
                << "corner " << corner.x << "," << corner.y << " is not rounded off";
        }
    }

    // While it shows, start-up has not gone on: no main window, so no tray icon either.
    bool mainWindowDuringSplash = false;
    bool screenshotTaken = false;
    const ULONGLONG hideAt = [&] {
        ULONGLONG goneAt = 0;
        WaitUntil(
            [&] {
                if (!::IsWindow(splash) || !::IsWindowVisible(splash)) {
                    goneAt = ::GetTickCount64();
                    return true;
                }
                if (AnyWindowOfClass(app.Pid(), L"QuillmereMenu")) {
                    mainWindowDuringSplash = true;
                }
                // Past the one-second hold it is fully painted.
                if (!screenshotTaken && ::GetTickCount64() - shownAt > 1500) {
                    RECT around = frame;
                    ::InflateRect(&around, 24, 24);
                    EXPECT_TRUE(SaveScreenBmp(around, ScreenshotPath(L"splash")));
                    screenshotTaken = true;
                }
                return false;
            },
            15000, 10);
        return goneAt;
    }();
    ASSERT_NE(hideAt, 0u) << "the splash did not close itself";
    const ULONGLONG shownMs = hideAt - shownAt;
    std::printf("splash shown for %llu ms\n", shownMs);
    EXPECT_GE(shownMs, 2500u);
    EXPECT_LE(shownMs, 4500u);
    EXPECT_FALSE(mainWindowDuringSplash) << "start-up went on while the splash showed";
    EXPECT_TRUE(screenshotTaken);

    const HWND menu = app.WaitForMainWindow();
    ASSERT_NE(menu, nullptr) << "main window never appeared after the splash";
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(menu, win::TrayIcon::kIconId); }, 10000))
        << "the tray icon was not added after the splash";

    // No schedule: Exit ends the program without asking.
    ::PostMessageW(menu, WM_COMMAND, win::kCmdExit, 0);
    const auto exitCode = app.WaitForExit(10000);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
}

}  // namespace
}  // namespace qm::e2e
