// Whether the pointer has left a window, with the real pointer moved about.
#include <gtest/gtest.h>

#include "win32/common/unique_handle.h"
#include "win32/defrag/cursor_position.h"

namespace qm::test {
namespace {

TEST(CursorPositionWin, OutsideAWindowFarAwayInsideOnIt) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 200, 200, 100, 80,
                                    nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        GTEST_SKIP() << "no display to make a window on";
    }
    win::UniqueHwnd owner(window);
    if (!::SetCursorPos(10, 10)) {
        GTEST_SKIP() << "the pointer cannot be moved here";
    }
    POINT where{};
    ::GetCursorPos(&where);
    if (where.x != 10 || where.y != 10) {
        GTEST_SKIP() << "the pointer cannot be moved here";
    }
    EXPECT_TRUE(win::IsCursorOutside(window));
    ::SetCursorPos(250, 240);
    EXPECT_FALSE(win::IsCursorOutside(window));
}

}  // namespace
}  // namespace qm::test
