#include "core/app/splash_layout.h"

#include "core/common/rounding.h"

namespace qm {

PixelSize SplashPixelSize(double twipsPerPixelX, double twipsPerPixelY) {
    if (!(twipsPerPixelX > 0) || !(twipsPerPixelY > 0)) {
        twipsPerPixelX = twipsPerPixelY = 15;  // 96 DPI
    }
    return PixelSize{static_cast<int>(RoundHalfEven(SplashLayout::kWidthTwips / twipsPerPixelX)),
                     static_cast<int>(RoundHalfEven(SplashLayout::kHeightTwips / twipsPerPixelY))};
}

std::string SplashVersionText(unsigned major, unsigned minor) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor);
}

}  // namespace qm
