#include "win32/defrag/cursor_position.h"

#include "core/app/geometry.h"

namespace qm::win {

bool IsCursorOutside(HWND form) {
    POINT cursor{};
    RECT window{};
    if (!::GetCursorPos(&cursor) || !::ScreenToClient(form, &cursor) ||
        !::GetWindowRect(form, &window)) {
        return false;
    }
    // The edge counts as inside, as it does for the tray icon.
    const Rect client{0, 0, window.right - window.left, window.bottom - window.top};
    return !client.Contains(Point{cursor.x, cursor.y});
}

}  // namespace qm::win
