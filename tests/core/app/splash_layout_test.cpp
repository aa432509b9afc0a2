#include "core/app/splash_layout.h"

#include <gtest/gtest.h>

namespace qm::test {
namespace {

TEST(SplashLayout, SizeInPixelsAtCommonResolutions) {
    struct Case {
        double tppX, tppY;
        int w, h;
    } cases[] = {
        {15, 15, 265, 197},    // 96 DPI
        {12, 12, 331, 246},    // 120 DPI: 331.25, 246.25
        {10, 10, 398, 296},    // 144 DPI: 397.5 and 295.5 round to even
        {7.5, 7.5, 530, 394},  // 192 DPI
        {0, -1, 265, 197},     // nonsense factors fall back to 96 DPI
    };
    for (const auto& c : cases) {
        const PixelSize s = SplashPixelSize(c.tppX, c.tppY);
        EXPECT_EQ(s.width, c.w) << c.tppX;
        EXPECT_EQ(s.height, c.h) << c.tppY;
    }
}

TEST(SplashLayout, VersionTextHasNoLeadingZeros) {
    EXPECT_EQ(SplashVersionText(1, 2), "Version 1.2");
    EXPECT_EQ(SplashVersionText(1, 0), "Version 1.0");
    EXPECT_EQ(SplashVersionText(10, 12), "Version 10.12");
}

}  // namespace
}  // namespace qm::test
