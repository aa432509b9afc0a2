#include <gtest/gtest.h>

#include "core/ui/msgbox_layout.h"

namespace qm {
namespace {

// A 1024 x 768 screen at 15 twips a pixel, a 32-pixel icon, a 13-pixel text line.
constexpr double kScreenW = 1024 * 15;
constexpr double kScreenH = 768 * 15;
constexpr double kIcon = 480;
constexpr double kLine = 195;

MsgBoxLayoutInput Input(double promptWidth, double promptHeight, bool icon, int buttons) {
    MsgBoxLayoutInput in;
    in.caption = {900, 195};
    in.prompt = {promptWidth, promptHeight};
    in.hasIcon = icon;
    in.iconWidth = kIcon;
    in.iconHeight = kIcon;
    in.buttonCount = buttons;
    in.screenWidth = kScreenW;
    in.screenHeight = kScreenH;
    return in;
}

TEST(MsgBoxLayout, OneLinePromptWithoutIcon) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, kLine, false, 1));
    EXPECT_EQ(l.captionNeed, 1470);    // 900 + 300 + 270 for the close box
    EXPECT_EQ(l.buttonRowNeed, 1665);  // one button plus margins
    EXPECT_EQ(l.textNeed, 2805);       // 2400 + 150 + 255
    EXPECT_EQ(l.width, 2805);
    EXPECT_EQ(l.textLeft, 150);
    EXPECT_EQ(l.textTop, 150);
    EXPECT_EQ(l.buttonTop, 525);
    EXPECT_EQ(l.buttonLeft[0], 855);
    EXPECT_EQ(l.height, 1470);
    EXPECT_EQ(l.bodyHeight, 1140);
    EXPECT_EQ(l.windowTop, 5025);
    EXPECT_EQ(l.windowLeft, 6277.5);
    EXPECT_EQ(l.closeBoxLeft, 2445);
}

TEST(MsgBoxLayout, OneLinePromptIsCentredOnTheIcon) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, kLine, true, 1));
    EXPECT_EQ(l.textNeed, 3405);  // the prompt starts at icon width + 270
    EXPECT_EQ(l.width, 3405);
    EXPECT_EQ(l.textLeft, 750);
    EXPECT_EQ(l.textTop, 307.5);  // (480 - 195) / 2 + 165
    EXPECT_EQ(l.buttonTop, 810);  // icon height + 330
    EXPECT_EQ(l.height, 1755);
    EXPECT_EQ(l.buttonLeft[0], 1155);
}

TEST(MsgBoxLayout, PromptTallerThanTheIconStartsAtTheTop) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, 3 * kLine, true, 2));
    EXPECT_EQ(l.textTop, 150);
    EXPECT_EQ(l.buttonTop, 915);  // 150 + 585 + 180
    EXPECT_EQ(l.height, 1860);
}

TEST(MsgBoxLayout, PromptAsTallAsTheIconIsNotCentred) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, kIcon, true, 1));
    EXPECT_EQ(l.textTop, 150);
    EXPECT_EQ(l.buttonTop, 810);
}

TEST(MsgBoxLayout, ButtonRowForEveryCount) {
    struct Case {
        int count;
        double need, width, left0;
    };
    // A short prompt: the button row or the caption decides the width.
    const Case cases[] = {
        {0, 465, 1470, 1470 / 2.0 + 52.5},  // caption wins; the row of none centres at -105
        {1, 1665, 1665, 285},
        {2, 2865, 2865, 285},
        {3, 4065, 4065, 285},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const MsgBoxLayout l = ComputeMsgBoxLayout(Input(600, kLine, false, c.count));
        EXPECT_EQ(l.buttonRowNeed, c.need);
        EXPECT_EQ(l.width, c.width);
        EXPECT_EQ(l.buttonLeft[0], c.left0);
        for (int i = 1; i < kMaxMsgButtons; ++i) {
            EXPECT_EQ(l.buttonLeft[i], l.buttonLeft[i - 1] + 1200);
        }
    }
}

TEST(MsgBoxLayout, CaptionDecidesWhenItIsWidest) {
    MsgBoxLayoutInput in = Input(600, kLine, false, 1);
    in.caption.width = 4000;
    EXPECT_EQ(ComputeMsgBoxLayout(in).width, 4570);
    in.controlBox = false;
    EXPECT_EQ(ComputeMsgBoxLayout(in).width, 4300);
}

TEST(MsgBoxLayout, EqualNeedsPreferTheCaption) {
    MsgBoxLayoutInput in = Input(600, kLine, false, 1);
    in.caption.width = 1665 - 570;  // C == B
    EXPECT_EQ(ComputeMsgBoxLayout(in).width, 1665);
}

TEST(MsgBoxLayout, PromptWiderThanTheScreenIsCutToTheScreenLess240) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(20000, kLine, false, 1));
    EXPECT_EQ(l.width, kScreenW - 240);
    EXPECT_EQ(l.windowLeft, 120);
    EXPECT_EQ(l.closeBoxLeft, kScreenW - 240 - 360);
}

TEST(MsgBoxLayout, MeasuredFractionsAreRoundedHalfToEven) {
    MsgBoxLayoutInput in = Input(2400.5, 195.5, false, 1);
    in.caption.width = 1170.5;  // 1470.5 -> 1470
    const MsgBoxLayout l = ComputeMsgBoxLayout(in);
    EXPECT_EQ(l.captionNeed, 1740);
    EXPECT_EQ(l.textNeed, 2806);  // 2805.5 -> 2806
    EXPECT_EQ(l.buttonTop, 526);  // 525.5 -> 526
}

struct AlignCase {
    const char* name;
    MsgBoxAlignment alignment;
    double promptWidth;
    bool icon;
    double captionWidth;
    double expectedLeft;
};

class MsgBoxAlignmentTest : public testing::TestWithParam<AlignCase> {};

TEST_P(MsgBoxAlignmentTest, PromptLeftEdge) {
    const AlignCase& c = GetParam();
    MsgBoxLayoutInput in = Input(c.promptWidth, kLine, c.icon, 1);
    in.caption.width = c.captionWidth;
    in.alignment = c.alignment;
    EXPECT_EQ(ComputeMsgBoxLayout(in).textLeft, c.expectedLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, MsgBoxAlignmentTest,
    testing::Values(
        // The caption makes the box 4570 wide.
        AlignCase{"LeftIgnoresWidth", MsgBoxAlignment::kLeft, 2400, false, 4000, 150},
        AlignCase{"LeftAfterIcon", MsgBoxAlignment::kLeft, 2400, true, 4000, 750},
        AlignCase{"RightKeeps270", MsgBoxAlignment::kRight, 2400, false, 4000, 1900},
        AlignCase{"RightNeverLeftOfStart", MsgBoxAlignment::kRight, 2400, false, 900, 150},
        // (4570 - 2400) / 2 = 1085, snapped to 1080, less 30.
        AlignCase{"CentreSnapsTo15", MsgBoxAlignment::kCentre, 2400, false, 4000, 1050},
        // (4570 - 2415) / 2 = 1077.5 -> 1078 (to even), snapped to 1065, less 30.
        AlignCase{"CentreHalfToEven", MsgBoxAlignment::kCentre, 2415, false, 4000, 1035},
        // The prompt decides the width: (405 / 2) -> 202, snapped 195, less 30 = 165.
        AlignCase{"CentreOfOwnWidth", MsgBoxAlignment::kCentre, 2400, false, 900, 165},
        // With the icon the centred edge (465) would fall left of the prompt's start.
        AlignCase{"CentreNeverLeftOfStart", MsgBoxAlignment::kCentre, 2400, true, 900, 750}),
    [](const testing::TestParamInfo<AlignCase>& info) { return std::string(info.param.name); });

TEST(MsgBoxLayout, ManualPositionUsesLeftAndTop) {
    MsgBoxLayoutInput in = Input(2400, kLine, false, 1);
    in.position = MsgBoxPosition::kManual;
    in.manualLeft = 1500;
    in.manualTop = 3000;
    const MsgBoxLayout l = ComputeMsgBoxLayout(in);
    EXPECT_EQ(l.windowLeft, 1500);
    EXPECT_EQ(l.windowTop, 3000);
}

TEST(MsgBoxLayout, OwnerPositionCentresOnTheOwner) {
    MsgBoxLayoutInput in = Input(2400, kLine, false, 1);
    in.position = MsgBoxPosition::kCentreOwner;
    in.owner = TwipsRect{1500, 1500, 6000, 4500};
    const MsgBoxLayout l = ComputeMsgBoxLayout(in);
    EXPECT_EQ(l.windowTop, 3015);     // 1500 + (4500 - 1470) / 2
    EXPECT_EQ(l.windowLeft, 3097.5);  // 1500 + (6000 - 2805) / 2
}

TEST(MsgBoxLayout, NoPositionIsPulledBackOntoTheScreen) {
    MsgBoxLayoutInput in = Input(2400, kLine, false, 1);
    in.position = MsgBoxPosition::kCentreOwner;
    in.owner = TwipsRect{-3000, -3000, 600, 600};
    const MsgBoxLayout l = ComputeMsgBoxLayout(in);
    EXPECT_LT(l.windowLeft, 0);
    EXPECT_LT(l.windowTop, 0);
}

TEST(MsgBoxPixelLayout, ConvertsOnceWithTheScreenFactors) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, kLine, true, 2));
    const MsgBoxPixelLayout p = ToPixelLayout(l, TwipsPerPixel{15, 15});
    EXPECT_EQ(p.window.width, 227);   // 3405 / 15
    EXPECT_EQ(p.window.height, 117);  // 1755 / 15
    EXPECT_EQ(p.window.left, 398);    // 5977.5 / 15 = 398.5 -> 398
    EXPECT_EQ(p.heading.height, 22);
    EXPECT_EQ(p.body.top, 22);
    EXPECT_EQ(p.body.height, 95);
    EXPECT_EQ(p.icon.left, 8);
    EXPECT_EQ(p.icon.top, 22 + 12);
    EXPECT_EQ(p.closeBox.left, 203);  // (3405 - 360) / 15
    EXPECT_EQ(p.closeBox.width, 14);
    EXPECT_EQ(p.buttons[0].width, 73);
    EXPECT_EQ(p.buttons[0].height, 25);
    EXPECT_EQ(p.buttons[0].top, 22 + 54);
    EXPECT_EQ(p.buttons[1].left - p.buttons[0].left, 80);
    EXPECT_EQ(p.ridgeY, (std::array<int, 3>{22, 23, 24}));
}

TEST(MsgBoxPixelLayout, LargerFontsUseFewerTwipsAPixel) {
    const MsgBoxLayout l = ComputeMsgBoxLayout(Input(2400, kLine, false, 1));
    const MsgBoxPixelLayout p = ToPixelLayout(l, TwipsPerPixel{12, 12});  // 120 dots an inch
    EXPECT_EQ(p.window.width, 234);                                       // 2805 / 12 = 233.75
    EXPECT_EQ(p.heading.height, 28);                                      // 330 / 12 = 27.5 -> 28
}

}  // namespace
}  // namespace qm
