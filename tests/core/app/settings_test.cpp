// The stored settings: how texts convert, what loads with which default, what is written.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/program_settings.h"
#include "core/app/setting_conversions.h"
#include "core/app/settings_keys.h"
#include "support/date_time_print.h"
#include "support/fakes.h"

namespace qm {
namespace {

using test::MemorySettingsStore;

// Keeps the order in which keys are read and written.
class RecordingStore final : public SettingsStore {
  public:
    std::string GetSetting(std::string_view key, std::string_view defaultValue) const override {
        reads.emplace_back(key);
        return inner.GetSetting(key, defaultValue);
    }
    bool SaveSetting(std::string_view key, std::string_view value) override {
        writes.emplace_back(key);
        return inner.SaveSetting(key, value);
    }
    MemorySettingsStore inner;
    mutable std::vector<std::string> reads;
    std::vector<std::string> writes;
};

// Day before month, as much of the world writes dates.
class DayFirstDateTextFormat final : public DateTextFormat {
  public:
    std::string FormatShortDate(DateTime t) const override {
        const CivilDate d = t.Date();
        return std::to_string(d.day) + "/" + std::to_string(d.month) + "/" + std::to_string(d.year);
    }
    std::string FormatTime(DateTime) const override { return ""; }
    std::optional<DateTime> ParseDateText(std::string_view text) const override {
        const auto swapped = UsDateTextFormat().ParseDateText(text);
        return swapped ? DateTime::FromParts(swapped->Date().year, swapped->Date().day,
                                             swapped->Date().month)
                       : std::nullopt;
    }
};

TEST(SettingConversions, NumbersAndBooleans) {
    const std::pair<const char*, std::int64_t> numbers[] = {
        {" -3 ", -3}, {"+7", 7}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"2.51", 3}, {".5", 0}};
    for (auto [text, value] : numbers) {
        EXPECT_EQ(ParseWholeNumber(text), value) << '"' << text << '"';
    }
    for (const char* text : {"", "-", "1e3", "12abc", "1 2", "1,5", "1000000000000001"}) {
        EXPECT_FALSE(ParseWholeNumber(text)) << '"' << text << '"';
    }
    // The narrower types refuse what does not fit, after rounding.
    EXPECT_EQ(ParseInt16("-32768"), -32768);
    EXPECT_FALSE(ParseInt16("32768"));
    EXPECT_FALSE(ParseInt16("32767.5"));
    EXPECT_FALSE(ParseInt16("x"));
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
    EXPECT_FALSE(ParseInt32("2147483648"));
    const std::pair<const char*, std::optional<bool>> booleans[] = {
        {" true ", true}, {"FALSE", false}, {"0", false}, {"-1", true},
        {"0.0", false},   {"0.01", true},   {"yes", {}},  {"Truee", {}}};
    for (auto [text, value] : booleans) {
        EXPECT_EQ(ParseBoolean(text), value) << '"' << text << '"';
    }
}

class ProgramSettingsTest : public ::testing::Test {
  protected:
    void Load(std::vector<std::string> drives = {"d:\\", "e:\\"}) {
        LoadSettings(store, us, drives, today, run, schedule);
    }
    void Store(const char* key, std::string value) { store.inner.SaveSetting(key, value); }

    RecordingStore store;
    UsDateTextFormat us;
    DateTime today = D(2026, 12, 5, 14, 33, 7);
    RunSettings run;
    ScheduleRecord schedule;
};

TEST_F(ProgramSettingsTest, UnconvertibleValuesGiveTheDefaultsInTheOrderOfTheTable) {
    const char* junk[][2] = {{"LastDefrag", "2/30/2026"},    {"RunPriority", "High"},
                             {"AfterDefragAction", "70000"}, {"ShowDDrive", "junk"},
                             {"OccursOption", "9999999999"}, {"EveryInterval", "x"},
                             {"EveryFrequency", "40000"},    {"StartHour", "-"},
                             {"StartMinute", "1e2"},         {"StartDate", "13/13/2026"},
                             {"EndDate", "1/1/10000"},       {"UseEndDate", "maybe"}};
    for (const auto& [key, text] : junk) {
        Store(key, text);
    }
    Load({"d:\\"});
    EXPECT_EQ(run.lastDefrag, DateTime());
    EXPECT_EQ(run.runPriority, 1);
    EXPECT_EQ(run.afterDefragAction, 1);
    EXPECT_EQ(run.selectedDrives, (std::vector<std::string>{"c:", "d:"}));
    EXPECT_EQ(schedule.occursOption, 0);
    EXPECT_EQ(schedule.everyInterval, 0);
    EXPECT_EQ(schedule.everyFrequency, 1);
    EXPECT_EQ(schedule.startHour, 24);
    EXPECT_EQ(schedule.startMinute, 0);
    EXPECT_EQ(schedule.startDate, D(2026, 12, 5));
    EXPECT_EQ(schedule.endDate, D(2026, 12, 5));
    EXPECT_FALSE(schedule.useEndDate);
    EXPECT_EQ(store.reads,
              (std::vector<std::string>{
                  "LastDefrag", "RunPriority", "AfterDefragAction", "ShowCDrive", "ShowDDrive",
                  "OccursOption", "EveryInterval", "EveryFrequency", "StartHour", "StartMinute",
                  "StartDate", "EndDate", "UseEndDate", "WeeklySelections", "MonthlySelections"}));
}

TEST_F(ProgramSettingsTest, DriveSelectionIsRebuiltOnEachLoad) {
    Store("ShowCDrive", "0");
    Store("ShowEDrive", "0");
    Store("ShowFDrive", "2");
    Load({"d:\\", "e:\\", "F:\\", "g:\\", "", "?:\\", "c:\\"});
    EXPECT_EQ(run.selectedDrives, (std::vector<std::string>{"d:", "g:"}));
    Load({"d:\\"});  // a second load starts from an empty list
    EXPECT_EQ(run.selectedDrives, (std::vector<std::string>{"d:"}));
}

TEST_F(ProgramSettingsTest, EveryFrequencyDefaultFollowsTheInterval) {
    Store("EveryInterval", "1");
    Load();
    EXPECT_EQ(schedule.everyFrequency, 10);
}

TEST_F(ProgramSettingsTest, StoredTextsLoadAndSaveInOrderAndForm) {
    const struct {
        const char* key;
        std::string stored, saved;
    } cases[] = {{"OccursOption", "2", "2"},
                 {"EveryInterval", "1", "1"},
                 {"EveryFrequency", "30.2", "30"},
                 {"StartHour", "21", "21"},
                 {"StartMinute", "05", "5"},
                 {"StartDate", "11/1/2026", "11/1/2026"},
                 {"EndDate", "1/2/2027 6:07:08 AM", "1/2/2027 6:07:08 AM"},
                 {"UseEndDate", "-1", "True"},
                 {"WeeklySelections", "01\xC3\xA9", "0100   "},  // damaged; padded
                 {"MonthlySelections", std::string(40, '1'), std::string(31, '1')}};
    for (const auto& c : cases) {
        Store(c.key, c.stored);
    }
    Store("LastDefrag", "12/3/2026 9:30:05 PM");
    Store("RunPriority", "3");
    Store("AfterDefragAction", "2");
    Load();
    EXPECT_EQ(run.lastDefrag, D(2026, 12, 3, 21, 30, 5));
    EXPECT_EQ(run.runPriority, 3);
    EXPECT_EQ(run.afterDefragAction, 2);
    EXPECT_EQ(schedule.endDate, D(2027, 1, 2, 6, 7, 8));

    RecordingStore saved;
    EXPECT_TRUE(SaveScheduleSettings(saved, us, schedule));
    ASSERT_EQ(saved.writes.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(saved.writes[i], cases[i].key);
        EXPECT_EQ(saved.inner.Find(cases[i].key), cases[i].saved) << cases[i].key;
    }
    // A failed write is reported, and every key is still tried.
    saved.inner.failWrites = true;
    EXPECT_FALSE(SaveScheduleSettings(saved, us, schedule));
    EXPECT_EQ(saved.writes.size(), 2 * std::size(cases));
}

TEST_F(ProgramSettingsTest, DefaultDateIsTodayInADayFirstLocale) {
    const DayFirstDateTextFormat dayFirst;
    LoadSettings(store, dayFirst, {}, today, run, schedule);
    EXPECT_EQ(schedule.startDate, D(2026, 12, 5));
    EXPECT_EQ(schedule.endDate, D(2026, 12, 5));
}

TEST_F(ProgramSettingsTest, LastDefragFirstRunMarkersAndShowSettings) {
    EXPECT_TRUE(SaveLastDefrag(store, us, D(2026, 12, 3, 21, 30, 5)));
    EXPECT_EQ(store.inner.Find("LastDefrag"), "12/3/2026 9:30:05 PM");
    EXPECT_FALSE(ReadShownSetting(store, keys::kOptionsShown));
    EXPECT_TRUE(SaveShownSetting(store, keys::kOptionsShown));
    EXPECT_EQ(store.inner.Find("OptionsShown"), "True");
    EXPECT_TRUE(ReadShownSetting(store, keys::kOptionsShown));
    // Only a value of exactly 1 shows; an unreadable one counts as absent, which shows.
    const std::pair<const char*, bool> cases[] = {
        {"1", true}, {"2", false}, {"1.0", true}, {"1.01", false}, {"abc", true}};
    for (auto [value, shown] : cases) {
        Store("ShowSplash", value);
        EXPECT_EQ(ReadShowSetting(store, keys::kShowSplash), shown) << value;
    }
}

}  // namespace
}  // namespace qm
