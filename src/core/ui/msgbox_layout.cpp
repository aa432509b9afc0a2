#include "core/ui/msgbox_layout.h"

#include <algorithm>
#include <cmath>

#include "core/common/rounding.h"

namespace qm {

namespace d = msgbox_design;

MsgBoxLayout ComputeMsgBoxLayout(const MsgBoxLayoutInput& in) {
    MsgBoxLayout out;
    out.textWidth = in.prompt.width;
    out.textHeight = in.prompt.height;

    // What the title, the button row and the prompt each need across.
    out.captionNeed = RoundHalfEven(in.caption.width + 300) + (in.controlBox ? 270 : 0);
    const int n = in.buttonCount;
    out.buttonRowNeed = d::kButtonWidth * n + 105 * (n - 1) + 570;
    // The prompt starts right of the icon (120 in, then 150 of space) or 150 in.
    const double textLeftEdge = in.hasIcon ? in.iconWidth + 270 : 150;
    out.textNeed = RoundHalfEven(in.prompt.width + textLeftEdge + 255);

    // The widest need decides, but never wider than the screen less 240.
    const double width = std::max({out.captionNeed, out.buttonRowNeed, out.textNeed});
    const double w = RoundHalfEven(std::min(width, in.screenWidth - 240));
    out.width = w;

    switch (in.alignment) {
        case MsgBoxAlignment::kLeft:
            out.textLeft = textLeftEdge;
            break;
        case MsgBoxAlignment::kRight: {
            const double p = RoundHalfEven(w - in.prompt.width - 270);
            out.textLeft = std::max(p, textLeftEdge);
            break;
        }
        case MsgBoxAlignment::kCentre: {
            double p = RoundHalfEven((w - in.prompt.width) / 2);
            p -= std::fmod(p, 15.0);  // snap to whole pixels at 15 twips a pixel, towards 0
            p -= 30;
            out.textLeft = std::max(p, textLeftEdge);
            break;
        }
    }

    // A prompt lower than the icon is centred against it (the icon stands 180 down).
    if (in.hasIcon && in.prompt.height < in.iconHeight) {
        out.textTop = (in.iconHeight - in.prompt.height) / 2 + 165;
        out.buttonTop = in.iconHeight + 330;
    } else {
        out.textTop = 150;
        out.buttonTop = RoundHalfEven(150 + in.prompt.height + 180);
    }

    // The used buttons are centred; the unused ones follow at the same pitch.
    out.buttonLeft[0] = (w - (out.buttonRowNeed - 570)) / 2;
    for (int i = 1; i < kMaxMsgButtons; ++i) {
        out.buttonLeft[i] = out.buttonLeft[i - 1] + d::kButtonPitch;
    }

    out.height = out.buttonTop + d::kButtonHeight + 570;
    out.bodyHeight = out.height - d::kHeadingHeight;

    switch (in.position) {
        case MsgBoxPosition::kManual:
            out.windowTop = in.manualTop;
            out.windowLeft = in.manualLeft;
            break;
        case MsgBoxPosition::kCentreOwner:
            if (in.owner) {
                out.windowTop = in.owner->top + (in.owner->height - out.height) / 2;
                out.windowLeft = in.owner->left + (in.owner->width - w) / 2;
                break;
            }
            [[fallthrough]];
        case MsgBoxPosition::kCentreScreen:
            out.windowTop = (in.screenHeight - out.height) / 2;
            out.windowLeft = (in.screenWidth - w) / 2;
            break;
    }
    out.closeBoxLeft = w - d::kCloseBoxFromRight;
    return out;
}

int TwipsPerPixel::ToPixelsX(double twips) const {
    return static_cast<int>(RoundHalfEven(twips / x));
}

int TwipsPerPixel::ToPixelsY(double twips) const {
    return static_cast<int>(RoundHalfEven(twips / y));
}

MsgBoxPixelLayout ToPixelLayout(const MsgBoxLayout& l, const TwipsPerPixel& tpp) {
    MsgBoxPixelLayout p;
    const int headingHeight = tpp.ToPixelsY(d::kHeadingHeight);
    p.window = {tpp.ToPixelsX(l.windowLeft), tpp.ToPixelsY(l.windowTop), tpp.ToPixelsX(l.width),
                tpp.ToPixelsY(l.height)};
    p.heading = {0, 0, p.window.width, headingHeight};
    p.body = {0, headingHeight, p.window.width, p.window.height - headingHeight};
    p.caption = {tpp.ToPixelsX(d::kCaptionLeft), tpp.ToPixelsY(d::kCaptionTop), 0, 0};
    const int closeSize = tpp.ToPixelsX(d::kCloseBoxSize);
    p.closeBox = {tpp.ToPixelsX(l.closeBoxLeft), tpp.ToPixelsY(d::kCloseBoxTop), closeSize,
                  tpp.ToPixelsY(d::kCloseBoxSize)};
    p.icon = {tpp.ToPixelsX(d::kIconLeft), headingHeight + tpp.ToPixelsY(d::kIconTop), 0, 0};
    p.text = {tpp.ToPixelsX(l.textLeft), headingHeight + tpp.ToPixelsY(l.textTop),
              tpp.ToPixelsX(l.textWidth), tpp.ToPixelsY(l.textHeight)};
    for (int i = 0; i < kMaxMsgButtons; ++i) {
        p.buttons[i] = {tpp.ToPixelsX(l.buttonLeft[i]), headingHeight + tpp.ToPixelsY(l.buttonTop),
                        tpp.ToPixelsX(d::kButtonWidth), tpp.ToPixelsY(d::kButtonHeight)};
    }
    for (int i = 0; i < 3; ++i) {
        p.ridgeY[i] = headingHeight + tpp.ToPixelsY(i * d::kRidgeSpacing);
    }
    return p;
}

}  // namespace qm
