#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/rgb.h"

namespace qm {

// A colour as the program's properties hold it: red in the low byte, or, with the top bit
// set, the index of a system colour in the low 24 bits. kNoColor means "draw nothing".
using OleColor = std::uint32_t;
inline constexpr OleColor kNoColor = 0xFFFFFFFFu;
inline constexpr OleColor kSystemColorFlag = 0x80000000u;

// Gives the red-green-blue value (red in the low byte) of a system colour index.
using SystemColorLookup = std::function<std::uint32_t(std::uint32_t index)>;

// The colour to paint with; nothing for kNoColor.
std::optional<Rgb> ResolveColor(OleColor color, const SystemColorLookup& lookup);

// One filled rectangle, from (x1, y1) up to but not including (x2, y2).
struct GradientBand {
    int x1{};
    int y1{};
    int x2{};
    int y2{};
    Rgb color;  // each channel within 0..255
};

// The 85-band linear gradient over an area of the given size (in the area's own units):
// direction 1 from the top down, 2 from the bottom up, 3 from the left, 4 from the right;
// other values act as 1. Without `lighten` each band is 3 darker per channel; with it the
// bands grow 3 lighter: `fast` on all but the odd bands below 30, else on every third band.
std::vector<GradientBand> GradientBands(int areaWidth, int areaHeight, Rgb start, int direction,
                                        bool lighten, bool fast);

// One pass of the shaped gradient, in a 256 x 256 unit scale laid over the area.
struct ShapePass {
    enum class Kind { kRect, kDiamond, kCircle } kind = Kind::kRect;
    Rgb color;
    double x1{}, y1{}, x2{}, y2{};    // kRect: filled from (x1,y1) to (x2,y2)
    std::array<double, 8> diamond{};  // kDiamond: four points x, y, closed
    double cx{}, cy{}, radius{};      // kCircle: radius in units across
};

struct ShapesGradient {
    Rgb back;  // the area is cleared to this first
    std::vector<ShapePass> passes;
};

inline constexpr int kShapeScale = 256;
inline constexpr int kShapeLineWidthPixels = 12;  // pen width of diamonds and circles

// The 256-pass gradient of bands (1-4), diamonds (5, 6) or circles about the centre or a
// corner (7-16). An odd direction from 5 up clears to the colour and grows from black at the
// centre or corner; an even one clears to black and starts from the full colour.
ShapesGradient GradientShapes(Rgb color, int direction);

// A colour given as decimal text (" 12345", "-1") or hexadecimal text ("&HC08040") as nine
// decimal digits: red, green and blue, three each. Empty when the text is no colour.
std::string ColorToRGBText(std::string_view text);

// Upper-case hexadecimal text of a whole number, "0" for 0. A negative number is written as
// its 32-bit two's complement, as colours are 32-bit values.
std::string DecToHex(std::int64_t n);

}  // namespace qm
