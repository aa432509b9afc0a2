#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ui/msgbox_layout.h"
#include "core/ui/msgbox_settings.h"
#include "core/ui/msgbox_style.h"

namespace qm {

enum class MsgBoxFont {
    kHeading,  // the title: bold 8.25-point sans serif
    kBody,     // the prompt: the window's regular font
};

// The window that was active when a message was asked for.
struct MsgBoxOwner {
    TwipsRect rect;  // already in twips
    std::string caption;
};

// Everything the box window needs to show one message, filled in whole by Prepare.
struct MsgBoxRequest {
    std::string title;
    std::string message;
    MsgBoxStyle style;
    MsgBoxLayout layout;
    MsgBoxAlignment alignment{};
    OleColor foreColorHeading{};
    OleColor foreColorBody{};
    OleColor backColorButtons{};
    bool controlBox{};
    bool soundBeep{};
    bool modal{};
};

// What the message box needs from the system: the active window, the screen, text sizes, and
// a window that shows a request.
class MsgBoxPlatform {
  public:
    virtual ~MsgBoxPlatform() = default;

    virtual std::optional<MsgBoxOwner> ActiveOwner() = 0;
    virtual double ScreenWidthTwips() = 0;
    virtual double ScreenHeightTwips() = 0;
    // The system icon size, in twips (rounded to whole twips by the caller).
    virtual double IconWidthTwips() = 0;
    virtual double IconHeightTwips() = 0;
    // The size a self-sizing label takes for `text` (lines broken only at line breaks).
    virtual TextExtent MeasureText(std::string_view text, MsgBoxFont font) = 0;
    // Creates the window, plays the default sound when asked, and shows the box. Modal: waits
    // and returns the window's result. Modeless: returns 0 at once. Nothing when the window
    // could not be created (then nothing is shown or heard).
    virtual std::optional<int> Show(const MsgBoxRequest& request, MsgBoxShared& shared) = 0;
};

// The program's themed message box: appearance properties and MsgBox. The settings marked
// shared live in `shared`, common to every instance.
class MsgBoxEnhanced {
  public:
    MsgBoxEnhanced(MsgBoxPlatform& platform, MsgBoxShared& shared);

    // Shows `message` and returns the result code of the button that closed the box (0 on
    // time-out, when the window could not be shown, or when shown without waiting).
    int MsgBox(std::string_view message, std::int16_t buttons = 0, std::string_view title = {});

    // The request MsgBox would show, without showing it; also applies the fallback of
    // StartUpPosition 1 when there is no owner.
    MsgBoxRequest Prepare(std::string_view message, std::int16_t buttons, std::string_view title);

    OleColor BackColorBody() const { return shared_.backColorBody; }
    void SetBackColorBody(OleColor v) {
        shared_.backColorBody = v == kNoColor ? kSysButtonFace : v;
    }
    OleColor BackColorButtons() const { return backColorButtons_; }
    void SetBackColorButtons(OleColor v) { backColorButtons_ = v == kNoColor ? kSysButtonFace : v; }
    OleColor BackColorHeading() const { return shared_.backColorHeading; }
    void SetBackColorHeading(OleColor v) {
        shared_.backColorHeading = v == kNoColor ? kSysActiveCaption : v;
    }
    OleColor ForeColorBody() const { return foreColorBody_; }
    void SetForeColorBody(OleColor v) { foreColorBody_ = v == kNoColor ? kSysButtonText : v; }
    OleColor ForeColorHeading() const { return foreColorHeading_; }
    void SetForeColorHeading(OleColor v) {
        foreColorHeading_ = v == kNoColor ? kSysHighlightText : v;
    }
    bool GradientPaint() const { return shared_.gradientPaint; }
    void SetGradientPaint(bool v) { shared_.gradientPaint = v; }
    int GradientDirection() const { return shared_.gradientDirection; }
    void SetGradientDirection(int v);
    int HeadingType() const { return shared_.headingType; }
    void SetHeadingType(int v) { shared_.headingType = v == 1 ? 1 : 0; }
    bool SolidColorHeading() const { return shared_.solidColorHeading; }
    void SetSolidColorHeading(bool v) { shared_.solidColorHeading = v; }
    int TextAlignment() const { return textAlignment_; }
    void SetTextAlignment(int v) { textAlignment_ = (v == 1 || v == 2) ? v : 0; }
    bool Moveable() const { return shared_.moveable; }
    void SetMoveable(bool v) { shared_.moveable = v; }
    bool KeepOnTop() const { return shared_.keepOnTop; }
    void SetKeepOnTop(bool v) { shared_.keepOnTop = v; }
    bool Modal() const { return shared_.modal; }
    void SetModal(bool v) { shared_.modal = v; }
    int TimerSeconds() const { return shared_.timerSeconds; }
    void SetTimerSeconds(int v) { shared_.timerSeconds = std::max(v, 0); }
    bool SoundBeep() const { return soundBeep_; }
    void SetSoundBeep(bool v) { soundBeep_ = v; }
    bool ControlBox() const { return controlBox_; }
    void SetControlBox(bool v) { controlBox_ = v; }
    int StartUpPosition() const { return startUpPosition_; }
    void SetStartUpPosition(int v) { startUpPosition_ = (v == 0 || v == 1) ? v : 2; }
    std::int32_t Top() const { return top_; }
    void SetTop(std::int32_t v) { top_ = std::max(v, 0); }
    std::int32_t Left() const { return left_; }
    void SetLeft(std::int32_t v) { left_ = std::max(v, 0); }
    const std::string& DefaultTitle() const { return defaultTitle_; }
    void SetDefaultTitle(std::string v) { defaultTitle_ = std::move(v); }

    double IconWidth() const { return iconWidth_; }
    double IconHeight() const { return iconHeight_; }

  private:
    MsgBoxPlatform& platform_;
    MsgBoxShared& shared_;

    OleColor backColorButtons_ = kSysButtonFace;
    OleColor foreColorBody_ = kSysButtonText;
    OleColor foreColorHeading_ = kSysHighlightText;
    int textAlignment_{};
    bool soundBeep_ = true;
    bool controlBox_ = true;
    int startUpPosition_ = 2;
    std::int32_t top_{};
    std::int32_t left_{};
    std::string defaultTitle_;

    double iconWidth_{};
    double iconHeight_{};
};

}  // namespace qm
