// The schedule editor from the tray menu, and once at the first start, as a user meets it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/schedule/schedule_calculation.h"
#include "core/schedule/status_texts.h"
#include "e2e/harness/app_process.h"
#include "e2e/harness/local_time.h"
#include "e2e/harness/settings.h"
#include "e2e/harness/tray_driver.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_menu.h"
#include "win32/common/text.h"
#include "win32/schedule/schedule_editor_ids.h"

namespace qm::e2e {
namespace {

HWND WaitForEditor(DWORD pid, const std::wstring& caption) {
    HWND editor = nullptr;
    WaitUntil(
        [&] { return (editor = FindWindowWithText(pid, caption)) && ::IsWindowVisible(editor); },
        15000);
    return editor;
}

void Click(HWND dialog, int id) {
    ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The picker lives in the program's process: the time it is to take is put there first.
bool SetPickerTime(HWND picker, const SYSTEMTIME& time) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(picker, &pid);
    win::UniqueHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid));
    void* remote =
        ::VirtualAllocEx(process.get(), nullptr, sizeof time, MEM_COMMIT, PAGE_READWRITE);
    ::WriteProcessMemory(process.get(), remote, &time, sizeof time, nullptr);
    const LRESULT set = ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)remote);
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return set != 0;
}

std::wstring StoredStartTime() {
    return GetSetting(L"StartHour").value_or(L"") + L":" + GetSetting(L"StartMinute").value_or(L"");
}

std::wstring BalloonText(DWORD pid) {
    for (HWND w : TopLevelWindowsOf(pid)) {
        if (ClassNameOf(w) == L"tooltips_class32" && ::IsWindowVisible(w)) {
            return TextOf(w);
        }
    }
    return {};
}

std::wstring NextDefragLine(const ScheduleRecord& schedule) {
    const SYSTEMTIME t = LocalNow();
    const DateTime now = DateTime::Make(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return win::Widen(NextDefragText(CalculateNextScheduledTime(schedule, now, 0), now));
}

TEST(E2eScheduleEditor, WeeklyOnMondayAndThursdayAt930PmFromTheTrayMenu) {
    TrayApp tray = StartInTray({{L"ShowExitPrompt", L"0"}, {L"StartHour", L"8"}});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    const DWORD pid = tray.process.Pid();
    ASSERT_NE(OpenTrayMenu(tray.menu, pid), nullptr) << "the tray menu did not open";
    TypeKeys({VK_DOWN, VK_DOWN, VK_RETURN});  // "Set Defrag Schedule", the second item
    const HWND editor = WaitForEditor(pid, L" Defrag Schedule");
    ASSERT_NE(editor, nullptr) << "Set Defrag Schedule did not open the editor";
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(editor, win::kIdOk))) << "not for viewing";
    Click(editor, win::kIdOccurs0 + 2);     // Weekly
    Click(editor, win::kIdWeeklyDay1 + 1);  // Monday
    Click(editor, win::kIdWeeklyDay1 + 4);  // Thursday
    SYSTEMTIME at = LocalNow();
    at = {at.wYear, at.wMonth, at.wDayOfWeek, at.wDay, 21, 30, 0, 0};
    ASSERT_TRUE(SetPickerTime(::GetDlgItem(editor, win::kIdTimeStart), at));
    Click(editor, win::kIdOk);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(editor); }, 5000)) << "OK did not close it";

    // Stored at once, not only when the program ends.
    EXPECT_EQ(GetSetting(L"OccursOption"), L"2");
    EXPECT_EQ(GetSetting(L"WeeklySelections"), L"0100100");
    EXPECT_EQ(StoredStartTime(), L"21:30");

    // The balloon names the next Monday or Thursday at 9:30 PM.
    ScheduleRecord schedule;
    schedule.occursOption = 2;
    schedule.weeklySelections = "0100100";
    schedule.startHour = 21;
    schedule.startMinute = 30;
    ::SetCursorPos(kIconAnchor.x, kIconAnchor.y);
    PostTrayEvent(tray.menu, WM_MOUSEMOVE);
    std::wstring balloon;
    EXPECT_TRUE(WaitUntil([&] { return !(balloon = BalloonText(pid)).empty(); }, 5000));
    const std::wstring next = NextDefragLine(schedule);
    EXPECT_NE(balloon.find(next), std::wstring::npos) << win::Narrow(balloon);
    ::PostMessageW(tray.menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_TRUE(tray.process.WaitForExit(10000).has_value());
}

TEST(E2eFirstRunSchedule, AsksOnceReadyToAcceptAndStoresTheSuggestedTime) {
    TrayApp tray = StartInTray({{L"ScheduleShown", L"False"}, {L"ShowExitPrompt", L"0"}});
    const HWND editor = WaitForEditor(tray.process.Pid(), L" Schedule");
    ASSERT_NE(editor, nullptr) << "the first run did not ask for a schedule";
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(editor, win::kIdOk))) << "not ready to accept";
    Click(editor, win::kIdOk);
    EXPECT_TRUE(WaitUntil([] { return GetSetting(L"ScheduleShown") == L"True"; }, 5000));
    EXPECT_EQ(GetSetting(L"OccursOption"), L"1");  // daily, at the time the picker suggested
    EXPECT_EQ(StoredStartTime(), L"21:0");
    ::PostMessageW(tray.menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_TRUE(tray.process.WaitForExit(10000).has_value());
}

}  // namespace
}  // namespace qm::e2e
