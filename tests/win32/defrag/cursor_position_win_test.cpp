// Whether the pointer has left a window, with the real pointer moved about.
#include <gtest/gtest.h>

#include "win32/common/unique_handle.h"
#include "win32/defrag/cursor_position.h"

namespace qm::test {
namespace {

TEST(CursorPositionWin, OutsideAWindowFarAwayInsideOnIt) {
    win::UniqueHwnd window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 200, 200,
                                             100, 80, nullptr, nullptr, nullptr, nullptr));
    POINT where{};
    if (!window || !::SetCursorPos(10, 10) || !::GetCursorPos(&where) || where.x != 10 ||
        where.y != 10) {
        GTEST_SKIP() << "no display to make a window on or to move the pointer about";
    }
    EXPECT_TRUE(win::IsCursorOutside(window.get()));
    ::SetCursorPos(250, 240);
    EXPECT_FALSE(win::IsCursorOutside(window.get()));
}

}  // namespace
}  // namespace qm::test
