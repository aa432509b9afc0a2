#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/date_text_format.h"
#include "core/common/date_time.h"
#include "core/common/settings_store.h"
#include "core/schedule/schedule_record.h"

namespace qm {

// The part of the program-wide run state that comes from the settings store. The numbers keep
// the 16- and 32-bit ranges of the program's first versions, so their stored values still read.
struct RunSettings {
    // Start of the last run; the zero date-time means never.
    DateTime lastDefrag;
    // 1 Low, 2 Normal, 3 High.
    std::int16_t runPriority = 1;
    // 1 wait for the next scheduled run, 2 close the program, 3 shut Windows down.
    std::int16_t afterDefragAction = 1;
    // Drives a run defragments, in run order, each as lower-case letter and colon ("c:").
    std::vector<std::string> selectedDrives;
    // What went wrong in the last run, as a line for the status balloon; empty after a run
    // that went well. Not stored: a new program start has no such news.
    std::string lastRunProblem;

    std::int16_t SelectedDriveCount() const {
        return static_cast<std::int16_t>(selectedDrives.size());
    }
};

// Reads the run settings and the schedule, each with its default when absent or when its
// stored text cannot be converted. `otherFixedDrives` lists the fixed drives other than C as
// root texts ("d:\\"), in the system's order; `today` supplies the default start and end date.
void LoadSettings(const SettingsStore& store, const DateTextFormat& dates,
                  std::span<const std::string> otherFixedDrives, DateTime today, RunSettings& run,
                  ScheduleRecord& schedule);

// Writes the ten schedule keys. Returns false when any write failed; the program does not
// report that.
bool SaveScheduleSettings(SettingsStore& store, const DateTextFormat& dates,
                          const ScheduleRecord& schedule);

// "LastDefrag", written when a run starts.
bool SaveLastDefrag(SettingsStore& store, const DateTextFormat& dates, DateTime lastDefrag);

// The "show" settings ("ShowSplash", "ShowExitPrompt", "ShowCDrive"...): default 1, on only
// when the value is exactly 1.
bool ReadShowSetting(const SettingsStore& store, std::string_view key);
// The first-run markers ("OptionsShown", "ScheduleShown"): a boolean, default false.
bool ReadShownSetting(const SettingsStore& store, std::string_view key);
bool SaveShownSetting(SettingsStore& store, std::string_view key);

}  // namespace qm
