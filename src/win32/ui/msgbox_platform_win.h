#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "core/ui/msgbox_enhanced.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

class MessageBoxWindow;

// The message box's view of Windows: the active window, the screen, text sizes in the box's
// fonts, and the window that shows a message, modally or not.
//
// A message asked for while another box is open is never lost: the new box opens on top of
// the first (which it disables, as any modal box disables the program's other windows) and
// the nested call returns the new box's answer; the first box then carries on and its own
// call returns its own answer. Waiting for the first box to close instead would deadlock a
// modal call made from inside the first box's message loop.
class Win32MsgBoxPlatform final : public MsgBoxPlatform {
  public:
    Win32MsgBoxPlatform();
    ~Win32MsgBoxPlatform() override;

    std::optional<MsgBoxOwner> ActiveOwner() override;
    double ScreenWidthTwips() override;
    double ScreenHeightTwips() override;
    double IconWidthTwips() override;
    double IconHeightTwips() override;
    TextExtent MeasureText(std::string_view text, MsgBoxFont font) override;
    std::optional<int> Show(const MsgBoxRequest& request, MsgBoxShared& shared) override;

    const TwipsPerPixel& Scale() const { return tpp_; }

  private:
    TwipsPerPixel tpp_;
    HWND owner_ = nullptr;  // the active window found for the message being prepared
    UniqueHfont headingFont_;
    UniqueHfont bodyFont_;
    std::vector<std::unique_ptr<MessageBoxWindow>> modeless_;
};

// The screen's twips-per-pixel factors (15 at 96 dots per inch).
TwipsPerPixel ScreenTwipsPerPixel();

}  // namespace qm::win
