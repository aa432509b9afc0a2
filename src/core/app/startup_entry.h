#pragma once

#include <string_view>

#include "core/common/settings_store.h"

namespace qm {

// How the program starts with Windows: "Quillmere.lnk" in the user's own Startup folder, made
// and removed with the user's own rights.
class StartupEntryPlatform {
  public:
    virtual ~StartupEntryPlatform() = default;
    virtual bool ShortcutExists() = 0;
    // Makes the shortcut; tells the user itself when it cannot.
    virtual bool CreateShortcut() = 0;
    virtual void RemoveShortcut() = 0;
};

// Whether the program starts with Windows.
bool StartupEntryPresent(StartupEntryPlatform& platform);

// Makes the program start with Windows, or not.
void SetStartupEntry(StartupEntryPlatform& platform, bool on);

// Older all-users copies started from a logon task instead of the shortcut. The setup that
// removed the task recorded whose it was (the account's SID), for the machine; it writes
// nothing in anybody's profile. That user's copy makes its shortcut itself, once, at its first
// start, and remembers in its own settings that it did (so that a user who turns the start
// off later keeps it off). True when it made the shortcut.
bool TakeOverLogonTaskStart(std::string_view recordedSid, std::string_view ownSid,
                            SettingsStore& store, StartupEntryPlatform& platform);

}  // namespace qm
