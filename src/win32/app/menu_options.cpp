// The main window's side of the Options dialog: it is made once, opened from the tray and
// on the first run, and its Defrag Now run is watched by timers of this window, which stay.
#include "core/app/program_settings.h"
#include "core/app/settings_keys.h"
#include "win32/app/menu_window.h"
#include "win32/app/startup_entry_win.h"
#include "win32/common/locale_number_format.h"
#include "win32/ui/program_msgbox.h"

namespace qm::win {

void MenuWindow::CreateOptionsDialog() {
    shortcuts_ = std::make_unique<WindowsShortcutPlatform>();
    startupEntry_ = std::make_unique<WindowsStartupPlatform>(RunningExecutablePath(), *shortcuts_);
    Timer& pollTimer = timers_->Create();
    Timer& priorityTimer = timers_->Create();
    options_ = std::make_unique<OptionsDialog>(
        OptionsServices{program_.store, program_.run, drives_, program_.processes,
                        program_.launcher, program_.defragSystem, *startupEntry_, pollTimer,
                        priorityTimer, [this](bool on) { scheduler_->SetEnabled(on); },
                        [this] { RefreshScheduleStatus(); }, &UserNumberSeparators, program_.clock,
                        &program_.runLog, &ReadWakeTimersOnMains, &program_.dates});
}

void MenuWindow::ShowOptions() {
    options_->ShowFromTray();
}

bool MenuWindow::ShowFirstRunOptions() {
    if (ReadShownSetting(program_.store, keys::kOptionsShown)) {
        return true;
    }
    // The end may come through the dialog's own loop or through the end sequence closing it.
    if (!options_->ShowFirstRun() || ending_) {
        return false;
    }
    SaveShownSetting(program_.store, keys::kOptionsShown);
    return true;
}

}  // namespace qm::win
