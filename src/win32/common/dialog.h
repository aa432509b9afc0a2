#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/common/twips.h"
#include "win32/common/dpi.h"
#include "win32/common/unique_handle.h"
#include "win32/common/window_timer.h"

namespace qm::win {

// The base of the program's dialogs. A dialog is a real dialog window (the dialog manager
// gives it Tab, Enter, Esc and access keys), created empty; the derived class adds its
// controls in OnInit at positions given in twips, the units the forms are designed in. The base
// converts them at the DPI of the window's monitor, again whenever that changes, and owns the
// fonts and timers of the window.
//
// Closing is deferred while one of the dialog's own handlers runs: a handler that waits in a
// message box may find, when the box returns, that the dialog was closed meanwhile (IsClosing);
// it must then return at once, and the window goes after it has.
class Dialog {
  public:
    Dialog() = default;
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window, hidden, and builds it through OnInit. False when it could not be made.
    bool Create();
    // Shows the dialog and returns at once (it is created first when needed).
    void ShowModeless();
    // Shows the dialog and returns when it has closed; meanwhile the program's other windows
    // take no input and its timers keep running. False when the program was told to end while
    // the dialog was open (the dialog is then closed too).
    bool RunModal();
    // Closes the dialog: at once, or after the running handler of this dialog returns.
    void Close();
    // Brings an open dialog to the front.
    void BringToFront();

    bool IsOpen() const { return hwnd_ != nullptr && !closing_; }
    bool IsClosing() const { return closing_; }
    bool IsModal() const { return modal_; }
    HWND Hwnd() const { return hwnd_; }
    HWND Item(int id) const { return hwnd_ ? ::GetDlgItem(hwnd_, id) : nullptr; }
    UINT Dpi() const { return dpi_; }

  protected:
    // Builds the controls; the window exists but is not shown yet.
    virtual void OnInit() = 0;
    // WM_COMMAND from a control, a menu or the dialog manager (IDOK for Enter, IDCANCEL for Esc
    // and the close box). The base closes the dialog on IDCANCEL.
    virtual void OnCommand(int id, int code, HWND control);
    // WM_NOTIFY; true when handled, with the result in `result`.
    virtual bool OnNotify(const NMHDR& header, LRESULT& result);
    // Any other message; true when handled, with the result in `result`.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The controls have been placed at the current DPI (after OnInit, and after a DPI change).
    virtual void OnLayout() {}
    // The window has gone; the object may be opened again.
    virtual void OnClosed() {}

    // Adds a control; ids are the controls' dialog ids and must be unique in the dialog.
    HWND AddControl(int id, const wchar_t* className, const std::wstring& text, DWORD style,
                    TwipsBox box, DWORD exStyle = 0, const FontStyle& font = kDialogFont);
    // Moves a control to a new place of the design.
    void PlaceControl(int id, TwipsBox box);
    TwipsBox DesignBox(int id) const;
    // Removes a control made by AddControl.
    void RemoveControl(int id);
    // The outer size of the form, in twips (caption and borders included).
    void SetFormSize(int widthTwips, int heightTwips);
    // The same for a form designed on Windows XP's frame: its window is made as large as the
    // client area that frame left needs on this system's frame (DesignedClientHeight), so that
    // what sits near its bottom edge keeps its margin where frames are thicker.
    void SetDesignedFormSize(int widthTwips, int heightTwips);
    int FormWidth() const { return formWidth_; }
    int FormHeight() const { return formHeight_; }
    // Moves the form to a place on the screen, in twips.
    void SetFormPosition(int leftTwips, int topTwips);
    // The font at this window's DPI; kept until the DPI changes or the window goes.
    HFONT FontOf(const FontStyle& style);
    int Px(double twips) const { return TwipsToPixels(twips, dpi_); }

    // The default push button (Enter), with its frame.
    void SetDefaultButton(int id);
    TimerSet& Timers() { return *timers_; }

  private:
    struct Control {
        int id;
        HWND hwnd;
        TwipsBox box;
        FontStyle font;
    };
    struct Font {
        FontStyle style;
        UniqueHfont handle;
    };

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
    void LayOut();
    void SizeForm(int widthTwips, int heightTwips, bool byClient);
    void ApplyFormSize();
    void OnDpiChanged(UINT dpi, LPARAM suggested);
    void DestroyNow();
    void Destroyed();

    HWND hwnd_ = nullptr;
    UINT dpi_ = kDefaultDpi;
    bool closing_ = false;
    bool destroying_ = false;
    bool modal_ = false;
    int handlerDepth_ = 0;
    int formWidth_ = 0;
    int formHeight_ = 0;
    bool sizedByClient_ = false;  // SetDesignedFormSize
    std::vector<Control> controls_;
    std::vector<Font> fonts_;
    std::unique_ptr<TimerSet> timers_;
};

// Hands the program's open dialogs their keyboard: every message loop of the program (the main
// loop, the message box's, a modal dialog's) passes each message here first and skips it when
// this returns true.
bool TranslateDialogMessage(MSG& msg);

// How many of the program's dialogs have a window right now.
std::size_t OpenDialogCount();

}  // namespace qm::win
