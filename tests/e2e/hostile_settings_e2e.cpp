// Settings damaged in every way a registry value can be: the program still starts into the
// tray, and what it writes back is sound.
#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/local_time.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/tray_driver.h"
#include "e2e/harness/windows.h"

namespace qm::e2e {
namespace {

TEST(E2eHostileSettings, StartsIntoTheTrayAndWritesBackSoundValues) {
    const std::wstring huge(100 * 1024, L'9');
    TrayApp app =
        StartInTray({{L"ShowExitPrompt", L"0"},
                     {L"OptionsShown", L" true "},
                     {L"ScheduleShown", L"-1"},
                     {L"LastDefrag", L"1/1/0 25:61:61"},
                     {L"RunPriority", L"NaN"},
                     {L"AfterDefragAction", huge},
                     {L"ShowCDrive", L"-5"},
                     {L"ShowZDrive", L"1e400"},
                     {L"Show\u00c4Drive", L"1"},
                     {L"OccursOption", L"2"},
                     {L"EveryInterval", L"-2147483649"},
                     {L"StartHour", L"abc"},
                     {L"StartMinute", L"30.5"},
                     {L"StartDate", L"12/31/99999"},
                     {L"EndDate", L"1/31/2027"},
                     {L"UseEndDate", L"True"},
                     {L"WeeklySelections", L"110100101"},
                     {L"MonthlySelections", L"\u00e9\u00e9"}},
                    {}, [] {
                        const DWORD number = 3;
                        SetRawSetting(L"EveryFrequency", REG_DWORD, &number, sizeof number);
                        const BYTE blob[] = {0xFF, 0xFE, 0x00};
                        SetRawSetting(L"ShowSplash", REG_BINARY, blob, sizeof blob);
                    });
    ASSERT_NE(app.menu, nullptr) << "the program did not reach the tray";

    ASSERT_NE(OpenTrayMenu(app.menu, app.process.Pid()), nullptr) << "the tray menu did not open";
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
        {L"EveryInterval", L"0"},   // beyond 32 bits: the default
        {L"EveryFrequency", L"1"},  // not text: the default for the interval 0
        {L"StartHour", L"24"},      // unreadable: the default
        {L"StartMinute", L"30"},    // 30.5 rounds to the even 30
        {L"StartDate", today},      // no such year: today
        {L"EndDate", L"1/31/2027"},
        {L"UseEndDate", L"True"},
        {L"WeeklySelections", L"1101001"},  // cut to seven days
        // Damaged characters become "0" (two bytes each), then padded to 31 with blanks.
        {L"MonthlySelections", L"0000" + std::wstring(27, L' ')},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(GetSetting(e.key).value_or(L"<absent>"), e.value) << e.key;
    }
}

}  // namespace
}  // namespace qm::e2e
