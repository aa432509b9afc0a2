#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace qm::win {

// While a modal box is open the program's other windows take no input, as under a modal
// dialog: the visible, enabled top-level windows of this thread are disabled, and exactly
// those are enabled again when the scope ends.
class ThreadWindowsDisabled {
  public:
    explicit ThreadWindowsDisabled(HWND except);
    ~ThreadWindowsDisabled();
    ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
    ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

    const std::vector<HWND>& Disabled() const { return disabled_; }

  private:
    std::vector<HWND> disabled_;
};

// A nested message loop: dispatches this thread's messages (so the program's timers keep
// firing) until `done` says so. A WM_QUIT ends it early and is posted again for the outer
// loop. Returns false when it ended through WM_QUIT.
bool RunNestedLoop(const std::function<bool()>& done);

}  // namespace qm::win
