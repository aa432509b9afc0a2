// Starting the defragmenter for real: the stand-ins record how they were started.
#include <gtest/gtest.h>

#include "core/defrag/defrag_launch.h"
#include "e2e/harness/double_log.h"
#include "win32/common/text.h"
#include "win32/defrag/defrag_launcher.h"
#include "win32/win_fixture.h"
#include "win32/defrag/toolhelp_process_table.h"

namespace qm::test {
namespace {

class LaunchDefragWin : public ::testing::Test {
  protected:
    // A planted defrag.exe first on the search path: it must never be the one that runs.
    void SetUp() override {
        for (const wchar_t* name : {L"defrag.exe", L"contig.exe"}) {
            ASSERT_TRUE(
                ::CopyFileW((doubles_ + L"\\contig.exe").c_str(), (planted_ / name).c_str(), FALSE))
                << "stand-in programs missing in " << win::Narrow(doubles_);
        }
    }

    // QM_DOUBLES_DIR, else "doubles" beside the test program: never the test program's own
    // folder, which process creation searches first.
    std::wstring doubles_ = EnvironmentValue(L"QM_DOUBLES_DIR").value_or([] {
        wchar_t exe[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
        return std::filesystem::path(exe).parent_path().wstring() + L"\\doubles";
    }());
    TempFolder folder_;
    TempFolder planted_;
    std::wstring log_ = folder_ / L"starts.log";
    ScopedEnvironment logEnv_{L"QM_DOUBLE_LOG", log_};
    ScopedEnvironment path_{L"PATH", planted_.Path() + L";C:\\windows\\system32;C:\\windows"};
    ScopedEnvironment quick_{L"QM_DOUBLE_SECONDS", L"0.2"};  // nothing outlives the test
    std::string defrag_ = win::Narrow(doubles_ + L"\\defrag.exe");
    win::CreateProcessLauncher launcher_;
};

// (The system's own defragmenter on each system, its exit code and output: the scenarios.)
TEST_F(LaunchDefragWin, WithoutTheSystemsDefragmenterOnlyTheContigToolBesideTheProgramStandsIn) {
    LaunchedDefrag launched =
        LaunchDefrag(launcher_, {win::Narrow(folder_ / L"missing\\defrag.exe"),
                                 win::Narrow(doubles_ + L"\\contig.exe"), 'D', "defrag d: -f",
                                 "contig -s -q d:\\*.*", true, 1});
    ASSERT_TRUE(launched.process);
    ASSERT_TRUE(WaitUntil([&] {
        launched.process->ReadText();  // its report, drained as it comes
        return launched.process->ExitCode().has_value();
    }));
    const auto starts = e2e::ReadDoubleLogFile(log_);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, L"contig -s -q d:\\*.*");
    EXPECT_EQ(_wcsicmp(starts[0].path.c_str(), (doubles_ + L"\\contig.exe").c_str()), 0);
    EXPECT_EQ(starts[0].priorityClass, DWORD{IDLE_PRIORITY_CLASS});
}

TEST_F(LaunchDefragWin, AChildInTheStartersJobEndsWhenTheStarterLetsGo) {
    ScopedEnvironment slow(L"QM_DOUBLE_SECONDS", L"30");
    auto child =
        launcher_.Start({defrag_, "defrag c: /O /U /V", true, IDLE_PRIORITY_CLASS, true, true});
    ASSERT_TRUE(child);
    EXPECT_TRUE(WaitUntil([] { return win::FindProcessId("defrag.exe") != 0; }));
    child.reset();
    EXPECT_TRUE(WaitUntil([] { return win::FindProcessId("defrag.exe") == 0; }))
        << "the defragmenter outlived the job that held it";
}

TEST_F(LaunchDefragWin, AChildThatCannotBeLetGoIsEndedNotLeftAsleep) {
    win::CreateProcessLauncher launcher([](HANDLE) -> DWORD {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return static_cast<DWORD>(-1);
    });
    EXPECT_FALSE(launcher.Start({defrag_, "defrag c: -f", true, IDLE_PRIORITY_CLASS, true}));
    EXPECT_TRUE(WaitUntil([] { return win::FindProcessId("defrag.exe") == 0; }))
        << "the suspended defragmenter was left behind";
}

}  // namespace
}  // namespace qm::test
