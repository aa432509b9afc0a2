#include <gtest/gtest.h>

#include "core/ui/msgdefs.h"

namespace qm {
namespace {

std::uint32_t FakeSysColor(std::uint32_t index) {
    return index == 2 ? 0x6A240Au : 0x00C8D0D4u;  // active caption, else button face
}

TEST(ResolveColor, SystemColoursGoThroughTheLookup) {
    EXPECT_EQ(ResolveColor(0x80000002u, FakeSysColor), (Rgb{0x0A, 0x24, 0x6A}));
    EXPECT_EQ(ResolveColor(0x80000005u, FakeSysColor), (Rgb{0xD4, 0xD0, 0xC8}));
    EXPECT_EQ(ResolveColor(0x00C08040u, FakeSysColor), (Rgb{0x40, 0x80, 0xC0}));
    EXPECT_EQ(ResolveColor(kNoColor, FakeSysColor), std::nullopt);
}

TEST(GradientBands, DarkensDownFromTheTop) {
    const auto bands = GradientBands(5265, 1350, Rgb{200, 100, 10}, 1, false, true);
    ASSERT_EQ(bands.size(), 85u);
    // 1350 / 85 = 15.88 -> 16 twips a band.
    EXPECT_EQ(bands[84].y1, 84 * 16);
    EXPECT_EQ(bands[84].y2, 85 * 16);  // runs past the edge; clipped when drawn
    EXPECT_EQ(bands[0].x2, 5265);
    EXPECT_EQ(bands[0].color, (Rgb{200, 100, 10}));
    EXPECT_EQ(bands[1].color, (Rgb{197, 97, 7}));
    EXPECT_EQ(bands[4].color, (Rgb{188, 88, 0}));  // each channel stops at 0
    EXPECT_EQ(bands[84].color, (Rgb{0, 0, 0}));
    // A step rounded down falls short of the far edge: 1057 / 85 = 12.4 -> 12, so the last
    // 37 twips keep the cleared colour.
    EXPECT_EQ(GradientBands(5265, 1057, Rgb{}, 1, false, true).back().y2, 1020);
}

TEST(GradientBands, ReverseDirectionsEndAtTheEdge) {
    const auto up = GradientBands(100, 1057, Rgb{}, 2, false, true);
    EXPECT_EQ(up[0].y1, 1057 - 12);
    EXPECT_EQ(up[0].y2, 1057);
    EXPECT_EQ(up[84].y1, 0);
    const auto left = GradientBands(4250, 330, Rgb{}, 4, false, true);
    EXPECT_EQ(left[0].x1, 4200);
    EXPECT_EQ(left[84].x1, 0);
    EXPECT_EQ(left[84].y2, 330);
    for (int direction : {0, 5, -3}) {  // unknown directions act as 1
        const auto bands = GradientBands(500, 850, Rgb{}, direction, false, false);
        EXPECT_EQ(bands[1].y1, 10) << direction;
        EXPECT_EQ(bands[1].x2, 500) << direction;
    }
}

TEST(GradientBands, HeadingLightensTowardsTheRight) {
    const auto fast = GradientBands(4250, 330, Rgb{10, 36, 106}, 3, true, true);
    EXPECT_EQ(fast[1].x1, 50);
    EXPECT_EQ(fast[1].x2, 100);
    // Odd bands below 30 hold the colour; all others add 3.
    EXPECT_EQ(fast[1].color, (Rgb{10, 36, 106}));
    EXPECT_EQ(fast[2].color, (Rgb{13, 39, 109}));
    EXPECT_EQ(fast[3].color, (Rgb{13, 39, 109}));
    EXPECT_EQ(fast[84].color, (Rgb{10 + 3 * 69, 36 + 3 * 69, 255}));  // channels cap at 255

    const auto slow = GradientBands(4250, 330, Rgb{10, 36, 106}, 3, true, false);
    EXPECT_EQ(slow[2].color, (Rgb{10, 36, 106}));
    EXPECT_EQ(slow[3].color, (Rgb{13, 39, 109}));  // after band 3
    EXPECT_EQ(slow[84].color, (Rgb{10 + 3 * 28, 36 + 3 * 28, 106 + 3 * 28}));
}

TEST(GradientShapes, BandsAndDiamonds) {
    const ShapesGradient down = GradientShapes(Rgb{64, 128, 192}, 1);
    ASSERT_EQ(down.passes.size(), 256u);
    EXPECT_EQ(down.passes[0].color, (Rgb{0, 0, 0}));
    EXPECT_EQ(down.passes[100].color, (Rgb{64, 100, 100}));  // each channel stops at its own
    EXPECT_EQ(down.passes[255].color, (Rgb{64, 128, 192}));
    EXPECT_EQ(down.passes[7].y1, 7);
    EXPECT_EQ(down.passes[7].x2, 256);

    for (int direction : {0, 3}) {  // 0 acts as 1; 3 counts down, in bands from the top
        const ShapesGradient bands = GradientShapes(Rgb{64, 128, 192}, direction);
        EXPECT_EQ(bands.passes[0].color, direction == 3 ? (Rgb{64, 128, 192}) : (Rgb{0, 0, 0}));
        EXPECT_EQ(bands.passes[7].kind, ShapePass::Kind::kRect);
        EXPECT_EQ(bands.passes[7].x1, 0);
        EXPECT_EQ(bands.passes[7].y2, 8);
    }
    const ShapesGradient fade = GradientShapes(Rgb{64, 128, 192}, 4);
    EXPECT_EQ(fade.passes[0].color, (Rgb{64, 128, 192}));
    EXPECT_EQ(fade.passes[255].color, (Rgb{0, 0, 0}));
    EXPECT_EQ(fade.passes[7].x1, 7);
    EXPECT_EQ(fade.passes[7].y2, 256);

    const ShapesGradient grow = GradientShapes(Rgb{255, 0, 0}, 5);
    EXPECT_EQ(grow.back, (Rgb{255, 0, 0}));
    EXPECT_EQ(grow.passes[0].kind, ShapePass::Kind::kDiamond);
    EXPECT_EQ(grow.passes[0].diamond,
              (std::array<double, 8>{128, 128, 128, 128, 128, 128, 128, 128}));
    EXPECT_EQ(grow.passes[255].diamond,
              (std::array<double, 8>{0, 128, 128, 0, 256, 128, 128, 256}));
    EXPECT_EQ(GradientShapes(Rgb{255, 0, 0}, 6).back, (Rgb{0, 0, 0}));
}

TEST(GradientShapes, CirclesAboutCentreAndCorners) {
    const struct {
        int direction;
        double cx, cy;
    } cases[] = {{7, 128, 128}, {8, 128, 128}, {9, 0, 0},    {10, 0, 0},     {11, 256, 0},
                 {12, 256, 0},  {13, 0, 256},  {14, 0, 256}, {15, 256, 256}, {16, 256, 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.direction);
        const bool up = c.direction % 2 == 1;
        const ShapesGradient g = GradientShapes(Rgb{10, 20, 30}, c.direction);
        EXPECT_EQ(g.back, up ? (Rgb{10, 20, 30}) : (Rgb{0, 0, 0}));
        EXPECT_EQ(g.passes[0].color, up ? (Rgb{0, 0, 0}) : (Rgb{10, 20, 30}));
        EXPECT_EQ(g.passes[40].kind, ShapePass::Kind::kCircle);
        EXPECT_EQ(g.passes[40].cx, c.cx);
        EXPECT_EQ(g.passes[40].cy, c.cy);
        EXPECT_EQ(g.passes[40].radius, 40);
    }
}

TEST(ColorText, DecimalAndHexadecimalColours) {
    const std::pair<const char*, const char*> rgb[] = {
        {" 12615744", "064128192"},
        {"+12615744", "064128192"},  // a sign is part of the number
        {" 1e+2", "100000000"},      // and so is an exponent's
        {" 1e-2", "000000000"},
        {" 12615744.4", "064128192"},  // a fraction rounds
        {"0h12", ""},                  // "h" only counts after "&"
        {"&HC08040", "064128192"},
        {"&hc08040", "064128192"},
        {" 0", "000000000"},
        {"-1", "255000000"},      // a negative colour reads as red 255
        {" 1e300", "255255255"},  // beyond 32 bits: all ones
        {"&H8000000F", "015000000"},
        {"&HXYZ", ""},
        {"nonsense", ""},
    };
    for (auto [text, digits] : rgb) {
        EXPECT_EQ(ColorToRGBText(text), digits) << text;
    }
    const std::pair<std::int32_t, const char*> hex[] = {
        {0, "0"},
        {10, "A"},
        {12615744, "C08040"},
        {-1, "FFFFFFFF"},
        {static_cast<std::int32_t>(0x8000000F), "8000000F"}};
    for (auto [value, digits] : hex) {
        EXPECT_EQ(DecToHex(value), digits) << value;
    }
}

}  // namespace
}  // namespace qm
