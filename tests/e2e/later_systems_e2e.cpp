// On a system that reports Windows 10: the defragmenter's own command line, and the system's
// own defrag.exe whatever lies beside the program. (Refusals: the outcomes scenario.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_menu.h"

namespace qm::e2e {
namespace {

TEST(E2eLaterSystems, TheSystemsOwnDefragmenterOptimisesWithItsOwnOptions) {
    // A planted defrag.exe beside a copy of the program: the copy must not start it.
    const std::wstring copy = ScenarioDir() + L"\\planted";
    ::CreateDirectoryW(copy.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(AppExePath().c_str(), (copy + L"\\Quillmere.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW((DoublesDir() + L"\\contig.exe").c_str(),
                            (copy + L"\\defrag.exe").c_str(), FALSE));
    ClearDoubleLog();
    TrayApp app = StartInTray(
        {{L"ShowExitPrompt", L"0"}, {L"ShowCDrive", L"1"}, {L"ShowZDrive", L"0"}},
        {DoubleLogEnvironment(), L"QM_DOUBLE_SECONDS=1"}, {}, copy + L"\\Quillmere.exe");
    ASSERT_NE(app.menu, nullptr) << "the program did not reach the tray";
    ::PostMessageW(app.menu, WM_COMMAND, win::kCmdDefrag, 0);  // Defrag Selected Drive(s) Now
    ASSERT_TRUE(RunLogHas("\tC:\tdefrag c: /O /U /V\t", 20000)) << "the run wrote no log line";

    const auto starts = ReadDoubleLog(L"defrag.exe");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, L"defrag c: /O /U /V");
    EXPECT_EQ(_wcsicmp(starts[0].path.c_str(), L"C:\\windows\\system32\\defrag.exe"), 0)
        << "started " << win::Narrow(starts[0].path);
    EXPECT_TRUE(GetSetting(L"LastDefrag").has_value()) << "a run that succeeded is recorded";
    EXPECT_NE(RunLog().find("\tok\r\n"), std::string::npos);
}

}  // namespace
}  // namespace qm::e2e
