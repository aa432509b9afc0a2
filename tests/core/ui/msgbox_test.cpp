#include <gmock/gmock.h>

#include "core/ui/msgbox_enhanced.h"
#include "core/ui/msgbox_style.h"
#include "core/ui/msgdefs.h"

namespace qm {
namespace {

using ::testing::FieldsAre;

TEST(MsgBoxStyle, ButtonsIconDefaultAndTheCaptionsResultCodesAndAccessKeys) {
    using Captions = std::array<std::string_view, 4>;
    const Captions ok{"&OK"}, yesNo{"&Yes", "&No"}, yesNoCancel{"&Yes", "&No", "Cancel"};
    // Critical and information icons; the second and third buttons as defaults, and a fourth
    // that is not there; higher bits only make the default larger; sets 6 to 15 show no button;
    // negative values behave as 0, and icon codes above 64 show no icon.
    const std::tuple<int, int, int, int, int, Captions, int> cases[] = {
        {0, 0, -1, 0, 1, ok, 0},
        {2, 0, -1, 2, 3, {"&Abort", "&Retry", "&Ignore"}, 0},
        {5, 0, -1, 5, 2, {"&Retry", "Cancel"}, 0},
        {16, 0, 0, 0, 1, ok, 0},
        {64 + 1, 0, 3, 1, 2, {"&OK", "Cancel"}, 0},
        {4 + 32 + 256, 1, 1, 4, 2, yesNo, 1},
        {3 + 512, 2, -1, 3, 3, yesNoCancel, 2},
        {2 + 768, 3, -1, 2, 3, {"&Abort", "&Retry", "&Ignore"}, -1},
        {1024 + 4, 4, -1, 4, 2, yesNo, -1},
        {6, 0, -1, 6, 0, {}, -1},
        {15 + 48, 0, 2, 15, 0, {}, -1},
        {-32768, 0, -1, 0, 1, ok, 0},
        {80, 0, -1, 0, 1, ok, 0}};
    for (const auto& [buttons, d, icon, set, count, captions, defaultButton] : cases) {
        EXPECT_THAT(DecodeMsgBoxStyle(static_cast<std::int16_t>(buttons)),
                    FieldsAre(d, icon, set, count, captions, defaultButton))
            << buttons;
    }
    const std::string_view cut("A&B", 2);  // no key past the end
    const std::tuple<std::string_view, int, char> captions[] = {
        {"&OK", 1, 'o'}, {"Cancel", 2, 0}, {"&Ignore", 5, 'i'}, {"&No", 7, 'n'},
        {"OK", 0, 0},    {"A&&B", 0, 0},   {cut, 0, 0}};
    for (const auto& [caption, result, key] : captions) {
        EXPECT_EQ(std::pair(ResultFromCaption(caption), AccessKeyOf(caption)),
                  std::pair(result, key))
            << caption;
    }
}

// Single-line text: six pixels a character (seven in the heading) and thirteen a line at 15 twips
// a pixel; a 1024 x 768 screen and icons a fraction off 32 pixels.
struct FakePlatform final : MsgBoxPlatform {
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

TEST_F(MsgBoxEnhancedTest, DefaultsWriteRulesAndSharedSettings) {
    // A new box: modal, top-most, with a close box and the sound, centred on the screen, left
    // aligned, never timing out, flat heading and body in the system's colours.
    EXPECT_TRUE(box.Modal() && box.KeepOnTop() && box.ControlBox() && box.SoundBeep());
    EXPECT_FALSE(box.Moveable() || box.GradientPaint() || box.SolidColorHeading());
    EXPECT_EQ(box.StartUpPosition(), 2);
    EXPECT_EQ(box.TextAlignment() + box.HeadingType() + box.TimerSeconds() + box.Top() + box.Left(),
              0);
    EXPECT_EQ(std::tuple(box.GradientDirection(), box.BackColorHeading(), box.ForeColorHeading()),
              std::tuple(1, 0x80000002u, 0x8000000Eu));

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
    check(&E::SetBackColorButtons, &E::BackColorButtons, {{0, 0}, {kNoColor, 0x8000000F}});
    check(&E::SetBackColorHeading, &E::BackColorHeading, {{0xFE, 0xFE}, {kNoColor, 0x80000002}});
    check(&E::SetForeColorBody, &E::ForeColorBody, {{1, 1}, {kNoColor, 0x80000012}});
    check(&E::SetForeColorHeading, &E::ForeColorHeading, {{0xFF, 0xFF}, {kNoColor, 0x8000000E}});
    // The shaped directions come in pairs that are exchanged when written.
    check(&E::SetGradientDirection, &E::GradientDirection,
          {{4, 4}, {5, 6}, {6, 5}, {16, 15}, {0, 1}, {17, 1}});
    check(&E::SetHeadingType, &E::HeadingType, {{1, 1}, {2, 0}, {-1, 0}});
    check(&E::SetTextAlignment, &E::TextAlignment, {{1, 1}, {2, 2}, {3, 0}, {-1, 0}});
    check(&E::SetTimerSeconds, &E::TimerSeconds, {{7, 7}, {-7, 0}});
    check(&E::SetStartUpPosition, &E::StartUpPosition, {{0, 0}, {1, 1}, {3, 2}, {-1, 2}});
    check(&E::SetTop, &E::Top, {{-5, 0}, {9, 9}});
    check(&E::SetLeft, &E::Left, {{-5, 0}, {9, 9}});
    // Settings shared by every box, and one of this box alone.
    box.SetMoveable(true);
    box.SetGradientDirection(5);
    const MsgBoxEnhanced other{platform, shared};
    EXPECT_EQ(std::tuple(other.Moveable(), other.GradientDirection(), other.TextAlignment()),
              std::tuple(true, 6, 0));
}

TEST_F(MsgBoxEnhancedTest, RequestCarriesTheInstanceSettingsAndATitleFallingBackInTurn) {
    box.SetForeColorBody(0xFF);
    const MsgBoxRequest req = box.Prepare("x", 0, "");
    // The box's settings, and every new request waits for its answer; the title given, else
    // the default title, else the active window's, else "Message".
    EXPECT_EQ(std::tuple(req.soundBeep, req.controlBox, req.foreColorHeading, req.foreColorBody,
                         req.backColorButtons, req.modal, req.title),
              std::tuple(true, true, kSysHighlightText, 0xFFu, kSysButtonFace, true, "Message"));
    box.SetSoundBeep(false);
    box.SetControlBox(false);  // no room for a close box
    const MsgBoxRequest quiet = box.Prepare("x", 0, "");
    EXPECT_EQ(std::tuple(quiet.soundBeep, quiet.controlBox, quiet.layout.captionNeed),
              std::tuple(false, false, 7 * 15 * 7 + 300));
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
    EXPECT_EQ(std::pair(withOwner.StartUpPosition(), req.layout.windowTop),
              std::pair(1, 1500 + (4500 - req.layout.height) / 2));
    box.SetStartUpPosition(1);
    platform.owner.reset();
    req = box.Prepare("Hello", 0, "T");
    platform.owner = owner;
    box.Prepare("Hello", 0, "T");
    // 2 for good, though an owner came along
    EXPECT_EQ(std::pair(box.StartUpPosition(), req.layout.windowLeft),
              std::pair(2, (1024 * 15 - req.layout.width) / 2));
}

TEST_F(MsgBoxEnhancedTest, StartUpAppearanceLaysOutTheAlreadyRunningMessage) {
    box.SetHeadingType(1);
    box.SetMoveable(true);
    box.SetTextAlignment(2);
    const MsgBoxRequest req = box.Prepare("The program is already running", 48, " Quillmere");
    // 30 characters of 6 pixels: 2700 twips; the icon, rounded to 480, puts the prompt at 750.
    EXPECT_EQ(std::tuple(req.layout.width, req.layout.textLeft, req.layout.buttonTop),
              std::tuple(2700 + 750 + 255, 750, 810));
    EXPECT_EQ(std::pair(req.style.iconIndex, req.alignment),
              std::pair(2, MsgBoxAlignment::kCentre));
    EXPECT_EQ(box.Prepare("x", 16, "T").layout.textLeft, 750) << "the critical icon is an icon";
}

TEST_F(MsgBoxEnhancedTest, MsgBoxReturnsTheWindowsResultAndSetsSharedState) {
    platform.result = kResultNo;
    shared.msgResult = 5;
    EXPECT_EQ(box.MsgBox("Sure?", 4 + 32 + 256, "T"), kResultNo);
    // The shared result is cleared before showing; the fake window left it.
    EXPECT_EQ(
        std::tuple(shared.iconIndex, shared.msgResult, platform.shown.at(0).style.defaultButton),
        std::tuple(1, 0, 1));
    platform.result = std::nullopt;  // no window could be created
    EXPECT_EQ(std::pair(box.MsgBox("No icon", 0, "T"), shared.iconIndex), std::pair(0, -1));
}

constexpr Rgb kBlack{0, 0, 0};

TEST(ResolveColor, SystemColoursGoThroughTheLookup) {
    const auto sysColor = [](std::uint32_t index) {  // active caption, else button face
        return index == 2 ? 0x6A240Au : 0x00C8D0D4u;
    };
    EXPECT_EQ(std::tuple(ResolveColor(0x80000002u, sysColor), ResolveColor(0x80000005u, sysColor),
                         ResolveColor(0x00C08040u, sysColor), ResolveColor(kNoColor, sysColor),
                         ResolveColor(0x80000005u, {})),  // no system to ask: black
              std::tuple(Rgb{0x0A, 0x24, 0x6A}, Rgb{0xD4, 0xD0, 0xC8}, Rgb{0x40, 0x80, 0xC0},
                         std::nullopt, kBlack));
}

TEST(GradientBands, DarkenDownFromTheTopReverseDirectionsEndAtTheEdgeAndHeadingsLightenRight) {
    // 1350 / 85 = 15.88 -> 16 twips a band; the last runs past the edge, clipped when drawn.
    const auto bands = GradientBands(5265, 1350, Rgb{200, 100, 10}, 1, false, true);
    ASSERT_EQ(bands.size(), 85u);
    EXPECT_THAT(bands[0], FieldsAre(0, 0, 5265, 16, Rgb{200, 100, 10}));
    EXPECT_THAT(bands[1], FieldsAre(0, 16, 5265, 32, Rgb{197, 97, 7}));
    EXPECT_EQ(bands[4].color, (Rgb{188, 88, 0}));  // each channel stops at 0
    EXPECT_THAT(bands[84], FieldsAre(0, 1344, 5265, 1360, kBlack));
    // A step rounded down falls short of the far edge: 1057 / 85 = 12.4 -> 12, so the last
    // 37 twips keep the cleared colour.
    EXPECT_EQ(GradientBands(5265, 1057, Rgb{}, 1, false, true).back().y2, 1020);

    const auto up = GradientBands(100, 1057, Rgb{}, 2, false, true);
    EXPECT_THAT(up[0], FieldsAre(0, 1045, 100, 1057, kBlack));
    EXPECT_EQ(up[84].y1, 0);
    const auto left = GradientBands(4250, 330, Rgb{}, 4, false, true);
    EXPECT_THAT(left[0], FieldsAre(4200, 0, 4250, 330, kBlack));
    EXPECT_THAT(left[84], FieldsAre(0, 0, 50, 330, kBlack));
    for (int direction : {0, 5, -3}) {  // unknown directions act as 1
        EXPECT_THAT(GradientBands(500, 850, Rgb{}, direction, false, false)[1],
                    FieldsAre(0, 10, 500, 20, kBlack))
            << direction;
    }
    const Rgb start{10, 36, 106};
    // Fast: odd bands below 30 hold the colour, all others add 3; channels cap at 255.
    const auto fast = GradientBands(4250, 330, start, 3, true, true);
    const Rgb once{13, 39, 109};
    EXPECT_THAT(fast[1], FieldsAre(50, 0, 100, 330, start));
    EXPECT_EQ(std::tuple(fast[2].color, fast[3].color, fast[84].color),
              std::tuple(once, once, Rgb{10 + 3 * 69, 36 + 3 * 69, 255}));
    // Slow: 3 after every third band.
    const auto slow = GradientBands(4250, 330, start, 3, true, false);
    EXPECT_EQ(std::tuple(slow[2].color, slow[3].color, slow[84].color),
              std::tuple(start, once, Rgb{10 + 3 * 28, 36 + 3 * 28, 106 + 3 * 28}));
}

TEST(GradientShapes, BandsDiamondsAndCirclesCountUpOrDown) {
    const Rgb c{64, 128, 192};
    using enum ShapePass::Kind;
    // The direction; the area's colour and the first pass's (counting down starts in the colour
    // and ends black); pass 40: its rectangle, or its circle's centre and radius.
    const std::tuple<int, Rgb, Rgb, ShapePass::Kind, std::array<double, 4>> cases[] = {
        {1, c, kBlack, kRect, {0, 40, 256, 41}},  {0, c, kBlack, kRect, {0, 40, 256, 41}},
        {17, c, kBlack, kRect, {0, 40, 256, 41}}, {3, c, c, kRect, {0, 40, 256, 41}},
        {2, c, kBlack, kRect, {40, 0, 41, 256}},  {4, c, c, kRect, {40, 0, 41, 256}},
        {7, c, kBlack, kCircle, {128, 128, 40}},  {8, kBlack, c, kCircle, {128, 128, 40}},
        {10, kBlack, c, kCircle, {0, 0, 40}},     {11, c, kBlack, kCircle, {256, 0, 40}},
        {14, kBlack, c, kCircle, {0, 256, 40}},   {16, kBlack, c, kCircle, {256, 256, 40}}};
    for (const auto& [direction, back, first, kind, at] : cases) {
        const ShapesGradient g = GradientShapes(c, direction);
        const ShapePass& p = g.passes.at(40);
        const auto shape = kind == kRect ? std::array{p.x1, p.y1, p.x2, p.y2}
                                         : std::array{p.cx, p.cy, p.radius, 0.0};
        EXPECT_EQ(std::tuple(g.passes.size(), g.back, g.passes[0].color, g.passes[255].color,
                             p.kind, shape),
                  std::tuple(256u, back, first, first == c ? kBlack : c, kind, at))
            << direction;
    }
    // Each channel stops at its own.
    EXPECT_EQ(GradientShapes(c, 1).passes[100].color, (Rgb{64, 100, 100}));
    // Diamonds about the centre, growing from a point to touch the edges.
    const Rgb red{255, 0, 0};
    const ShapesGradient grow = GradientShapes(red, 5);
    EXPECT_EQ(
        std::tuple(grow.back, grow.passes[0].kind, grow.passes[0].diamond, grow.passes[255].diamond,
                   GradientShapes(red, 6).back),
        std::tuple(red, kDiamond, std::array<double, 8>{128, 128, 128, 128, 128, 128, 128, 128},
                   std::array<double, 8>{0, 128, 128, 0, 256, 128, 128, 256}, kBlack));
}

TEST(ColorText, DecimalAndHexadecimalColours) {
    // A sign and an exponent belong to the number, a fraction rounds, a negative colour (or a
    // number behind another first character) reads as red 255, one beyond 32 bits as all ones.
    const std::pair<const char*, const char*> rgb[] = {
        {" 12615744", "064128192"}, {"+12615744", "064128192"},   {" 1e+2", "100000000"},
        {" 1e-2", "000000000"},     {" 12615744.4", "064128192"}, {"&HC08040", "064128192"},
        {"&hc09040", "064144192"},  {" 0 ", "000000000"},         {"-1", "255000000"},
        {" 1e300", "255255255"},    {"&H8000000F", "015000000"},  {"x12", "255000000"}};
    for (auto [text, digits] : rgb) {
        EXPECT_EQ(ColorToRGBText(text), digits) << text;
    }
    for (const char* text : {"0h12", "&HXYZ", "nonsense"}) {  // "h" only counts after "&"
        EXPECT_EQ(ColorToRGBText(text), "") << text;
    }
    const std::pair<std::int32_t, const char*> hex[] = {
        {0, "0"}, {10, "A"}, {12615744, "C08040"}, {-1, "FFFFFFFF"}, {-0x7FFFFFF1, "8000000F"}};
    for (auto [value, digits] : hex) {
        EXPECT_EQ(DecToHex(value), digits) << value;
    }
}

}  // namespace
}  // namespace qm
