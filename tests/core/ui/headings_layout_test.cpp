#include "core/ui/headings_layout.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(HeadingsLayout, RaisedBoxOfTheOptionsHeading) {
    using enum HeadingsPen;
    const HeadingsGeometry g = HeadingsLayout(3840, 360);
    EXPECT_EQ(g.wb, 3830);
    EXPECT_EQ(g.hb, 350);
    const std::array<HeadingsLine, 10> lines{{
        {0, 350, 3845, 350, Black},
        {3830, 0, 3830, 350, Black},
        {15, 335, 3825, 335, Grey},
        {3815, 15, 3815, 345, Grey},
        {30, 320, 3810, 320, Black},
        {3800, 30, 3800, 330, Black},
        {0, 0, 3830, 0, White},
        {0, 0, 0, 350, White},
        {15, 15, 3815, 15, Light3D},
        {15, 15, 15, 335, Light3D},
    }};
    EXPECT_EQ(g.lines, lines);
    EXPECT_EQ(HeadingsLayout(100.5, 20.5).wb, 90);  // whole twips, halves to even
    EXPECT_EQ(HeadingsLayout(101.5, 21.5).hb, 12);
}

TEST(HeadingsLayout, CaptionIsCentredButKeepsFiveTwipsFromTheEdges) {
    struct Case {
        double textWidth, textHeight;
        HeadingsPoint at;
    };
    const Case cases[] = {
        {2400, 195, {720, 82}},  // 82.5: halves to even
        {2400, 193, {720, 84}},  // 83.5
        {3900, 195, {5, 82}},    // wider than the bar: cut at the right
        {2400, 400, {720, 5}},   // taller than the bar
        {3828, 348, {6, 6}},     // just inside the floor
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HeadingsCaptionPosition(3840, 360, c.textWidth, c.textHeight), c.at)
            << c.textWidth << " x " << c.textHeight;
    }
}

TEST(HeadingsProperties, AbsentTakeDefaultsAndDefaultsAreNotStored) {
    const HeadingsValues fresh = ReadHeadingsProperties({}, "Headings1");
    EXPECT_EQ(fresh.caption, "Headings1");
    EXPECT_EQ(fresh.foreColor, 0x80000012u);
    EXPECT_EQ(fresh.backColor, 0x8000000Fu);
    EXPECT_EQ(WriteHeadingsProperties(fresh, "Headings1"), HeadingsProperties{});

    const HeadingsProperties options{"Select Drives to Schedule for Defrag", 0x00FFFFFFu,
                                     0x00800000u};
    const HeadingsValues read = ReadHeadingsProperties(options, "Headings1");
    EXPECT_EQ(read.caption, "Select Drives to Schedule for Defrag");
    EXPECT_EQ(WriteHeadingsProperties(read, "Headings1"), options);
    EXPECT_TRUE(IsSystemColour(0x80000016u));
    EXPECT_FALSE(IsSystemColour(0x00800000u));
    EXPECT_EQ(SystemColourIndex(0x80000016u), 22);
}

}  // namespace
}  // namespace qm
