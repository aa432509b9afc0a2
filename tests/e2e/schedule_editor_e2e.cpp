// The schedule editor from the tray menu, as a user meets it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/schedule/schedule_calculation.h"
#include "core/schedule/status_texts.h"
#include "e2e/harness/app_process.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_menu.h"
#include "win32/common/text.h"
#include "win32/schedule/schedule_editor_ids.h"

namespace qm::e2e {
namespace {

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

TEST(E2eScheduleEditor, WeeklyOnMondayAndThursdayAt930PmFromTheTrayMenu) {
    TrayApp tray = StartInTray({{L"ShowExitPrompt", L"0"}, {L"StartHour", L"8"}});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    const DWORD pid = tray.process.Pid();
    ASSERT_NE(OpenTrayMenu(tray.menu, pid), nullptr) << "the tray menu did not open";
    TypeKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // "Set Defrag Schedule", the third item
    const HWND editor = WaitForWindowWithText(pid, L" Defrag Schedule", 15000);
    ASSERT_NE(editor, nullptr) << "Set Defrag Schedule did not open the editor";
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(editor, win::kIdOk))) << "not for viewing";
    for (int id : {win::kIdOccurs0 + 2, win::kIdWeeklyDay1 + 1, win::kIdWeeklyDay1 + 4}) {
        ::SendDlgItemMessageW(editor, id, BM_CLICK, 0, 0);  // Weekly, Monday, Thursday
    }
    SYSTEMTIME at = LocalNow();
    at = {at.wYear, at.wMonth, at.wDayOfWeek, at.wDay, 21, 30, 0, 0};
    ASSERT_TRUE(SetPickerTime(::GetDlgItem(editor, win::kIdTimeStart), at));
    ::SendDlgItemMessageW(editor, win::kIdOk, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(editor); }, 5000)) << "OK did not close it";
    // Stored at once, not only when the program ends.
    EXPECT_EQ(GetSettings({L"OccursOption", L"WeeklySelections", L"StartHour", L"StartMinute"}),
              L"2|0100100|21|30");

    // The balloon names the next Monday or Thursday at 9:30 PM.
    ScheduleRecord schedule;
    std::tie(schedule.occursOption, schedule.startHour, schedule.startMinute) =
        std::tuple(2, 21, 30);
    schedule.weeklySelections = "0100100";
    ::SetCursorPos(kIconAnchor.x, kIconAnchor.y);
    PostTrayEvent(tray.menu, WM_MOUSEMOVE);
    std::wstring balloon;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const HWND tip = WindowOfClass(pid, L"tooltips_class32");
            return tip && !(balloon = TextOf(tip)).empty();
        },
        5000));
    const SYSTEMTIME t = LocalNow();
    const DateTime now = DateTime::Make(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    const std::string next = NextDefragText(CalculateNextScheduledTime(schedule, now, 0), now);
    EXPECT_NE(balloon.find(win::Widen(next)), std::wstring::npos) << win::Narrow(balloon);
}

}  // namespace
}  // namespace qm::e2e
