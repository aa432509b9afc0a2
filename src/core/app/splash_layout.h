#pragma once

#include <string>

#include "core/common/rgb.h"

namespace qm {

// The splash window: its designed client size in twips, its rounded corners, how long it
// stays, and the texts it shows.
struct SplashLayout {
    static constexpr int kWidthTwips = 3975;
    static constexpr int kHeightTwips = 2955;
    static constexpr int kCornerEllipse = 40;  // pixels, both ways
    static constexpr unsigned kLifetimeMs = 3000;
    static constexpr unsigned kHoldMs = 1000;
    static constexpr Rgb kBackground{255, 0, 255};       // magenta
    static constexpr Rgb kMessageColour{255, 255, 128};  // light yellow
    static constexpr const char* kProductName = "Quillmere";
    static constexpr const char* kMessage = "PLEASE WAIT...Setting up display data";
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

// Twips to whole pixels, rounded halves to even.
PixelSize SplashPixelSize(double twipsPerPixelX, double twipsPerPixelY);

// "Version 1.2": the major version, a dot, and the minor version without leading zeros.
std::string SplashVersionText(unsigned major, unsigned minor);

}  // namespace qm
