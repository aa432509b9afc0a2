#include "win32/app/tray_menu.h"

namespace qm::win {

namespace {

void SetItem(HMENU menu, UINT id, bool enabled, bool checked = false) {
    ::EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

TrayMenu::TrayMenu() : menu_(::CreatePopupMenu()) {
    HMENU m = menu_.get();
    ::AppendMenuW(m, MF_STRING, kCmdOptions, L"Set Program Options");
    ::AppendMenuW(m, MF_STRING, kCmdHistory, L"Run History...");
    ::AppendMenuW(m, MF_STRING, kCmdSchedule, L"Set Defrag Schedule");
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(m, MF_STRING, kCmdDefrag, L"Defrag Selected Drive(s) Now");
    ::AppendMenuW(m, MF_STRING, kCmdOpen, L"Open Defrag Program");
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(m, MF_STRING, kCmdAbout, L"About Quillmere");
    ::AppendMenuW(m, MF_STRING, kCmdExit, L"Exit");
}

void TrayMenu::Apply(const TrayMenuState& state) {
    HMENU m = menu_.get();
    if (state.stopVisible && !stopPresent_) {
        ::InsertMenuW(m, kCmdOpen, MF_BYCOMMAND | MF_STRING, kCmdStop, L"Stop Current Defrag");
        stopPresent_ = true;
    } else if (!state.stopVisible && stopPresent_) {
        ::DeleteMenu(m, kCmdStop, MF_BYCOMMAND);
        stopPresent_ = false;
    }
    SetItem(m, kCmdOptions, true, state.optionsChecked);
    SetItem(m, kCmdSchedule, true, state.scheduleChecked);
    SetItem(m, kCmdDefrag, state.defragEnabled);
    if (stopPresent_) {
        SetItem(m, kCmdStop, state.stopEnabled);
    }
    SetItem(m, kCmdOpen, state.openEnabled);
}

UINT TrayMenu::Track(HWND owner, POINT at) {
    // Without the foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(owner);
    const UINT flags = TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY |
                       (::GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
    const UINT cmd =
        static_cast<UINT>(::TrackPopupMenuEx(menu_.get(), flags, at.x, at.y, owner, nullptr));
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return cmd;
}

}  // namespace qm::win
