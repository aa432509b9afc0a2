#include "win32/ui/message_box_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "win32/common/dpi.h"
#include "win32/common/text.h"
#include "win32/ui/msgbox_fonts.h"
#include "win32/ui/msgdefs_paint.h"

namespace qm::win {
namespace {

constexpr UINT_PTR kTimerTimeOut = 1;  // counts the seconds of TimerSeconds
constexpr UINT_PTR kTimerPoll = 2;     // follows activation and keeps the focus on a button
constexpr UINT kTimeOutMs = 1000;
constexpr UINT kPollMs = 100;
constexpr UINT kMsgDestroySelf = WM_APP + 1;  // a modeless box that has closed

constexpr std::array<int, kIconCount> kIconIds = {32513, 32514, 32515, 32516};

bool RegisterWindowClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kMessageBoxClassName;
        return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

MessageBoxWindow::MessageBoxWindow(const MsgBoxRequest& request, MsgBoxShared& shared,
                                   const TwipsPerPixel& tpp)
    : request_(request),
      shared_(shared),
      tpp_(tpp),
      px_(ToPixelLayout(request.layout, tpp)),
      title_(Widen(request.title)),
      message_(Widen(request.message)) {
    for (int i = 0; i < kMaxMsgButtons; ++i) {
        captions_[i] = Widen(request.style.captions[i]);
    }
}

MessageBoxWindow::~MessageBoxWindow() {
    if (hwnd_) {
        ::DestroyWindow(hwnd_);
    }
    if (canvasDc_ && canvasOld_) {
        ::SelectObject(canvasDc_.get(), canvasOld_);
    }
}

bool MessageBoxWindow::Create(HWND owner) {
    if (!RegisterWindowClass(WindowProc)) {
        return false;
    }
    ridge_ = shared_.headingType == 1;
    headingFont_ = CreateMsgBoxFont(MsgBoxFont::kHeading, tpp_);
    bodyFont_ = CreateMsgBoxFont(MsgBoxFont::kBody, tpp_);
    if (request_.style.HasIcon()) {
        icon_ = ::LoadIconW(nullptr, MAKEINTRESOURCEW(kIconIds[request_.style.iconIndex]));
    }

    if (!MakeCanvas()) {
        return false;
    }

    // No system caption or frame: the heading strip and close box are the box's own.
    hwnd_ = ::CreateWindowExW(0, kMessageBoxClassName, title_.c_str(), WS_POPUP | WS_CLIPCHILDREN,
                              px_.window.left, px_.window.top, px_.window.width, px_.window.height,
                              owner, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!hwnd_) {
        return false;
    }
    for (int i = 0; i < kMaxMsgButtons; ++i) {
        // Only the buttons of the set are enabled; exactly those are shown and tab stops.
        const bool shown = i < request_.style.buttonCount;
        const PixelRect& r = px_.buttons[i];
        buttons_[i] = ::CreateWindowExW(
            0, L"BUTTON", shown ? captions_[i].c_str() : L"",
            WS_CHILD | BS_OWNERDRAW | (shown ? WS_VISIBLE | WS_TABSTOP : WS_DISABLED), r.left,
            r.top, r.width, r.height, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMsgButtonFirstId + i)),
            ::GetModuleHandleW(nullptr), nullptr);
        if (buttons_[i]) {
            ::SendMessageW(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(bodyFont_.get()), 0);
            ::SetWindowSubclass(buttons_[i], ButtonProc, static_cast<UINT_PTR>(i),
                                reinterpret_cast<DWORD_PTR>(this));
        }
    }
    // The prompt is painted with the body, but its text also lives in a hidden label so that
    // other programs (accessibility and automation tools, the end-to-end tests) can read it
    // with WM_GETTEXT as they would a system message box's.
    ::CreateWindowExW(0, L"STATIC", message_.c_str(), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, hwnd_,
                      nullptr, ::GetModuleHandleW(nullptr), nullptr);
    // Laid out for the primary monitor; a box that opens on a monitor of another scale takes
    // that scale at once.
    const UINT dpi = DpiOfWindow(hwnd_);
    if (dpi != 0 && std::lround(kTwipsPerInch / tpp_.x) != static_cast<long>(dpi)) {
        RECT at{};
        ::GetWindowRect(hwnd_, &at);
        OnDpiChanged(dpi, at);
    } else {
        PaintBody();
        PaintHeading(false);
    }
    return true;
}

bool MessageBoxWindow::MakeCanvas() {
    // The whole window in one kept image.
    if (canvasDc_ && canvasOld_) {
        ::SelectObject(canvasDc_.get(), canvasOld_);
    }
    HDC screen = ::GetDC(nullptr);
    if (!canvasDc_) {
        canvasDc_.reset(::CreateCompatibleDC(screen));
    }
    canvas_.reset(::CreateCompatibleBitmap(screen, std::max(px_.window.width, 1),
                                           std::max(px_.window.height, 1)));
    ::ReleaseDC(nullptr, screen);
    if (!canvasDc_ || !canvas_) {
        return false;
    }
    canvasOld_ = ::SelectObject(canvasDc_.get(), canvas_.get());
    return true;
}

void MessageBoxWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    // The layout is in twips: only its conversion to pixels, the fonts and the image change.
    const double perPixel = static_cast<double>(kTwipsPerInch) / (dpi ? dpi : kDefaultDpi);
    tpp_ = TwipsPerPixel{perPixel, perPixel};
    px_ = ToPixelLayout(request_.layout, tpp_);
    UniqueHfont heading = CreateMsgBoxFont(MsgBoxFont::kHeading, tpp_);
    UniqueHfont body = CreateMsgBoxFont(MsgBoxFont::kBody, tpp_);
    for (int i = 0; i < kMaxMsgButtons; ++i) {
        if (buttons_[i]) {
            const PixelRect& r = px_.buttons[i];
            ::SendMessageW(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(body.get()), FALSE);
            ::SetWindowPos(buttons_[i], nullptr, r.left, r.top, r.width, r.height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    headingFont_ = std::move(heading);  // the buttons use the new font before the old goes
    bodyFont_ = std::move(body);
    MakeCanvas();
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, px_.window.width,
                   px_.window.height, SWP_NOZORDER | SWP_NOACTIVATE);
    PaintBody();
    PaintHeading(headingActive_);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void MessageBoxWindow::Show() {
    if (!hwnd_) {
        return;
    }
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    ::UpdateWindow(hwnd_);
}

LRESULT CALLBACK MessageBoxWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    MessageBoxWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<MessageBoxWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MessageBoxWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) {
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    try {
        return self->HandleMessage(msg, wp, lp);
    } catch (...) {
        return ::DefWindowProcW(hwnd, msg, wp, lp);  // nothing crosses back into the system
    }
}

LRESULT MessageBoxWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ACTIVATE: {
            const LRESULT r = ::DefWindowProcW(hwnd_, msg, wp, lp);
            if (LOWORD(wp) != WA_INACTIVE) {
                OnActivate();
            } else if (!closed_) {
                Poll();
            }
            return r;
        }
        case WM_TIMER:
            if (wp == kTimerTimeOut) {
                ++secondsElapsed_;
                if (secondsElapsed_ >= shared_.timerSeconds) {
                    Close(kTimedOut);
                }
            } else if (wp == kTimerPoll) {
                Poll();
            }
            return 0;
        case WM_KEYUP:
            OnKeyUp(wp);
            return 0;
        case WM_CHAR:
        case WM_SYSCHAR:
            if (ClickByAccessKey(static_cast<wchar_t>(wp))) {
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            OnMouseDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case WM_LBUTTONUP:
            OnMouseUp();
            return 0;
        case WM_CAPTURECHANGED:
            if (closePressed_ && reinterpret_cast<HWND>(lp) != hwnd_) {
                closePressed_ = false;  // pressed but never released here: raised again
                PaintHeading(headingActive_);
            }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) {
                const int index = LOWORD(wp) - kMsgButtonFirstId;
                if (index >= 0 && index < kMaxMsgButtons) {
                    OnButtonClick(index);
                }
            }
            return 0;
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_CLOSE:
            // Alt+F4 and the task bar's Close: as the close box.
            OnKeyUp(VK_ESCAPE);
            return 0;
        case kMsgDestroySelf:
            ::DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            ::KillTimer(hwnd_, kTimerTimeOut);
            ::KillTimer(hwnd_, kTimerPoll);
            closed_ = true;  // destroyed from outside: as a time-out, result 0
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

void MessageBoxWindow::OnActivate() {
    if (closed_ || activating_) {
        return;
    }
    activating_ = true;
    if (shared_.keepOnTop) {
        SetTopMost(hwnd_, true);
    }
    PaintBody();
    if (request_.style.defaultButton >= 0) {
        focusButton_ = request_.style.defaultButton;
    }
    if (shared_.timerSeconds > 0) {
        secondsElapsed_ = 0;
        ::SetTimer(hwnd_, kTimerTimeOut, kTimeOutMs, nullptr);  // restarts the count
    }
    Poll();
    ::SetTimer(hwnd_, kTimerPoll, kPollMs, nullptr);
    activating_ = false;
}

void MessageBoxWindow::Poll() {
    const bool active = ::GetActiveWindow() == hwnd_;
    PaintHeading(active);
    if (active && ButtonShown(focusButton_) && ::GetFocus() != buttons_[focusButton_]) {
        ::SetFocus(buttons_[focusButton_]);
    }
}

bool MessageBoxWindow::ButtonShown(int index) const {
    return index >= 0 && index < kMaxMsgButtons && buttons_[index] &&
           index < request_.style.buttonCount;
}

int MessageBoxWindow::ButtonWithFocus() const {
    const HWND focus = ::GetFocus();
    for (int i = 0; i < kMaxMsgButtons; ++i) {
        if (focus && buttons_[i] == focus) {
            return i;
        }
    }
    return -1;
}

void MessageBoxWindow::OnMouseDown(POINT pt) {
    const RECT closeBox{px_.closeBox.left, px_.closeBox.top, px_.closeBox.left + px_.closeBox.width,
                        px_.closeBox.top + px_.closeBox.height};
    if (request_.controlBox && ::PtInRect(&closeBox, pt)) {
        closePressed_ = true;
        ::SetCapture(hwnd_);
        PaintHeading(headingActive_);
        return;
    }
    // The title, the rest of the heading strip, the body and the prompt all move the box.
    if (shared_.moveable) {
        DragTheForm();
    }
}

void MessageBoxWindow::OnMouseUp() {
    if (!closePressed_) {
        return;
    }
    closePressed_ = false;
    ::ReleaseCapture();
    OnKeyUp(VK_ESCAPE);  // the close box acts as Escape
}

void MessageBoxWindow::DragTheForm() {
    ::ReleaseCapture();
    ::SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void MessageBoxWindow::OnButtonClick(int index) {
    if (!ButtonShown(index)) {
        return;
    }
    const int code = ResultFromCaption(request_.style.captions[index]);
    Close(code != 0 ? code : result_);
}

void MessageBoxWindow::OnKeyUp(WPARAM key) {
    if (key == VK_ESCAPE) {
        Close(kResultCancel);
    }
}

bool MessageBoxWindow::ClickByAccessKey(wchar_t ch) {
    if (ch >= 0x80 || !std::iswalpha(ch)) {
        return false;
    }
    const char key = static_cast<char>(std::towlower(ch));
    for (int i = 0; i < request_.style.buttonCount; ++i) {
        if (AccessKeyOf(request_.style.captions[i]) == key) {
            OnButtonClick(i);
            return true;
        }
    }
    return false;
}

void MessageBoxWindow::MoveFocus(int from, int delta) {
    const int count = request_.style.buttonCount;
    if (count <= 0) {
        return;
    }
    const int next = ((from + delta) % count + count) % count;
    ::SetFocus(buttons_[next]);
}

void MessageBoxWindow::Close(int result) {
    if (closed_) {
        return;
    }
    closed_ = true;
    result_ = result;
    shared_.msgResult = result;
    ::KillTimer(hwnd_, kTimerTimeOut);
    ::KillTimer(hwnd_, kTimerPoll);
    if (!request_.modal) {
        // Nobody waits for a modeless box: it takes itself down once this message is done.
        ::PostMessageW(hwnd_, kMsgDestroySelf, 0, 0);
    }
}

LRESULT CALLBACK MessageBoxWindow::ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                              UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<MessageBoxWindow*>(data);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, ButtonProc, id);
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
    try {
        if (self->HandleButtonKey(static_cast<int>(id), msg, wp)) {
            return 0;
        }
    } catch (...) {
    }
    const LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS) {
        // The black frame of the default button follows the focus.
        for (HWND b : self->buttons_) {
            if (b) {
                ::InvalidateRect(b, nullptr, FALSE);
            }
        }
    }
    return r;
}

bool MessageBoxWindow::HandleButtonKey(int index, UINT msg, WPARAM wp) {
    switch (msg) {
        case WM_SETFOCUS:
            focusButton_ = index;
            return false;
        case WM_KEYUP:
            // The box sees key releases before the button does.
            if (wp == VK_ESCAPE) {
                OnKeyUp(wp);
                return true;
            }
            return false;
        case WM_KEYDOWN:
            switch (wp) {
                case VK_RETURN:
                    OnButtonClick(index);
                    return true;
                case VK_TAB:
                    MoveFocus(index, ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
                    return true;
                case VK_LEFT:
                case VK_UP:
                    MoveFocus(index, -1);
                    return true;
                case VK_RIGHT:
                case VK_DOWN:
                    MoveFocus(index, 1);
                    return true;
                case VK_ESCAPE:
                    return true;
                default:
                    return false;
            }
        case WM_CHAR:
            if (wp == L'\r' || wp == L'\t' || wp == 27) {
                return true;  // handled on the key itself; no beep
            }
            return ClickByAccessKey(static_cast<wchar_t>(wp));
        case WM_SYSCHAR:
            return ClickByAccessKey(static_cast<wchar_t>(wp));
        default:
            return false;
    }
}

}  // namespace qm::win
