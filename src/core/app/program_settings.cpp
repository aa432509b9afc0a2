#include "core/app/program_settings.h"

#include <cctype>

#include "core/app/setting_conversions.h"
#include "core/app/settings_keys.h"

namespace qm {

namespace {

std::int16_t ReadInt16(const SettingsStore& store, std::string_view key, std::int16_t fallback) {
    return ParseInt16(store.GetSetting(key, std::to_string(fallback))).value_or(fallback);
}

std::int32_t ReadInt32(const SettingsStore& store, std::string_view key, std::int32_t fallback) {
    return ParseInt32(store.GetSetting(key, std::to_string(fallback))).value_or(fallback);
}

bool ReadBoolean(const SettingsStore& store, std::string_view key, bool fallback) {
    return ParseBoolean(store.GetSetting(key, FormatBoolean(fallback))).value_or(fallback);
}

DateTime ReadDate(const SettingsStore& store, const DateTextFormat& dates, std::string_view key,
                  DateTime fallback) {
    return dates.ParseDateText(store.GetSetting(key, "")).value_or(fallback);
}

void ReadSelectedDrives(const SettingsStore& store, std::span<const std::string> otherFixedDrives,
                        std::vector<std::string>& selected) {
    selected.clear();
    // Drive C comes first when selected.
    if (ReadShowSetting(store, keys::kShowCDrive)) {
        selected.emplace_back("c:");
    }
    for (const std::string& root : otherFixedDrives) {
        if (root.empty() || !std::isalpha(static_cast<unsigned char>(root[0]))) {
            continue;
        }
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(root[0])));
        if (lower == 'c') {  // C has its own key and is already placed
            continue;
        }
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(lower)));
        if (ReadShowSetting(store, keys::ShowDriveKey(upper))) {
            selected.push_back(std::string(1, lower) + ":");
        }
    }
}

// A selection text of exactly `width` characters. Only "1" selects; a character outside
// printable ASCII (a damaged value) becomes "0", so that cutting to the width can never split
// a character in two and what is written back is always valid text.
std::string ReadSelections(const SettingsStore& store, std::string_view key, std::size_t width) {
    std::string text = store.GetSetting(key, std::string(width, '0'));
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '0';
        }
    }
    return FitToWidth(text, width, ' ');
}

}  // namespace

void LoadSettings(const SettingsStore& store, const DateTextFormat& dates,
                  std::span<const std::string> otherFixedDrives, DateTime today, RunSettings& run,
                  ScheduleRecord& schedule) {
    // Built from the date itself: a default that went through text would depend on the
    // locale's order of day and month.
    const DateTime todayDate = today.DatePart();

    run.lastDefrag = ReadDate(store, dates, keys::kLastDefrag, DateTime());
    run.runPriority = ReadInt16(store, keys::kRunPriority, 1);
    run.afterDefragAction = ReadInt16(store, keys::kAfterDefragAction, 1);
    ReadSelectedDrives(store, otherFixedDrives, run.selectedDrives);

    schedule.occursOption = ReadInt32(store, keys::kOccursOption, 0);
    schedule.everyInterval = ReadInt32(store, keys::kEveryInterval, 0);
    // The frequency's default depends on the unit just read.
    schedule.everyFrequency =
        ReadInt16(store, keys::kEveryFrequency, schedule.everyInterval == 0 ? 1 : 10);
    schedule.startHour = ReadInt16(store, keys::kStartHour, 24);
    schedule.startMinute = ReadInt16(store, keys::kStartMinute, 0);
    schedule.startDate = ReadDate(store, dates, keys::kStartDate, todayDate);
    schedule.endDate = ReadDate(store, dates, keys::kEndDate, todayDate);
    schedule.useEndDate = ReadBoolean(store, keys::kUseEndDate, false);
    schedule.weeklySelections =
        ReadSelections(store, keys::kWeeklySelections, kWeeklySelectionsLength);
    schedule.monthlySelections =
        ReadSelections(store, keys::kMonthlySelections, kMonthlySelectionsLength);
}

bool SaveScheduleSettings(SettingsStore& store, const DateTextFormat& dates,
                          const ScheduleRecord& s) {
    bool ok = true;
    const auto save = [&](std::string_view key, const std::string& value) {
        ok = store.SaveSetting(key, value) && ok;
    };
    save(keys::kOccursOption, std::to_string(s.occursOption));
    save(keys::kEveryInterval, std::to_string(s.everyInterval));
    save(keys::kEveryFrequency, std::to_string(s.everyFrequency));
    save(keys::kStartHour, std::to_string(s.startHour));
    save(keys::kStartMinute, std::to_string(s.startMinute));
    save(keys::kStartDate, FormatDateSetting(dates, s.startDate));
    save(keys::kEndDate, FormatDateSetting(dates, s.endDate));
    save(keys::kUseEndDate, FormatBoolean(s.useEndDate));
    save(keys::kWeeklySelections, FitToWidth(s.weeklySelections, kWeeklySelectionsLength, ' '));
    save(keys::kMonthlySelections, FitToWidth(s.monthlySelections, kMonthlySelectionsLength, ' '));
    return ok;
}

bool SaveLastDefrag(SettingsStore& store, const DateTextFormat& dates, DateTime lastDefrag) {
    return store.SaveSetting(keys::kLastDefrag, FormatDateSetting(dates, lastDefrag));
}

bool ReadShowSetting(const SettingsStore& store, std::string_view key) {
    // An unreadable value counts as absent, and absent means shown.
    const std::string text = store.GetSetting(key, "1");
    return ParseWholeNumber(text) ? NumberTextEquals(text, 1) : true;
}

bool ReadShownSetting(const SettingsStore& store, std::string_view key) {
    return ReadBoolean(store, key, false);
}

bool SaveShownSetting(SettingsStore& store, std::string_view key) {
    return store.SaveSetting(key, FormatBoolean(true));
}

}  // namespace qm
