#include "core/app/tray_hover.h"

namespace qm {

TrayHover::TrayHover(TrayBalloonHost& host, Timer& cursorPoll, Timer& showDelay, Timer& hideDelay)
    : host_(host), cursorPoll_(cursorPoll), showDelay_(showDelay), hideDelay_(hideDelay) {
    cursorPoll_.SetInterval(200);
    showDelay_.SetInterval(400);
    hideDelay_.SetInterval(5000);
    cursorPoll_.SetHandler([this] { OnCursorPoll(); });
    showDelay_.SetHandler([this] { OnShowDelayElapsed(); });
    hideDelay_.SetHandler([this] { OnHideDelayElapsed(); });
}

void TrayHover::OnIconMouseMove() {
    if (balloonShown_) {
        hideDelay_.Restart();
    } else {
        cursorPoll_.SetEnabled(true);
    }
}

void TrayHover::OnCursorPoll() {
    const Point cursor = host_.CursorPosition();
    if (!host_.TrayIconRect().Contains(cursor)) {
        cursorPoll_.SetEnabled(false);
        OnHideDelayElapsed();  // which also stops a pending show
        return;
    }
    if (balloonShown_) {
        hideDelay_.Restart();
    } else if (!showDelay_.Enabled()) {
        showDelay_.SetEnabled(true);
    }
}

void TrayHover::OnShowDelayElapsed() {
    showDelay_.SetEnabled(false);
    ShowBalloon();
}

void TrayHover::OnHideDelayElapsed() {
    hideDelay_.SetEnabled(false);
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
    hideDelay_.SetEnabled(true);
}

void TrayHover::HideBalloon() {
    showDelay_.SetEnabled(false);
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
    cursorPoll_.SetEnabled(false);
    hideDelay_.SetEnabled(false);
    HideBalloon();
}

void TrayHover::OnBalloonClosed() {
    if (balloonId_ != 0) {
        host_.RemoveBalloon(balloonId_);
    }
    balloonId_ = 0;
    balloonShown_ = false;
    hideDelay_.SetEnabled(false);
}

}  // namespace qm
