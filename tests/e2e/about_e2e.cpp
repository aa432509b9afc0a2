// The About dialog opened from the tray: its texts, Esc from a button, and System Info.
#include <gtest/gtest.h>

#include "core/ui/about_texts.h"
#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_menu.h"
#include "win32/common/text.h"
#include "win32/ui/about_dialog.h"

namespace qm::e2e {
namespace {

using win::Widen;

TEST(E2eAbout, OpensFromTheTrayWithItsTextsAndEscClosesItFromAButton) {
    TrayApp tray = StartInTray({{L"ShowExitPrompt", L"0"}});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    for (int showing = 0; showing < 2; ++showing) {  // the second brings the open one forward
        ASSERT_NE(OpenTrayMenu(tray.menu, tray.process.Pid()), nullptr);
        ::Sleep(300);  // with a window of the program active, the menu takes keys a moment later
        TypeKeys({VK_UP, VK_UP, VK_RETURN});  // "About Quillmere", above "Exit"
        ASSERT_TRUE(WaitUntil([&] { return !PopupMenuOf(tray.process.Pid()); }, 10000));
    }
    const HWND about = WaitForWindowWithText(tray.process.Pid(), L" About Quillmere");
    ASSERT_NE(about, nullptr) << "About Quillmere showed no dialog";
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == about; }, 3000));
    EXPECT_EQ(::FindWindowExW(nullptr, about, nullptr, L" About Quillmere"), nullptr) << "two";
    for (const std::wstring& text :
         {Widen(AboutTexts::kTitle), Widen("Version 1.2"), Widen(AboutTexts::kDescription),
          Widen(AboutTexts::kInvitation), win::MakerEmailAddress(),
          Widen(AboutTexts::kWebSiteLabel), win::MakerWebAddress(), Widen("OK"),
          Widen("&System Info...")}) {
        EXPECT_NE(FindChildWithText(about, text), nullptr) << win::Narrow(text);
    }
    ::Sleep(500);  // fully painted
    EXPECT_TRUE(SaveScreenshot(about, 12, L"about"));

    // Tab takes the focus from OK to System Info; Esc there closes the dialog.
    TypeKeys({VK_TAB});
    GUITHREADINFO focus{};
    focus.cbSize = sizeof(focus);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(about, nullptr), &focus);
    EXPECT_EQ(focus.hwndFocus, ::GetDlgItem(about, win::AboutDialog::kIdSysInfo));
    TypeKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 5000)) << "Esc left it open";
}

TEST(E2eAbout, SystemInfoStartsTheRegisteredProgramElseSaysItIsUnavailable) {
    ClearDoubleLog();
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const std::wstring standIn = DoublesDir() + L"\\msinfo32.exe";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, L"PATH", REG_SZ, standIn.c_str(),
                                static_cast<DWORD>((standIn.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    TrayApp tray = StartInTray({{L"ShowExitPrompt", L"0"}},
                               {DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=0.5"});
    ASSERT_NE(tray.menu, nullptr) << "the program did not reach the tray";
    ::PostMessageW(tray.menu, WM_COMMAND, win::kCmdAbout, 0);
    const HWND about = WaitForWindowWithText(tray.process.Pid(), L" About Quillmere");
    const HWND sysInfo = ::GetDlgItem(about, win::AboutDialog::kIdSysInfo);
    ::PostMessageW(sysInfo, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([] { return !ReadDoubleLog(L"msinfo32.exe").empty(); }, 10000))
        << "System Info did not start the registered program";
    const DoubleStart start = ReadDoubleLog(L"msinfo32.exe")[0];
    EXPECT_NE(start.commandLine.find(standIn), std::wstring::npos)
        << win::Narrow(start.commandLine);
    EXPECT_EQ(start.showState, L"1");  // normal

    // Nothing registered, and no msinfo32.exe in the system folder (taken out of this prefix).
    ASSERT_EQ(::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key, L"PATH"), ERROR_SUCCESS);
    ::PostMessageW(sysInfo, BM_CLICK, 0, 0);
    const HWND prompt =
        WaitForWindowWithText(tray.process.Pid(), Widen(AboutTexts::kSysInfoUnavailable));
    ASSERT_NE(prompt, nullptr);
    const HWND box = ::GetAncestor(prompt, GA_ROOT);
    EXPECT_EQ(TextOf(box), L" About Quillmere");  // no title: the active window's caption
    ::SendMessageW(FindChildWithText(box, L"&OK"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box) && ::IsWindow(about); }, 5000));

    // Ending the program with the dialog open unloads it.
    ::PostMessageW(tray.menu, WM_COMMAND, win::kCmdExit, 0);
    EXPECT_EQ(tray.process.WaitForExit(10000), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace qm::e2e
