#include "win32/common/dialog.h"

#include <algorithm>

#include "win32/ui/modal_scope.h"

namespace qm::win {
namespace {

// No WS_CLIPCHILDREN: a group box paints only its frame and caption, so the dialog's own
// background must show through it; clipped, a frame's inside stays unpainted.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The dialogs that have a window, in the order they were opened.
std::vector<HWND>& OpenDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

// An empty dialog template: no controls, no menu, the default class, no title. The program's
// dialogs add their controls themselves, in twips.
struct EmptyTemplate {
    DLGTEMPLATE header;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

}  // namespace

Dialog::~Dialog() {
    closing_ = true;
    DestroyNow();
}

void Dialog::DestroyNow() {
    // Destroying sends the window messages of its own (hiding it first); their handlers must
    // not start the destruction again.
    if (hwnd_ && !destroying_) {
        destroying_ = true;
        ::DestroyWindow(hwnd_);
    }
}

bool Dialog::Create() {
    if (hwnd_) {
        return true;
    }
    closing_ = false;
    alignas(4) EmptyTemplate tmpl{};
    tmpl.header.style = kDialogStyle;
    tmpl.header.dwExtendedStyle = kDialogExStyle;
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &tmpl.header, nullptr,
                                        &Dialog::DialogProc,
                                        reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::ShowModeless() {
    if (!hwnd_ && !Create()) {
        return;
    }
    ::ShowWindow(hwnd_, SW_SHOW);
    BringToFront();
}

bool Dialog::RunModal() {
    if (!hwnd_ && !Create()) {
        return true;
    }
    modal_ = true;
    bool ended = false;
    {
        ThreadWindowsDisabled others(hwnd_);
        ::ShowWindow(hwnd_, SW_SHOW);
        BringToFront();
        ended = !RunNestedLoop([this] { return hwnd_ == nullptr; });
    }
    modal_ = false;
    if (ended) {
        Close();
    }
    return !ended;
}

void Dialog::Close() {
    if (!hwnd_) {
        return;
    }
    closing_ = true;
    if (handlerDepth_ == 0) {
        DestroyNow();
    }
}

void Dialog::BringToFront() {
    if (!hwnd_) {
        return;
    }
    if (::IsIconic(hwnd_)) {
        ::ShowWindow(hwnd_, SW_RESTORE);
    }
    ::SetForegroundWindow(hwnd_);
    ::BringWindowToTop(hwnd_);
}

void Dialog::OnCommand(int id, int, HWND) {
    if (id == IDCANCEL) {
        Close();
    }
}

bool Dialog::OnNotify(const NMHDR&, LRESULT&) {
    return false;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

HWND Dialog::AddControl(int id, const wchar_t* className, const std::wstring& text, DWORD style,
                        TwipsBox box, DWORD exStyle, const FontStyle& font) {
    const PixelBox px = ToPixels(box, dpi_);
    HWND control = ::CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, px.left,
                                     px.top, px.width, px.height, hwnd_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    if (!control) {
        return nullptr;
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(font)), FALSE);
    controls_.push_back(Control{id, control, box, font});
    return control;
}

void Dialog::PlaceControl(int id, TwipsBox box) {
    for (Control& c : controls_) {
        if (c.id == id) {
            c.box = box;
            const PixelBox px = ToPixels(box, dpi_);
            ::SetWindowPos(c.hwnd, nullptr, px.left, px.top, px.width, px.height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
    }
}

TwipsBox Dialog::DesignBox(int id) const {
    for (const Control& c : controls_) {
        if (c.id == id) {
            return c.box;
        }
    }
    return {};
}

void Dialog::RemoveControl(int id) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [id](const Control& c) { return c.id == id; });
    if (it != controls_.end()) {
        ::DestroyWindow(it->hwnd);
        controls_.erase(it);
    }
}

void Dialog::SetFormSize(int widthTwips, int heightTwips) {
    SizeForm(widthTwips, heightTwips, false);
}

void Dialog::SetDesignedFormSize(int widthTwips, int heightTwips) {
    SizeForm(widthTwips, heightTwips, true);
}

void Dialog::SizeForm(int widthTwips, int heightTwips, bool byClient) {
    formWidth_ = widthTwips;
    formHeight_ = heightTwips;
    sizedByClient_ = byClient;
    ApplyFormSize();
}

void Dialog::ApplyFormSize() {
    if (!hwnd_ || formWidth_ <= 0 || formHeight_ <= 0) {
        return;
    }
    SIZE size{Px(formWidth_), Px(formHeight_)};
    if (sizedByClient_) {
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
        size = WindowSizeForDesign(formWidth_, formHeight_, dpi_, FrameAt(style, exStyle, dpi_));
    }
    ::SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::SetFormPosition(int leftTwips, int topTwips) {
    if (hwnd_) {
        ::SetWindowPos(hwnd_, nullptr, Px(leftTwips), Px(topTwips), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HFONT Dialog::FontOf(const FontStyle& style) {
    for (const Font& f : fonts_) {
        if (f.style == style) {
            return f.handle.get();
        }
    }
    fonts_.push_back(Font{style, CreateFontAt(style, dpi_)});
    return fonts_.back().handle.get();
}

void Dialog::SetDefaultButton(int id) {
    if (hwnd_) {
        ::SendMessageW(hwnd_, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    }
}

void Dialog::LayOut() {
    for (const Control& c : controls_) {
        const PixelBox px = ToPixels(c.box, dpi_);
        ::SetWindowPos(c.hwnd, nullptr, px.left, px.top, px.width, px.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    OnLayout();
}

void Dialog::OnDpiChanged(UINT dpi, LPARAM suggested) {
    dpi_ = dpi;
    // The controls take their fonts at the new size before the old fonts are deleted.
    std::vector<Font> old = std::move(fonts_);
    fonts_.clear();
    for (const Control& c : controls_) {
        ::SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(c.font)), FALSE);
    }
    old.clear();
    ApplySuggestedRect(hwnd_, suggested);
    ApplyFormSize();
    LayOut();
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Dialog::Destroyed() {
    auto& open = OpenDialogs();
    open.erase(std::remove(open.begin(), open.end(), hwnd_), open.end());
    timers_.reset();
    controls_.clear();
    fonts_.clear();
    hwnd_ = nullptr;
    handlerDepth_ = 0;
    destroying_ = false;
    if (modal_) {
        // Closed by a sent message, which GetMessage handles without returning: the modal
        // loop needs a posted one to see that its dialog has gone.
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    OnClosed();
}

INT_PTR Dialog::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return TRUE;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (lp && OnNotify(*reinterpret_cast<const NMHDR*>(lp), result)) {
                ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        case WM_TIMER:
            if (timers_ && timers_->Dispatch(wp)) {
                return TRUE;
            }
            break;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), lp);
            return TRUE;
        default:
            break;
    }
    LRESULT result = 0;
    if (OnMessage(msg, wp, lp, result)) {
        // Messages whose answer is the dialog procedure's own return value.
        switch (msg) {
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORSCROLLBAR:
            case WM_QUERYDRAGICON:
            case WM_INITDIALOG:
                return static_cast<INT_PTR>(result);
            default:
                ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
                return TRUE;
        }
    }
    return FALSE;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
        TakeOverDialogDpiScaling(hwnd);
        self->dpi_ = DpiOfWindow(hwnd);
        self->timers_ = std::make_unique<TimerSet>(hwnd);
        OpenDialogs().push_back(hwnd);
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    ++self->handlerDepth_;
    try {
        if (msg == WM_INITDIALOG) {
            self->OnInit();
            self->ApplyFormSize();
            self->LayOut();
            result = TRUE;
        } else {
            result = self->Handle(msg, wp, lp);
        }
    } catch (...) {
        // Nothing crosses back into the system; the failed step is skipped.
    }
    --self->handlerDepth_;
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->Destroyed();
        return result;
    }
    // A close asked for while a handler of this dialog ran happens now that the outermost one
    // has returned.
    if (self->closing_ && self->handlerDepth_ == 0) {
        self->DestroyNow();
    }
    return result;
}

bool TranslateDialogMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) {
        return false;
    }
    for (HWND dialog : OpenDialogs()) {
        if ((msg.hwnd == dialog || ::IsChild(dialog, msg.hwnd)) &&
            ::IsDialogMessageW(dialog, &msg)) {
            return true;
        }
    }
    return false;
}

std::size_t OpenDialogCount() {
    return OpenDialogs().size();
}

}  // namespace qm::win
