#include "core/ui/headings_layout.h"

#include <algorithm>

#include "core/common/rounding.h"

namespace qm {
namespace {

constexpr int kEdgeStrip = 10;
constexpr int kCaptionFloor = 5;

int Whole(double twips) {
    return static_cast<int>(RoundHalfEven(twips));
}

}  // namespace

HeadingsGeometry HeadingsLayout(double widthTwips, double heightTwips) {
    HeadingsGeometry g;
    const int wb = Whole(widthTwips - kEdgeStrip);
    const int hb = Whole(heightTwips - kEdgeStrip);
    g.wb = wb;
    g.hb = hb;
    using enum HeadingsPen;
    g.lines = {{
        // Outer dark edge; the bottom line runs one pixel on to meet the right one's corner.
        {0, hb, wb + 15, hb, Black},
        {wb, 0, wb, hb, Black},
        {15, hb - 15, wb - 5, hb - 15, Grey},
        {wb - 15, 15, wb - 15, hb - 5, Grey},
        {30, hb - 30, wb - 20, hb - 30, Black},
        {wb - 30, 30, wb - 30, hb - 20, Black},
        {0, 0, wb, 0, White},
        {0, 0, 0, hb, White},
        {15, 15, wb - 15, 15, Light3D},
        {15, 15, 15, hb - 15, Light3D},
    }};
    return g;
}

HeadingsPoint HeadingsCaptionPosition(double widthTwips, double heightTwips, double textWidthTwips,
                                      double textHeightTwips) {
    return HeadingsPoint{std::max(kCaptionFloor, Whole((widthTwips - textWidthTwips) / 2)),
                         std::max(kCaptionFloor, Whole((heightTwips - textHeightTwips) / 2))};
}

}  // namespace qm
