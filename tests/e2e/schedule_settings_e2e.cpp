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
    ClearSettings();
    SetSetting(L"ShowSplash", L"0");
    SetSetting(L"ShowExitPrompt", L"0");
    SetSetting(L"OccursOption", L"2");
    SetSetting(L"StartHour", L"abc");
    SetSetting(L"StartMinute", L"30");
    SetSetting(L"StartDate", L"");
    SetSetting(L"EndDate", L"1/31/2027");
    SetSetting(L"UseEndDate", L"True");
    SetSetting(L"WeeklySelections", L"110100101");
    SetSetting(L"MonthlySelections", kMonthly);
    // "EveryInterval" and "EveryFrequency" stay absent.

    AppProcess app = AppProcess::Start();
    ASSERT_NE(app.Pid(), 0u);
    const HWND menu = app.WaitForMainWindow();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(menu, win::TrayIcon::kIconId); }, 10000));

    // Exit from the tray menu, as a user leaves it.
    ASSERT_NE(OpenTrayMenu(menu, app.Pid()), nullptr) << "the tray menu did not open";
    TypeKeys(KeysForExit());
    const auto exitCode = app.WaitForExit(10000);
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
