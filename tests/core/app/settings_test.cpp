// The stored settings: how texts convert, what loads with which default, what is written.

#include <gtest/gtest.h>

#include "core/app/program_settings.h"
#include "core/app/setting_conversions.h"
#include "core/app/settings_keys.h"
#include "support/date_time_print.h"
#include "support/fakes.h"

namespace qm {
namespace {

using Strings = std::vector<std::string>;

// Day before month, as much of the world writes dates.
class DayFirstDateTextFormat final : public DateTextFormat {
  public:
    std::string FormatShortDate(DateTime t) const override {
        const CivilDate d = t.Date();
        return std::to_string(d.day) + "/" + std::to_string(d.month) + "/" + std::to_string(d.year);
    }
    std::string FormatTime(DateTime) const override { return ""; }
    std::optional<DateTime> ParseDateText(std::string_view text) const override {
        const auto t = UsDateTextFormat().ParseDateText(text);
        return t ? DateTime::FromParts(t->Year(), t->Date().day, t->Date().month) : std::nullopt;
    }
};

TEST(SettingConversions, NumbersAndBooleans) {
    const std::pair<const char*, std::int64_t> numbers[] = {
        {" -3 ", -3}, {"+7", 7}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"2.51", 3}, {".5", 0}};
    for (auto [text, value] : numbers) {
        EXPECT_EQ(ParseWholeNumber(text), value) << '"' << text << '"';
    }
    for (const char* text : {"", "-", "1e3", "12abc", "1 2", "1000000000000001"}) {
        EXPECT_FALSE(ParseWholeNumber(text)) << '"' << text << '"';
    }
    // The narrower types refuse what does not fit, after rounding.
    EXPECT_EQ(ParseInt16("-32768"), -32768);
    EXPECT_FALSE(ParseInt16("32768"));
    EXPECT_FALSE(ParseInt16("32767.5"));
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
    EXPECT_FALSE(ParseInt32("2147483648"));
    const std::pair<const char*, std::optional<bool>> booleans[] = {
        {" true ", true}, {"FALSE", false}, {"-1", true}, {"0.0", false},
        {"0.01", true},   {"yes", {}},      {"Truee", {}}};
    for (auto [text, value] : booleans) {
        EXPECT_EQ(ParseBoolean(text), value) << '"' << text << '"';
    }
}

class ProgramSettingsTest : public ::testing::Test {
  protected:
    void Load(std::vector<std::string> drives = {"d:\\", "e:\\"}) {
        LoadSettings(store, us, drives, today, run, schedule);
    }

    test::MemorySettingsStore store;
    UsDateTextFormat us;
    DateTime today = D(2026, 12, 5, 14, 33, 7);
    RunSettings run;
    ScheduleRecord schedule;
};

TEST_F(ProgramSettingsTest, UnconvertibleValuesGiveTheDefaultsInTheOrderOfTheTable) {
    store.values = {{"LastDefrag", "2/30/2026"},    {"RunPriority", "High"},
                    {"AfterDefragAction", "70000"}, {"ShowDDrive", "junk"},
                    {"OccursOption", "9999999999"}, {"EveryInterval", "x"},
                    {"EveryFrequency", "40000"},    {"StartHour", "-"},
                    {"StartMinute", "1e2"},         {"StartDate", "13/13/2026"},
                    {"EndDate", "1/1/10000"},       {"UseEndDate", "maybe"}};
    Load({"d:\\"});
    EXPECT_EQ(std::tuple(run.lastDefrag, run.runPriority, run.afterDefragAction),
              std::tuple(DateTime(), 1, 1));
    EXPECT_EQ(run.selectedDrives, (Strings{"c:", "d:"}));
    EXPECT_EQ(std::tuple(schedule.occursOption, schedule.everyInterval, schedule.everyFrequency,
                         schedule.startHour, schedule.startMinute, schedule.useEndDate),
              std::tuple(0, 0, 1, 24, 0, false));
    EXPECT_EQ(std::pair(schedule.startDate, schedule.endDate),
              std::pair(D(2026, 12, 5), D(2026, 12, 5)));
    EXPECT_EQ(store.reads, (Strings{"LastDefrag", "RunPriority", "AfterDefragAction", "ShowCDrive",
                                    "ShowDDrive", "OccursOption", "EveryInterval", "EveryFrequency",
                                    "StartHour", "StartMinute", "StartDate", "EndDate",
                                    "UseEndDate", "WeeklySelections", "MonthlySelections"}));
}

TEST_F(ProgramSettingsTest,
       DrivesAreChosenAnewAndDefaultsFollowTheIntervalAndTodayInADayFirstLocale) {
    store.values = {{"ShowCDrive", "0"}, {"ShowEDrive", "0"}, {"ShowFDrive", "2"}};
    Load({"d:\\", "e:\\", "F:\\", "g:\\", "", "?:\\", "c:\\"});
    EXPECT_EQ(run.selectedDrives, (Strings{"d:", "g:"}));
    Load({"d:\\"});  // a second load starts from an empty list
    EXPECT_EQ(run.selectedDrives, (Strings{"d:"}));
    store.values = {{"EveryInterval", "1"}};
    LoadSettings(store, DayFirstDateTextFormat(), {}, today, run, schedule);
    EXPECT_EQ(schedule.everyFrequency, 10);
    EXPECT_EQ(std::pair(schedule.startDate, schedule.endDate),
              std::pair(D(2026, 12, 5), D(2026, 12, 5)));
}

TEST_F(ProgramSettingsTest, StoredTextsLoadAndSaveInOrderAndForm) {
    // A damaged selection text is mended, and each is padded or cut to its length.
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"OccursOption", "2", "2"},
        {"EveryInterval", "1", "1"},
        {"EveryFrequency", "30.2", "30"},
        {"StartHour", "21", "21"},
        {"StartMinute", "05", "5"},
        {"StartDate", "11/1/2026", "11/1/2026"},
        {"EndDate", "1/2/2027 6:07:08 AM", "1/2/2027 6:07:08 AM"},
        {"UseEndDate", "-1", "True"},
        {"WeeklySelections", "01\xC3\xA9", "0100   "},
        {"MonthlySelections", std::string(40, '1'), std::string(31, '1')}};
    store.values = {
        {"LastDefrag", "12/3/2026 9:30:05 PM"}, {"RunPriority", "3"}, {"AfterDefragAction", "2"}};
    for (const auto& [key, stored, saved] : cases) {
        store.values[key] = stored;
    }
    Load();
    EXPECT_EQ(std::tuple(run.lastDefrag, run.runPriority, run.afterDefragAction),
              std::tuple(D(2026, 12, 3, 21, 30, 5), 3, 2));
    test::MemorySettingsStore saved;
    EXPECT_TRUE(SaveScheduleSettings(saved, us, schedule));
    ASSERT_EQ(saved.writes.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [key, stored, text] = cases[i];
        EXPECT_EQ(saved.writes[i], key + ("=" + text));
    }
    // A failed write is reported, and every key is still tried.
    saved.failWrites = true;
    EXPECT_FALSE(SaveScheduleSettings(saved, us, schedule));
    EXPECT_EQ(saved.writes.size(), 2 * std::size(cases));
}

TEST_F(ProgramSettingsTest, LastDefragFirstRunMarkersAndShowSettings) {
    EXPECT_TRUE(SaveLastDefrag(store, us, D(2026, 12, 3, 21, 30, 5)));
    EXPECT_EQ(store.Find("LastDefrag"), "12/3/2026 9:30:05 PM");
    EXPECT_FALSE(ReadShownSetting(store, keys::kOptionsShown));
    EXPECT_TRUE(SaveShownSetting(store, keys::kOptionsShown));
    EXPECT_EQ(store.Find("OptionsShown"), "True");
    EXPECT_TRUE(ReadShownSetting(store, keys::kOptionsShown));
    // Only a value of exactly 1 shows; an unreadable one counts as absent, which shows.
    const std::pair<const char*, bool> cases[] = {
        {"1", true}, {"2", false}, {"1.0", true}, {"1.01", false}, {"abc", true}};
    for (auto [value, shown] : cases) {
        store.values["ShowSplash"] = value;
        EXPECT_EQ(ReadShowSetting(store, keys::kShowSplash), shown) << value;
    }
}

}  // namespace
}  // namespace qm
