// The schedule as stored, hostile values included, goes back to the settings store in the
// program's own forms when the program ends.
#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/local_time.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/tray_driver.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_icon.h"

namespace qm::e2e {
namespace {

const std::wstring kMonthly = L"1000000000000001000000000000001";

TEST(E2eScheduleSettings, HostileValuesAreWrittenBackInTheirProperForms) {
    // "EveryInterval" and "EveryFrequency" stay absent.
    TrayApp app = StartInTray({{L"ShowExitPrompt", L"0"},
                               {L"OccursOption", L"2"},
                               {L"StartHour", L"abc"},
                               {L"StartMinute", L"30"},
                               {L"StartDate", L""},
                               {L"EndDate", L"1/31/2027"},
                               {L"UseEndDate", L"True"},
                               {L"WeeklySelections", L"110100101"},
                               {L"MonthlySelections", kMonthly}});
    ASSERT_NE(app.menu, nullptr) << "the program did not reach the tray";
    const HWND menu = app.menu;

    // Exit from the tray menu, as a user leaves it.
    ASSERT_NE(OpenTrayMenu(menu, app.process.Pid()), nullptr) << "the tray menu did not open";
    TypeKeys(KeysForExit());
    const auto exitCode = app.process.WaitForExit(10000);
    ASSERT_TRUE(exitCode.has_value()) << "Exit did not end the program";
    EXPECT_EQ(*exitCode, 0u);

    const std::wstring today = TodayShortDate();
    const struct {
        const wchar_t* key;
        std::wstring value;
    } expected[] = {
        {L"OccursOption", L"2"},
        {L"EveryInterval", L"0"},
        {L"EveryFrequency", L"1"},  // absent with the interval 0
        {L"StartHour", L"24"},      // unreadable: the default
        {L"StartMinute", L"30"},
        {L"StartDate", today},  // empty: today
        {L"EndDate", L"1/31/2027"},
        {L"UseEndDate", L"True"},
        {L"WeeklySelections", L"1101001"},  // cut to seven days
        {L"MonthlySelections", kMonthly},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(GetSetting(e.key).value_or(L"<absent>"), e.value) << e.key;
    }
}

}  // namespace
}  // namespace qm::e2e
