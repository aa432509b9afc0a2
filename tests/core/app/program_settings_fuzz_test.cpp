// Stored settings can hold anything: edited by hand, written by another version, damaged.
// Loading must neither crash nor stall on them, and must give the defaults for what it
// cannot read.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/app/program_settings.h"
#include "core/app/setting_conversions.h"
#include "core/common/memory_settings_store.h"
#include "core/schedule/schedule_calculation.h"
#include "support/date_time_print.h"

namespace qm {
namespace {

class TextGenerator {
  public:
    explicit TextGenerator(std::uint32_t seed) : engine_(seed) {}
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint32_t>(n)); }

    std::string Text() {
        static const std::string kAlphabet = "0123456789 -+./:,eExTrueFalsAPM\t\x01\xff";
        switch (Below(8)) {  // five in eight are random characters
            case 0:
                return std::string();
            case 1:  // a very long number
                return std::string(static_cast<std::size_t>(1 + Below(20000)), '9');
            case 2:  // numbers near the edges of the integer types
                return std::to_string(static_cast<std::int64_t>(engine_()) * (Below(2) ? 1 : -1) *
                                      (1LL << Below(40)));
            case 3:  // dates, plausible or not
                return std::to_string(Below(15)) + "/" + std::to_string(Below(34)) + "/" +
                       std::to_string(Below(12000)) +
                       (Below(2) ? " " + std::to_string(Below(30)) + ":" +
                                       std::to_string(Below(70)) + (Below(2) ? " PM" : "")
                                 : "");
        }
        std::string text(static_cast<std::size_t>(Below(40)), ' ');
        for (char& c : text) {
            c = kAlphabet[static_cast<std::size_t>(Below(static_cast<int>(kAlphabet.size())))];
        }
        return text;
    }

  private:
    std::mt19937 engine_;
};

TEST(ProgramSettingsFuzzTest, ArbitraryStoredTextsLoadSafely) {
    const char* keys[] = {"LastDefrag", "RunPriority",      "AfterDefragAction", "ShowCDrive",
                          "ShowDDrive", "OccursOption",     "EveryInterval",     "EveryFrequency",
                          "StartHour",  "StartMinute",      "StartDate",         "EndDate",
                          "UseEndDate", "WeeklySelections", "MonthlySelections"};
    TextGenerator g(5122026);
    const UsDateTextFormat us;
    const DateTime today = DateTime::Make(2026, 12, 5, 10, 0, 0);
    const std::vector<std::string> drives = {"d:\\"};
    for (int round = 0; round < 20000; ++round) {
        MemorySettingsStore store;
        for (const char* key : keys) {
            if (g.Below(4) != 0) {
                store.SaveSetting(key, g.Text());
            }
        }
        RunSettings run;
        ScheduleRecord schedule;
        LoadSettings(store, us, drives, today, run, schedule);

        // Whatever was stored, each value is either its conversion or its default.
        const auto text = [&](const char* key) { return store.GetSetting(key, ""); };
        EXPECT_EQ(run.runPriority, ParseInt16(text("RunPriority")).value_or(1));
        EXPECT_EQ(schedule.startHour, ParseInt16(text("StartHour")).value_or(24));
        EXPECT_EQ(schedule.occursOption, ParseInt32(text("OccursOption")).value_or(0));
        EXPECT_EQ(schedule.startDate,
                  us.ParseDateText(text("StartDate")).value_or(today.DatePart()));
        EXPECT_EQ(schedule.weeklySelections.size(), 7u);
        EXPECT_EQ(schedule.monthlySelections.size(), 31u);
        EXPECT_LE(run.selectedDrives.size(), 2u);

        // And the loaded schedule can be calculated and saved again.
        for (std::int16_t offset : {0, 1}) {
            EXPECT_LE(CalculateNextScheduledTime(schedule, today, offset), DateTime::Max());
        }
        MemorySettingsStore saved;
        EXPECT_TRUE(SaveScheduleSettings(saved, us, schedule));
        ScheduleRecord reloaded;
        LoadSettings(saved, us, drives, today, run, reloaded);
        EXPECT_EQ(reloaded.occursOption, schedule.occursOption);
        EXPECT_EQ(reloaded.everyFrequency, schedule.everyFrequency);
        EXPECT_EQ(reloaded.startDate, schedule.startDate);
        EXPECT_EQ(reloaded.endDate, schedule.endDate);
        EXPECT_EQ(reloaded.weeklySelections, schedule.weeklySelections);
        EXPECT_EQ(reloaded.monthlySelections, schedule.monthlySelections);
        ASSERT_FALSE(HasFailure()) << "round " << round;
    }
}

}  // namespace
}  // namespace qm
