#pragma once

#include <windows.h>

#include <algorithm>

#include "core/common/rgb.h"

namespace qm::win {

// The system's colour value (0x00BBGGRR) of a core colour, channels clamped to 0-255.
inline COLORREF ColorRefOf(const Rgb& rgb) {
    return RGB(std::clamp(rgb.red, 0, 255), std::clamp(rgb.green, 0, 255),
               std::clamp(rgb.blue, 0, 255));
}

}  // namespace qm::win
