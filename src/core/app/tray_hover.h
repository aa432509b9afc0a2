#pragma once

#include <cstdint>
#include <string>

#include "core/app/geometry.h"
#include "core/common/timer.h"

namespace qm {

// What the hover logic needs from the tray icon and the balloon control.
class TrayBalloonHost {
  public:
    virtual ~TrayBalloonHost() = default;
    virtual Point CursorPosition() = 0;
    // Where the program's icon is on the screen, found anew at each call.
    virtual Rect TrayIconRect() = 0;
    // The balloon control: its message, showing at a point (returns the balloon's id, 0 when
    // it could not be shown) and removing a balloon by id.
    virtual void SetBalloonMessage(const std::string& text) = 0;
    virtual std::uint16_t ShowBalloonAt(Point at) = 0;
    virtual void RemoveBalloon(std::uint16_t id) = 0;
    // Puts the next and last defrag status into the balloon (through SetBalloon); called
    // before a balloon opens while no run is going on.
    virtual void RefreshStatusText() = 0;
    virtual bool DefragRunning() = 0;
};

// Resting the mouse on the tray icon opens the status balloon. Three timers: the cursor poll
// (every 200 ms while the mouse may be over the icon: is it still there?), the show delay
// (400 ms of resting before the balloon opens) and the hide delay (the balloon goes after 5 s
// without renewal).
class TrayHover {
  public:
    TrayHover(TrayBalloonHost& host, Timer& cursorPoll, Timer& showDelay, Timer& hideDelay);

    // An event of the tray icon other than a click (above all, the mouse moving over it).
    void OnIconMouseMove();

    // The cursor poll: off the icon, the hover ends and the balloon goes; on it, an open
    // balloon's hide delay counts anew, else the show delay starts.
    void OnCursorPoll();
    void OnShowDelayElapsed();
    // Hides the balloon, as its time is up (also when the mouse left the icon).
    void OnHideDelayElapsed();

    void ShowBalloon();
    void HideBalloon();
    void SetBalloon(const std::string& text);
    // Back to rest: no balloon and no hover timer. The tray menu opening does this, so that
    // a balloon cannot pop up over the menu while the mouse rests on the icon.
    void GoIdle();
    // The balloon control reports that the balloon has gone (its close button, say).
    void OnBalloonClosed();

    bool BalloonShown() const { return balloonShown_; }
    std::uint16_t BalloonId() const { return balloonId_; }

  private:
    TrayBalloonHost& host_;
    Timer& cursorPoll_;
    Timer& showDelay_;
    Timer& hideDelay_;
    bool balloonShown_{};
    std::uint16_t balloonId_{};
};

}  // namespace qm
