#pragma once

#include <string>

#include "core/common/timer.h"

namespace qm {

// The Options dialog as the drive-statistics balloon needs it.
class DriveBalloonHost {
  public:
    virtual ~DriveBalloonHost() = default;
    // Whether the pointer lies outside the dialog.
    virtual bool IsCursorOutside() = 0;
    // The balloon's message for a drive row; empty when there is nothing to show.
    virtual std::string DriveBalloonMessage(int row) = 0;
    // Shows a balloon at the row's check box; returns its id, -1 when none could be shown.
    virtual int ShowBalloon(int row, const std::string& title, const std::string& message) = 0;
    virtual void SetBalloonMessage(int id, const std::string& message) = 0;
    virtual void RemoveBalloon(int id) = 0;
};

inline constexpr int kNoRow = 99;
inline constexpr int kNoBalloon = -1;

// Resting the pointer on a drive's check box for 1.5 s shows that drive's usage in a balloon;
// moving onto anything else of the dialog takes it away, and it goes by itself 5 s after it
// opened, as the tray's balloon does. Two timers, each firing once: the hover delay (1.5 s after
// the pointer came to rest on a box) shows the balloon, the hide delay (5 s later) takes it away.
inline constexpr unsigned kDriveBalloonDelayMs = 1500;
inline constexpr unsigned kDriveBalloonLifeMs = 5000;

class DriveBalloonHover {
  public:
    DriveBalloonHover(DriveBalloonHost& host, Timer& hoverDelay, Timer& hideDelay);
    DriveBalloonHover(const DriveBalloonHover&) = delete;
    DriveBalloonHover& operator=(const DriveBalloonHover&) = delete;

    // The pointer moved over the check box of `row` (or left it for outside the dialog). A
    // further move over the same box does not restart the delay.
    void OnPointerOverDrive(int row);
    // The pointer moved over the dialog's background, a Defrag Now button or the heading.
    void OtherMouseMove();
    // The pointer has rested on a box long enough: that drive's balloon.
    void OnHoverDelayElapsed();
    // The balloon went by itself (its close button).
    void BalloonClosed();
    void HideDriveBalloon();
    void DeleteBalloon();

    int HoverRow() const { return hoverRow_; }
    int BalloonRow() const { return balloonRow_; }
    int BalloonId() const { return balloonId_; }

  private:
    DriveBalloonHost& host_;
    Timer& hoverDelay_;
    Timer& hideDelay_;
    int hoverRow_ = kNoRow;
    int balloonRow_ = kNoRow;
    int balloonId_ = kNoBalloon;
};

}  // namespace qm
