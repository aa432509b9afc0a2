#pragma once

#include <windows.h>

namespace qm::win {

// The heading's close box, raised or pressed, drawn at 14 x 14 pixels and stretched to
// `rect` on larger screens.
void DrawCloseBox(HDC dc, const RECT& rect, bool pressed);

}  // namespace qm::win
