#pragma once

#include "core/app/tray_menu_state.h"

namespace qm {

// The enabling rules applied each time the tray menu opens. The states stay as set after the
// menu closes: a scheduled moment consults "Defrag Selected Drive(s) Now" as last set here.
inline void ApplyTrayMenuRules(TrayMenuState& state, bool defragmenterRunning,
                               int selectedDriveCount) {
    state.stopVisible = defragmenterRunning;
    state.stopEnabled = defragmenterRunning;
    state.openEnabled = !state.stopEnabled;
    state.defragEnabled = selectedDriveCount >= 1 && !state.stopEnabled;
}

}  // namespace qm
