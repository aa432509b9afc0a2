#include "core/app/tray_hover.h"

namespace qm {

TrayHover::TrayHover(TrayBalloonHost& host, Timer& timer4, Timer& timer2, Timer& timer3)
    : host_(host), timer4_(timer4), timer2_(timer2), timer3_(timer3) {
    timer4_.SetInterval(200);
    timer2_.SetInterval(400);
    timer3_.SetInterval(5000);
    timer4_.SetHandler([this] { Timer4_Timer(); });
    timer2_.SetHandler([this] { Timer2_Timer(); });
    timer3_.SetHandler([this] { Timer3_Timer(); });
}

void TrayHover::OnIconMouseMove() {
    if (balloonShown_) {
        timer3_.Restart();
    } else {
        timer4_.SetEnabled(true);
    }
}

void TrayHover::Timer4_Timer() {
    const Point cursor = host_.CursorPosition();
    if (!host_.TrayIconRect().Contains(cursor)) {
        timer4_.SetEnabled(false);
        Timer3_Timer();  // which also stops a pending show
        return;
    }
    if (balloonShown_) {
        timer3_.Restart();
    } else if (!timer2_.Enabled()) {
        timer2_.SetEnabled(true);
    }
}

void TrayHover::Timer2_Timer() {
    timer2_.SetEnabled(false);
    ShowBalloon();
}

void TrayHover::Timer3_Timer() {
    timer3_.SetEnabled(false);
    HideBalloon();
}

void TrayHover::ShowBalloon() {
    if (balloonShown_) {
        return;
    }
    if (!host_.DefragRunning()) {
        host_.RefreshStatusText();
    }
    const Rect icon = host_.TrayIconRect();
    // The balloon's stem points down at the icon, just inside its top-left corner.
    balloonId_ = host_.ShowBalloonAt(Point{icon.left + 7, icon.top - 4});
    balloonShown_ = true;
    timer3_.SetEnabled(true);
}

void TrayHover::HideBalloon() {
    timer2_.SetEnabled(false);
    if (balloonId_ != 0) {
        host_.RemoveBalloon(balloonId_);
    }
    balloonId_ = 0;
    balloonShown_ = false;
}

void TrayHover::SetBalloon(const std::string& text) {
    HideBalloon();
    host_.SetBalloonMessage(text);
}

void TrayHover::GoIdle() {
    timer4_.SetEnabled(false);
    timer3_.SetEnabled(false);
    HideBalloon();
}

void TrayHover::OnBalloonClosed() {
    if (balloonId_ != 0) {
        host_.RemoveBalloon(balloonId_);
    }
    balloonId_ = 0;
    balloonShown_ = false;
    timer3_.SetEnabled(false);
}

}  // namespace qm
