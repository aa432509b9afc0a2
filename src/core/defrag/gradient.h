#pragma once

#include <cstdint>
#include <vector>

#include "core/common/rgb.h"

namespace qm {

// A band of the gradient, in the target's own units (left/top inclusive, right/bottom not).
struct FillGradientBand {
    int left{};
    int top{};
    int right{};
    int bottom{};
    Rgb colour;
};

inline constexpr int kGradientBands = 85;

// The 85 bands that shade a target of `width` x `height` from the given colour towards black,
// three steps darker per band (the first band already is). Direction 1 runs top to bottom,
// 2 bottom to top, 3 left to right, 4 right to left; any other value counts as 1. Band
// thickness is the target's size / 85, rounded; when running up or left the last band is
// stretched to reach the edge.
std::vector<FillGradientBand> FillGradientBands(int width, int height, Rgb start, int direction);

}  // namespace qm
