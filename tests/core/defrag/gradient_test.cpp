#include "core/defrag/gradient.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(GradientBands, WhiteTopToBottomOn850ShadesToBlackInBandsOfTen) {
    auto bands = GradientBands(600, 850, {255, 255, 255}, 1);
    ASSERT_EQ(bands.size(), 85u);
    for (int i = 0; i < 85; ++i) {
        const int level = 255 - 3 * (i + 1);  // 252 in the first band, 0 in the last
        EXPECT_EQ(bands[i].colour, (Rgb{level, level, level})) << i;
        EXPECT_EQ(bands[i].top, 10 * i) << i;
        EXPECT_EQ(bands[i].bottom, 10 * i + 10) << i;
        EXPECT_EQ(bands[i].left, 0);
        EXPECT_EQ(bands[i].right, 600);
    }
}

TEST(GradientBands, ChannelsAreClampedThenStopAtZeroEachOnItsOwn) {
    struct Case {
        Rgb start;
        int band;
        Rgb colour;
    };
    const Case cases[] = {{{9, 100, 0}, 0, {6, 97, 0}},
                          {{9, 100, 0}, 2, {0, 91, 0}},
                          {{9, 100, 0}, 10, {0, 67, 0}},
                          {{9, 100, 0}, 84, {0, 0, 0}},
                          {{300, -5, 255}, 0, {252, 0, 252}}};
    for (const auto& c : cases) {
        EXPECT_EQ(GradientBands(85, 85, c.start, 1)[c.band].colour, c.colour) << c.band;
    }
}

TEST(GradientBands, BottomToTopEndsAtTheBottomAndStretchesTheLastBandToTheTop) {
    auto bands = GradientBands(200, 900, {255, 255, 255}, 2);  // 900 / 85 rounds to 11
    ASSERT_EQ(bands.size(), 85u);
    EXPECT_EQ(bands[0].bottom, 900);
    EXPECT_EQ(bands[0].top, 889);
    EXPECT_EQ(bands[1].bottom, 889);
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
    EXPECT_EQ(left[0].left, 168);
    EXPECT_EQ(left[0].right, 170);
    EXPECT_EQ(left[84].left, 0);
    EXPECT_EQ(left[84].right, 2);
}

TEST(GradientBands, BandThicknessIsRoundedAndUnknownDirectionsPaintTopToBottom) {
    struct Case {
        int height;
        int direction;
        int thickness;
    };
    const Case cases[] = {{84, 1, 1},    {127, 1, 1},  {128, 1, 2},  {42, 1, 0},
                          {1100, 1, 13}, {850, 0, 10}, {850, 5, 10}, {850, -2, 10}};
    for (const auto& c : cases) {
        auto bands = GradientBands(10, c.height, {255, 255, 255}, c.direction);
        EXPECT_EQ(bands[1].top, c.thickness) << c.height << " " << c.direction;
        EXPECT_EQ(bands[1].bottom, 2 * c.thickness) << c.height << " " << c.direction;
        EXPECT_EQ(bands[1].right, 10);
    }
}

}  // namespace
}  // namespace qm
