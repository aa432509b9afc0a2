#include "win32/ui/number_box_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "core/common/twips.h"
#include "win32/common/clipboard.h"
#include "win32/common/dpi.h"
#include "win32/common/text.h"
#include "win32/ui/msgdefs_paint.h"

namespace qm::win {

namespace {

constexpr int kEditId = 1;
constexpr int kUpDownId = 2;

int ShiftState() {
    return (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int ButtonState(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
           ((keys & MK_MBUTTON) ? 4 : 0);
}

POINT PointOf(LPARAM lp) {
    return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

std::wstring TextOfWindow(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

LRESULT CALLBACK NumberBoxControl::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                            DWORD_PTR self) {
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &NumberBoxControl::EditProc, kEditId);
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
    return reinterpret_cast<NumberBoxControl*>(self)->HandleEdit(msg, wp, lp);
}

LRESULT CALLBACK NumberBoxControl::UpDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                              DWORD_PTR self) {
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &NumberBoxControl::UpDownProc, kUpDownId);
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
    return reinterpret_cast<NumberBoxControl*>(self)->HandleUpDown(msg, wp, lp);
}

void NumberBoxControl::OnCreate() {
    // The box itself is never a tab stop: its edit is, when the box was asked to be one.
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, style & ~WS_TABSTOP);
    ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                        ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    edit_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | (style & WS_TABSTOP), 0, 0,
                              0, 0, hwnd_, reinterpret_cast<HMENU>(kEditId), instance, nullptr);
    upDown_ = ::CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD, 0, 0, 0, 0, hwnd_,
                                reinterpret_cast<HMENU>(kUpDownId), instance, nullptr);
    ::SetWindowSubclass(edit_, &NumberBoxControl::EditProc, kEditId,
                        reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowSubclass(upDown_, &NumberBoxControl::UpDownProc, kUpDownId,
                        reinterpret_cast<DWORD_PTR>(this));
    timers_ = std::make_unique<TimerSet>(hwnd_);
    repeat_ = &timers_->Create();
    repeat_->SetHandler([this] {
        repeat_->SetInterval(kRepeatIntervalMs);
        Step(repeatUp_);
    });
    model_.onChange = [this] { Notify(kNbnChange); };
    Show();
}

void NumberBoxControl::LayOut() {
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    const UINT dpi = DpiOfWindow(hwnd_);
    const int minHeight = TwipsToPixels(kMinHeightTwips, dpi);
    if (rc.bottom < minHeight) {
        // The WM_SIZE of the taller box lays it out.
        ::SetWindowPos(hwnd_, nullptr, 0, 0, rc.right, minHeight,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    const bool upDown = model_.UpDownFunction();
    const int upDownWidth =
        upDown ? std::min<int>(TwipsToPixels(kUpDownWidthTwips, dpi), rc.right) : 0;
    ::MoveWindow(edit_, 0, 0, rc.right - upDownWidth, rc.bottom, TRUE);
    ::MoveWindow(upDown_, rc.right - upDownWidth, 0, upDownWidth, rc.bottom, TRUE);
    ::ShowWindow(upDown_, upDown ? SW_SHOWNA : SW_HIDE);
    ::EnableWindow(upDown_, upDown && ::IsWindowEnabled(hwnd_));
    AlignText();
}

void NumberBoxControl::Show() {
    const std::wstring text = Widen(model_.Text());
    if (TextOfWindow(edit_) != text) {
        showing_ = true;
        ::SetWindowTextW(edit_, text.c_str());
        showing_ = false;
    }
    AlignText();
}

void NumberBoxControl::AlignText() {
    // A single-line edit cannot change its alignment once made: the number is pushed to the
    // right with the left margin instead.
    ::SendMessageW(edit_, EM_SETMARGINS, EC_USEFONTINFO, 0);
    if (model_.GotFocus()) {
        return;
    }
    const std::wstring text = TextOfWindow(edit_);
    SIZE size{};
    if (HDC dc = ::GetDC(edit_)) {
        {
            ScopedSelectObject font(
                dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(edit_, WM_GETFONT, 0, 0)));
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        }
        ::ReleaseDC(edit_, dc);
    }
    RECT rc{};
    ::GetClientRect(edit_, &rc);
    const DWORD margins = static_cast<DWORD>(::SendMessageW(edit_, EM_GETMARGINS, 0, 0));
    // One pixel more for the caret's column.
    const int left = std::max<int>(LOWORD(margins), rc.right - size.cx - HIWORD(margins) - 1);
    ::SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(left, 0));
    ::InvalidateRect(edit_, nullptr, TRUE);
}

void NumberBoxControl::FocusGained() {
    model_.FocusGained();
    Show();
    ::SendMessageW(edit_, EM_SETSEL, 0, -1);
    if (model_.Locked()) {
        ::HideCaret(edit_);
    }
}

void NumberBoxControl::Step(bool up) {
    const bool moved = up ? model_.StepUp() : model_.StepDown();
    Show();
    if (!moved) {
        repeat_->SetEnabled(false);
    }
}

void NumberBoxControl::StartRepeat(bool up, POINT at) {
    mouseHeld_ = true;
    repeatUp_ = up;
    repeat_->SetInterval(kRepeatDelayMs);
    Step(up);
    repeat_->SetEnabled(true);
    Notify(kNbnMouseDown, 0, 1, at);
}

void NumberBoxControl::StopRepeat() {
    if (repeat_) {
        repeat_->SetEnabled(false);
    }
    mouseHeld_ = false;
}

void NumberBoxControl::CopyText() {
    SetClipboardText(hwnd_, TextOfWindow(edit_));
}

void NumberBoxControl::Paste() {
    if (const auto text = ClipboardText(hwnd_)) {
        model_.Paste(Narrow(*text));
        Show();
        ::SendMessageW(edit_, EM_SETSEL, 0, -1);
    }
}

bool NumberBoxControl::Notify(UINT code, int keyCode, int button, POINT point) {
    NumberBoxEvent event{};
    event.header.hwndFrom = hwnd_;
    event.header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(hwnd_));
    event.header.code = code;
    event.keyCode = keyCode;
    event.shift = ShiftState();
    event.button = button;
    event.point = point;
    ::SendMessageW(::GetParent(hwnd_), WM_NOTIFY, event.header.idFrom,
                   reinterpret_cast<LPARAM>(&event));
    return code != kNbnKeyPress || event.keyCode != 0;
}

LRESULT NumberBoxControl::OnCtlColor(HDC dc, UINT msg, WPARAM wp, LPARAM lp) {
    if (!backBrush_) {
        return ::DefWindowProcW(hwnd_, msg, wp, lp);
    }
    ::SetTextColor(dc, OleColorToColorRef(foreColor_, ::GetSysColor(COLOR_WINDOWTEXT)));
    ::SetBkColor(dc, OleColorToColorRef(backColor_, ::GetSysColor(COLOR_WINDOW)));
    return reinterpret_cast<LRESULT>(backBrush_.get());
}

LRESULT NumberBoxControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_SIZE:
            LayOut();
            return 0;
        case WM_SETFOCUS:
            ::SetFocus(edit_);
            return 0;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wp);
            ::SendMessageW(edit_, WM_SETFONT, wp, lp);
            AlignText();
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_ENABLE:
            model_.SetEnabled(wp != FALSE);
            ::EnableWindow(edit_, wp != FALSE);
            ::EnableWindow(upDown_, wp != FALSE && model_.UpDownFunction());
            StopRepeat();
            return 0;
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lp) == edit_ && HIWORD(wp) == EN_CHANGE && !showing_) {
                model_.TextChanged(Narrow(TextOfWindow(edit_)));
            }
            return 0;
        case WM_TIMER:
            if (timers_) {
                timers_->Dispatch(wp);
            }
            return 0;
        case WM_CTLCOLOREDIT:
            return OnCtlColor(reinterpret_cast<HDC>(wp), msg, wp, lp);
        case WM_DESTROY:
            StopRepeat();
            repeat_ = nullptr;
            timers_.reset();
            return 0;
        default:
            return ::DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

LRESULT NumberBoxControl::HandleEdit(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETFOCUS: {
            const LRESULT result = ::DefSubclassProc(edit_, msg, wp, lp);
            FocusGained();
            return result;
        }
        case WM_KILLFOCUS: {
            const LRESULT result = ::DefSubclassProc(edit_, msg, wp, lp);
            StopRepeat();
            model_.FocusLost();
            Show();
            return result;
        }
        case WM_CHAR: {
            DWORD start = 0;
            DWORD end = 0;
            ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                           reinterpret_cast<LPARAM>(&end));
            const bool whole =
                start == 0 && end == static_cast<DWORD>(::GetWindowTextLengthW(edit_));
            switch (model_.KeyPress(static_cast<char32_t>(wp), whole, start == 0)) {
                case KeyVerdict::kBeep:
                    ::MessageBeep(MB_OK);
                    return 0;
                case KeyVerdict::kSwallow:
                    return 0;
                case KeyVerdict::kAccept:
                    break;
            }
            if (!Notify(kNbnKeyPress, static_cast<int>(wp))) {
                return 0;
            }
            break;
        }
        case WM_KEYDOWN:
            if (!mouseHeld_) {
                Notify(kNbnKeyDown, static_cast<int>(wp));
            }
            if ((wp == VK_UP || wp == VK_DOWN) && model_.UpDownFunction()) {
                Step(wp == VK_UP);
                return 0;
            }
            if (wp == VK_DELETE && model_.Locked()) {
                return 0;
            }
            break;
        case WM_KEYUP:
            if (ShiftState() == 2) {
                if (wp == 'C') {
                    CopyText();
                } else if (wp == 'V') {
                    Paste();
                } else if (wp == 'X') {
                    CopyText();
                    model_.Cut();
                    Show();
                }
            }
            Notify(kNbnKeyUp, static_cast<int>(wp));
            break;
        case WM_PASTE:
            Paste();
            return 0;
        case WM_CUT:
            CopyText();
            model_.Cut();
            Show();
            return 0;
        case WM_CLEAR:
            if (model_.Locked()) {
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            Notify(kNbnMouseMove, 0, ButtonState(wp), PointOf(lp));
            break;
        case WM_LBUTTONUP: {
            const LRESULT result = ::DefSubclassProc(edit_, msg, wp, lp);
            Notify(kNbnClick, 0, 1, PointOf(lp));
            return result;
        }
        case WM_LBUTTONDBLCLK:
            Notify(kNbnDblClick, 0, 1, PointOf(lp));
            break;
        default:
            break;
    }
    return ::DefSubclassProc(edit_, msg, wp, lp);
}

LRESULT NumberBoxControl::HandleUpDown(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            // The buttons draw themselves pressed; the steps and their repeat are the box's own.
            const LRESULT result = ::DefSubclassProc(upDown_, msg, wp, lp);
            if (::IsWindowEnabled(hwnd_) && model_.UpDownFunction()) {
                RECT rc{};
                ::GetClientRect(upDown_, &rc);
                StartRepeat(GET_Y_LPARAM(lp) < rc.bottom / 2, PointOf(lp));
            }
            return result;
        }
        case WM_LBUTTONUP: {
            // Read first: releasing the mouse below ends the hold through WM_CAPTURECHANGED.
            const bool wasHeld = mouseHeld_;
            const LRESULT result = ::DefSubclassProc(upDown_, msg, wp, lp);
            StopRepeat();
            if (wasHeld) {
                Notify(kNbnMouseUp, 0, 1, PointOf(lp));
                Notify(kNbnClick);
            }
            return result;
        }
        case WM_CAPTURECHANGED:
            // A message box or another window took the mouse: no button is held any more.
            StopRepeat();
            break;
        case WM_MOUSEMOVE:
            Notify(kNbnMouseMove, 0, ButtonState(wp), PointOf(lp));
            break;
        default:
            break;
    }
    return ::DefSubclassProc(upDown_, msg, wp, lp);
}

void NumberBoxControl::SetValue(double value) {
    model_.SetValue(value);
    Show();
}

void NumberBoxControl::SetMaxValue(double value) {
    model_.SetMaxValue(value);
    Show();
}

void NumberBoxControl::SetMinValue(double value) {
    model_.SetMinValue(value);
    Show();
}

void NumberBoxControl::SetUseMaxMinValues(bool value) {
    model_.SetUseMaxMinValues(value);
    Show();
}

void NumberBoxControl::SetFormat(std::string_view format) {
    model_.SetFormat(format);
    model_.SetValue(model_.Value());
    Show();
}

void NumberBoxControl::SetPositiveOnly(bool value) {
    model_.SetPositiveOnly(value);
    Show();
}

void NumberBoxControl::SetLocked(bool value) {
    model_.SetLocked(value);
    if (model_.GotFocus()) {
        value ? ::HideCaret(edit_) : ::ShowCaret(edit_);
    }
}

void NumberBoxControl::SetUpDownFunction(bool value) {
    model_.SetUpDownFunction(value);
    LayOut();
}

void NumberBoxControl::SetBackColor(OleColor color) {
    backColor_ = color;
    backBrush_.reset(::CreateSolidBrush(OleColorToColorRef(color, ::GetSysColor(COLOR_WINDOW))));
    ::InvalidateRect(edit_, nullptr, TRUE);
}

void NumberBoxControl::SetForeColor(OleColor color) {
    foreColor_ = color;
    if (!backBrush_) {
        SetBackColor(backColor_);
    }
    ::InvalidateRect(edit_, nullptr, TRUE);
}

void NumberBoxControl::SetTabStop(bool value) {
    const LONG_PTR style = ::GetWindowLongPtrW(edit_, GWL_STYLE);
    ::SetWindowLongPtrW(edit_, GWL_STYLE, value ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}

void NumberBoxControl::Refresh() {
    if (model_.Enabled()) {
        ::InvalidateRect(edit_, nullptr, TRUE);
    }
}

void NumberBoxControl::Highlight() {
    if (model_.Enabled()) {
        FocusGained();
    }
}

}  // namespace qm::win
