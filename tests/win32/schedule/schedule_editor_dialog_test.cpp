#include <windows.h>

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "win32/schedule/schedule_editor_dialog.h"
#include "win32/ui/number_box_control.h"

namespace qm::win {
namespace {

void Pump() {
    for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
        ::DispatchMessageW(&msg);
    }
}

int ThreadWindowCount() {
    int n = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND, LPARAM p) -> BOOL { return ++*reinterpret_cast<int*>(p) > 0; },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

TEST(ScheduleEditorDialog, OpeningAndClosingAHundredTimesLeavesNothingBehind) {
    test::FakeClock clock{D(2026, 12, 3, 12, 0)};
    ScheduleModule module{clock};
    ScheduleEditorDialog editor{module, [] {}};
    editor.Display({});  // the first opening registers classes and fills caches for good
    editor.Close();
    Pump();
    const int windows = ThreadWindowCount();
    const long timers = WindowTimer::RunningCount();
    const long gdi = LiveResources::gdiObjects;
    for (int i = 0; i < 100; ++i) {
        ScheduleEditorRequest request;
        request.acceptChanges = i % 2 == 0;
        editor.Display(request);
        ASSERT_TRUE(editor.IsOpen()) << i;
        // "Every", and its count's up button held when the editor closes.
        ::SendMessageW(editor.Item(kIdOccurs0 + 4), BM_CLICK, 0, 0);
        const HWND upDown = NumberBoxControl::From(editor.Item(kIdEveryNumber))->UpDown();
        ::SendMessageW(upDown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        EXPECT_GT(WindowTimer::RunningCount(), timers);
        editor.Close();
    }
    Pump();
    EXPECT_EQ(ThreadWindowCount(), windows);
    EXPECT_EQ(WindowTimer::RunningCount(), timers);
    EXPECT_EQ(LiveResources::gdiObjects, gdi);
}

}  // namespace
}  // namespace qm::win
