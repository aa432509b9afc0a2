#pragma once

#include <array>
#include <cstdint>

namespace qm {

// The heading bar: a raised box with a centred caption. Its geometry is worked out in whole
// twips from the control's size; the Windows side scales it to the window's DPI and paints it.

// What each edge line is drawn in.
enum class HeadingsPen { Black, Grey, White, Light3D };

// A line from (x1, y1) to (x2, y2), in twips; the end point itself is not painted.
struct HeadingsLine {
    int x1{};
    int y1{};
    int x2{};
    int y2{};
    HeadingsPen pen = HeadingsPen::Black;
    friend bool operator==(const HeadingsLine&, const HeadingsLine&) = default;
};

struct HeadingsGeometry {
    // The filled box runs from (0, 0) to (wb, hb); right and bottom of it a 10-twip strip of
    // the host's background stays.
    int wb{};
    int hb{};
    // In painting order: the dark two-step bottom-right edge, then the white and light
    // top-left edge over it.
    std::array<HeadingsLine, 10> lines{};
};

HeadingsGeometry HeadingsLayout(double widthTwips, double heightTwips);

struct HeadingsPoint {
    int x{};
    int y{};
    friend bool operator==(const HeadingsPoint&, const HeadingsPoint&) = default;
};

// Where the caption's top-left corner goes: centred in the whole control, but never nearer
// its left or top edge than 5 twips (a caption too wide is cut at the right instead).
HeadingsPoint HeadingsCaptionPosition(double widthTwips, double heightTwips, double textWidthTwips,
                                      double textHeightTwips);

// Colours are 32-bit values, 0x00BBGGRR; 0x80000000 | n names system colour n.
inline constexpr std::uint32_t kSystemColourFlag = 0x80000000u;
inline constexpr std::uint32_t kButtonTextColour = 0x80000012u;  // the caption's default
inline constexpr std::uint32_t kButtonFaceColour = 0x8000000Fu;  // the bar's default
inline constexpr std::uint32_t kLight3DColour = 0x80000016u;     // the inner top-left edge

inline bool IsSystemColour(std::uint32_t colour) {
    return (colour & kSystemColourFlag) != 0;
}
inline int SystemColourIndex(std::uint32_t colour) {
    return static_cast<int>(colour & ~kSystemColourFlag);
}

}  // namespace qm
