// The painting of the message box window: heading strip, body and buttons.
#include "win32/ui/message_box_window.h"

#include "win32/ui/close_box.h"
#include "win32/ui/msgbox_fonts.h"
#include "win32/ui/msgdefs_paint.h"

namespace qm::win {
namespace {

RECT ToRect(const PixelRect& r) {
    return RECT{r.left, r.top, r.left + r.width, r.top + r.height};
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void HorizontalLine(HDC dc, int x1, int x2, int y, COLORREF color) {
    const RECT r{x1, y, x2, y + 1};
    FillSolid(dc, r, color);
}

UINT AlignmentFlag(MsgBoxAlignment a) {
    switch (a) {
        case MsgBoxAlignment::kRight:
            return DT_RIGHT;
        case MsgBoxAlignment::kCentre:
            return DT_CENTER;
        default:
            return DT_LEFT;
    }
}

}  // namespace

void MessageBoxWindow::PaintHeading(bool active) {
    headingActive_ = active;
    HDC dc = canvasDc_.get();
    const RECT heading = ToRect(px_.heading);
    const OleColor color = active ? shared_.backColorHeading : kSysInactiveCaption;
    if (!shared_.solidColorHeading) {
        // Lighter towards the right; faster while the box is the active window.
        PaintGradient(dc, heading, color, 3, true, active, tpp_,
                      OleColorToColorRef(kSysButtonFace));
    } else {
        FillSolid(dc, heading, OleColorToColorRef(color, ::GetSysColor(COLOR_BTNFACE)));
    }

    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, heading.left, heading.top, heading.right, heading.bottom);
    ::SelectObject(dc, headingFont_.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, OleColorToColorRef(request_.foreColorHeading));
    RECT text{px_.caption.left, px_.caption.top, heading.right, heading.bottom};
    ::DrawTextW(dc, title_.c_str(), static_cast<int>(title_.size()), &text,
                DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    ::RestoreDC(dc, saved);

    if (request_.controlBox) {
        DrawCloseBox(dc, ToRect(px_.closeBox), closePressed_);
    }
    if (hwnd_) {
        ::InvalidateRect(hwnd_, &heading, FALSE);
    }
}

void MessageBoxWindow::PaintBody() {
    HDC dc = canvasDc_.get();
    const RECT body = ToRect(px_.body);
    const COLORREF back = OleColorToColorRef(shared_.backColorBody, ::GetSysColor(COLOR_BTNFACE));
    if (shared_.gradientPaint) {
        if (shared_.gradientDirection < 5) {
            PaintGradient(dc, body, shared_.backColorBody, shared_.gradientDirection, false, true,
                          tpp_, back);
        } else {
            PaintGradientShapes(dc, body, shared_.backColorBody, shared_.gradientDirection, tpp_);
        }
    } else {
        FillSolid(dc, body, back);
    }
    if (icon_ && request_.style.HasIcon()) {
        ::DrawIconEx(dc, px_.icon.left, px_.icon.top, icon_, 0, 0, 0, nullptr, DI_NORMAL);
    }
    if (ridge_) {
        static constexpr COLORREF kRidge[3] = {RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80),
                                               RGB(0x40, 0x40, 0x40)};
        for (int i = 0; i < 3; ++i) {
            HorizontalLine(dc, body.left, body.right, px_.ridgeY[i], kRidge[i]);
        }
    }

    // The prompt is a label sized to its text; what passes the window's edge is cut off.
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, body.left, body.top, body.right, body.bottom);
    ::SelectObject(dc, bodyFont_.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, OleColorToColorRef(request_.foreColorBody));
    RECT text = ToRect(px_.text);
    ::DrawTextW(dc, message_.c_str(), static_cast<int>(message_.size()), &text,
                kPromptTextFlags | DT_NOCLIP | AlignmentFlag(request_.alignment));
    ::RestoreDC(dc, saved);

    if (hwnd_) {
        ::InvalidateRect(hwnd_, &body, FALSE);
    }
}

void MessageBoxWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    const RECT& r = ps.rcPaint;
    ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, canvasDc_.get(), r.left, r.top,
             SRCCOPY);
    ::EndPaint(hwnd_, &ps);
}

void MessageBoxWindow::DrawButton(const DRAWITEMSTRUCT& item) {
    const int index = static_cast<int>(item.CtlID) - kMsgButtonFirstId;
    if (index < 0 || index >= kMaxMsgButtons) {
        return;
    }
    const RECT full = item.rcItem;
    const int width = full.right - full.left;
    const int height = full.bottom - full.top;
    UniqueMemoryDc mem(::CreateCompatibleDC(item.hDC));
    UniqueHbitmap bitmap(::CreateCompatibleBitmap(item.hDC, width, height));
    if (!mem || !bitmap) {
        return;
    }
    ScopedSelectObject useBitmap(mem.get(), bitmap.get());
    HDC dc = mem.get();
    RECT r{0, 0, width, height};
    FillSolid(dc, r, OleColorToColorRef(request_.backColorButtons, ::GetSysColor(COLOR_BTNFACE)));

    // The black frame marks the button that Enter presses: the focused one, else the default.
    const int focused = ButtonWithFocus();
    const bool framed = focused >= 0 ? focused == index : request_.style.defaultButton == index;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    if (framed) {
        ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&r, -1, -1);
    }
    if (pushed) {
        UniqueHbrush shadow(::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW)));
        ::FrameRect(dc, &r, shadow.get());
    } else {
        ::DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    }

    RECT text = r;
    if (pushed) {
        ::OffsetRect(&text, 1, 1);
    }
    ::SelectObject(dc, bodyFont_.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    const std::wstring& caption = captions_[index];
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        ::InflateRect(&focus, -3, -3);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
    }
    ::BitBlt(item.hDC, full.left, full.top, width, height, dc, 0, 0, SRCCOPY);
}

}  // namespace qm::win
