#include "win32/ui/headings.h"

#include <windowsx.h>

#include "core/common/twips.h"
#include "win32/common/dpi.h"
#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

COLORREF Resolve(std::uint32_t colour) {
    return IsSystemColour(colour) ? ::GetSysColor(SystemColourIndex(colour))
                                  : static_cast<COLORREF>(colour);
}

COLORREF PenColour(HeadingsPen pen) {
    switch (pen) {
        case HeadingsPen::Black:
            return RGB(0, 0, 0);
        case HeadingsPen::Grey:
            return RGB(0x80, 0x80, 0x80);
        case HeadingsPen::White:
            return RGB(0xFF, 0xFF, 0xFF);
        case HeadingsPen::Light3D:
            return Resolve(kLight3DColour);
    }
    return RGB(0, 0, 0);
}

}  // namespace

LRESULT Headings::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd_, &ps);
            RECT client{};
            ::GetClientRect(hwnd_, &client);
            // Drawn off screen first: the bar is repainted whole and must not flicker.
            UniqueMemoryDc memory(::CreateCompatibleDC(dc));
            UniqueHbitmap bitmap(::CreateCompatibleBitmap(dc, client.right, client.bottom));
            if (memory && bitmap) {
                ScopedSelectObject selected(memory.get(), bitmap.get());
                Paint(memory.get(), SIZE{client.right, client.bottom});
                ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
            }
            ::EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wp);
            if (LOWORD(lp)) {
                Refresh();
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SETTEXT: {
            const LRESULT r = ::DefWindowProcW(hwnd_, msg, wp, lp);
            ::InvalidateRect(hwnd_, nullptr, FALSE);
            return r;
        }
        case WM_MOUSEMOVE:
            if (onMouseMove) {
                onMouseMove(wp, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            }
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_DPICHANGED_AFTERPARENT:
            ::InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        default:
            return ::DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

void Headings::Paint(HDC dc, SIZE pixels) {
    const UINT dpi = DpiOfWindow(hwnd_);
    const auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    const double width = PixelsToTwips(pixels.cx, dpi);
    const double height = PixelsToTwips(pixels.cy, dpi);
    const HeadingsGeometry g = HeadingsLayout(width, height);

    const COLORREF ambient = Resolve(ambientBackColor_);
    UniqueHbrush ambientBrush(::CreateSolidBrush(ambient));
    RECT all{0, 0, pixels.cx, pixels.cy};
    ::FillRect(dc, &all, ambientBrush.get());
    // The box includes its far corner, as the lines that meet it do.
    RECT box{0, 0, px(g.wb) + 1, px(g.hb) + 1};
    UniqueHbrush bar(::CreateSolidBrush(Resolve(backColor_)));
    ::FillRect(dc, &box, bar.get());
    ::FrameRect(dc, &box, ambientBrush.get());

    for (const HeadingsLine& line : g.lines) {
        UniqueHpen pen(::CreatePen(PS_SOLID, 1, PenColour(line.pen)));
        ScopedSelectObject selected(dc, pen.get());
        ::MoveToEx(dc, px(line.x1), px(line.y1), nullptr);
        ::LineTo(dc, px(line.x2), px(line.y2));
    }

    const std::wstring caption = Caption();
    if (caption.empty()) {
        return;
    }
    ScopedSelectObject font(dc, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE text{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    const HeadingsPoint at = HeadingsCaptionPosition(width, height, PixelsToTwips(text.cx, dpi),
                                                     PixelsToTwips(text.cy, dpi));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Resolve(foreColor_));
    ::TextOutW(dc, px(at.x), px(at.y), caption.c_str(), static_cast<int>(caption.size()));
}

void Headings::Changed() {
    Refresh();
    if (onPropertyChanged) {
        onPropertyChanged();
    }
}

void Headings::SetForeColor(std::uint32_t colour) {
    foreColor_ = colour;
    Changed();
}

void Headings::SetBackColor(std::uint32_t colour) {
    backColor_ = colour;
    Changed();
}

std::wstring Headings::Caption() const {
    const int length = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd_, text.data(), length + 1)));
    return text;
}

void Headings::SetCaption(const std::wstring& caption) {
    ::SetWindowTextW(hwnd_, caption.c_str());
    Changed();
}

void Headings::SetFont(HFONT font) {
    font_ = font;
    Changed();
}

std::wstring Headings::HwndText() const {
    return std::to_wstring(reinterpret_cast<std::uintptr_t>(hwnd_));
}

void Headings::SetAmbientBackColor(std::uint32_t colour) {
    ambientBackColor_ = colour;
    Refresh();
}

void Headings::Refresh() {
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace qm::win
