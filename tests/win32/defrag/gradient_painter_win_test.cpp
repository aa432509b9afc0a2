// The gradient painted into a bitmap and read back pixel by pixel.
#include <gtest/gtest.h>

#include "win32/common/dpi.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/gradient_painter.h"

namespace qm::test {
namespace {

TEST(GradientPainterWin, WhiteDownwardsShadesFromNearWhiteToBlack) {
    if (win::SystemDpi() != 96) {
        GTEST_SKIP() << "pixel rows below are worked out for 96 DPI";
    }
    // 57 pixels = 855 twips: bands of 10 twips, two thirds of a pixel each.
    HDC screen = ::GetDC(nullptr);
    win::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
    win::UniqueHbitmap bitmap(::CreateCompatibleBitmap(screen, 40, 57));
    ::ReleaseDC(nullptr, screen);
    ASSERT_TRUE(dc && bitmap);
    win::ScopedSelectObject select(dc.get(), bitmap.get());

    win::FillGradient(dc.get(), SIZE{40, 57}, 255, 255, 255, 1);
    // Band 1; band 43, which starts on pixel row 28; band 85.
    for (auto [row, colour] :
         {std::pair{0, RGB(252, 252, 252)}, {28, RGB(126, 126, 126)}, {56, RGB(0, 0, 0)}}) {
        EXPECT_EQ(std::pair(::GetPixel(dc.get(), 0, row), ::GetPixel(dc.get(), 39, row)),
                  std::pair(colour, colour))
            << row;
    }
}

}  // namespace
}  // namespace qm::test
