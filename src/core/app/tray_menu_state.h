#pragma once

namespace qm {

// What the tray menu shows: the program decides it, the Windows layer draws it. Options,
// Schedule, About and Exit are always there to choose.
struct TrayMenuState {
    bool optionsChecked{};   // the Options dialog is open
    bool scheduleChecked{};  // the schedule editor is open
    bool defragEnabled{};
    bool stopVisible{};
    bool stopEnabled{};
    bool openEnabled{};
};

}  // namespace qm
