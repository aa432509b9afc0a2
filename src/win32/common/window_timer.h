#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

#include "core/common/timer.h"

namespace qm::win {

// The core's timers on a window's WM_TIMER: each timer is one SetTimer id of the owner
// window, and the owner hands every WM_TIMER to its TimerSet.
class WindowTimer final : public Timer {
  public:
    WindowTimer(HWND owner, UINT_PTR id) : owner_(owner), id_(id) {}
    ~WindowTimer() override { SetEnabled(false); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    void SetHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    void SetInterval(unsigned milliseconds) override;
    unsigned Interval() const override { return interval_; }
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }

    // From the owner's WM_TIMER.
    void Fire();

    // How many of the program's timers are running: the leak tests of the windows check
    // that a closed window left none behind.
    static long RunningCount() { return running_; }

  private:
    HWND owner_;
    UINT_PTR id_;
    std::function<void()> handler_;
    unsigned interval_ = 1000;
    bool enabled_ = false;
    static inline long running_ = 0;
};

class TimerSet {
  public:
    explicit TimerSet(HWND owner) : owner_(owner) {}
    // A new timer of the owner window; the set keeps it.
    WindowTimer& Create();
    // True when `id` is one of the set's timers (and it has been fired).
    bool Dispatch(UINT_PTR id);

  private:
    HWND owner_;
    UINT_PTR nextId_ = 100;
    std::map<UINT_PTR, std::unique_ptr<WindowTimer>> timers_;
};

}  // namespace qm::win
