#pragma once

#include <array>
#include <optional>

#include "core/ui/msgbox_style.h"

namespace qm {

// Lengths in twips (1/1440 inch). A measured width or height is that of the text a
// self-sizing label holds.
struct TextExtent {
    double width = 0;
    double height = 0;
};

// A rectangle of another window, in twips.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

enum class MsgBoxPosition : int { kManual = 0, kCentreOwner = 1, kCentreScreen = 2 };
enum class MsgBoxAlignment : int { kLeft = 0, kRight = 1, kCentre = 2 };

// Fixed parts of the box's design, in twips.
namespace msgbox_design {
inline constexpr int kHeadingHeight = 330;  // the heading strip; the body starts below it
inline constexpr int kCaptionLeft = 75;
inline constexpr int kCaptionTop = 60;
inline constexpr int kCloseBoxTop = 60;
inline constexpr int kCloseBoxSize = 210;  // 14 x 14 pixels at 15 twips a pixel
inline constexpr int kCloseBoxFromRight = 360;
inline constexpr int kIconLeft = 120;
inline constexpr int kIconTop = 180;
inline constexpr int kButtonWidth = 1095;
inline constexpr int kButtonHeight = 375;
inline constexpr int kButtonPitch = 1200;  // button width plus the 105 between buttons
inline constexpr int kRidgeSpacing = 15;   // the three ridge lines at 0, 15 and 30
}  // namespace msgbox_design

struct MsgBoxLayoutInput {
    TextExtent caption;  // the title in the heading font
    TextExtent prompt;   // the message in the body font
    bool hasIcon = false;
    double iconWidth = 0;
    double iconHeight = 0;
    int buttonCount = 0;
    bool controlBox = true;
    MsgBoxAlignment alignment = MsgBoxAlignment::kLeft;
    MsgBoxPosition position = MsgBoxPosition::kCentreScreen;
    double screenWidth = 0;  // twips
    double screenHeight = 0;
    std::optional<TwipsRect> owner;  // required for kCentreOwner
    double manualLeft = 0;           // for kManual
    double manualTop = 0;
};

// Every position the box needs, in twips. Body positions are relative to the body, which
// starts at kHeadingHeight; heading positions to the heading strip. Positions may hold a
// fraction of a twip where the design halves an odd length.
struct MsgBoxLayout {
    double windowLeft = 0;
    double windowTop = 0;
    double width = 0;  // W
    double height = 0;
    double bodyHeight = 0;
    double captionNeed = 0;    // C
    double buttonRowNeed = 0;  // B
    double textNeed = 0;       // X
    double textLeft = 0;
    double textTop = 0;
    double textWidth = 0;
    double textHeight = 0;
    double buttonTop = 0;
    std::array<double, kMaxMsgButtons> buttonLeft{};
    double closeBoxLeft = 0;
};

MsgBoxLayout ComputeMsgBoxLayout(const MsgBoxLayoutInput& in);

// The screen's twips-per-pixel factors; the one place where the box's twips become pixels.
struct TwipsPerPixel {
    double x = 15;
    double y = 15;

    int ToPixelsX(double twips) const;
    int ToPixelsY(double twips) const;
    double ToTwipsX(double pixels) const { return pixels * x; }
    double ToTwipsY(double pixels) const { return pixels * y; }
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The layout in device pixels: window on the screen, the rest in window coordinates.
struct MsgBoxPixelLayout {
    PixelRect window;
    PixelRect heading;
    PixelRect body;
    PixelRect caption;  // position only; the window sizes the text itself
    PixelRect closeBox;
    PixelRect icon;  // position only; the icon is drawn at its own size
    PixelRect text;
    std::array<PixelRect, kMaxMsgButtons> buttons{};
    std::array<int, 3> ridgeY{};  // window coordinates of the three ridge lines
};

MsgBoxPixelLayout ToPixelLayout(const MsgBoxLayout& layout, const TwipsPerPixel& tpp);

}  // namespace qm
