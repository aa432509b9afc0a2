#pragma once

#include <windows.h>

#include "core/app/tray_menu_state.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// Command identifiers of the tray menu's items, in menu order but for the last. They are also
// what another window (or a test) posts as WM_COMMAND to the main window.
enum TrayCommand : UINT {
    kCmdOptions = 40001,  // "Set Program Options"
    kCmdSchedule,         // "Set Defrag Schedule"
    kCmdDefrag,           // "Defrag Selected Drive(s) Now"
    kCmdStop,             // "Stop Current Defrag"
    kCmdOpen,             // "Open Defrag Program"
    kCmdAbout,            // "About Quillmere"
    kCmdExit,             // "Exit"
    kCmdHistory,          // "Run History...", second in the menu; added last to keep the ids
};

// The tray menu, created once and kept for the life of the program. A Windows menu cannot
// hide an item, so "Stop Current Defrag" is inserted and removed as it is shown and hidden.
class TrayMenu {
  public:
    TrayMenu();
    void Apply(const TrayMenuState& state);
    // Opens the menu at a screen point for `owner`; returns the chosen command or 0.
    UINT Track(HWND owner, POINT at);
    HMENU Handle() const { return menu_.get(); }

  private:
    UniqueHmenu menu_;
    bool stopPresent_ = false;
};

}  // namespace qm::win
