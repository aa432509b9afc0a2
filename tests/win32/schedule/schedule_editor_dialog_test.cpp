#include <windows.h>

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "win32/schedule/schedule_editor_dialog.h"
#include "win32/ui/number_box_control.h"
#include "win32/win_fixture.h"

namespace qm::win {
namespace {

TEST(ScheduleEditorDialog, OpeningAndClosingAHundredTimesLeavesNothingBehind) {
    test::FakeClock clock{D(2026, 12, 3, 12, 0)};
    ScheduleModule module{clock};
    ScheduleEditorDialog editor{module, [] {}};
    editor.Display({});  // the first opening registers classes and fills caches for good
    editor.Close();
    test::PumpMessages();
    const auto held = test::HeldResources();
    const long timers = WindowTimer::RunningCount();
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
    test::PumpMessages();
    EXPECT_EQ(test::HeldResources(), held);
}

}  // namespace
}  // namespace qm::win
