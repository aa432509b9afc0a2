#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/ui/headings_layout.h"
#include "win32/common/base_window.h"

namespace qm::win {

// The painted heading bar: a raised box with a centred caption, drawn at the window's DPI.
// A registered window class, so a dialog places it like any control (AddControl with
// kClassName, or CONTROL in a template); the window owns its object, which From() finds. The
// caption is the window text (at first the text it is created with, the control's name), the
// font the one WM_SETFONT gives it (the host's font). Button text on button face by default.
class Headings final : public ControlWindow<Headings> {
  public:
    static constexpr const wchar_t* kClassName = L"QuillmereHeadings";
    static bool Register() { return RegisterControlClass(CS_HREDRAW | CS_VREDRAW); }

    // Colours: 0x00BBGGRR, or 0x80000000 | n for system colour n.
    std::uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::uint32_t colour);
    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t colour);
    std::wstring Caption() const;
    void SetCaption(const std::wstring& caption);
    HFONT Font() const { return font_; }
    void SetFont(HFONT font);
    // The window handle as decimal text ("1234").
    std::wstring HwndText() const;
    // The host's background changed (the strip at the right and bottom, the box's outline).
    void SetAmbientBackColor(std::uint32_t colour);
    // Repaints at once.
    void Refresh();

    // Every mouse move over the bar: the key state (MK_...) and the point in client pixels.
    std::function<void(WPARAM keys, POINT at)> onMouseMove;
    // A property was set.
    std::function<void()> onPropertyChanged;

  private:
    friend class ControlWindow<Headings>;
    explicit Headings(HWND hwnd) : ControlWindow(hwnd) {}
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Changed();
    void Paint(HDC dc, SIZE pixels);

    std::uint32_t foreColor_ = kButtonTextColour;
    std::uint32_t backColor_ = kButtonFaceColour;
    std::uint32_t ambientBackColor_ = kButtonFaceColour;
    HFONT font_ = nullptr;
};

}  // namespace qm::win
