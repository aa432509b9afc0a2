#pragma once

#include <array>
#include <optional>

#include "core/ui/msgbox_style.h"

namespace qm {

// Lengths in twips (1/1440 inch). A measured width or height is that of the text a
// self-sizing label holds.
struct TextExtent {
    double width{};
    double height{};
};

// A rectangle of another window, in twips.
struct TwipsRect {
    double left{};
    double top{};
    double width{};
    double height{};
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
    bool hasIcon{};
    double iconWidth{};
    double iconHeight{};
    int buttonCount{};
    bool controlBox = true;
    MsgBoxAlignment alignment = MsgBoxAlignment::kLeft;
    MsgBoxPosition position = MsgBoxPosition::kCentreScreen;
    double screenWidth{};  // twips
    double screenHeight{};
    std::optional<TwipsRect> owner;  // required for kCentreOwner
    double manualLeft{};             // for kManual
    double manualTop{};
};

// Every position the box needs, in twips. Body positions are relative to the body, which
// starts at kHeadingHeight; heading positions to the heading strip. Positions may hold a
// fraction of a twip where the design halves an odd length.
struct MsgBoxLayout {
    double windowLeft{};
    double windowTop{};
    double width{};  // W
    double height{};
    double bodyHeight{};
    double captionNeed{};    // C
    double buttonRowNeed{};  // B
    double textNeed{};       // X
    double textLeft{};
    double textTop{};
    double textWidth{};
    double textHeight{};
    double buttonTop{};
    std::array<double, kMaxMsgButtons> buttonLeft{};
    double closeBoxLeft{};
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
    int left{};
    int top{};
    int width{};
    int height{};
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
