#include "core/app/program_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/settings_keys.h"
#include "core/common/memory_settings_store.h"
#include "support/date_time_print.h"

namespace qm {
namespace {

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

// Day before month, as much of the world writes dates: read as month first, then swapped.
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

class ProgramSettingsTest : public ::testing::Test {
  protected:
    void Load(std::vector<std::string> drives = {"d:\\", "e:\\"}) {
        LoadSettings(store, us, drives, today, run, schedule);
    }

    RecordingStore store;
    UsDateTextFormat us;
    DateTime today = D(2026, 12, 5, 14, 33, 7);
    RunSettings run;
    ScheduleRecord schedule;
};

TEST_F(ProgramSettingsTest, EmptyOrUnconvertibleValuesGiveTheDefaults) {
    // Key, then the text stored under it.
    const char* junk[] = {
        "LastDefrag",   "2/30/2026",   "RunPriority",   "High", "AfterDefragAction", "70000",
        "OccursOption", "99999999999", "EveryInterval", "x",    "EveryFrequency",    "40000",
        "StartHour",    "-",           "StartMinute",   "1e2",  "StartDate",         "13/13/2026",
        "EndDate",      "1/1/10000",   "UseEndDate",    "maybe"};
    for (bool stored : {false, true}) {
        for (std::size_t i = 0; stored && i < std::size(junk); i += 2) {
            store.inner.SaveSetting(junk[i], junk[i + 1]);
        }
        run = RunSettings();
        schedule = ScheduleRecord();
        Load();
        EXPECT_EQ(run.lastDefrag, DateTime());
        EXPECT_EQ(run.runPriority, 1);
        EXPECT_EQ(run.afterDefragAction, 1);
        EXPECT_EQ(schedule.occursOption, 0);
        EXPECT_EQ(schedule.everyInterval, 0);
        EXPECT_EQ(schedule.everyFrequency, 1);
        EXPECT_EQ(schedule.startHour, 24);
        EXPECT_EQ(schedule.startMinute, 0);
        EXPECT_EQ(schedule.startDate, D(2026, 12, 5));
        EXPECT_EQ(schedule.endDate, D(2026, 12, 5));
        EXPECT_FALSE(schedule.useEndDate);
        EXPECT_EQ(schedule.weeklySelections, "0000000");
        EXPECT_EQ(schedule.monthlySelections, std::string(31, '0'));
    }
    EXPECT_EQ(run.selectedDrives, (std::vector<std::string>{"c:", "d:", "e:"}));
}

TEST_F(ProgramSettingsTest, ReadsInTheOrderOfTheTable) {
    Load({"d:\\"});
    EXPECT_EQ(store.reads,
              (std::vector<std::string>{
                  "LastDefrag", "RunPriority", "AfterDefragAction", "ShowCDrive", "ShowDDrive",
                  "OccursOption", "EveryInterval", "EveryFrequency", "StartHour", "StartMinute",
                  "StartDate", "EndDate", "UseEndDate", "WeeklySelections", "MonthlySelections"}));
}

TEST_F(ProgramSettingsTest, DriveSelection) {
    store.inner.SaveSetting("ShowCDrive", "0");
    store.inner.SaveSetting("ShowDDrive", "1");
    store.inner.SaveSetting("ShowEDrive", "0");
    store.inner.SaveSetting("ShowFDrive", "2");
    store.inner.SaveSetting("ShowGDrive", "junk");  // unreadable: the default, selected
    Load({"d:\\", "e:\\", "F:\\", "g:\\", "", "?:\\", "c:\\"});
    EXPECT_EQ(run.selectedDrives, (std::vector<std::string>{"d:", "g:"}));
}

TEST_F(ProgramSettingsTest, EveryFrequencyDefaultFollowsTheInterval) {
    store.inner.SaveSetting("EveryInterval", "1");
    Load();
    EXPECT_EQ(schedule.everyFrequency, 10);
    store.inner.SaveSetting("EveryFrequency", "45");
    Load();
    EXPECT_EQ(schedule.everyFrequency, 45);
}

TEST_F(ProgramSettingsTest, StoredTextsLoadAndSaveInOrderAndForm) {
    struct Case {
        const char* key;
        std::string stored, saved;
    };
    const Case cases[] = {{"OccursOption", "2", "2"},
                          {"EveryInterval", "1", "1"},
                          {"EveryFrequency", "30.2", "30"},
                          {"StartHour", "21", "21"},
                          {"StartMinute", "05", "5"},
                          {"StartDate", "11/1/2026", "11/1/2026"},
                          {"EndDate", "1/2/2027 6:07:08 AM", "1/2/2027 6:07:08 AM"},
                          {"UseEndDate", "-1", "True"},
                          {"WeeklySelections", "01001", "01001  "},  // padded with blanks
                          {"MonthlySelections", std::string(40, '1'), std::string(31, '1')}};
    for (const Case& c : cases) {
        store.inner.SaveSetting(c.key, c.stored);
    }
    store.inner.SaveSetting("LastDefrag", "12/3/2026 9:30:05 PM");
    store.inner.SaveSetting("RunPriority", "3");
    store.inner.SaveSetting("AfterDefragAction", "2");
    Load();
    EXPECT_EQ(run.lastDefrag, D(2026, 12, 3, 21, 30, 5));
    EXPECT_EQ(run.runPriority, 3);
    EXPECT_EQ(run.afterDefragAction, 2);
    EXPECT_EQ(schedule.startDate, D(2026, 11, 1));
    EXPECT_EQ(schedule.endDate, D(2027, 1, 2, 6, 7, 8));
    EXPECT_TRUE(schedule.useEndDate);

    RecordingStore saved;
    EXPECT_TRUE(SaveScheduleSettings(saved, us, schedule));
    ASSERT_EQ(saved.writes.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(saved.writes[i], cases[i].key);
        EXPECT_EQ(saved.inner.Find(cases[i].key), cases[i].saved) << cases[i].key;
    }
    // A failed write is reported, and every key is still tried.
    saved.inner.FailWrites(true);
    EXPECT_FALSE(SaveScheduleSettings(saved, us, schedule));
    EXPECT_EQ(saved.writes.size(), 2 * std::size(cases));
}

TEST_F(ProgramSettingsTest, DefaultDateIsTodayInADayFirstLocale) {
    const DayFirstDateTextFormat dayFirst;
    LoadSettings(store, dayFirst, {}, today, run, schedule);
    EXPECT_EQ(schedule.startDate, D(2026, 12, 5));
    EXPECT_EQ(schedule.endDate, D(2026, 12, 5));
}

TEST_F(ProgramSettingsTest, LastDefragAndFirstRunMarkers) {
    EXPECT_TRUE(SaveLastDefrag(store, us, D(2026, 12, 3, 21, 30, 5)));
    EXPECT_EQ(store.inner.Find("LastDefrag"), "12/3/2026 9:30:05 PM");
    EXPECT_FALSE(ReadShownSetting(store, keys::kOptionsShown));
    EXPECT_TRUE(SaveShownSetting(store, keys::kOptionsShown));
    EXPECT_EQ(store.inner.Find("OptionsShown"), "True");
    EXPECT_TRUE(ReadShownSetting(store, keys::kOptionsShown));
}

TEST_F(ProgramSettingsTest, ShowSettingsAreOnOnlyForExactlyOne) {
    const std::pair<const char*, bool> cases[] = {{"1", true},   {"2", false},   {"0", false},
                                                  {"1.0", true}, {"1.4", false}, {"abc", true}};
    for (auto [value, shown] : cases) {
        store.inner.SaveSetting("ShowSplash", value);
        EXPECT_EQ(ReadShowSetting(store, keys::kShowSplash), shown) << value;
    }
    store.inner.Erase("ShowSplash");
    EXPECT_TRUE(ReadShowSetting(store, keys::kShowSplash));
}

}  // namespace
}  // namespace qm
