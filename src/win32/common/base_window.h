#pragma once

#include <windows.h>

namespace qm::win {

// Gives a message to the object of its window (through `handle`, which may reach its private
// handler), or to the default procedure when the window has none (yet or any more) or the
// handler throws: no exception crosses back into the system.
template <typename Object, typename Handle>
LRESULT HandOn(Object* self, Handle handle, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (self) {
        try {
            return handle(*self);
        } catch (...) {
        }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// One C++ object per window: `this` is stored at WM_NCCREATE and every message goes to
// Derived::HandleMessage until WM_NCDESTROY, after which the object no longer hears of it.
// No exception ever crosses back into the system.
template <typename Derived>
class BaseWindow {
  public:
    HWND Hwnd() const { return hwnd_; }

  protected:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        Derived* self = nullptr;
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            self = static_cast<Derived*>(cs->lpCreateParams);
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        const LRESULT result = HandOn(
            self, [&](Derived& o) { return o.HandleMessage(msg, wp, lp); }, hwnd, msg, wp, lp);
        if (msg == WM_NCDESTROY && self) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(hwnd_, msg, wp, lp); }

    HWND hwnd_ = nullptr;
};

// A control placed by its class name (Dialog::AddControl, a CONTROL line of a template): the
// window makes its own object at WM_NCCREATE and deletes it after WM_NCDESTROY, so the object
// lives exactly as long as the window. Derived names its class in kClassName, has a
// constructor taking the window and a HandleMessage, and befriends ControlWindow<Derived>.
template <typename Derived>
class ControlWindow {
  public:
    HWND Hwnd() const { return hwnd_; }

    // The object of one of these windows, or null for any other window.
    static Derived* From(HWND hwnd) {
        wchar_t name[64] = {};
        if (!hwnd || !::GetClassNameW(hwnd, name, 64) || ::lstrcmpW(name, Derived::kClassName)) {
            return nullptr;
        }
        return reinterpret_cast<Derived*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }

  protected:
    explicit ControlWindow(HWND hwnd) : hwnd_(hwnd) {}

    // Registers the class once per process; true when it exists afterwards.
    static bool RegisterControlClass(UINT style = 0) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = style;
        wc.lpfnWndProc = &ControlWindow::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = Derived::kClassName;
        return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }

    HWND hwnd_;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_NCCREATE) {
            try {
                self = new Derived(hwnd);
            } catch (...) {
                return FALSE;  // the window is not made
            }
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        const LRESULT result = HandOn(
            self, [&](Derived& o) { return o.HandleMessage(msg, wp, lp); }, hwnd, msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            delete self;
        }
        return result;
    }
};

}  // namespace qm::win
