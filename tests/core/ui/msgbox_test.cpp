#include <gtest/gtest.h>

#include <vector>

#include "core/ui/msgbox_enhanced.h"
#include "core/ui/msgbox_style.h"

namespace qm {
namespace {

TEST(DecodeMsgBoxStyle, ButtonsIconAndDefault) {
    using Captions = std::array<std::string_view, 4>;
    const Captions ok{"&OK", "", "", ""}, none{"", "", "", ""}, yesNo{"&Yes", "&No", "", ""};
    const Captions yesNoCancel{"&Yes", "&No", "Cancel", ""};
    const struct {
        int buttons, icon, set, count, defaultButton;
        Captions captions;
    } cases[] = {
        {0, -1, 0, 1, 0, ok},
        {2, -1, 2, 3, 0, {"&Abort", "&Retry", "&Ignore", ""}},
        {5, -1, 5, 2, 0, {"&Retry", "Cancel", "", ""}},
        {16, 0, 0, 1, 0, ok},                             // critical
        {64 + 1, 3, 1, 2, 0, {"&OK", "Cancel", "", ""}},  // information
        {4 + 32 + 256, 1, 4, 2, 1, yesNo},                // second button is the default
        {3 + 512, -1, 3, 3, 2, yesNoCancel},              // third button
        {3 + 768, -1, 3, 3, -1, yesNoCancel},             // a fourth button that is not there
        {1024 + 4, -1, 4, 2, -1, yesNo},                  // higher bits only make it larger
        {15 + 48, 2, 15, 0, -1, none},                    // sets 6 to 15 show no button
        {-32768, -1, 0, 1, 0, ok},                        // negative values behave as 0
        {80, -1, 0, 1, 0, ok},                            // icon codes above 64 show no icon
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        const MsgBoxStyle s = DecodeMsgBoxStyle(static_cast<std::int16_t>(c.buttons));
        EXPECT_EQ(s.iconIndex, c.icon);
        EXPECT_EQ(s.buttonSet, c.set);
        EXPECT_EQ(s.buttonCount, c.count);
        EXPECT_EQ(s.defaultButton, c.defaultButton);
        EXPECT_EQ(s.captions, c.captions);
    }
}

TEST(MsgBoxCaptions, ResultCodesAndAccessKeys) {
    const struct {
        std::string_view caption;
        int result;
        char key;
    } cases[] = {{"&OK", 1, 'o'}, {"Cancel", 2, 0}, {"&Ignore", 5, 'i'}, {"&No", 7, 'n'},
                 {"OK", 0, 0},    {"A&&B", 0, 0},   {"&", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(ResultFromCaption(c.caption), c.result);
        EXPECT_EQ(AccessKeyOf(c.caption), c.key);
    }
}

// Single-line text: six pixels a character (seven in the heading) and thirteen a line at 15 twips
// a pixel; a 1024 x 768 screen and icons a fraction off 32 pixels.
class FakePlatform final : public MsgBoxPlatform {
  public:
    std::optional<MsgBoxOwner> owner;
    std::optional<int> result = 1;
    std::vector<MsgBoxRequest> shown;

    std::optional<MsgBoxOwner> ActiveOwner() override { return owner; }
    double ScreenWidthTwips() override { return 1024 * 15; }
    double ScreenHeightTwips() override { return 768 * 15; }
    double IconWidthTwips() override { return 480.4; }
    double IconHeightTwips() override { return 479.6; }
    TextExtent MeasureText(std::string_view text, MsgBoxFont font) override {
        return {text.size() * (font == MsgBoxFont::kHeading ? 7 : 6) * 15.0, 195};
    }
    std::optional<int> Show(const MsgBoxRequest& request, MsgBoxShared&) override {
        shown.push_back(request);
        return result;
    }
};

class MsgBoxEnhancedTest : public testing::Test {
  protected:
    FakePlatform platform;
    MsgBoxShared shared;
    MsgBoxEnhanced box{platform, shared};
};

TEST_F(MsgBoxEnhancedTest, DefaultsAndWriteRules) {
    // A new box: modal, top-most, with a close box and the sound, centred on the screen, left
    // aligned, never timing out, flat heading and body in the system's colours.
    EXPECT_TRUE(box.Modal() && box.KeepOnTop() && box.ControlBox() && box.SoundBeep());
    EXPECT_FALSE(box.Moveable() || box.GradientPaint() || box.SolidColorHeading());
    EXPECT_EQ(box.StartUpPosition(), 2);
    EXPECT_EQ(box.TextAlignment() + box.HeadingType() + box.TimerSeconds() + box.Top() + box.Left(),
              0);
    EXPECT_EQ(box.GradientDirection(), 1);
    EXPECT_EQ(box.BackColorHeading(), 0x80000002u);
    EXPECT_EQ(box.ForeColorHeading(), 0x8000000Eu);

    const auto check = [this](auto set, auto get,
                              std::initializer_list<std::pair<long long, long long>> rows) {
        for (auto [written, read] : rows) {
            (box.*set)(static_cast<decltype((box.*get)())>(written));
            EXPECT_EQ((box.*get)(), read) << written;
        }
    };
    using E = MsgBoxEnhanced;
    // Colours: -1 restores the default.
    check(&E::SetBackColorBody, &E::BackColorBody, {{0x123456, 0x123456}, {kNoColor, 0x8000000F}});
    check(&E::SetBackColorButtons, &E::BackColorButtons, {{kNoColor, 0x8000000F}});
    check(&E::SetBackColorHeading, &E::BackColorHeading, {{kNoColor, 0x80000002}});
    check(&E::SetForeColorBody, &E::ForeColorBody, {{kNoColor, 0x80000012}});
    check(&E::SetForeColorHeading, &E::ForeColorHeading, {{0xFF, 0xFF}, {kNoColor, 0x8000000E}});
    // The shaped directions come in pairs that are exchanged when written.
    check(&E::SetGradientDirection, &E::GradientDirection,
          {{1, 1}, {4, 4}, {5, 6}, {6, 5}, {7, 8}, {16, 15}, {0, 1}, {17, 1}, {-4, 1}});
    check(&E::SetHeadingType, &E::HeadingType, {{1, 1}, {2, 0}, {-1, 0}});
    check(&E::SetTextAlignment, &E::TextAlignment, {{2, 2}, {3, 0}, {0, 0}, {-1, 0}});
    check(&E::SetTimerSeconds, &E::TimerSeconds, {{7, 7}, {-7, 0}});
    check(&E::SetStartUpPosition, &E::StartUpPosition, {{0, 0}, {3, 2}, {-1, 2}});
    check(&E::SetTop, &E::Top, {{-5, 0}, {9, 9}});
    check(&E::SetLeft, &E::Left, {{-5, 0}, {9, 9}});
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

TEST_F(MsgBoxEnhancedTest, OwnerPositionCentresOnTheActiveWindowElseFallsBackForGood) {
    const MsgBoxOwner owner{{1500, 1500, 6000, 4500}, "Owner"};
    MsgBoxEnhanced withOwner{platform, shared};
    withOwner.SetStartUpPosition(1);
    platform.owner = owner;
    MsgBoxRequest req = withOwner.Prepare("Hello", 0, "T");
    EXPECT_EQ(withOwner.StartUpPosition(), 1);
    EXPECT_EQ(req.layout.windowLeft, 1500 + (6000 - req.layout.width) / 2);
    EXPECT_EQ(req.layout.windowTop, 1500 + (4500 - req.layout.height) / 2);

    box.SetStartUpPosition(1);
    platform.owner.reset();
    req = box.Prepare("Hello", 0, "T");
    EXPECT_EQ(box.StartUpPosition(), 2);
    EXPECT_EQ(req.layout.windowLeft, (1024 * 15 - req.layout.width) / 2);
    platform.owner = owner;
    box.Prepare("Hello", 0, "T");
    EXPECT_EQ(box.StartUpPosition(), 2);  // stays 2 though an owner came along
}

TEST_F(MsgBoxEnhancedTest, StartUpAppearanceLaysOutTheAlreadyRunningMessage) {
    box.SetHeadingType(1);
    box.SetMoveable(true);
    box.SetTextAlignment(2);
    const MsgBoxRequest req = box.Prepare("The program is already running", 48, " Quillmere");
    // 30 characters of 6 pixels: 2700 twips; the icon, rounded to 480, puts the prompt at 750.
    EXPECT_EQ(req.layout.width, 2700 + 750 + 255);
    EXPECT_EQ(req.layout.textLeft, 750);
    EXPECT_EQ(req.layout.buttonTop, 810);
    EXPECT_EQ(req.style.iconIndex, 2);
    EXPECT_EQ(req.alignment, MsgBoxAlignment::kCentre);
    EXPECT_EQ(box.Prepare("x", 16, "T").layout.textLeft, 750) << "the critical icon is an icon";
}

TEST_F(MsgBoxEnhancedTest, MsgBoxReturnsTheWindowsResultAndSetsSharedState) {
    platform.result = kResultNo;
    shared.msgResult = 5;
    EXPECT_EQ(box.MsgBox("Sure?", 4 + 32 + 256, "T"), kResultNo);
    EXPECT_EQ(shared.iconIndex, 1);
    EXPECT_EQ(shared.msgResult, 0);  // cleared before showing; the fake window left it
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].style.defaultButton, 1);

    platform.result = std::nullopt;  // no window could be created
    EXPECT_EQ(box.MsgBox("No icon", 0, "T"), 0);
    EXPECT_EQ(shared.iconIndex, -1);
}

TEST_F(MsgBoxEnhancedTest, RequestCarriesTheInstanceSettings) {
    box.SetSoundBeep(false);
    box.SetControlBox(false);
    box.SetForeColorBody(0xFF);
    const MsgBoxRequest req = box.Prepare("x", 0, "T");
    EXPECT_FALSE(req.soundBeep);
    EXPECT_EQ(req.foreColorBody, 0xFFu);
    EXPECT_EQ(req.layout.captionNeed, 7 * 15 + 300);  // no room for a close box
}

}  // namespace
}  // namespace qm
