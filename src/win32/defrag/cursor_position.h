#pragma once

#include <windows.h>

namespace qm::win {

// Whether the mouse pointer has left `form`: its client-relative position against the
// window's outer size; a point on the edge is inside.
bool IsCursorOutside(HWND form);

}  // namespace qm::win
