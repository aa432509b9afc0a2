#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/ui/msgbox_enhanced.h"

namespace qm {
namespace {

// Six pixels a character and thirteen a line at 15 twips a pixel; a 1024 x 768 screen and
// 32-pixel icons.
class FakePlatform final : public MsgBoxPlatform {
  public:
    std::optional<MsgBoxOwner> owner;
    std::optional<int> result = 1;
    std::vector<MsgBoxRequest> shown;
    int resultWrittenByWindow = -1;

    std::optional<MsgBoxOwner> ActiveOwner() override { return owner; }
    double ScreenWidthTwips() override { return 1024 * 15; }
    double ScreenHeightTwips() override { return 768 * 15; }
    double IconWidthTwips() override { return 480.4; }
    double IconHeightTwips() override { return 479.6; }
    TextExtent MeasureText(std::string_view text, MsgBoxFont font) override {
        std::size_t longest = 0, lines = 1, current = 0;
        for (char ch : text) {
            if (ch == '\n') {
                ++lines;
                current = 0;
            } else if (ch != '\r') {
                longest = std::max(longest, ++current);
            }
        }
        const int perChar = font == MsgBoxFont::kHeading ? 7 : 6;
        return {static_cast<double>(longest * perChar * 15), static_cast<double>(lines * 195)};
    }
    std::optional<int> Show(const MsgBoxRequest& request, MsgBoxShared& shared) override {
        shown.push_back(request);
        if (resultWrittenByWindow >= 0) {
            shared.msgResult = resultWrittenByWindow;
        }
        return result;
    }
};

class MsgBoxEnhancedTest : public testing::Test {
  protected:
    FakePlatform platform;
    MsgBoxShared shared;
    MsgBoxEnhanced box{platform, shared};
};

TEST_F(MsgBoxEnhancedTest, ColourWritesOfMinusOneRestoreTheDefault) {
    box.SetBackColorBody(0x123456);
    box.SetBackColorBody(kNoColor);
    EXPECT_EQ(box.BackColorBody(), 0x8000000Fu);
    box.SetBackColorButtons(kNoColor);
    EXPECT_EQ(box.BackColorButtons(), 0x8000000Fu);
    box.SetBackColorHeading(kNoColor);
    EXPECT_EQ(box.BackColorHeading(), 0x80000002u);
    box.SetForeColorBody(kNoColor);
    EXPECT_EQ(box.ForeColorBody(), 0x80000012u);
    box.SetForeColorHeading(kNoColor);
    EXPECT_EQ(box.ForeColorHeading(), 0x8000000Eu);
    box.SetForeColorHeading(0xFF);
    EXPECT_EQ(box.ForeColorHeading(), 0xFFu);
}

TEST_F(MsgBoxEnhancedTest, GradientDirectionExchangesTheShapedPairs) {
    const std::pair<int, int> cases[] = {{1, 1},   {4, 4},   {5, 6}, {6, 5},  {7, 8}, {8, 7},
                                         {15, 16}, {16, 15}, {0, 1}, {17, 1}, {-4, 1}};
    for (auto [written, read] : cases) {
        SCOPED_TRACE(written);
        box.SetGradientDirection(written);
        EXPECT_EQ(box.GradientDirection(), read);
    }
}

TEST_F(MsgBoxEnhancedTest, RangeWriteRules) {
    const struct {
        void (MsgBoxEnhanced::*set)(int);
        int (MsgBoxEnhanced::*get)() const;
        int value, expected;
    } cases[] = {
        {&MsgBoxEnhanced::SetHeadingType, &MsgBoxEnhanced::HeadingType, 1, 1},
        {&MsgBoxEnhanced::SetHeadingType, &MsgBoxEnhanced::HeadingType, 2, 0},
        {&MsgBoxEnhanced::SetHeadingType, &MsgBoxEnhanced::HeadingType, -1, 0},
        {&MsgBoxEnhanced::SetTextAlignment, &MsgBoxEnhanced::TextAlignment, 2, 2},
        {&MsgBoxEnhanced::SetTextAlignment, &MsgBoxEnhanced::TextAlignment, 3, 0},
        {&MsgBoxEnhanced::SetTimerSeconds, &MsgBoxEnhanced::TimerSeconds, 7, 7},
        {&MsgBoxEnhanced::SetTimerSeconds, &MsgBoxEnhanced::TimerSeconds, -7, 0},
        {&MsgBoxEnhanced::SetStartUpPosition, &MsgBoxEnhanced::StartUpPosition, 0, 0},
        {&MsgBoxEnhanced::SetStartUpPosition, &MsgBoxEnhanced::StartUpPosition, 3, 2},
        {&MsgBoxEnhanced::SetStartUpPosition, &MsgBoxEnhanced::StartUpPosition, -1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        (box.*c.set)(c.value);
        EXPECT_EQ((box.*c.get)(), c.expected);
    }
    box.SetTop(-5);
    box.SetLeft(-5);
    EXPECT_EQ(box.Top(), 0);
    EXPECT_EQ(box.Left(), 0);
}

TEST_F(MsgBoxEnhancedTest, SharedSettingsAreCommonToEveryInstance) {
    MsgBoxEnhanced other{platform, shared};
    box.SetMoveable(true);
    box.SetGradientDirection(5);
    box.SetTextAlignment(2);  // an instance setting
    EXPECT_TRUE(other.Moveable());
    EXPECT_EQ(other.GradientDirection(), 6);
    EXPECT_EQ(other.TextAlignment(), 0);
}

TEST_F(MsgBoxEnhancedTest, IconSizeIsRoundedWhenCreated) {
    EXPECT_EQ(box.IconWidth(), 480);
    EXPECT_EQ(box.IconHeight(), 480);
}

TEST_F(MsgBoxEnhancedTest, TitleFallsBackToDefaultThenOwnerThenMessage) {
    EXPECT_EQ(box.Prepare("x", 0, "").title, "Message");
    platform.owner = MsgBoxOwner{{0, 0, 3000, 3000}, "Options"};
    EXPECT_EQ(box.Prepare("x", 0, "").title, "Options");
    box.SetDefaultTitle("Quillmere");
    EXPECT_EQ(box.Prepare("x", 0, "").title, "Quillmere");
    EXPECT_EQ(box.Prepare("x", 0, " Exit").title, " Exit");
    box.SetDefaultTitle("");
    platform.owner->caption = "";
    EXPECT_EQ(box.Prepare("x", 0, "").title, "Message");
}

TEST_F(MsgBoxEnhancedTest, OwnerPositionFallsBackToScreenForGood) {
    box.SetStartUpPosition(1);
    const MsgBoxRequest req = box.Prepare("Hello", 0, "T");
    EXPECT_EQ(box.StartUpPosition(), 2);
    EXPECT_EQ(req.layout.windowLeft, (1024 * 15 - req.layout.width) / 2);
    platform.owner = MsgBoxOwner{{1500, 1500, 6000, 4500}, "Owner"};
    box.Prepare("Hello", 0, "T");
    EXPECT_EQ(box.StartUpPosition(), 2);  // stays 2 though an owner came along
}

TEST_F(MsgBoxEnhancedTest, OwnerPositionCentresOnTheActiveWindow) {
    box.SetStartUpPosition(1);
    platform.owner = MsgBoxOwner{{1500, 1500, 6000, 4500}, "Owner"};
    const MsgBoxRequest req = box.Prepare("Hello", 0, "T");
    EXPECT_EQ(box.StartUpPosition(), 1);
    EXPECT_EQ(req.layout.windowLeft, 1500 + (6000 - req.layout.width) / 2);
    EXPECT_EQ(req.layout.windowTop, 1500 + (4500 - req.layout.height) / 2);
}

TEST_F(MsgBoxEnhancedTest, StartUpAppearanceLaysOutTheAlreadyRunningMessage) {
    box.SetHeadingType(1);
    box.SetMoveable(true);
    box.SetTextAlignment(2);
    const MsgBoxRequest req = box.Prepare("The program is already running", 48, " Quillmere");
    // 30 characters of 6 pixels: 2700 twips; the icon puts the prompt at 750.
    EXPECT_EQ(req.layout.width, 2700 + 750 + 255);
    EXPECT_EQ(req.layout.textLeft, 750);
    EXPECT_EQ(req.layout.buttonTop, 810);
    EXPECT_EQ(req.style.iconIndex, 2);
    EXPECT_EQ(req.style.captions[0], "&OK");
    EXPECT_EQ(req.alignment, MsgBoxAlignment::kCentre);
}

TEST_F(MsgBoxEnhancedTest, MsgBoxReturnsTheWindowsResultAndSetsSharedState) {
    platform.result = kResultNo;
    shared.msgResult = 5;
    EXPECT_EQ(box.MsgBox("Sure?", 4 + 32 + 256, "T"), kResultNo);
    EXPECT_EQ(shared.iconIndex, 1);
    EXPECT_EQ(shared.msgResult, 0);  // cleared before showing; the fake window left it
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].style.defaultButton, 1);
    EXPECT_TRUE(platform.shown[0].soundBeep);
    EXPECT_TRUE(platform.shown[0].modal);

    box.MsgBox("No icon", 0, "T");
    EXPECT_EQ(shared.iconIndex, -1);
}

TEST_F(MsgBoxEnhancedTest, WindowThatCannotBeCreatedGivesZero) {
    platform.result = std::nullopt;
    EXPECT_EQ(box.MsgBox("x", 1, "T"), 0);
}

TEST_F(MsgBoxEnhancedTest, RequestCarriesTheInstanceSettings) {
    box.SetSoundBeep(false);
    box.SetControlBox(false);
    box.SetModal(false);
    box.SetForeColorBody(0xFF);
    const MsgBoxRequest req = box.Prepare("x", 0, "T");
    EXPECT_FALSE(req.soundBeep);
    EXPECT_FALSE(req.controlBox);
    EXPECT_FALSE(req.modal);
    EXPECT_EQ(req.foreColorBody, 0xFFu);
    EXPECT_EQ(req.layout.captionNeed, 7 * 15 + 300);  // no room for a close box
}

}  // namespace
}  // namespace qm
