#include "core/defrag/options_form.h"

#include <algorithm>

#include "core/app/settings_keys.h"
#include "core/app/wake_timer.h"
#include "core/defrag/text_case.h"

namespace qm {
namespace {

// A stored choice that names no option button selects the first.
int ChoiceOf(int stored) {
    return (stored >= 1 && stored <= 3) ? stored : 1;
}

const char* Flag(bool on) {
    return on ? "1" : "0";
}

}  // namespace

std::string WakeTimersNote(std::optional<unsigned> allowWakeTimersOnMains, WindowsVersion version) {
    const bool blocked =
        allowWakeTimersOnMains == 0u || (allowWakeTimersOnMains == 2u && version.major >= 10);
    return blocked ? "Your power plan does not let programs wake the computer: set \"Allow wake "
                     "timers\" to Enable in its advanced settings."
                   : "";
}

OptionsForm::OptionsForm(SettingsStore& store, RunSettings& run, StartupEntryPlatform& startup)
    : store_(store), run_(run), startup_(startup) {}

void OptionsForm::Load(const std::vector<FixedVolume>& fixedVolumes) {
    BuildDriveRows(fixedVolumes);
    LoadOptions();
    changed_ = false;
}

void OptionsForm::TickRunAtStartup() {
    choices_.runAtStartup = true;
    MarkOptionsChanged();
}

void OptionsForm::BuildDriveRows(const std::vector<FixedVolume>& fixedVolumes) {
    rows_ = qm::BuildDriveRows(fixedVolumes);
    choices_.drives.resize(rows_.size());
}

void OptionsForm::LoadOptions() {
    choices_.runAtStartup = StartupEntryPresent(startup_);
    choices_.showSplash = ReadShowSetting(store_, keys::kShowSplash);
    choices_.showExitPrompt = ReadShowSetting(store_, keys::kShowExitPrompt);
    choices_.wakeToRun = ReadWakeToRunSetting(store_);
    choices_.priority = ChoiceOf(run_.runPriority);
    choices_.afterDefragAction = ChoiceOf(run_.afterDefragAction);
    // A drive that is not ready cannot be chosen, and shows unticked.
    choices_.drives.clear();
    for (const DriveRow& row : rows_) {
        choices_.drives.push_back(row.enabled && ReadShowSetting(store_, row.SettingKey()));
    }
}

void OptionsForm::RefreshDriveRows(const std::vector<FixedVolume>& fixedVolumes) {
    BuildDriveRows(fixedVolumes);
    for (size_t k = 1; k < rows_.size(); ++k) {
        choices_.drives.at(k) = ReadShowSetting(store_, rows_.at(k).SettingKey());
    }
    MarkOptionsChanged();
}

bool OptionsForm::AnyDriveSelected() const {
    return std::find(choices_.drives.begin(), choices_.drives.end(), true) != choices_.drives.end();
}

SaveOutcome OptionsForm::Save() {
    if (!noDriveCheckDone_) {
        noDriveCheckDone_ = true;
        if (!AnyDriveSelected()) {
            return SaveOutcome::NoDriveWarning;
        }
    }
    SaveOptions();
    changed_ = false;
    return SaveOutcome::Saved;
}

void OptionsForm::SaveOptions() {
    SetStartupEntry(startup_, choices_.runAtStartup);
    store_.SaveSetting(keys::kShowSplash, Flag(choices_.showSplash));
    store_.SaveSetting(keys::kShowExitPrompt, Flag(choices_.showExitPrompt));
    store_.SaveSetting(keys::kWakeToRun, Flag(choices_.wakeToRun));
    const int priority = ChoiceOf(choices_.priority);
    store_.SaveSetting(keys::kRunPriority, std::to_string(priority));
    run_.runPriority = static_cast<std::int16_t>(priority);
    const int action = ChoiceOf(choices_.afterDefragAction);
    store_.SaveSetting(keys::kAfterDefragAction, std::to_string(action));
    run_.afterDefragAction = static_cast<std::int16_t>(action);

    // The next run takes the drives in row order, C first.
    run_.selectedDrives.clear();
    for (size_t k = 0; k < rows_.size(); ++k) {
        store_.SaveSetting(rows_[k].SettingKey(), Flag(choices_.drives[k]));
        if (choices_.drives[k]) {
            run_.selectedDrives.push_back(AsciiLower(std::string(1, rows_[k].letter)) + ":");
        }
    }
}

}  // namespace qm
