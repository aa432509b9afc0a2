#pragma once

#include <windows.h>

#include <array>

#include "core/ui/msgbox_enhanced.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

inline constexpr wchar_t kMessageBoxClassName[] = L"QuillmereMessageBox";
inline constexpr int kMsgButtonFirstId = 100;  // MsgButton(i) has the id 100 + i

// The themed window that shows one message: its own heading strip with title and close box,
// a flat or gradient body with icon and prompt, and up to four buttons. It closes on a
// button, Escape, the close box or the time-out, and keeps the result it closed with.
//
// Everything is painted into a kept image of the whole window (heading and body), so the
// 100 ms repaint of the heading never flickers and uncovering the window needs no drawing.
class MessageBoxWindow {
  public:
    MessageBoxWindow(const MsgBoxRequest& request, MsgBoxShared& shared, const TwipsPerPixel& tpp);
    ~MessageBoxWindow();
    MessageBoxWindow(const MessageBoxWindow&) = delete;
    MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;

    // Creates the window hidden, owned by `owner` (may be null). False when it cannot.
    bool Create(HWND owner);
    // Shows and activates it.
    void Show();

    bool Closed() const { return closed_; }
    int Result() const { return result_; }
    HWND Hwnd() const { return hwnd_; }
    HWND Button(int index) const { return buttons_[index]; }
    int FocusButton() const { return focusButton_; }
    const MsgBoxPixelLayout& PixelLayout() const { return px_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool HandleButtonKey(int index, UINT msg, WPARAM wp);

    bool MakeCanvas();
    // Moved to a monitor of another scale: the same twips layout in that scale's pixels.
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnActivate();
    void Poll();
    void PaintHeading(bool active);
    void PaintBody();
    void OnPaint();
    void DrawButton(const DRAWITEMSTRUCT& item);
    void OnMouseDown(POINT pt);
    void OnMouseUp();
    void OnButtonClick(int index);
    void OnKeyUp(WPARAM key);
    bool ClickByAccessKey(wchar_t ch);
    void MoveFocus(int from, int delta);
    void DragTheForm();
    void Close(int result);
    bool ButtonShown(int index) const;
    int ButtonWithFocus() const;

    MsgBoxRequest request_;
    MsgBoxShared& shared_;
    TwipsPerPixel tpp_;
    MsgBoxPixelLayout px_;
    bool ridge_ = false;

    HWND hwnd_ = nullptr;
    std::array<HWND, kMaxMsgButtons> buttons_{};
    std::array<std::wstring, kMaxMsgButtons> captions_;
    std::wstring title_;
    std::wstring message_;
    UniqueHfont headingFont_;
    UniqueHfont bodyFont_;
    UniqueMemoryDc canvasDc_;
    UniqueHbitmap canvas_;
    HGDIOBJ canvasOld_ = nullptr;
    HICON icon_ = nullptr;  // a shared system icon: never destroyed

    int focusButton_ = 0;
    int secondsElapsed_ = 0;
    bool closed_ = false;
    int result_ = 0;
    bool closePressed_ = false;
    bool headingActive_ = false;
    bool activating_ = false;
};

}  // namespace qm::win
