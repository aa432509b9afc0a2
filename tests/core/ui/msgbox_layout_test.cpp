#include <gtest/gtest.h>

#include "core/common/twips.h"
#include "core/ui/msgbox_layout.h"

namespace qm {
namespace {

// A 1024 x 768 screen at 15 twips a pixel, a 32-pixel icon, a 13-pixel text line.
constexpr double kScreenW = 1024 * 15;
constexpr double kIcon = 480;
constexpr double kLine = 195;

MsgBoxLayoutInput Input(double promptWidth, double promptHeight, bool icon, int buttons) {
    MsgBoxLayoutInput in;
    in.caption = {900, 195};
    in.prompt = {promptWidth, promptHeight};
    in.hasIcon = icon;
    in.iconWidth = in.iconHeight = kIcon;
    in.buttonCount = buttons;
    in.screenWidth = kScreenW;
    in.screenHeight = 768 * 15;
    return in;
}

TEST(MsgBoxLayout, RepresentativeMessages) {
    const struct {
        const char* name;
        double promptW, promptH;
        bool icon;
        int buttons;
        double width, height, textLeft, textTop, buttonTop, buttonLeft0;
    } cases[] = {
        {"one line", 2400, kLine, false, 1, 2805, 1470, 150, 150, 525, 855},
        // (480 - 195) / 2 + 165 centres the line on the icon.
        {"one line, icon", 2400, kLine, true, 1, 3405, 1755, 750, 307.5, 810, 1155},
        {"three lines, icon", 2400, 3 * kLine, true, 2, 3405, 1860, 750, 150, 915, 555},
        {"as tall as icon", 2400, kIcon, true, 1, 3405, 1755, 750, 150, 810, 1155},
        // A short prompt: the caption or the button row decides the width.
        {"no buttons", 600, kLine, false, 0, 1470, 1470, 150, 150, 525, 787.5},
        {"one button", 600, kLine, false, 1, 1665, 1470, 150, 150, 525, 285},
        {"two buttons", 600, kLine, false, 2, 2865, 1470, 150, 150, 525, 285},
        {"three buttons", 600, kLine, false, 3, 4065, 1470, 150, 150, 525, 285},
        // Cut to the screen less 240.
        {"wider than screen", 20000, kLine, false, 1, kScreenW - 240, 1470, 150, 150, 525, 7012.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MsgBoxLayout l = ComputeMsgBoxLayout(Input(c.promptW, c.promptH, c.icon, c.buttons));
        EXPECT_EQ(l.buttonRowNeed, 465 + 1200 * c.buttons);
        EXPECT_EQ(l.width, c.width);
        EXPECT_EQ(l.height, c.height);
        EXPECT_EQ(l.textLeft, c.textLeft);
        EXPECT_EQ(l.textTop, c.textTop);
        EXPECT_EQ(l.buttonTop, c.buttonTop);
        EXPECT_EQ(l.buttonLeft[0], c.buttonLeft0);
        for (int i = 1; i < kMaxMsgButtons; ++i) {
            EXPECT_EQ(l.buttonLeft[i], l.buttonLeft[i - 1] + 1200);
        }
        EXPECT_EQ(l.closeBoxLeft, c.width - 360);
        EXPECT_EQ(l.windowLeft, (kScreenW - c.width) / 2);
    }
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, kLine, false, 1));
    EXPECT_EQ(l.captionNeed, 1470);  // 900 + 300 + 270 for the close box
    EXPECT_EQ(l.textNeed, 2805);     // 2400 + 150 + 255
    EXPECT_EQ(l.bodyHeight, 1140);
    EXPECT_EQ(l.windowTop, 5025);
}

TEST(MsgBoxLayout, CaptionDecidesWhenWidestAndWinsTies) {
    const struct {
        double captionWidth;
        bool controlBox;
        double width;
    } cases[] = {{4000, true, 4570}, {4000, false, 4300}, {1665 - 570, true, 1665}};
    for (const auto& c : cases) {
        MsgBoxLayoutInput in = Input(600, kLine, false, 1);
        in.caption.width = c.captionWidth;
        in.controlBox = c.controlBox;
        EXPECT_EQ(ComputeMsgBoxLayout(in).width, c.width) << c.captionWidth << c.controlBox;
    }
}

TEST(MsgBoxLayout, MeasuredFractionsAreRoundedHalfToEven) {
    MsgBoxLayoutInput in = Input(2400.5, 195.5, false, 1);
    in.caption.width = 1170.5;  // 1470.5 -> 1470
    const MsgBoxLayout l = ComputeMsgBoxLayout(in);
    EXPECT_EQ(l.captionNeed, 1740);
    EXPECT_EQ(l.textNeed, 2806);  // 2805.5 -> 2806
    EXPECT_EQ(l.buttonTop, 526);  // 525.5 -> 526
}

TEST(MsgBoxLayout, PromptLeftEdgeForEachAlignment) {
    const struct {
        const char* name;
        MsgBoxAlignment alignment;
        double promptWidth;
        bool icon;
        double captionWidth;  // 4000 makes the box 4570 wide
        double left;
    } cases[] = {
        {"left ignores width", MsgBoxAlignment::kLeft, 2400, false, 4000, 150},
        {"left after icon", MsgBoxAlignment::kLeft, 2400, true, 4000, 750},
        {"right keeps 270", MsgBoxAlignment::kRight, 2400, false, 4000, 1900},
        {"right never left of start", MsgBoxAlignment::kRight, 2400, false, 900, 150},
        // (4570 - 2400) / 2 = 1085, snapped to 1080, less 30.
        {"centre snaps to 15", MsgBoxAlignment::kCentre, 2400, false, 4000, 1050},
        // (4570 - 2415) / 2 = 1077.5 -> 1078 (to even), snapped to 1065, less 30.
        {"centre half to even", MsgBoxAlignment::kCentre, 2415, false, 4000, 1035},
        // The prompt decides the width: (405 / 2) -> 202, snapped 195, less 30.
        {"centre of own width", MsgBoxAlignment::kCentre, 2400, false, 900, 165},
        // With the icon the centred edge (465) would fall left of the prompt's start.
        {"centre never left of start", MsgBoxAlignment::kCentre, 2400, true, 900, 750},
    };
    for (const auto& c : cases) {
        MsgBoxLayoutInput in = Input(c.promptWidth, kLine, c.icon, 1);
        in.caption.width = c.captionWidth;
        in.alignment = c.alignment;
        EXPECT_EQ(ComputeMsgBoxLayout(in).textLeft, c.left) << c.name;
    }
}

TEST(MsgBoxLayout, StartUpPositions) {
    const struct {
        const char* name;
        MsgBoxPosition position;
        std::optional<TwipsRect> owner;
        double left, top;
    } cases[] = {
        {"screen", MsgBoxPosition::kCentreScreen, std::nullopt, 6277.5, 5025},
        {"manual", MsgBoxPosition::kManual, std::nullopt, 1500, 3000},
        // 1500 + (6000 - 2805) / 2, 1500 + (4500 - 1470) / 2
        {"owner", MsgBoxPosition::kCentreOwner, TwipsRect{1500, 1500, 6000, 4500}, 3097.5, 3015},
        // Not pulled back onto the screen.
        {"owner off screen", MsgBoxPosition::kCentreOwner, TwipsRect{-3000, -3000, 600, 600},
         -4102.5, -3435},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MsgBoxLayoutInput in = Input(2400, kLine, false, 1);
        in.position = c.position;
        in.owner = c.owner;
        in.manualLeft = 1500;
        in.manualTop = 3000;
        const MsgBoxLayout l = ComputeMsgBoxLayout(in);
        EXPECT_EQ(l.windowLeft, c.left);
        EXPECT_EQ(l.windowTop, c.top);
    }
}

TEST(MsgBoxPixelLayout, ConvertsOnceEachDirectionWithItsOwnFactor) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, kLine, true, 2));
    // 15 twips a pixel across, 12 down: a swapped factor shows in every row below.
    const MsgBoxPixelLayout p = ToPixelLayout(l, TwipsPerPixel{15, 12});
    EXPECT_EQ(p.window.width, 227);   // 3405 / 15
    EXPECT_EQ(p.window.height, 146);  // 1755 / 12 = 146.25
    EXPECT_EQ(p.window.left, 398);    // 5977.5 / 15 = 398.5 -> 398
    EXPECT_EQ(p.heading.height, 28);  // 330 / 12 = 27.5 -> 28
    EXPECT_EQ(p.heading.left + p.heading.top + p.body.left, 0);
    EXPECT_EQ(p.body.top, 28);
    EXPECT_EQ(p.body.height, 118);
    EXPECT_EQ(p.icon.left, 8);
    EXPECT_EQ(p.icon.top, 28 + 15);
    EXPECT_EQ(p.text.left, 50);
    EXPECT_EQ(p.text.top, 28 + 26);  // 307.5 / 12 = 25.6
    EXPECT_EQ(p.text.width, 160);
    EXPECT_EQ(p.text.height, 16);
    EXPECT_EQ(p.closeBox.left, 203);  // (3405 - 360) / 15
    EXPECT_EQ(p.closeBox.width, 14);
    EXPECT_EQ(p.closeBox.height, 18);  // 210 / 12 = 17.5 -> 18
    EXPECT_EQ(p.buttons[0].width, 73);
    EXPECT_EQ(p.buttons[0].height, 31);
    EXPECT_EQ(p.buttons[0].top, 28 + 68);  // 810 / 12 = 67.5 -> 68
    EXPECT_EQ(p.buttons[1].left - p.buttons[0].left, 80);
    EXPECT_EQ(p.ridgeY, (std::array<int, 3>{28, 29, 30}));
}

TEST(MsgBoxPixelLayout, TheSameTwipsAtEveryDisplayScale) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, kLine, true, 2));
    const struct {
        unsigned dpi;
        int width, height, heading, buttonWidth, buttonHeight, closeLeft;
    } cases[] = {
        {96, 227, 117, 22, 73, 25, 203},
        {120, 284, 146, 28, 91, 31, 254},   // 283.75, 146.25, 27.5, 91.25, 31.25, 253.75
        {144, 340, 176, 33, 110, 38, 304},  // halves to even: 340.5, 175.5, 109.5, 37.5, 304.5
        {192, 454, 234, 44, 146, 50, 406},
    };
    for (const auto& c : cases) {
        const double perPixel = 1440.0 / c.dpi;
        const MsgBoxPixelLayout p = ToPixelLayout(l, TwipsPerPixel{perPixel, perPixel});
        EXPECT_EQ(p.window.width, c.width) << c.dpi;
        EXPECT_EQ(p.window.height, c.height) << c.dpi;
        EXPECT_EQ(p.heading.height, c.heading) << c.dpi;
        EXPECT_EQ(p.buttons[0].width, c.buttonWidth) << c.dpi;
        EXPECT_EQ(p.buttons[0].height, c.buttonHeight) << c.dpi;
        EXPECT_EQ(p.closeBox.left, c.closeLeft) << c.dpi;
        // A form's controls go through the same conversion.
        EXPECT_EQ(TwipsToPixels(l.width, c.dpi), c.width) << c.dpi;
        EXPECT_EQ(ToPixels(TwipsBox{0, 0, 1095, 375}, c.dpi),
                  (PixelBox{0, 0, c.buttonWidth, c.buttonHeight}))
            << c.dpi;
    }
}

}  // namespace
}  // namespace qm
