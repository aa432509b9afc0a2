#include "win32/app/balloon_tip.h"

#include <commctrl.h>

#include "win32/common/dpi.h"

namespace qm::win {

namespace {

constexpr FontStyle kMessageFont{L"Tahoma", 8.25};
// Wide enough for the status lines; a maximum width also makes the tooltip honour the CR LF
// line breaks of the message. In pixels at 96 DPI.
constexpr int kMaxTipWidth = 400;

}  // namespace

BalloonTip::BalloonTip(HWND owner, Layer layer) : owner_(owner) {
    tooltip_.reset(::CreateWindowExW(
        layer == Layer::kTopmost ? WS_EX_TOPMOST : 0, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP | TTS_CLOSE, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr));
    if (tooltip_ && layer == Layer::kOverOwner) {
        ::SetWindowSubclass(tooltip_.get(), &BalloonTip::KeepOutOfTopmost, 0, 0);
    }
    FitToDpi(SystemDpi());
}

LRESULT CALLBACK BalloonTip::KeepOutOfTopmost(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                              UINT_PTR id, DWORD_PTR) {
    switch (msg) {
        case WM_WINDOWPOSCHANGING: {
            // Still above its owner: an owned window always is.
            auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
            if (!(pos->flags & SWP_NOZORDER) && pos->hwndInsertAfter == HWND_TOPMOST) {
                pos->hwndInsertAfter = HWND_TOP;
            }
            break;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, &BalloonTip::KeepOutOfTopmost, id);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

void BalloonTip::FitToDpi(UINT dpi) {
    if (!tooltip_ || dpi == fontDpi_) {
        return;
    }
    UniqueHfont font = CreateFontAt(kMessageFont, dpi);
    ::SendMessageW(tooltip_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);  // the old font goes only once the tooltip has let it go
    ::SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0,
                   ::MulDiv(kMaxTipWidth, static_cast<int>(dpi), kDefaultDpi));
    fontDpi_ = dpi;
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
    FitToDpi(DpiAtPoint(screenPoint));
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

void BalloonTip::UpdateMessage(std::uint16_t id, const std::wstring& message) {
    message_ = message;
    if (!tooltip_ || id == 0 || id != shownId_) {
        return;
    }
    TTTOOLINFOW ti = ToolInfo(id);
    std::wstring text = message_.empty() ? std::wstring(L" ") : message_;
    ti.lpszText = text.data();
    ::SendMessageW(tooltip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
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
