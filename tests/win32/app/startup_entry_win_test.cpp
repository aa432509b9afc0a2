// Starting with Windows on the real system: a logon task for a copy in Program Files, the
// Startup-folder shortcut for one elsewhere. (Wine runs every program elevated, and its task
// service keeps too little of a task to read its definition back: that is checked in the core.)
#include <gtest/gtest.h>

#include "win32/app/logon_task.h"
#include "win32/app/rights.h"
#include "win32/app/startup_entry_win.h"
#include "win32/common/text.h"
#include "win32/defrag/process_fixture.h"
#include "win32/defrag/startup_shortcut_win.h"

namespace qm::test {
namespace {

TEST(StartupEntryWin, ACopyInProgramFilesGetsTheLogonTaskAnyOtherTheShortcut) {
    TempFolder startup;
    std::vector<std::string> told;
    win::WindowsShortcutPlatform shortcuts([](const std::wstring&, UINT, const std::wstring&) {},
                                           win::Narrow(startup.Path()));
    const WindowsVersion ten{10, 0, 19045};
    const ProcessRights rights = win::ReadProcessRights();
    ASSERT_TRUE(rights.elevated) << "Wine runs every program elevated";

    const std::string installed =
        win::Narrow(win::ProgramFilesFolder()) + "\\Quillmere\\Quillmere.exe";
    win::WindowsStartupPlatform allUsers(installed, ten, rights, shortcuts,
                                         [&](const std::string& m) { told.push_back(m); });
    ASSERT_EQ(allUsers.Kind(), StartupEntryKind::kLogonTask);
    SetStartupEntry(allUsers, true);
    EXPECT_TRUE(win::LogonTaskExists());
    EXPECT_TRUE(StartupEntryPresent(allUsers));
    EXPECT_FALSE(allUsers.ShortcutExists());
    SetStartupEntry(allUsers, false);
    EXPECT_FALSE(win::LogonTaskExists());
    EXPECT_TRUE(told.empty()) << told.front();

    win::WindowsStartupPlatform portable(win::Narrow(startup / L"Quillmere.exe"), ten, rights,
                                         shortcuts, {});
    ASSERT_EQ(portable.Kind(), StartupEntryKind::kShortcut);
    SetStartupEntry(portable, true);
    EXPECT_TRUE(portable.ShortcutExists());
    EXPECT_FALSE(win::LogonTaskExists());
    SetStartupEntry(portable, false);
    EXPECT_FALSE(StartupEntryPresent(portable));
}

}  // namespace
}  // namespace qm::test
