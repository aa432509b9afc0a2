#include "win32/defrag/cursor_position.h"

#include "core/defrag/window_geometry.h"

namespace qm::win {

bool IsCursorOutside(HWND form) {
    POINT cursor{};
    RECT window{};
    if (!::GetCursorPos(&cursor) || !::ScreenToClient(form, &cursor) ||
        !::GetWindowRect(form, &window)) {
        return false;
    }
    // Pixels compare the same as twips: both sides scale by the same factor.
    return IsPointOutside(cursor.x, cursor.y, window.right - window.left,
                          window.bottom - window.top);
}

}  // namespace qm::win
