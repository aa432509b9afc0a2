#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <string>

#include "core/common/rounding.h"
#include "win32/ui/message_box_window.h"
#include "win32/ui/msgbox_platform_win.h"
#include "win32/win_fixture.h"

namespace qm::win {
namespace {

// Actions run from thread timers inside the box's own message loop, as a user would act.
std::map<UINT_PTR, std::function<void()>> g_actions;

void After(UINT ms, std::function<void()> action) {
    g_actions[::SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        if (auto node = g_actions.extract(id); !node.empty()) {
            node.mapped()();
        }
    })] = std::move(action);
}

class MessageBoxWindowTest : public testing::Test {
  protected:
    // The newest open box: boxes opened later lie above earlier ones.
    static HWND FindBox() { return ::FindWindowW(kMessageBoxClassName, nullptr); }
    static HWND ButtonOf(HWND box, int i) { return ::GetDlgItem(box, kMsgButtonFirstId + i); }
    static void Click(int index) { ::SendMessageW(ButtonOf(FindBox(), index), BM_CLICK, 0, 0); }
    static std::wstring TextOf(HWND window) {
        wchar_t buffer[256] = {};
        ::GetWindowTextW(window, buffer, 256);
        return buffer;
    }
    void SetUp() override {
        box.SetSoundBeep(false);
        // No test may hang on a box left open: after thirty seconds every box is closed.
        After(30000, [] {
            while (HWND b = FindBox()) {
                ::SendMessageW(b, WM_CLOSE, 0, 0);
                ::DestroyWindow(b);
            }
        });
    }
    void TearDown() override {
        for (auto& [id, action] : g_actions) {
            ::KillTimer(nullptr, id);
        }
        g_actions.clear();
    }
    // Shows a box and runs `act` on it `ms` later; returns the box's answer.
    int Answer(int style, UINT ms, std::function<void(HWND)> act) {
        After(ms, [act] { act(FindBox()); });
        return box.MsgBox("Answer me", static_cast<std::int16_t>(style), "Test");
    }

    Win32MsgBoxPlatform platform;
    MsgBoxShared shared;
    MsgBoxEnhanced box{platform, shared};
};

TEST_F(MessageBoxWindowTest, EveryButtonReturnsItsCodeOnlyTheSetIsShownFocusOnTheDefault) {
    // The style, the button clicked and its code and caption, the buttons shown, the focused
    // one (a default beyond the buttons focuses the first).
    const std::tuple<int, int, int, std::wstring, int, std::wstring> cases[] = {
        {0, 0, 1, L"&OK", 1, L"&OK"},
        {2, 2, 5, L"&Ignore", 3, L"&Abort"},
        {3, 2, 2, L"Cancel", 3, L"&Yes"},
        {4 + 32 + 256, 1, 7, L"&No", 2, L"&No"},
        {512, 0, 1, L"&OK", 1, L"&OK"}};
    for (const auto& [style, index, code, caption, shown, focused] : cases) {
        SCOPED_TRACE(style * 10 + index);
        std::wstring captionSeen, focusedSeen;
        int shownSeen = 0;
        const int answer = Answer(style, 150, [&](HWND b) {
            for (int i = 0; i < kMaxMsgButtons; ++i) {
                shownSeen += ::IsWindowVisible(ButtonOf(b, i)) ? 1 : 0;
            }
            captionSeen = TextOf(ButtonOf(b, index));
            focusedSeen = TextOf(::GetFocus());
            Click(index);
        });
        EXPECT_EQ(std::tuple(answer, shared.msgResult, captionSeen, shownSeen, focusedSeen),
                  std::tuple(code, code, caption, shown, focused));
    }
    EXPECT_EQ(FindBox(), nullptr);
}

TEST_F(MessageBoxWindowTest, KeyboardAnswers) {
    using Key = std::tuple<UINT, WPARAM, LPARAM>;  // a message, its key and its bits
    const Key escDown{WM_KEYDOWN, VK_ESCAPE, 0x00010001}, escUp{WM_KEYUP, VK_ESCAPE, 0xC0010001};
    const Key enter{WM_KEYDOWN, VK_RETURN, 0};
    const std::tuple<int, std::vector<Key>, int> cases[] = {
        {36, {escDown, escUp}, 2},
        {3 + 256, {enter}, 7},                       // the focused default button
        {3 + 256, {{WM_CHAR, L'y', 0}}, 6},          // access key
        {2, {{WM_SYSCHAR, L'I', 0x20000000}}, 5},    // Alt and access key
        {7, {enter, {WM_CHAR, L'o', 0}, escUp}, 2},  // no buttons: only Escape answers
    };
    for (const auto& [style, keys, code] : cases) {
        const int answer = Answer(style, 150, [&](HWND b) {
            for (const auto& [msg, key, bits] : keys) {
                ::PostMessageW(::GetFocus() ? ::GetFocus() : b, msg, key, bits);
            }
        });
        EXPECT_EQ(answer, code) << style;
    }
}

TEST_F(MessageBoxWindowTest, TabMovesTheFocusAndThePollKeepsIt) {
    std::wstring afterTab;
    const int answer = Answer(2, 150, [&](HWND) {
        ::SendMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        After(250, [&] {  // two polls later
            afterTab = TextOf(::GetFocus());
            Click(2);
        });
    });
    EXPECT_EQ(std::pair(answer, afterTab), std::pair(5, std::wstring(L"&Retry")));
}

TEST_F(MessageBoxWindowTest, CloseBoxPressedThenReleasedGivesCancel) {
    for (bool controlBox : {true, false}) {
        SCOPED_TRACE(controlBox);
        box.SetControlBox(controlBox);
        bool openAfterPress = false;
        const int answer = Answer(4, 100, [&](HWND b) {
            RECT client;
            ::GetClientRect(b, &client);
            // The close box: 14 x 14 pixels, 24 from the right edge and 4 down.
            const LPARAM at = MAKELPARAM(client.right - 24 + 7, 4 + 7);
            ::SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, at);
            openAfterPress = ::IsWindowVisible(b) && (!controlBox || ::GetCapture() == b);
            ::SendMessageW(b, WM_LBUTTONUP, 0, at);
            if (!controlBox) {
                Click(0);  // the corner did nothing
            }
        });
        EXPECT_EQ(answer, controlBox ? 2 : 6);
        EXPECT_TRUE(openAfterPress);
    }
}

TEST_F(MessageBoxWindowTest, TimeOutClosesWithZeroAndAModelessBoxReturnsAtOnce) {
    box.SetTimerSeconds(1);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(box.MsgBox("Going soon", 0, "Test"), 0);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 3500u);  // slower only if Wine waits on a window manager

    box.SetTimerSeconds(0);
    box.SetModal(false);
    EXPECT_EQ(box.MsgBox("Not waiting", 1, "Test"), 0);
    const HWND b = FindBox();
    ASSERT_TRUE(::IsWindowVisible(b));
    Click(1);
    EXPECT_TRUE(test::WaitUntil([b] { return !::IsWindow(b); }, 100));
    EXPECT_EQ(shared.msgResult, 2);
}

TEST_F(MessageBoxWindowTest, WindowSizeIsTheLayoutInPixels) {
    box.SetHeadingType(1);
    box.SetTextAlignment(2);
    const TwipsPerPixel& tpp = platform.Scale();
    for (int style : {0, 3 + 64}) {
        SCOPED_TRACE(style);
        const std::string text = "The program is already running\r\nand a second line";
        const MsgBoxLayout l = box.Prepare(text, static_cast<std::int16_t>(style), "T").layout;
        RECT rect{};
        // The first two columns of the heading and of the body: no outline sets the edge apart.
        std::array<COLORREF, 4> edge{};
        LONG_PTR exStyle = 0;
        After(80, [&] {
            const HWND b = FindBox();
            ::GetWindowRect(b, &rect);
            exStyle = ::GetWindowLongPtrW(b, GWL_EXSTYLE);
            HDC dc = ::GetDC(b);
            const int bodyY = (rect.bottom - rect.top) - 4;
            edge = {::GetPixel(dc, 0, 5), ::GetPixel(dc, 1, 5), ::GetPixel(dc, 0, bodyY),
                    ::GetPixel(dc, 1, bodyY)};
            ::ReleaseDC(b, dc);
            ::PostMessageW(b, WM_KEYUP, VK_ESCAPE, 0);
        });
        box.MsgBox(text, static_cast<std::int16_t>(style), "T");
        EXPECT_EQ(rect.right - rect.left, static_cast<int>(RoundHalfEven(l.width / tpp.x)));
        EXPECT_EQ(rect.bottom - rect.top, static_cast<int>(RoundHalfEven(l.height / tpp.y)));
        EXPECT_EQ(rect.left, static_cast<int>(RoundHalfEven(l.windowLeft / tpp.x)));
        EXPECT_EQ(rect.top, static_cast<int>(RoundHalfEven(l.windowTop / tpp.y)));
        EXPECT_EQ(std::pair(edge[0], edge[2]), std::pair(edge[1], edge[3])) << "heading, body";
        EXPECT_TRUE(exStyle & WS_EX_TOPMOST) << "kept on top";
    }
}

TEST_F(MessageBoxWindowTest, ModalBoxDisablesTheOtherWindowsAndRestoresExactlyThose) {
    const auto popup = [](DWORD style) {
        return ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | style, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    };
    HWND a = popup(0);
    HWND alreadyOff = popup(WS_DISABLED);
    bool aEnabledDuring = true;
    // The program's timers keep firing while the box waits.
    static int ticks;
    ticks = 0;
    const UINT_PTR tick = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    const int answer = Answer(0, 200, [&](HWND) {
        aEnabledDuring = ::IsWindowEnabled(a);
        Click(0);
    });
    ::KillTimer(nullptr, tick);
    EXPECT_EQ(
        std::tuple(answer, aEnabledDuring, ::IsWindowEnabled(a), ::IsWindowEnabled(alreadyOff)),
        std::tuple(1, false, TRUE, FALSE));
    EXPECT_GE(ticks, 4);
    ::DestroyWindow(a);
    ::DestroyWindow(alreadyOff);
}

TEST_F(MessageBoxWindowTest, NestedMessageOpensOnTopAndBothAnswersArrive) {
    int inner = -1;
    bool outerDisabledDuringInner = false;
    EXPECT_EQ(Answer(1, 100,
                     [&](HWND outer) {
                         After(100, [&, outer] {
                             outerDisabledDuringInner = !::IsWindowEnabled(outer);
                             if (FindBox() != outer) {
                                 Click(0);
                             }
                         });
                         inner = box.MsgBox("Second message", 4, "Inner");
                         After(50, [outer] { ::SendMessageW(ButtonOf(outer, 1), BM_CLICK, 0, 0); });
                     }),
              2);
    EXPECT_EQ(inner, 6);
    EXPECT_TRUE(outerDisabledDuringInner);
}

}  // namespace
}  // namespace qm::win
