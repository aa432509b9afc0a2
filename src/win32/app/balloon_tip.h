#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>

#include "win32/common/unique_handle.h"

namespace qm::win {

// A balloon tip pointing at a spot on the screen, built on the system's balloon tooltips:
// a title with an icon, a message of one or more CR LF lines, and a close button. Balloons
// stay until removed (no automatic hiding). The owner window forwards WM_NOTIFY to
// HandleNotify so that the balloon can report when it has gone.
class BalloonTip {
  public:
    // Where the balloon stands among windows: over every window (the notification area's,
    // which is itself always on top), or over its owner only, so that another program's window
    // brought to the front covers it as it covers the owner.
    enum class Layer { kTopmost, kOverOwner };

    explicit BalloonTip(HWND owner, Layer layer = Layer::kTopmost);
    ~BalloonTip();
    BalloonTip(const BalloonTip&) = delete;
    BalloonTip& operator=(const BalloonTip&) = delete;

    void SetTitle(const std::wstring& title) { title_ = title; }
    void SetMessage(const std::wstring& message) { message_ = message; }
    const std::wstring& Message() const { return message_; }

    // Shows a balloon whose stem points at `screenPoint`; returns its id, 0 on failure.
    std::uint16_t ShowAt(POINT screenPoint);
    // Shows a balloon pointing at the middle of a window's lower edge.
    std::uint16_t ShowForWindow(HWND target);
    void Remove(std::uint16_t id);
    // Replaces the message, and the text of the balloon `id` if that one is showing.
    void UpdateMessage(std::uint16_t id, const std::wstring& message);

    // Raised with the balloon's id when it has gone by other means than Remove().
    std::function<void(std::uint16_t)> onClosed;

    // For the owner's WM_NOTIFY; true when the notification was the balloon's.
    bool HandleNotify(const NMHDR* header);

    HWND TooltipWindow() const { return tooltip_.get(); }

  private:
    TTTOOLINFOW ToolInfo(std::uint16_t id) const;
    // The tooltip control puts itself on top of all windows each time it shows; an owned
    // balloon is kept out of that layer.
    static LRESULT CALLBACK KeepOutOfTopmost(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                             DWORD_PTR data);
    // Gives the tooltip its font and width for the monitor the balloon is about to show on.
    void FitToDpi(UINT dpi);

    HWND owner_;
    UniqueHwnd tooltip_;
    UniqueHfont font_;
    UINT fontDpi_ = 0;
    std::wstring title_ = L"Quillmere";
    std::wstring message_;
    std::uint16_t shownId_ = 0;
    std::uint16_t nextId_ = 0;
    bool removing_ = false;
};

}  // namespace qm::win
