#include "core/defrag/drive_balloon_hover.h"

namespace qm {

DriveBalloonHover::DriveBalloonHover(DriveBalloonHost& host, Timer& hoverDelay, Timer& hideDelay)
    : host_(host), hoverDelay_(hoverDelay), hideDelay_(hideDelay) {
    hoverDelay_.SetInterval(kDriveBalloonDelayMs);
    hoverDelay_.SetHandler([this] { OnHoverDelayElapsed(); });
    hideDelay_.SetInterval(kDriveBalloonLifeMs);
    hideDelay_.SetHandler([this] { HideDriveBalloon(); });
}

void DriveBalloonHover::BalloonClosed() {
    hideDelay_.SetEnabled(false);
    balloonId_ = kNoBalloon;
}

void DriveBalloonHover::OnPointerOverDrive(int row) {
    if (host_.IsCursorOutside()) {
        HideDriveBalloon();
        return;
    }
    hoverRow_ = row;
    hoverDelay_.SetEnabled(true);
}

void DriveBalloonHover::OtherMouseMove() {
    hoverDelay_.SetEnabled(false);
    DeleteBalloon();
}

void DriveBalloonHover::OnHoverDelayElapsed() {
    hoverDelay_.SetEnabled(false);
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
    hideDelay_.SetEnabled(balloonId_ != kNoBalloon);
}

void DriveBalloonHover::HideDriveBalloon() {
    hoverDelay_.SetEnabled(false);
    DeleteBalloon();
    hoverRow_ = kNoRow;
    balloonRow_ = kNoRow;
}

void DriveBalloonHover::DeleteBalloon() {
    hideDelay_.SetEnabled(false);
    if (balloonId_ != kNoBalloon) {
        host_.RemoveBalloon(balloonId_);
    }
    balloonId_ = kNoBalloon;
}

}  // namespace qm
