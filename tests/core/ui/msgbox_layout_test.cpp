#include <gmock/gmock.h>

#include "core/common/twips.h"
#include "core/ui/msgbox_layout.h"
#include "core/ui/headings_layout.h"

namespace qm {
namespace {

// A 1024 x 768 screen at 15 twips a pixel, a 32-pixel icon, a 13-pixel text line.
constexpr double kScreenW = 1024 * 15;
constexpr double kIcon = 480;
constexpr double kLine = 195;
using enum MsgBoxAlignment;
using ::testing::FieldsAre;

MsgBoxLayoutInput Input(double promptWidth, double promptHeight, bool icon, int buttons,
                        double captionWidth = 900) {
    MsgBoxLayoutInput in;
    std::tie(in.caption, in.prompt, in.hasIcon, in.buttonCount) = std::tuple(
        TextExtent{captionWidth, 195}, TextExtent{promptWidth, promptHeight}, icon, buttons);
    std::tie(in.iconWidth, in.iconHeight, in.screenWidth, in.screenHeight) =
        std::tuple(kIcon, kIcon, kScreenW, 768 * 15);
    return in;
}

TEST(MsgBoxLayout, RepresentativeMessages) {
    // Width, height, the prompt's left and top, the buttons' top and the first button's left.
    using Placed = std::array<double, 6>;
    const std::tuple<const char*, double, double, bool, int, Placed> cases[] = {
        {"one line", 2400, kLine, false, 1, {2805, 1470, 150, 150, 525, 855}},
        // (480 - 195) / 2 + 165 centres the line on the icon.
        {"one line, icon", 2400, kLine, true, 1, {3405, 1755, 750, 307.5, 810, 1155}},
        {"three lines, icon", 2400, 3 * kLine, true, 2, {3405, 1860, 750, 150, 915, 555}},
        {"as tall as icon", 2400, kIcon, true, 1, {3405, 1755, 750, 150, 810, 1155}},
        // A short prompt: the caption or the button row decides the width.
        {"no buttons", 600, kLine, false, 0, {1470, 1470, 150, 150, 525, 787.5}},
        {"one button", 600, kLine, false, 1, {1665, 1470, 150, 150, 525, 285}},
        // Cut to the screen less 240.
        {"too wide", 20000, kLine, false, 1, {kScreenW - 240, 1470, 150, 150, 525, 7012.5}},
    };
    for (const auto& [name, promptW, promptH, icon, buttons, placed] : cases) {
        SCOPED_TRACE(name);
        const MsgBoxLayout l = ComputeMsgBoxLayout(Input(promptW, promptH, icon, buttons));
        EXPECT_EQ((Placed{l.width, l.height, l.textLeft, l.textTop, l.buttonTop, l.buttonLeft[0]}),
                  placed);
        for (int i = 1; i < kMaxMsgButtons; ++i) {
            EXPECT_EQ(l.buttonLeft[i], l.buttonLeft[i - 1] + 1200);
        }
        EXPECT_EQ(std::tuple(l.buttonRowNeed, l.closeBoxLeft, l.windowLeft, l.bodyHeight),
                  std::tuple(465 + 1200 * buttons, l.width - 360, (kScreenW - l.width) / 2,
                             l.height - 330));
    }
}

TEST(MsgBoxLayout, CaptionDecidesWhenWidestAndWinsTiesAndMeasuresRoundHalfToEven) {
    for (auto [captionWidth, controlBox, width] : {std::tuple{4000.0, true, 4570.0},
                                                   {4000.0, false, 4300.0},
                                                   {1665.0 - 570, true, 1665.0}}) {
        MsgBoxLayoutInput in = Input(600, kLine, false, 1, captionWidth);
        in.controlBox = controlBox;
        EXPECT_EQ(ComputeMsgBoxLayout(in).width, width) << captionWidth << controlBox;
    }
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400.5, 195.5, false, 1, 1170.5));
    // 1470.5 -> 1470, and the close box; 2805.5 -> 2806; 525.5 -> 526
    EXPECT_EQ(std::tuple(l.captionNeed, l.textNeed, l.buttonTop), std::tuple(1740, 2806, 526));
}

TEST(MsgBoxLayout, PromptLeftEdgeForEachAlignment) {
    // A caption 4000 wide makes the box 4570 wide.
    const std::tuple<const char*, MsgBoxAlignment, double, bool, double, double> cases[] = {
        {"left ignores width", kLeft, 2400, false, 4000, 150},
        {"left after icon", kLeft, 2400, true, 4000, 750},
        {"right keeps 270", kRight, 2400, false, 4000, 1900},
        {"right never left of start", kRight, 2400, false, 900, 150},
        // (4570 - 2400) / 2 = 1085, snapped to 1080, less 30.
        {"centre snaps to 15", kCentre, 2400, false, 4000, 1050},
        // (4570 - 2415) / 2 = 1077.5 -> 1078 (to even), snapped to 1065, less 30.
        {"centre half to even", kCentre, 2415, false, 4000, 1035},
        // The prompt decides the width: (405 / 2) -> 202, snapped 195, less 30.
        {"centre of own width", kCentre, 2400, false, 900, 165},
        // With the icon the centred edge (465) would fall left of the prompt's start.
        {"centre never left of start", kCentre, 2400, true, 900, 750},
    };
    for (const auto& [name, alignment, promptWidth, icon, captionWidth, left] : cases) {
        MsgBoxLayoutInput in = Input(promptWidth, kLine, icon, 1, captionWidth);
        in.alignment = alignment;
        EXPECT_EQ(ComputeMsgBoxLayout(in).textLeft, left) << name;
    }
}

TEST(MsgBoxLayout, StartUpPositions) {
    const std::tuple<MsgBoxPosition, std::optional<TwipsRect>, double, double> cases[] = {
        {MsgBoxPosition::kCentreScreen, std::nullopt, 6277.5, 5025},
        {MsgBoxPosition::kManual, std::nullopt, 1500, 3000},
        // 1500 + (6000 - 2805) / 2, 1500 + (4500 - 1470) / 2
        {MsgBoxPosition::kCentreOwner, TwipsRect{1500, 1500, 6000, 4500}, 3097.5, 3015},
        // Not pulled back onto the screen.
        {MsgBoxPosition::kCentreOwner, TwipsRect{-3000, -3000, 600, 600}, -4102.5, -3435},
    };
    for (const auto& [position, owner, left, top] : cases) {
        MsgBoxLayoutInput in = Input(2400, kLine, false, 1);
        std::tie(in.position, in.owner, in.manualLeft, in.manualTop) =
            std::tuple(position, owner, 1500, 3000);
        const MsgBoxLayout l = ComputeMsgBoxLayout(in);
        EXPECT_EQ(std::pair(l.windowLeft, l.windowTop), std::pair(left, top)) << left;
    }
}

TEST(MsgBoxPixelLayout, ConvertsOnceEachDirectionWithItsOwnFactor) {
    // 15 twips a pixel across, 12 down: a swapped factor shows in every row below.
    const MsgBoxPixelLayout p =
        ToPixelLayout(ComputeMsgBoxLayout(Input(2400, kLine, true, 2)), TwipsPerPixel{15, 12});
    // 3405 / 15, 1755 / 12 = 146.25, 5977.5 / 15 = 398.5 -> 398
    EXPECT_THAT(p.window, FieldsAre(398, 407, 227, 146));
    EXPECT_THAT(p.heading, FieldsAre(0, 0, 227, 28));  // 330 / 12 = 27.5 -> 28
    EXPECT_THAT(p.body, FieldsAre(0, 28, 227, 118));
    EXPECT_THAT(p.caption, FieldsAre(5, 5, 0, 0));
    EXPECT_THAT(p.icon, FieldsAre(8, 28 + 15, 0, 0));
    EXPECT_THAT(p.text, FieldsAre(50, 28 + 26, 160, 16));  // 307.5 / 12 = 25.6
    // (3405 - 360) / 15; 210 / 12 = 17.5 -> 18
    EXPECT_THAT(p.closeBox, FieldsAre(203, 5, 14, 18));
    EXPECT_THAT(p.buttons[0], FieldsAre(37, 28 + 68, 73, 31));  // 810 / 12 = 67.5 -> 68
    EXPECT_EQ(p.buttons[1].left - p.buttons[0].left, 80);
    EXPECT_EQ(p.ridgeY, (std::array<int, 3>{28, 29, 30}));
    // A form's control at 144 DPI: its right and bottom edges are converted, halves to even,
    // so neighbours stay flush.
    EXPECT_EQ(ToPixels(TwipsBox{150, 300, 1095, 375}, 144), (PixelBox{15, 30, 109, 38}));
    EXPECT_EQ(std::tuple(TwipsToPixels(3405, 144), TwipsToPixels(150, 0), PixelsToTwips(10, 0)),
              std::tuple(340, 10, 150.0));  // an unknown DPI counts as 96
}

TEST(HeadingsLayout, RaisedBoxAndCentredCaptionOfTheOptionsHeading) {
    using enum HeadingsPen;
    const HeadingsGeometry g = HeadingsLayout(3840, 360);
    const HeadingsLine lines[] = {{0, 350, 3845, 350, Black},  {3830, 0, 3830, 350, Black},
                                  {15, 335, 3825, 335, Grey},  {3815, 15, 3815, 345, Grey},
                                  {30, 320, 3810, 320, Black}, {3800, 30, 3800, 330, Black},
                                  {0, 0, 3830, 0, White},      {0, 0, 0, 350, White},
                                  {15, 15, 3815, 15, Light3D}, {15, 15, 15, 335, Light3D}};
    EXPECT_EQ(std::pair(g.wb, g.hb), std::pair(3830, 350));
    EXPECT_THAT(g.lines, ::testing::ElementsAreArray(lines));
    EXPECT_EQ(HeadingsLayout(100.5, 21.5).wb * 100 + HeadingsLayout(0, 22.5).hb, 9012);  // to even
    // Centred in the whole bar (82.5 and 83.5 to even), never nearer its edges than 5 twips.
    EXPECT_EQ(HeadingsCaptionPosition(3840, 360, 2400, 195), (HeadingsPoint{720, 82}));
    EXPECT_EQ(HeadingsCaptionPosition(3840, 360, 2400, 193), (HeadingsPoint{720, 84}));
    EXPECT_EQ(HeadingsCaptionPosition(3840, 360, 3900, 400), (HeadingsPoint{5, 5}));
    EXPECT_EQ(HeadingsCaptionPosition(3840, 360, 3828, 348), (HeadingsPoint{6, 6}));
}

}  // namespace
}  // namespace qm
