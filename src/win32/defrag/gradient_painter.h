#pragma once

#include <windows.h>

namespace qm::win {

// Shades the client area of `target` from the colour towards black in 85 bands (see
// qm::GradientBands). The bands are laid out in twips, as the window's size is measured,
// and painted in pixels.
void FillGradient(HWND target, int red, int green, int blue, int direction);

// The same on a device context of the given pixel size (what FillGradient paints with).
void FillGradient(HDC dc, SIZE pixels, int red, int green, int blue, int direction);

}  // namespace qm::win
