#include "core/app/startup_entry.h"

#include "core/app/settings_keys.h"
#include "core/defrag/text_case.h"

namespace qm {

bool StartupEntryPresent(StartupEntryPlatform& platform) {
    return platform.ShortcutExists();
}

void SetStartupEntry(StartupEntryPlatform& platform, bool on) {
    if (on) {
        platform.CreateShortcut();
    } else {
        platform.RemoveShortcut();
    }
}

bool TakeOverLogonTaskStart(std::string_view recordedSid, std::string_view ownSid,
                            SettingsStore& store, StartupEntryPlatform& platform) {
    if (recordedSid.empty() || AsciiLower(recordedSid) != AsciiLower(ownSid) ||
        store.GetSetting(keys::kStartFromTaskMoved, "0") == "1") {
        return false;
    }
    store.SaveSetting(keys::kStartFromTaskMoved, "1");
    return !platform.ShortcutExists() && platform.CreateShortcut();
}

}  // namespace qm
