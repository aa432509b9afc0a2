#include "core/ui/headings_layout.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(HeadingsLayout, RaisedBoxAndCentredCaptionOfTheOptionsHeading) {
    using enum HeadingsPen;
    const HeadingsGeometry g = HeadingsLayout(3840, 360);
    EXPECT_EQ(g.wb, 3830);
    EXPECT_EQ(g.hb, 350);
    const std::array<HeadingsLine, 10> lines{{{0, 350, 3845, 350, Black},
                                              {3830, 0, 3830, 350, Black},
                                              {15, 335, 3825, 335, Grey},
                                              {3815, 15, 3815, 345, Grey},
                                              {30, 320, 3810, 320, Black},
                                              {3800, 30, 3800, 330, Black},
                                              {0, 0, 3830, 0, White},
                                              {0, 0, 0, 350, White},
                                              {15, 15, 3815, 15, Light3D},
                                              {15, 15, 15, 335, Light3D}}};
    EXPECT_EQ(g.lines, lines);
    EXPECT_EQ(HeadingsLayout(100.5, 21.5).wb * 100 + HeadingsLayout(0, 22.5).hb, 9012);  // to even
    // Centred in the whole bar (82.5 and 83.5 to even), never nearer its edges than 5 twips.
    EXPECT_EQ(HeadingsCaptionPosition(3840, 360, 2400, 195), (HeadingsPoint{720, 82}));
    EXPECT_EQ(HeadingsCaptionPosition(3840, 360, 2400, 193), (HeadingsPoint{720, 84}));
    EXPECT_EQ(HeadingsCaptionPosition(3840, 360, 3900, 400), (HeadingsPoint{5, 5}));
    EXPECT_EQ(HeadingsCaptionPosition(3840, 360, 3828, 348), (HeadingsPoint{6, 6}));
}

}  // namespace
}  // namespace qm
