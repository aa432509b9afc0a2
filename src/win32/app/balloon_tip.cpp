#include "win32/app/balloon_tip.h"

#include <commctrl.h>

namespace qm::win {

namespace {

// Tahoma 8.25 pt, at the screen's resolution.
HFONT CreateMessageFont(HWND owner) {
    HDC dc = ::GetDC(owner);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) {
        ::ReleaseDC(owner, dc);
    }
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(825, dpi, 7200);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    ::lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
    return ::CreateFontIndirectW(&lf);
}

}  // namespace

BalloonTip::BalloonTip(HWND owner) : owner_(owner) {
    tooltip_.reset(::CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP | TTS_CLOSE, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr));
    if (tooltip_) {
        font_.reset(CreateMessageFont(owner));
        ::SendMessageW(tooltip_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        // A maximum width makes the tooltip honour the CR LF line breaks of the message.
        ::SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, 400);
    }
}

BalloonTip::~BalloonTip() {
    if (shownId_ != 0) {
        removing_ = true;
        Remove(shownId_);
    }
    // The tooltip window goes before its font.
    tooltip_.reset();
}

TTTOOLINFOW BalloonTip::ToolInfo(std::uint16_t id) const {
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = owner_;
    ti.uId = id;
    return ti;
}

std::uint16_t BalloonTip::ShowAt(POINT screenPoint) {
    if (!tooltip_) {
        return 0;
    }
    if (shownId_ != 0) {
        Remove(shownId_);
    }
    nextId_ = static_cast<std::uint16_t>(nextId_ == 0xFFFF ? 1 : nextId_ + 1);
    const std::uint16_t id = nextId_;
    TTTOOLINFOW ti = ToolInfo(id);
    std::wstring text = message_.empty() ? std::wstring(L" ") : message_;
    ti.lpszText = text.data();
    if (!::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti))) {
        return 0;
    }
    ::SendMessageW(tooltip_.get(), TTM_SETTITLEW, TTI_INFO,
                   reinterpret_cast<LPARAM>(title_.c_str()));
    ::SendMessageW(tooltip_.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(screenPoint.x, screenPoint.y));
    ::SendMessageW(tooltip_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    shownId_ = id;
    return id;
}

std::uint16_t BalloonTip::ShowForWindow(HWND target) {
    RECT r{};
    if (!::GetWindowRect(target, &r)) {
        return 0;
    }
    return ShowAt(POINT{(r.left + r.right) / 2, r.bottom});
}

void BalloonTip::Remove(std::uint16_t id) {
    if (!tooltip_ || id == 0 || id != shownId_) {
        return;
    }
    removing_ = true;
    TTTOOLINFOW ti = ToolInfo(id);
    ::SendMessageW(tooltip_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(tooltip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    shownId_ = 0;
    removing_ = false;
}

bool BalloonTip::HandleNotify(const NMHDR* header) {
    if (!header || !tooltip_ || header->hwndFrom != tooltip_.get()) {
        return false;
    }
    // The close button (or the system) took the balloon away.
    if (header->code == TTN_POP && !removing_ && shownId_ != 0) {
        const std::uint16_t id = shownId_;
        TTTOOLINFOW ti = ToolInfo(id);
        ::SendMessageW(tooltip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        shownId_ = 0;
        if (onClosed) {
            onClosed(id);
        }
    }
    return true;
}

}  // namespace qm::win
