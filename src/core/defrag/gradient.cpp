#include "core/defrag/gradient.h"

#include <algorithm>
#include <cmath>

namespace qm {
namespace {

int Darker(int channel) {
    return std::max(0, channel - 3);
}

int Clamp(int channel) {
    return std::clamp(channel, 0, 255);
}

}  // namespace

std::vector<FillGradientBand> FillGradientBands(int width, int height, Rgb start, int direction) {
    if (direction < 1 || direction > 4) {
        direction = 1;
    }
    const bool horizontal = direction <= 2;  // bands stacked top to bottom
    const bool backwards = direction == 2 || direction == 4;
    const int extent = horizontal ? height : width;
    const int step = static_cast<int>(std::lround(static_cast<double>(extent) / kGradientBands));

    Rgb colour{Clamp(start.red), Clamp(start.green), Clamp(start.blue)};
    std::vector<FillGradientBand> bands(kGradientBands);
    for (int i = 0; i < kGradientBands; ++i) {
        colour = {Darker(colour.red), Darker(colour.green), Darker(colour.blue)};
        int from = i * step;
        int to = from + step;
        if (backwards) {
            to = extent - i * step;
            from = (i == kGradientBands - 1) ? 0 : to - step;
        }
        // Bands across the whole width, stacked top to bottom, or the whole height side by side.
        bands[static_cast<std::size_t>(i)] = horizontal
                                                 ? FillGradientBand{0, from, width, to, colour}
                                                 : FillGradientBand{from, 0, to, height, colour};
    }
    return bands;
}

}  // namespace qm
