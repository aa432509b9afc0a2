#include "core/defrag/gradient.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(GradientBands, WhiteTopToBottomOn850ShadesToBlackInBandsOfTen) {
    auto bands = GradientBands(600, 850, {255, 255, 255}, 1);
    ASSERT_EQ(bands.size(), 85u);
    for (int i = 0; i < 85; ++i) {
        const auto& b = bands[i];
        int level = 255 - 3 * (i + 1);
        EXPECT_EQ(b.colour, (Rgb{level, level, level})) << i;
        EXPECT_EQ(b.top, 10 * i) << i;
        EXPECT_EQ(b.bottom, 10 * i + 10) << i;
        EXPECT_EQ(b.left, 0);
        EXPECT_EQ(b.right, 600);
    }
    EXPECT_EQ(bands.front().colour, (Rgb{252, 252, 252}));
    EXPECT_EQ(bands.back().colour, (Rgb{0, 0, 0}));
}

TEST(GradientBands, ChannelsStopAtZeroEachOnItsOwn) {
    auto bands = GradientBands(85, 85, {9, 100, 0}, 1);
    EXPECT_EQ(bands[0].colour, (Rgb{6, 97, 0}));
    EXPECT_EQ(bands[2].colour, (Rgb{0, 91, 0}));
    EXPECT_EQ(bands[10].colour, (Rgb{0, 67, 0}));
    EXPECT_EQ(bands[84].colour, (Rgb{0, 0, 0}));
}

TEST(GradientBands, OutOfRangeColoursAreClampedFirst) {
    auto bands = GradientBands(85, 85, {300, -5, 255}, 1);
    EXPECT_EQ(bands[0].colour, (Rgb{252, 0, 252}));
}

TEST(GradientBands, BottomToTopEndsAtTheBottomAndStretchesTheLastBandToTheTop) {
    auto bands = GradientBands(200, 900, {255, 255, 255}, 2);  // 900 / 85 rounds to 11
    ASSERT_EQ(bands.size(), 85u);
    EXPECT_EQ(bands[0].bottom, 900);
    EXPECT_EQ(bands[0].top, 889);
    EXPECT_EQ(bands[1].bottom, 889);
    EXPECT_EQ(bands[83].top, 900 - 84 * 11);
    EXPECT_EQ(bands[84].bottom, 900 - 84 * 11);
    EXPECT_EQ(bands[84].top, 0);
    EXPECT_EQ(bands[84].right, 200);
}

TEST(GradientBands, VerticalBandsRunLeftToRightOrRightToLeft) {
    auto right = GradientBands(170, 40, {255, 0, 0}, 3);
    EXPECT_EQ(right[0].left, 0);
    EXPECT_EQ(right[0].right, 2);
    EXPECT_EQ(right[84].left, 168);
    EXPECT_EQ(right[5].top, 0);
    EXPECT_EQ(right[5].bottom, 40);

    auto left = GradientBands(170, 40, {255, 0, 0}, 4);
    EXPECT_EQ(left[0].right, 170);
    EXPECT_EQ(left[0].left, 168);
    EXPECT_EQ(left[84].left, 0);
    EXPECT_EQ(left[84].right, 2);
}

TEST(GradientBands, BandThicknessIsRounded) {
    struct Case {
        int height;
        int thickness;
    };
    const Case cases[] = {{84, 1}, {127, 1}, {128, 2}, {42, 0}, {850, 10}, {1100, 13}};
    for (const auto& c : cases) {
        auto bands = GradientBands(10, c.height, {255, 255, 255}, 1);
        EXPECT_EQ(bands[1].bottom - bands[1].top, c.thickness) << c.height;
    }
}

TEST(GradientBands, UnknownDirectionsPaintTopToBottom) {
    for (int direction : {0, 5, -2}) {
        EXPECT_EQ(GradientBands(100, 850, {255, 255, 255}, direction)[1].top, 10) << direction;
        EXPECT_EQ(GradientBands(100, 850, {255, 255, 255}, direction)[1].right, 100);
    }
}

}  // namespace
}  // namespace qm
