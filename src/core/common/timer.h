#pragma once

#include <functional>

namespace qm {

// A repeating timer on the user-interface thread, as the program's timers are: enabled by
// code, firing every interval until disabled. The Windows layer backs it with SetTimer; tests
// fire it by hand. Handlers may disable or re-enable the timer that called them.
class Timer {
  public:
    virtual ~Timer() = default;

    virtual void SetHandler(std::function<void()> handler) = 0;
    virtual void SetInterval(unsigned milliseconds) = 0;
    virtual unsigned Interval() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;

    // Disabling and enabling again makes the interval count anew.
    void Restart() {
        SetEnabled(false);
        SetEnabled(true);
    }
};

}  // namespace qm
