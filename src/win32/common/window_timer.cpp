#include "win32/common/window_timer.h"

namespace qm::win {

void WindowTimer::SetInterval(unsigned milliseconds) {
    interval_ = milliseconds;
    if (enabled_) {
        ::SetTimer(owner_, id_, interval_, nullptr);  // re-arms with the new interval
    }
}

void WindowTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    running_ += enabled ? 1 : -1;
    if (enabled) {
        ::SetTimer(owner_, id_, interval_ ? interval_ : 1, nullptr);
    } else {
        ::KillTimer(owner_, id_);
    }
}

void WindowTimer::Fire() {
    // A WM_TIMER already queued when the timer was disabled must not run its handler.
    if (enabled_ && handler_) {
        handler_();
    }
}

WindowTimer& TimerSet::Create() {
    const UINT_PTR id = nextId_++;
    auto timer = std::make_unique<WindowTimer>(owner_, id);
    WindowTimer& ref = *timer;
    timers_.emplace(id, std::move(timer));
    return ref;
}

bool TimerSet::Dispatch(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return false;
    }
    it->second->Fire();
    return true;
}

}  // namespace qm::win
