#include "win32/app/splash_window.h"

#include <cstring>
#include <vector>

#include "core/app/splash_layout.h"
#include "win32/common/colour.h"
#include "win32/common/text.h"
#include "win32/res/resource.h"

namespace qm::win {

namespace {

constexpr UINT_PTR kCloseTimer = 1;  // once, kLifetimeMs after creation: the splash closes

// Its look: rounded corners, how long it stays, its colours and texts.
constexpr int kCornerEllipse = 40;  // pixels, both ways
constexpr unsigned kLifetimeMs = 3000;
constexpr Rgb kBackground{255, 0, 255};       // magenta
constexpr Rgb kMessageColour{255, 255, 128};  // light yellow
constexpr const char* kProductName = "Quillmere";
constexpr const char* kMessage = "PLEASE WAIT...Setting up display data";

HFONT MakeFont(const wchar_t* face, int tenthsOfPoints, int weight, bool italic, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(tenthsOfPoints, dpi, 720);
    lf.lfWeight = weight;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    ::lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return ::CreateFontIndirectW(&lf);
}

int ScreenDpi() {
    HDC dc = ::GetDC(nullptr);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc) {
        ::ReleaseDC(nullptr, dc);
    }
    return dpi > 0 ? dpi : 96;
}

void DrawCentred(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, RECT band) {
    ScopedSelectObject select(dc, font);
    ::SetTextColor(dc, colour);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &band,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// The artwork: a platter with its tracks, dark on the magenta ground.
void DrawPlatter(HDC dc, int cx, int cy, int radius) {
    UniqueHbrush rim(::CreateSolidBrush(RGB(60, 0, 80)));
    UniqueHbrush disk(::CreateSolidBrush(RGB(40, 110, 210)));
    UniqueHbrush hub(::CreateSolidBrush(RGB(235, 235, 240)));
    UniqueHpen none(::CreatePen(PS_NULL, 0, 0));
    ScopedSelectObject pen(dc, none.get());
    {
        ScopedSelectObject brush(dc, rim.get());
        ::Ellipse(dc, cx - radius - 2, cy - radius - 2, cx + radius + 3, cy + radius + 3);
    }
    {
        ScopedSelectObject brush(dc, disk.get());
        ::Ellipse(dc, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
    }
    UniqueHpen track(::CreatePen(PS_SOLID, 1, RGB(90, 150, 235)));
    {
        ScopedSelectObject trackPen(dc, track.get());
        ScopedSelectObject hollow(dc, ::GetStockObject(HOLLOW_BRUSH));
        for (int r = radius - 4; r > radius / 3; r -= 4) {
            ::Ellipse(dc, cx - r, cy - r, cx + r + 1, cy + r + 1);
        }
    }
    ScopedSelectObject brush(dc, hub.get());
    const int h = radius / 4;
    ::Ellipse(dc, cx - h, cy - h, cx + h + 1, cy + h + 1);
}

}  // namespace

COLORREF SplashMessageColour() {
    return ColorRefOf(kMessageColour);
}

bool ReadOwnVersion(unsigned& major, unsigned& minor) {
    // Straight from the program's own version resource: the version library is not loaded for
    // two numbers.
    const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    const DWORD size = found ? ::SizeofResource(nullptr, found) : 0;
    // VS_VERSIONINFO: a header, the key L"VS_VERSION_INFO", padding to 4 bytes, then the fixed
    // part, which starts with its signature.
    for (DWORD at = 0; bytes && at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, bytes + at, sizeof(info));
        if (info.dwSignature == VS_FFI_SIGNATURE) {
            major = HIWORD(info.dwFileVersionMS);
            minor = LOWORD(info.dwFileVersionMS);
            return true;
        }
    }
    return false;
}

SplashWindow::SplashWindow(HINSTANCE instance) : instance_(instance) {}

SplashWindow::~SplashWindow() {
    if (hwnd_) {
        ::DestroyWindow(hwnd_);
    }
}

bool SplashWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &SplashWindow::WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_WAIT);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    const int dpi = ScreenDpi();
    const double twipsPerPixel = 1440.0 / dpi;
    const PixelSize size = SplashPixelSize(twipsPerPixel, twipsPerPixel);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - size.width) / 2;
    const int y = work.top + (work.bottom - work.top - size.height) / 2;
    return ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"Quillmere", WS_POPUP,
                             x, y, size.width, size.height, nullptr, nullptr, instance_,
                             this) != nullptr;
}

void SplashWindow::PrepareContents() {
    unsigned major = 1, minor = 2;
    ReadOwnVersion(major, minor);
    versionText_ = Widen(SplashVersionText(major, minor));

    const int dpi = ScreenDpi();
    titleFont_.reset(MakeFont(L"Times New Roman", 180, FW_NORMAL, true, dpi));
    versionFont_.reset(MakeFont(L"MS Sans Serif", 83, FW_NORMAL, false, dpi));
    messageFont_.reset(MakeFont(L"MS Sans Serif", 83, FW_BOLD, false, dpi));
    artwork_.reset(static_cast<HICON>(
        ::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUILLMERE), IMAGE_ICON, 48, 48, 0)));

    // MakeRoundWindow: the window keeps the region from here on.
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    HRGN region = ::CreateRoundRectRgn(1, 1, r.right - r.left, r.bottom - r.top, kCornerEllipse,
                                       kCornerEllipse);
    if (region && !::SetWindowRgn(hwnd_, region, TRUE)) {
        ::DeleteObject(region);
    }
    ::SetTimer(hwnd_, kCloseTimer, kLifetimeMs, nullptr);
}

void SplashWindow::ShowModal() {
    if (!Create()) {
        return;
    }
    ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    // Fully painted before anything else happens.
    ::UpdateWindow(hwnd_);
    // The window closes itself; until then the program's messages keep flowing, which is how
    // the one-second hold after showing is kept without freezing anything.
    MSG msg;
    while (!closed_ && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (!closed_ && msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    }
}

void SplashWindow::Paint(HDC dc, const RECT& client) {
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    // Off-screen, then one copy: no flicker.
    UniqueMemoryDc mem(::CreateCompatibleDC(dc));
    UniqueHbitmap bitmap(::CreateCompatibleBitmap(dc, w, h));
    if (!mem || !bitmap) {
        return;
    }
    ScopedSelectObject selectBitmap(mem.get(), bitmap.get());
    HDC m = mem.get();
    UniqueHbrush ground(::CreateSolidBrush(ColorRefOf(kBackground)));
    ::FillRect(m, &client, ground.get());
    ::SetBkMode(m, TRANSPARENT);

    // The artwork: the icon on the left, a platter on the right.
    if (artwork_) {
        ::DrawIconEx(m, w / 8, h / 2 - 34, artwork_.get(), 48, 48, 0, nullptr, DI_NORMAL);
    }
    DrawPlatter(m, w - w / 8 - 24, h / 2 - 10, 24);

    DrawCentred(m, titleFont_.get(), RGB(255, 255, 255), Widen(kProductName),
                RECT{0, h / 10, w, h / 10 + h / 5});
    DrawCentred(m, versionFont_.get(), RGB(255, 255, 255), versionText_,
                RECT{0, h / 10 + h / 5, w, h / 10 + h / 5 + h / 8});
    DrawCentred(m, messageFont_.get(), SplashMessageColour(), Widen(kMessage),
                RECT{0, h - h / 4, w, h - h / 8});
    ::BitBlt(dc, 0, 0, w, h, m, 0, 0, SRCCOPY);
}

LRESULT SplashWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            PrepareContents();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd_, &ps);
            RECT client{};
            ::GetClientRect(hwnd_, &client);
            Paint(dc, client);
            ::EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_TIMER:
            if (wp == kCloseTimer) {
                ::KillTimer(hwnd_, kCloseTimer);
                ::DestroyWindow(hwnd_);
            }
            return 0;
        case WM_DESTROY:
            closed_ = true;
            return 0;
        default:
            return Default(msg, wp, lp);
    }
}

}  // namespace qm::win
