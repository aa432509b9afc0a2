#include "win32/app/menu_window.h"

#include <windowsx.h>

#include "win32/res/resource.h"

namespace qm::win {

MenuWindow::MenuWindow(HINSTANCE instance) : instance_(instance) {}

MenuWindow::~MenuWindow() {
    if (hwnd_) {
        ::DestroyWindow(hwnd_);
    }
}

bool MenuWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &MenuWindow::WindowProc;
    wc.hInstance = instance_;
    wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_QUILLMERE));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    // A hidden top-level tool window, not a message-only one: those never hear the
    // TaskbarCreated broadcast that tells us to put the icon back.
    return ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, kCaption, WS_OVERLAPPED, 0, 0, 0, 0,
                             nullptr, nullptr, instance_, this) != nullptr;
}

bool MenuWindow::AddTrayIcon() {
    const int cx = ::GetSystemMetrics(SM_CXSMICON);
    const int cy = ::GetSystemMetrics(SM_CYSMICON);
    icon_.reset(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUILLMERE),
                                                IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR)));
    const bool added = tray_.Add(hwnd_, icon_.get(), L"Quillmere");
    ::ShowWindow(hwnd_, SW_HIDE);
    return added;
}

void MenuWindow::mnuExit_Click() {
    ::DestroyWindow(hwnd_);
}

void MenuWindow::Form_QueryUnload() {
    if (ending_) {
        return;
    }
    ending_ = true;
    tray_.Remove();
}

void MenuWindow::OnTrayEvent(UINT event, POINT anchor) {
    switch (event) {
        case WM_CONTEXTMENU:
            ShowTrayMenu(anchor);
            break;
        case WM_RBUTTONUP:
            // Version 4 sends WM_CONTEXTMENU after the button message; show the menu once.
            if (!tray_.UsesVersion4()) {
                POINT pt{};
                ::GetCursorPos(&pt);
                ShowTrayMenu(pt);
            }
            break;
        default:
            break;
    }
}

void MenuWindow::ShowTrayMenu(POINT at) {
    TrayMenuState state;
    // Dialogs and runs come later; until then only what works is offered.
    state.optionsEnabled = false;
    state.scheduleEnabled = false;
    state.defragEnabled = false;
    state.openEnabled = false;
    state.aboutEnabled = false;
    trayMenu_.Apply(state);
    if (const UINT cmd = trayMenu_.Track(hwnd_, at)) {
        OnCommand(cmd);
    }
}

void MenuWindow::OnCommand(UINT id) {
    switch (id) {
        case kCmdExit:
            mnuExit_Click();
            break;
        default:
            break;
    }
}

LRESULT MenuWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == TrayIcon::kCallbackMessage) {
        // Version 4: the event is in LOWORD(lParam), the anchor point in wParam. Before
        // version 4: lParam is the event and the anchor is the cursor.
        POINT anchor{GET_X_LPARAM(wp), GET_Y_LPARAM(wp)};
        UINT event = static_cast<UINT>(lp);
        if (tray_.UsesVersion4()) {
            event = LOWORD(lp);
        } else {
            ::GetCursorPos(&anchor);
        }
        OnTrayEvent(event, anchor);
        return 0;
    }
    if (taskbarCreatedMessage_ != 0 && msg == taskbarCreatedMessage_) {
        tray_.Readd();
        return 0;
    }
    switch (msg) {
        case WM_CREATE:
            taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
            return 0;
        case WM_COMMAND:
            if (HIWORD(wp) == 0 || HIWORD(wp) == 1) {
                OnCommand(LOWORD(wp));
            }
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            Form_QueryUnload();
            ::PostQuitMessage(0);
            return 0;
        default:
            return Default(msg, wp, lp);
    }
}

}  // namespace qm::win
