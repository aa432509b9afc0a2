#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/app/program_settings.h"
#include "core/app/startup_entry.h"
#include "core/common/settings_store.h"
#include "core/defrag/defrag_launch.h"
#include "core/defrag/drive_list.h"
#include "core/defrag/drive_rows.h"

namespace qm {

// What the Options dialog's controls show.
struct OptionsChoices {
    bool runAtStartup{};       // "Run program at Windows Startup?"
    bool showSplash{};         // "Display splash screen during program StartUp?"
    bool showExitPrompt{};     // "Show exit prompt when closing program?"
    bool wakeToRun{};          // "Wake the computer for scheduled defrags"
    int priority{};            // 1 Low, 2 Normal, 3 High
    int afterDefragAction{};   // 1 wait, 2 close the program, 3 shut Windows down
    std::vector<bool> drives;  // ticked, by drive row
};

inline constexpr const char* kOptionsTitle = " Defrag Options";
inline constexpr const char* kNoDriveWarning = "Warning:  No drives were selected for defrag";
inline constexpr const char* kAlreadyRunningMessage = "Defrag is already running on this computer";
inline constexpr int kOptionsMessageStyle = 48;  // exclamation, OK

// The line under "Wake the computer for scheduled defrags" when the active power plan keeps
// programs from waking the computer on mains power: its "Allow wake timers" setting (the index
// of its value, nothing when it cannot be read) is Disable (0), or, on Windows 10 and later,
// "Important wake timers only" (2). Empty when it lets them (Enable, 1) or cannot be read.
std::string WakeTimersNote(std::optional<unsigned> allowWakeTimersOnMains, WindowsVersion version);

enum class SaveOutcome {
    Saved,
    // No drive ticked at the first Save of the program's run: the user is warned and
    // nothing is written.
    NoDriveWarning,
};

// The Options dialog's decisions: its drive rows, what it loads and saves, and its change
// state (unchanged: Save disabled, "Close" the default; changed: Save enabled and the default,
// "Cancel"). The object lives as long as the program, its window comes and goes: the no-drive
// warning is given once per program run.
class OptionsForm {
  public:
    OptionsForm(SettingsStore& store, RunSettings& run, StartupEntryPlatform& startup);

    // Opening: the rows, the controls from the settings and the program's run state, and the
    // unchanged state.
    void Load(const std::vector<FixedVolume>& fixedVolumes);
    // The first run opens the dialog with the start-up box ticked, as a click would.
    void TickRunAtStartup();
    // A volume arrived or left: the rows are rebuilt and the drives besides C ticked again
    // from their settings; C and the other options keep what they show.
    void RefreshDriveRows(const std::vector<FixedVolume>& fixedVolumes);
    // Any click on an option, priority, after-defrag choice or drive.
    void MarkOptionsChanged() { changed_ = true; }
    SaveOutcome Save();

    OptionsChoices& Choices() { return choices_; }
    const OptionsChoices& Choices() const { return choices_; }
    const std::vector<DriveRow>& Rows() const { return rows_; }
    // The fixed drives besides C.
    int FixedDriveCount() const { return static_cast<int>(rows_.size()) - 1; }
    bool Changed() const { return changed_; }
    const char* CancelCaption() const { return changed_ ? "Cancel" : "Close"; }
    bool AnyDriveSelected() const;

  private:
    void BuildDriveRows(const std::vector<FixedVolume>& fixedVolumes);
    void LoadOptions();
    void SaveOptions();

    SettingsStore& store_;
    RunSettings& run_;
    StartupEntryPlatform& startup_;
    std::vector<DriveRow> rows_;
    OptionsChoices choices_;
    bool changed_{};
    bool noDriveCheckDone_{};
};

}  // namespace qm
