#include "win32/common/dpi.h"

#include "core/common/rounding.h"

namespace qm::win {
namespace {

template <typename Function>
Function User32Function(const char* name) {
    static HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
               : nullptr;
}

}  // namespace

UINT SystemDpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (getDpiForSystem) {
        return getDpiForSystem();
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

UINT DpiAtPoint(POINT screenPoint) {
    // GetDpiForMonitor lives in shcore.dll from Windows 8.1 on.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = []() -> GetDpiForMonitorFn {
        HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (getDpiForMonitor &&
        SUCCEEDED(getDpiForMonitor(::MonitorFromPoint(screenPoint, MONITOR_DEFAULTTONEAREST),
                                   0 /* MDT_EFFECTIVE_DPI */, &dpiX, &dpiY)) &&
        dpiY != 0) {
        return dpiY;
    }
    return SystemDpi();
}

UINT DpiOfWindow(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    return SystemDpi();
}

int SystemMetricAt(int index, UINT dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi) {
        return forDpi(index, dpi);
    }
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi),
                    static_cast<int>(SystemDpi()));
}

void AdjustWindowRectAt(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto forDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&rect, style, FALSE, exStyle, dpi)) {
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

FrameThickness FrameAt(DWORD style, DWORD exStyle, UINT dpi) {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectAt(r, style, exStyle, dpi);
    return {-r.left, -r.top, r.right, r.bottom};
}

SIZE WindowSizeForDesign(int widthTwips, int heightTwips, UINT dpi, const FrameThickness& frame) {
    return {TwipsToPixels(DesignedClientWidth(widthTwips), dpi) + frame.left + frame.right,
            TwipsToPixels(DesignedClientHeight(heightTwips), dpi) + frame.top + frame.bottom};
}

void TakeOverDialogDpiScaling(HWND dialog) {
    // DDC_DISABLE_ALL for both the mask and the values (Windows 10 1703 and later).
    using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehavior = User32Function<SetBehaviorFn>("SetDialogDpiChangeBehavior");
    if (setBehavior) {
        setBehavior(dialog, 1, 1);
    }
}

void ApplySuggestedRect(HWND window, LPARAM suggested) {
    const auto* r = reinterpret_cast<const RECT*>(suggested);
    if (r) {
        ::SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

UniqueHfont CreateFontAt(const FontStyle& style, UINT dpi) {
    LOGFONTW lf{};
    lf.lfHeight =
        -static_cast<LONG>(RoundHalfEven(style.points * (dpi ? dpi : kDefaultDpi) / 72.0));
    lf.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style.italic ? TRUE : FALSE;
    lf.lfUnderline = style.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, style.face, LF_FACESIZE);
    return UniqueHfont(::CreateFontIndirectW(&lf));
}

}  // namespace qm::win
