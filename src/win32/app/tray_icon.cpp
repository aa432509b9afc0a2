#include "win32/app/tray_icon.h"

#include "win32/common/test_hooks.h"
#include "win32/common/text.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

namespace qm::win {

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner_;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    const size_t n = std::min(tip_.size(), std::min(kMaxTipChars, std::size(data.szTip) - 1));
    std::wmemcpy(data.szTip, tip_.c_str(), n);
    data.szTip[n] = L'\0';
    return data;
}

bool TrayIcon::Add(HWND owner, HICON icon, const std::wstring& tip) {
    owner_ = owner;
    icon_ = icon;
    tip_ = tip;
    if (tip_.empty() && owner) {
        wchar_t caption[128] = {};
        ::GetWindowTextW(owner, caption, static_cast<int>(std::size(caption)));
        tip_ = caption;
    }
    wanted_ = true;
    return AddNow();
}

bool TrayIcon::AddNow() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    shown_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (shown_) {
        data.uVersion = NOTIFYICON_VERSION_4;
        version4_ = ::Shell_NotifyIconW(NIM_SETVERSION, &data) != FALSE;
    }
    return shown_;
}

bool TrayIcon::Remove() {
    wanted_ = false;
    // An add that timed out may have reached the shell after all: delete whenever an icon
    // was ever asked for, not only when the shell said it took it.
    if (!owner_) {
        return false;
    }
    NOTIFYICONDATAW data = Data(0);
    shown_ = false;
    owner_ = nullptr;  // once is enough
    return ::Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

bool TrayIcon::Readd() {
    if (!wanted_) {
        return false;
    }
    // After an Explorer restart the old icon is gone already; a failing delete is expected.
    NOTIFYICONDATAW data = Data(0);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    return AddNow();
}

bool TrayIcon::SetIcon(HICON icon) {
    icon_ = icon;
    if (!shown_) {
        return false;
    }
    NOTIFYICONDATAW data = Data(NIF_ICON);
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool TrayIcon::SetTip(const std::wstring& tip) {
    tip_ = tip;
    if (!shown_) {
        return false;
    }
    NOTIFYICONDATAW data = Data(NIF_TIP | NIF_SHOWTIP);
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool TrayIcon::ShowWarning(const std::wstring& title, const std::wstring& text) {
    if (!shown_) {
        return false;
    }
    NOTIFYICONDATAW data = Data(NIF_INFO);
    data.dwInfoFlags = NIIF_WARNING;
    wcsncpy_s(data.szInfoTitle, title.c_str(), _TRUNCATE);
    wcsncpy_s(data.szInfo, text.c_str(), _TRUNCATE);
    RecordTestHookLine("notices.txt", Narrow(text));
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace qm::win
