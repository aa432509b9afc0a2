#include "core/defrag/drive_balloon_hover.h"

namespace qm {

DriveBalloonHover::DriveBalloonHover(DriveBalloonHost& host, Timer& timer1, Timer& hideTimer)
    : host_(host), timer1_(timer1), hideTimer_(hideTimer) {
    timer1_.SetInterval(kDriveBalloonDelayMs);
    timer1_.SetHandler([this] { Timer1_Timer(); });
    hideTimer_.SetInterval(kDriveBalloonLifeMs);
    hideTimer_.SetHandler([this] { HideDriveBalloon(); });
}

void DriveBalloonHover::BalloonClosed() {
    hideTimer_.SetEnabled(false);
    balloonId_ = kNoBalloon;
}

void DriveBalloonHover::DriveCheck_MouseMove(int row) {
    if (host_.IsCursorOutside()) {
        HideDriveBalloon();
        return;
    }
    hoverRow_ = row;
    timer1_.SetEnabled(true);
}

void DriveBalloonHover::OtherMouseMove() {
    timer1_.SetEnabled(false);
    DeleteBalloon();
}

void DriveBalloonHover::Timer1_Timer() {
    timer1_.SetEnabled(false);
    if (hoverRow_ == kNoRow) {
        return;
    }
    const std::string message = host_.DriveBalloonMessage(hoverRow_);
    if (message.empty()) {
        return;
    }
    // The row's balloon still up: only its message changes. A row whose balloon has gone
    // meanwhile gets a new one.
    if (balloonRow_ == hoverRow_ && balloonId_ != kNoBalloon) {
        host_.SetBalloonMessage(balloonId_, message);
        return;
    }
    balloonRow_ = hoverRow_;
    DeleteBalloon();
    balloonId_ = host_.ShowBalloon(hoverRow_, "Drive Statistics", message);
    hideTimer_.SetEnabled(balloonId_ != kNoBalloon);
}

void DriveBalloonHover::HideDriveBalloon() {
    timer1_.SetEnabled(false);
    DeleteBalloon();
    hoverRow_ = kNoRow;
    balloonRow_ = kNoRow;
}

void DriveBalloonHover::DeleteBalloon() {
    hideTimer_.SetEnabled(false);
    if (balloonId_ != kNoBalloon) {
        host_.RemoveBalloon(balloonId_);
    }
    balloonId_ = kNoBalloon;
}

}  // namespace qm
