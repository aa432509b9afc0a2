// Starting the defragmenter for real: the stand-ins record how they were started.
#include <gtest/gtest.h>

#include "core/defrag/defrag_launch.h"
#include "win32/common/text.h"
#include "win32/defrag/defrag_launcher.h"
#include "win32/defrag/process_fixture.h"
#include "win32/defrag/toolhelp_process_table.h"

namespace qm::test {
namespace {

class LaunchDefragWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(::GetFileAttributesW((doubles_ + L"\\defrag.exe").c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << "stand-in programs missing in " << win::Narrow(doubles_);
    }
    void TearDown() override {
        for (const char* name : {"defrag.exe", "dfrgntfs.exe", "contig.exe"}) {
            EndProcessesNamed(name);
        }
    }

    // Only the given folder and the system's own on the search path.
    static std::wstring SearchPath(const std::wstring& folder) {
        return folder + L";C:\\windows\\system32;C:\\windows";
    }

    std::vector<DoubleStart> WaitForStarts(size_t count) {
        std::vector<DoubleStart> starts;
        WaitUntil([&] { return (starts = ReadDoubleLog(log_)).size() >= count; });
        return starts;
    }

    std::wstring doubles_ = DoublesDir();
    TempFolder folder_;
    std::wstring log_ = folder_ / L"starts.log";
    ScopedEnvironment logEnv_{L"QM_DOUBLE_LOG", log_};
    ScopedEnvironment lifetime_{L"QM_DOUBLE_SECONDS", L"30"};
};

TEST_F(LaunchDefragWin, HighPriorityLeavesTheDefragmenterRunningAtHigh) {
    ScopedEnvironment path(L"PATH", SearchPath(doubles_));
    int hookCalls = 0;
    win::LaunchDefrag(DefragCommandFor("C:"), ContigCommandFor("C:"), true, 3,
                      [&] { ++hookCalls; });
    EXPECT_EQ(hookCalls, 1);

    const DWORD pid = win::FindProcessId("defrag.exe");
    ASSERT_NE(pid, 0u) << "the defragmenter is not running";
    EXPECT_EQ(PriorityClassOf(pid), static_cast<DWORD>(HIGH_PRIORITY_CLASS));

    auto starts = WaitForStarts(2);  // the defragmenter and the engine it starts
    ASSERT_GE(starts.size(), 1u);
    EXPECT_EQ(starts[0].exeName, "defrag.exe");
    EXPECT_EQ(starts[0].commandLine, "defrag c: -f");
    EXPECT_EQ(starts[0].showState, "0") << "asked to run hidden";
    EXPECT_EQ(starts[0].pid, pid);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].exeName, "dfrgntfs.exe");
    EXPECT_NE(win::FindProcessId("dfrgntfs.exe"), 0u);
    EXPECT_EQ(win::FindProcessId("contig.exe"), 0u) << "the contig tool must not start";
}

TEST_F(LaunchDefragWin, LowPriorityShownRunsTheDefragmenterAtIdle) {
    ScopedEnvironment path(L"PATH", SearchPath(doubles_));
    win::LaunchDefrag(DefragCommandFor("e:"), ContigCommandFor("e:"), false, 1);
    const DWORD pid = win::FindProcessId("defrag.exe");
    ASSERT_NE(pid, 0u);
    EXPECT_EQ(PriorityClassOf(pid), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
    auto starts = WaitForStarts(1);
    ASSERT_GE(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "defrag e: -f");
    EXPECT_EQ(starts[0].showState, "-") << "the show state is left to the system";
}

TEST_F(LaunchDefragWin, PriorityOutsideOneToThreeStartsNothing) {
    ScopedEnvironment path(L"PATH", SearchPath(doubles_));
    for (int priority : {0, 4, 5}) {
        win::LaunchDefrag("defrag c: -f", "contig -s -q c:\\*.*", true, priority);
        EXPECT_EQ(win::FindProcessId("defrag.exe"), 0u) << priority;
        EXPECT_EQ(win::FindProcessId("contig.exe"), 0u) << priority;
    }
    EXPECT_TRUE(ReadDoubleLog(log_).empty());
}

TEST_F(LaunchDefragWin, WithoutTheDefragmenterStartsTheContigTool) {
    TempFolder contigOnly;
    ASSERT_TRUE(::CopyFileW((doubles_ + L"\\contig.exe").c_str(),
                            (contigOnly / L"contig.exe").c_str(), FALSE));
    ScopedEnvironment path(L"PATH", SearchPath(contigOnly.Path()));
    int hookCalls = 0;
    win::LaunchDefrag(DefragCommandFor("D:"), ContigCommandFor("D:"), true, 3,
                      [&] { ++hookCalls; });
    EXPECT_EQ(hookCalls, 0) << "the engine timer belongs to the system defragmenter";

    const DWORD pid = win::FindProcessId("contig.exe");
    ASSERT_NE(pid, 0u) << "the contig tool is not running";
    EXPECT_EQ(PriorityClassOf(pid), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    auto starts = WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].exeName, "contig.exe");
    EXPECT_EQ(starts[0].commandLine, "contig -s -q d:\\*.*");
    EXPECT_EQ(starts[0].showState, "0");
    EXPECT_EQ(win::FindProcessId("defrag.exe"), 0u);
}

TEST_F(LaunchDefragWin, NeitherProgramFoundIsSilent) {
    TempFolder empty;
    ScopedEnvironment path(L"PATH", SearchPath(empty.Path()));
    win::LaunchDefrag("defrag c: -f", "contig -s -q c:\\*.*", true, 2);
    EXPECT_EQ(win::FindProcessId("defrag.exe"), 0u);
    EXPECT_EQ(win::FindProcessId("contig.exe"), 0u);
}

}  // namespace
}  // namespace qm::test
