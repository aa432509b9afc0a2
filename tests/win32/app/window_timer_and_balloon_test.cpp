#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "win32/app/balloon_tip.h"
#include "win32/common/window_timer.h"
#include "win32/win_fixture.h"

namespace qm::win {
namespace {

// A plain window whose WM_TIMER goes to a TimerSet and whose WM_NOTIFY goes to a balloon.
struct Host {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<Host*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_TIMER && self->timers && self->timers->Dispatch(wp)) {
            return 0;
        }
        if (self && msg == WM_NOTIFY && self->balloon &&
            self->balloon->HandleNotify(reinterpret_cast<NMHDR*>(lp))) {
            return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    Host() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QmTimerTestHost";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Host() { ::DestroyWindow(hwnd); }

    HWND hwnd = nullptr;
    TimerSet* timers = nullptr;
    BalloonTip* balloon = nullptr;
};

TEST(WindowTimer, FiresUntilItsHandlerDisablesItThenIgnoresALateTick) {
    Host host;
    TimerSet set(host.hwnd);
    host.timers = &set;
    WindowTimer& timer = set.Create();
    int fired = 0;
    timer.SetInterval(10);
    timer.SetHandler([&] {
        if (++fired == 3) {
            timer.SetEnabled(false);
        }
    });
    timer.SetEnabled(true);
    EXPECT_TRUE(test::WaitUntil([&] { return fired >= 3; }, 3000));
    test::WaitUntil([] { return false; }, 100);
    timer.Fire();  // as a WM_TIMER queued before the timer was disabled would
    EXPECT_EQ(std::tuple(fired, timer.Enabled(), set.Dispatch(12345)),  // 12345: not ours
              std::tuple(3, false, false));
}

TEST(BalloonTip, ShowsTwoLinesAndRemovesByIdOnly) {
    Host host;
    BalloonTip balloon(host.hwnd);
    host.balloon = &balloon;
    ASSERT_NE(balloon.TooltipWindow(), nullptr);
    balloon.SetMessage(
        L" Last Defrag  - Today at 8:15:42 AM \r\n Next Defrag - Tomorrow at Midnight ");
    const auto id = balloon.ShowAt(POINT{400, 500});
    ASSERT_NE(id, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return ::IsWindowVisible(balloon.TooltipWindow()); }, 2000));
    RECT r{};  // two lines and a title: taller than one line of text would make it
    EXPECT_TRUE(::GetWindowRect(balloon.TooltipWindow(), &r) && r.bottom - r.top > 40);

    balloon.Remove(static_cast<std::uint16_t>(id + 1));  // someone else's id: nothing happens
    EXPECT_TRUE(::IsWindowVisible(balloon.TooltipWindow()));
    balloon.Remove(id);
    EXPECT_TRUE(test::WaitUntil([&] { return !::IsWindowVisible(balloon.TooltipWindow()); }, 2000));
    const auto next = balloon.ShowAt(POINT{400, 500});
    EXPECT_NE(next, id);
    balloon.Remove(next);
}

}  // namespace
}  // namespace qm::win
