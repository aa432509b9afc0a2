#include <gtest/gtest.h>

#include <string>

#include "core/common/rounding.h"
#include "win32/ui/msgbox_driver.h"
#include "win32/ui/msgbox_platform_win.h"

namespace qm::win {
namespace {

using test::BoxDriver;

std::wstring TextOf(HWND window) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(window, buffer, 256);
    return buffer;
}

class MessageBoxWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        box.SetSoundBeep(false);
        // No test may hang on a box left open: after thirty seconds every box is closed.
        watchdog.After(30000, [] {
            while (HWND b = BoxDriver::FindBox()) {
                ::SendMessageW(b, WM_CLOSE, 0, 0);
                ::DestroyWindow(b);
            }
        });
    }

    Win32MsgBoxPlatform platform;
    MsgBoxShared shared;
    MsgBoxEnhanced box{platform, shared};
    BoxDriver driver;
    BoxDriver watchdog;
};

void Click(int index) {
    HWND button = BoxDriver::ButtonOf(BoxDriver::FindBox(), index);
    ::SendMessageW(button, BM_CLICK, 0, 0);
}

TEST_F(MessageBoxWindowTest, EveryButtonReturnsItsCode) {
    const struct {
        int style;
        int index;
        int code;
        const wchar_t* caption;
    } cases[] = {
        {0, 0, 1, L"&OK"},     {1, 1, 2, L"Cancel"}, {2, 0, 3, L"&Abort"}, {2, 1, 4, L"&Retry"},
        {2, 2, 5, L"&Ignore"}, {3, 0, 6, L"&Yes"},   {3, 1, 7, L"&No"},    {3, 2, 2, L"Cancel"},
        {4, 1, 7, L"&No"},     {5, 0, 4, L"&Retry"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style * 10 + c.index);
        std::wstring caption;
        driver.After(50, [&caption, index = c.index] {
            caption = TextOf(BoxDriver::ButtonOf(BoxDriver::FindBox(), index));
            Click(index);
        });
        EXPECT_EQ(box.MsgBox("Pick one", static_cast<std::int16_t>(c.style), "Test"), c.code);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(shared.msgResult, c.code);
    }
    EXPECT_EQ(BoxDriver::FindBox(), nullptr);
}

TEST_F(MessageBoxWindowTest, OnlyTheButtonsOfTheSetAreShown) {
    const std::pair<int, int> cases[] = {{0, 1}, {1, 2}, {2, 3}, {3, 3}, {4, 2}, {5, 2}, {6, 0}};
    for (auto [style, count] : cases) {
        SCOPED_TRACE(style);
        int shown = -1;
        driver.After(50, [&] {
            HWND b = BoxDriver::FindBox();
            shown = 0;
            for (int i = 0; i < kMaxMsgButtons; ++i) {
                shown += ::IsWindowVisible(BoxDriver::ButtonOf(b, i)) ? 1 : 0;
            }
            ::PostMessageW(b, WM_KEYUP, VK_ESCAPE, 0);
        });
        EXPECT_EQ(box.MsgBox("Count", static_cast<std::int16_t>(style), "Test"), 2);
        EXPECT_EQ(shown, count);
    }
}

TEST_F(MessageBoxWindowTest, EscapeReleasedOnTheFocusedButtonGivesCancel) {
    for (int style : {0, 4, 36}) {
        SCOPED_TRACE(style);
        HWND focus = nullptr;
        driver.After(150, [&] {
            focus = ::GetFocus();
            ::PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            ::PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        });
        EXPECT_EQ(box.MsgBox("Escape me", static_cast<std::int16_t>(style), "Test"), 2);
        EXPECT_NE(focus, nullptr);
    }
}

TEST_F(MessageBoxWindowTest, FocusGoesToTheDefaultButton) {
    std::wstring focused;
    driver.After(150, [&] {
        focused = TextOf(::GetFocus());
        Click(1);
    });
    EXPECT_EQ(box.MsgBox("Sure?", 4 + 32 + 256, "Test"), 7);
    EXPECT_EQ(focused, L"&No");
}

TEST_F(MessageBoxWindowTest, DefaultBeyondTheButtonsFocusesTheFirst) {
    std::wstring focused;
    driver.After(150, [&] {
        focused = TextOf(::GetFocus());
        Click(0);
    });
    EXPECT_EQ(box.MsgBox("Fine", 512, "Test"), 1);
    EXPECT_EQ(focused, L"&OK");
}

TEST_F(MessageBoxWindowTest, EnterPressesTheFocusedButtonAndLettersTheirAccessKeys) {
    driver.After(150, [] { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0); });
    EXPECT_EQ(box.MsgBox("Enter", 3 + 256, "Test"), 7);
    driver.After(150, [] { ::PostMessageW(::GetFocus(), WM_CHAR, L'y', 0); });
    EXPECT_EQ(box.MsgBox("Letter", 3 + 256, "Test"), 6);
    driver.After(150, [] { ::PostMessageW(::GetFocus(), WM_SYSCHAR, L'I', 0x20000000); });
    EXPECT_EQ(box.MsgBox("Alt+letter", 2, "Test"), 5);
}

TEST_F(MessageBoxWindowTest, TabMovesTheFocusAndThePollKeepsIt) {
    std::wstring afterTab;
    driver.After(150, [&] {
        ::SendMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        driver.After(250, [&] {  // two polls later the focus is still where Tab put it
            afterTab = TextOf(::GetFocus());
            Click(2);
        });
    });
    EXPECT_EQ(box.MsgBox("Tab", 2, "Test"), 5);
    EXPECT_EQ(afterTab, L"&Retry");
}

TEST_F(MessageBoxWindowTest, CloseBoxPressedThenReleasedGivesCancel) {
    bool closedOnPress = true;
    driver.After(100, [&] {
        HWND b = BoxDriver::FindBox();
        RECT client;
        ::GetClientRect(b, &client);
        // The close box: 14 x 14 pixels, 24 from the right edge and 4 down.
        const LPARAM at = MAKELPARAM(client.right - 24 + 7, 4 + 7);
        ::SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, at);
        closedOnPress = !::IsWindowVisible(b) || ::GetCapture() != b;
        ::SendMessageW(b, WM_LBUTTONUP, 0, at);
    });
    EXPECT_EQ(box.MsgBox("Close me", 4, "Test"), 2);
    EXPECT_FALSE(closedOnPress);
}

TEST_F(MessageBoxWindowTest, WithoutControlBoxTheCornerDoesNothing) {
    box.SetControlBox(false);
    bool stillOpen = false;
    driver.After(100, [&] {
        HWND b = BoxDriver::FindBox();
        RECT client;
        ::GetClientRect(b, &client);
        const LPARAM at = MAKELPARAM(client.right - 24 + 7, 4 + 7);
        ::SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(b, WM_LBUTTONUP, 0, at);
        stillOpen = ::IsWindow(b) && BoxDriver::FindBox() == b;
        Click(0);
    });
    EXPECT_EQ(box.MsgBox("No close box", 0, "Test"), 1);
    EXPECT_TRUE(stillOpen);
}

TEST_F(MessageBoxWindowTest, TimeOutClosesWithZeroAfterTheSeconds) {
    box.SetTimerSeconds(1);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(box.MsgBox("Going soon", 0, "Test"), 0);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    EXPECT_GE(elapsed, 900u);
    // Wine without a window manager may wait up to two seconds more for an active window to
    // be unmapped unless its X11 driver is told not to hand windows to a manager.
    EXPECT_LT(elapsed, 3500u);
}

TEST_F(MessageBoxWindowTest, ActivationRestartsTheTimeOut) {
    box.SetTimerSeconds(1);
    HWND other = ::CreateWindowExW(0, L"STATIC", L"Other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    // Away at 0.6 s and back at 0.8 s: the count starts again, so the box lasts past 1.6 s.
    driver.After(600, [&] {
        ::EnableWindow(other, TRUE);
        ::SetActiveWindow(other);
        driver.After(200, [] { ::SetActiveWindow(BoxDriver::FindBox()); });
    });
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(box.MsgBox("Still here", 0, "Test"), 0);
    EXPECT_GE(::GetTickCount64() - start, 1600u);
    ::DestroyWindow(other);
}

TEST_F(MessageBoxWindowTest, ModelessReturnsZeroAtOnceAndStaysOpen) {
    box.SetModal(false);
    EXPECT_EQ(box.MsgBox("Not waiting", 1, "Test"), 0);
    HWND b = BoxDriver::FindBox();
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(::IsWindowVisible(b));
    ::SendMessageW(BoxDriver::ButtonOf(b, 1), BM_CLICK, 0, 0);
    BoxDriver::Pump(100);
    EXPECT_FALSE(::IsWindow(b));
    EXPECT_EQ(shared.msgResult, 2);
}

TEST_F(MessageBoxWindowTest, WindowSizeIsTheLayoutInPixels) {
    box.SetHeadingType(1);
    box.SetTextAlignment(2);
    for (int style : {0, 48, 36, 16, 3 + 64}) {
        SCOPED_TRACE(style);
        const std::string text = "The program is already running\r\nand a second line";
        const MsgBoxLayout l = box.Prepare(text, static_cast<std::int16_t>(style), "T").layout;
        const TwipsPerPixel& tpp = platform.Scale();
        RECT rect{};
        driver.After(80, [&] {
            ::GetWindowRect(BoxDriver::FindBox(), &rect);
            ::PostMessageW(BoxDriver::FindBox(), WM_KEYUP, VK_ESCAPE, 0);
        });
        box.MsgBox(text, static_cast<std::int16_t>(style), "T");
        EXPECT_EQ(rect.right - rect.left, static_cast<int>(RoundHalfEven(l.width / tpp.x)));
        EXPECT_EQ(rect.bottom - rect.top, static_cast<int>(RoundHalfEven(l.height / tpp.y)));
        EXPECT_EQ(rect.left, static_cast<int>(RoundHalfEven(l.windowLeft / tpp.x)));
        EXPECT_EQ(rect.top, static_cast<int>(RoundHalfEven(l.windowTop / tpp.y)));
    }
}

TEST_F(MessageBoxWindowTest, TitleAndPositionFromTheActiveWindow) {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"Owner window", WS_POPUP | WS_VISIBLE, 100, 100,
                                   400, 300, nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(owner);
    ASSERT_EQ(::GetActiveWindow(), owner);
    box.SetStartUpPosition(1);
    std::wstring title;
    RECT rect{};
    driver.After(80, [&] {
        HWND b = BoxDriver::FindBox();
        title = TextOf(b);
        ::GetWindowRect(b, &rect);
        Click(0);
    });
    EXPECT_EQ(box.MsgBox("Centred on the owner", 0, ""), 1);
    EXPECT_EQ(title, L"Owner window");
    EXPECT_NEAR((rect.left + rect.right) / 2.0, 300, 1);
    EXPECT_NEAR((rect.top + rect.bottom) / 2.0, 250, 1);
    EXPECT_EQ(box.StartUpPosition(), 1);
    ::DestroyWindow(owner);
}

TEST_F(MessageBoxWindowTest, ModalBoxDisablesTheOtherWindowsAndRestoresExactlyThose) {
    HWND a = ::CreateWindowExW(0, L"STATIC", L"A", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
    HWND alreadyOff = ::CreateWindowExW(0, L"STATIC", L"B", WS_POPUP | WS_VISIBLE | WS_DISABLED, 60,
                                        0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    bool aEnabledDuring = true;
    int ticks = 0;
    driver.After(200, [&] {
        aEnabledDuring = ::IsWindowEnabled(a);
        Click(0);
    });
    // The program's timers keep firing while the box waits.
    BoxDriver counter;
    std::function<void()> count = [&] {
        ++ticks;
        counter.After(20, count);
    };
    counter.After(20, count);
    EXPECT_EQ(box.MsgBox("Modal", 0, "Test"), 1);
    counter.CancelAll();
    EXPECT_FALSE(aEnabledDuring);
    EXPECT_TRUE(::IsWindowEnabled(a));
    EXPECT_FALSE(::IsWindowEnabled(alreadyOff));
    EXPECT_GE(ticks, 4);
    ::DestroyWindow(a);
    ::DestroyWindow(alreadyOff);
}

TEST_F(MessageBoxWindowTest, NestedMessageOpensOnTopAndBothAnswersArrive) {
    int inner = -1;
    HWND outerBox = nullptr;
    bool outerDisabledDuringInner = false;
    driver.After(100, [&] {
        outerBox = BoxDriver::FindBox();
        driver.After(100, [&] {
            outerDisabledDuringInner = !::IsWindowEnabled(outerBox);
            HWND innerBox = BoxDriver::FindBox();
            if (innerBox != outerBox) {
                ::SendMessageW(BoxDriver::ButtonOf(innerBox, 0), BM_CLICK, 0, 0);
            }
        });
        inner = box.MsgBox("Second message", 4, "Inner");
        driver.After(50, [&] { ::SendMessageW(BoxDriver::ButtonOf(outerBox, 1), BM_CLICK, 0, 0); });
    });
    EXPECT_EQ(box.MsgBox("First message", 1, "Outer"), 2);
    EXPECT_EQ(inner, 6);
    EXPECT_TRUE(outerDisabledDuringInner);
}

TEST_F(MessageBoxWindowTest, NoButtonsClosesOnlyByEscapeCloseBoxOrTimeOut) {
    driver.After(150, [] {
        HWND b = BoxDriver::FindBox();
        ::PostMessageW(b, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(b, WM_CHAR, L'o', 0);
    });
    driver.After(400, [] {
        HWND b = BoxDriver::FindBox();
        ::PostMessageW(::GetFocus() ? ::GetFocus() : b, WM_KEYUP, VK_ESCAPE, 0);
    });
    EXPECT_EQ(box.MsgBox("Nothing to press", 7, "Test"), 2);
}

TEST_F(MessageBoxWindowTest, KeepOnTopMakesTheBoxTopMost) {
    LONG_PTR exStyle = 0;
    driver.After(100, [&] {
        exStyle = ::GetWindowLongPtrW(BoxDriver::FindBox(), GWL_EXSTYLE);
        Click(0);
    });
    box.MsgBox("On top", 0, "Test");
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);

    box.SetKeepOnTop(false);
    driver.After(100, [&] {
        exStyle = ::GetWindowLongPtrW(BoxDriver::FindBox(), GWL_EXSTYLE);
        Click(0);
    });
    box.MsgBox("Not on top", 0, "Test");
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
}

}  // namespace
}  // namespace qm::win
