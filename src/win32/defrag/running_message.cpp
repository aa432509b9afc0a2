#include "win32/defrag/running_message.h"

#include "core/common/twips.h"
#include "core/defrag/options_layout.h"
#include "win32/common/dpi.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/gradient_painter.h"

namespace qm::win {
namespace {

void Paint(HWND panel, HDC dc) {
    RECT client{};
    ::GetClientRect(panel, &client);
    FillGradient(dc, SIZE{client.right, client.bottom}, 255, 255, 255, 1);

    wchar_t caption[128] = {};
    const int length = ::GetWindowTextW(panel, caption, 128);
    const UINT dpi = DpiOfWindow(panel);
    const int labelTop = RunningLabelTop(static_cast<int>(PixelsToTwips(client.bottom, dpi)));
    RECT label{0, TwipsToPixels(labelTop, dpi), client.right,
               TwipsToPixels(labelTop + kRunningLabelHeight, dpi)};
    ScopedSelectObject font(dc, reinterpret_cast<HGDIOBJ>(::GetPropW(panel, L"QmFont")));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0xFF, 0, 0));
    ::DrawTextW(dc, caption, length, &label, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            Paint(hwnd, dc);
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            ::SetPropW(hwnd, L"QmFont", reinterpret_cast<HANDLE>(wp));
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(::GetPropW(hwnd, L"QmFont"));
        case WM_SETTEXT: {
            const LRESULT r = ::DefWindowProcW(hwnd, msg, wp, lp);
            ::InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case WM_NCDESTROY:
            ::RemovePropW(hwnd, L"QmFont");
            return ::DefWindowProcW(hwnd, msg, wp, lp);
        default:
            return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

bool RegisterRunningMessageClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kRunningMessageClass;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace qm::win
