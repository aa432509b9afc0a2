// The run history window opened from the tray: the log's rows newest first, Copy and Esc.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/windows.h"
#include "win32/common/clipboard.h"
#include "win32/common/text.h"
#include "win32/defrag/history_window.h"

namespace qm::e2e {
namespace {

// One column of every row of another process's list view, read through a buffer in it.
std::vector<std::wstring> ColumnTexts(HWND list, int column) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    win::UniqueHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    auto* remote = static_cast<BYTE*>(
        ::VirtualAllocEx(process.get(), nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    std::vector<std::wstring> texts;
    for (int i = 0, n = ListView_GetItemCount(list); i < n; ++i) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(remote + 256);
        item.cchTextMax = 512;
        wchar_t text[512] = {};
        ::WriteProcessMemory(process.get(), remote, &item, sizeof item, nullptr);
        ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process.get(), remote + 256, text, sizeof text - 2, nullptr);
        texts.emplace_back(text);
    }
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return texts;
}

TEST(E2eHistory, ListsTheLogNewestFirstCopiesItAndEscClosesIt) {
    TrayApp tray = StartInTray({{L"ShowExitPrompt", L"0"}}, {}, [] {
        win::LocalLogFolder().Write(
            kRunLogFile,
            "2026-12-06 21:30:05\tC:\tdefrag c: /U /V\t0:12:03\tok\r\n"
            "2026-12-07 21:30:00\t-\t-\t-\tcaught up\r\n"
            "2026-12-07 21:30:01\tD:\tdefrag d: /U /V\t0:00:01\tfailed: x (0x5)\r\n");
    });
    ASSERT_NE(OpenTrayMenu(tray.menu, tray.process.Pid()), nullptr);
    TypeKeys({VK_DOWN, VK_DOWN, VK_RETURN});  // "Run History...", the second item
    const HWND window = WaitForWindowWithText(tray.process.Pid(), L" Run History");
    ASSERT_NE(window, nullptr);
    const HWND list = ::GetDlgItem(window, win::HistoryWindow::kIdList);
    EXPECT_EQ(ColumnTexts(list, 1), (std::vector<std::wstring>{L"D:", L"", L"C:"}));
    EXPECT_EQ(ColumnTexts(list, 3)[1], L"caught up");
    ::Sleep(500);  // fully painted
    EXPECT_TRUE(SaveScreenshot(window, 12, L"history"));

    ::PostMessageW(::GetDlgItem(window, win::HistoryWindow::kIdCopy), BM_CLICK, 0, 0);
    std::wstring copied;
    EXPECT_TRUE(WaitUntil(
        [&] { return !(copied = win::ClipboardText(nullptr).value_or(L"")).empty(); }, 5000));
    const auto started = ColumnTexts(list, 0);
    EXPECT_EQ(copied.find(started[0] + L"\tD:\t0:00:01\tfailed: x (0x5)\tdefrag d: /U /V\r\n" +
                          started[1] + L"\t\t\tcaught up\t\r\n"),
              0u)
        << win::Narrow(copied);
    TypeKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(window); }, 5000)) << "Esc left it open";
}

}  // namespace
}  // namespace qm::e2e
