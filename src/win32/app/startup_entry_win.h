#pragma once

#include <string>

#include "core/app/startup_entry.h"
#include "core/defrag/startup_shortcut.h"

namespace qm::win {

// The Startup-folder shortcut to this program, in the user's own folder.
class WindowsStartupPlatform final : public StartupEntryPlatform {
  public:
    WindowsStartupPlatform(std::string exePath, ShortcutPlatform& shortcuts);

    bool ShortcutExists() override;
    bool CreateShortcut() override;
    void RemoveShortcut() override;

  private:
    std::string exePath_;
    ShortcutPlatform& shortcuts_;
};

// The account whose logon task an all-users setup replaced, as a SID ("S-1-5-21-…"), from
// HKLM\Software\Quillmere "LogonTaskUser"; empty when none was recorded.
std::string RecordedLogonTaskUser();

// This process's account as a SID; empty when it cannot be read.
std::string OwnAccountSid();

}  // namespace qm::win
