#pragma once

#include "core/common/rounding.h"

namespace qm {

// The program's forms are designed in twips (1/1440 inch): 15 twips a pixel at 96 DPI, 12 at
// 120, 10 at 144, 7.5 at 192. Every window converts its design through these two functions, at
// the DPI of the monitor it is on, so a layout is the same size in inches everywhere.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr unsigned kDefaultDpi = 96;

// Whole pixels, halves to the even number. A DPI of 0 (unknown) counts as 96.
inline int TwipsToPixels(double twips, unsigned dpi) {
    const double perInch = dpi == 0 ? kDefaultDpi : dpi;
    return static_cast<int>(RoundHalfEven(twips * perInch / kTwipsPerInch));
}

inline double PixelsToTwips(double pixels, unsigned dpi) {
    const double perInch = dpi == 0 ? kDefaultDpi : dpi;
    return pixels * kTwipsPerInch / perInch;
}

// A form designed by its outer size was drawn on Windows XP's frame of a fixed dialog at 96 DPI:
// 3-pixel borders around a 26-pixel caption. What that frame leaves is the client area the
// design means, on every system and at every DPI, however thick the system's own frame is.
inline constexpr int kDesignBorderTwips = 3 * 15;
inline constexpr int kDesignCaptionTwips = 26 * 15;

inline constexpr int DesignedClientWidth(int formWidthTwips) {
    return formWidthTwips - 2 * kDesignBorderTwips;
}
inline constexpr int DesignedClientHeight(int formHeightTwips) {
    return formHeightTwips - kDesignCaptionTwips - 2 * kDesignBorderTwips;
}

// A rectangle of a form's design, in twips, relative to the client area of its window.
struct TwipsBox {
    int left{};
    int top{};
    int width{};
    int height{};
    friend bool operator==(const TwipsBox&, const TwipsBox&) = default;
};

// The same rectangle in pixels at `dpi`. The right and bottom edges are converted rather than
// the width and height, so neighbouring controls stay flush at any scale.
struct PixelBox {
    int left{};
    int top{};
    int width{};
    int height{};
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

inline PixelBox ToPixels(const TwipsBox& box, unsigned dpi) {
    const int left = TwipsToPixels(box.left, dpi);
    const int top = TwipsToPixels(box.top, dpi);
    return PixelBox{left, top, TwipsToPixels(box.left + box.width, dpi) - left,
                    TwipsToPixels(box.top + box.height, dpi) - top};
}

}  // namespace qm
