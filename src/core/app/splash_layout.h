#pragma once

#include <string>

namespace qm {

// The splash window's designed client size, in twips.
struct SplashLayout {
    static constexpr int kWidthTwips = 3975;
    static constexpr int kHeightTwips = 2955;
};

struct PixelSize {
    int width{};
    int height{};
};

// Twips to whole pixels, rounded halves to even.
PixelSize SplashPixelSize(double twipsPerPixelX, double twipsPerPixelY);

// "Version 1.2": the major version, a dot, and the minor version without leading zeros.
std::string SplashVersionText(unsigned major, unsigned minor);

}  // namespace qm
