#pragma once

#include <windows.h>

#include "core/common/twips.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// Per-monitor DPI, with the calls that Windows 10 added looked up at run time: on Windows 7
// and 8 every window has the system DPI and the older calls answer.

// The DPI of the monitor the window is on (the system DPI where that cannot be asked).
UINT DpiOfWindow(HWND window);
// The DPI of the primary monitor's logical pixels.
UINT SystemDpi();
// The DPI of the monitor that holds a point of the screen (the system DPI where that cannot be
// asked): for windows such as balloons that appear at a point, before they have a monitor.
UINT DpiAtPoint(POINT screenPoint);
// A system metric (SM_CXSMICON...) at the given DPI.
int SystemMetricAt(int index, UINT dpi);
// Grows a client rectangle to the window rectangle for that style at the given DPI.
void AdjustWindowRectAt(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
// What a window's frame adds around its client area, in pixels; the caption is in the top.
struct FrameThickness {
    int left{};
    int top{};
    int right{};
    int bottom{};
};
// The frame of a window of that style at the given DPI, as this system draws it.
FrameThickness FrameAt(DWORD style, DWORD exStyle, UINT dpi);
// The window size that gives a form designed by its outer size (DesignedClientWidth, ...) its
// designed client area at `dpi` inside `frame`.
SIZE WindowSizeForDesign(int widthTwips, int heightTwips, UINT dpi, const FrameThickness& frame);
// A dialog whose controls this program places itself must not also be rescaled by the system
// when it moves to a monitor of another DPI.
void TakeOverDialogDpiScaling(HWND dialog);
// Moves and sizes a window to the rectangle WM_DPICHANGED suggests (lParam).
void ApplySuggestedRect(HWND window, LPARAM suggested);

// A font of the program's forms: face, size in points and style.
struct FontStyle {
    const wchar_t* face = L"MS Shell Dlg";
    double points = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

// The dialogs' own font: the classic dialog face (Tahoma, or MS Sans Serif on older systems)
// at 8.25 points, the size the forms' twips were designed for.
inline constexpr FontStyle kDialogFont{};

// The font at the given DPI; its height in pixels is the point size scaled, halves to even.
UniqueHfont CreateFontAt(const FontStyle& style, UINT dpi);

}  // namespace qm::win
