#include "core/ui/msgbox_enhanced.h"

#include "core/common/rounding.h"

namespace qm {

MsgBoxEnhanced::MsgBoxEnhanced(MsgBoxPlatform& platform, MsgBoxShared& shared)
    : platform_(platform), shared_(shared) {
    iconWidth_ = RoundHalfEven(platform_.IconWidthTwips());
    iconHeight_ = RoundHalfEven(platform_.IconHeightTwips());
}

void MsgBoxEnhanced::SetGradientDirection(int v) {
    if (v < 1 || v > 16) {
        v = 1;
    }
    // The shaped directions are stored in pairs exchanged, so that a caller's odd code puts
    // the full colour at the centre or corner.
    if (v >= 5) {
        v = v % 2 == 1 ? v + 1 : v - 1;
    }
    shared_.gradientDirection = v;
}

MsgBoxRequest MsgBoxEnhanced::Prepare(std::string_view message, std::int16_t buttons,
                                      std::string_view title) {
    MsgBoxRequest req;
    std::optional<MsgBoxOwner> owner = platform_.ActiveOwner();
    if (startUpPosition_ == 1 && !owner) {
        startUpPosition_ = 2;  // and so it stays for later messages
    }

    if (!title.empty()) {
        req.title = title;
    } else if (!defaultTitle_.empty()) {
        req.title = defaultTitle_;
    } else if (owner) {
        req.title = owner->caption;
    }
    if (req.title.empty()) {
        req.title = "Message";
    }
    req.message = message;
    req.style = DecodeMsgBoxStyle(buttons);
    req.alignment = static_cast<MsgBoxAlignment>(textAlignment_);
    req.foreColorHeading = foreColorHeading_;
    req.foreColorBody = foreColorBody_;
    req.backColorButtons = backColorButtons_;
    req.controlBox = controlBox_;
    req.soundBeep = soundBeep_;
    req.modal = shared_.modal;

    MsgBoxLayoutInput in;
    in.caption = platform_.MeasureText(req.title, MsgBoxFont::kHeading);
    in.prompt = platform_.MeasureText(req.message, MsgBoxFont::kBody);
    in.hasIcon = req.style.HasIcon();
    in.iconWidth = iconWidth_;
    in.iconHeight = iconHeight_;
    in.buttonCount = req.style.buttonCount;
    in.controlBox = controlBox_;
    in.alignment = req.alignment;
    in.position = static_cast<MsgBoxPosition>(startUpPosition_);
    in.screenWidth = platform_.ScreenWidthTwips();
    in.screenHeight = platform_.ScreenHeightTwips();
    if (owner) {
        in.owner = owner->rect;
    }
    in.manualLeft = left_;
    in.manualTop = top_;
    req.layout = ComputeMsgBoxLayout(in);
    return req;
}

int MsgBoxEnhanced::MsgBox(std::string_view message, std::int16_t buttons, std::string_view title) {
    try {
        const MsgBoxRequest req = Prepare(message, buttons, title);
        shared_.iconIndex = req.style.iconIndex;
        shared_.msgResult = 0;
        // The window returns its own result, so a box opened from inside another box's
        // nested loop cannot change what the outer call returns.
        const std::optional<int> result = platform_.Show(req, shared_);
        return result.value_or(kTimedOut);
    } catch (...) {
        return kTimedOut;  // the caller never sees an error
    }
}

}  // namespace qm
