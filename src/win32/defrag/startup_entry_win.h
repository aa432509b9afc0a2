#pragma once

#include <memory>

#include "core/defrag/options_form.h"
#include "win32/defrag/startup_shortcut_win.h"

namespace qm::win {

// The program starts with Windows through its shortcut in the current user's Startup folder:
// the folder the Options dialog both tests and writes, so its box shows what was saved.
class StartupShortcutEntry final : public StartupEntry {
  public:
    bool IsSet() override { return HasProgramStartupShortcut(); }
    void Set(bool on) override {
        if (on) {
            CreateProgramStartupShortcut("Quillmere");
        } else {
            RemoveProgramStartupShortcut();
        }
    }
};

// How this program starts with Windows: the one place that chooses.
inline std::unique_ptr<StartupEntry> ProgramStartupEntry() {
    return std::make_unique<StartupShortcutEntry>();
}

}  // namespace qm::win
