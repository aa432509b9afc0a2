#pragma once

#include <windows.h>

#include <string>

namespace qm::win {

// The program's one icon in the notification area. It is added by Add(), removed by Remove()
// or the destructor, and put back by Readd() when Explorer restarts (TaskbarCreated): "wants
// to be shown" is kept apart from "is shown".
class TrayIcon {
  public:
    static constexpr UINT kIconId = 1;
    // The icon's events arrive at the owner window as this message; the owner is hidden, so
    // no real mouse move can be mistaken for one.
    static constexpr UINT kCallbackMessage = WM_MOUSEMOVE;
    static constexpr size_t kMaxTipChars = 63;  // the shell keeps 64 units with the NUL

    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon for `owner`; an empty tip falls back to the owner's caption.
    bool Add(HWND owner, HICON icon, const std::wstring& tip);
    bool Remove();
    bool Readd();
    bool SetTip(const std::wstring& tip);
    // A new picture, e.g. at the size for a new display scale.
    bool SetIcon(HICON icon);
    // A warning notification from the icon: a balloon, or a toast on Windows 10 and 11. A
    // click on it comes back as NIN_BALLOONUSERCLICK.
    bool ShowWarning(const std::wstring& title, const std::wstring& text);

    bool WantsShown() const { return wanted_; }
    bool IsShown() const { return shown_; }
    // True when the shell took NOTIFYICON_VERSION_4: events come as LOWORD(lParam), and a
    // right-click arrives as WM_CONTEXTMENU as well as the button messages.
    bool UsesVersion4() const { return version4_; }
    HWND Owner() const { return owner_; }

  private:
    NOTIFYICONDATAW Data(UINT flags) const;
    bool AddNow();

    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring tip_;
    bool wanted_ = false;
    bool shown_ = false;
    bool version4_ = false;
};

}  // namespace qm::win
