// Starting the defragmenter for real: the stand-ins record how they were started.
#include <gtest/gtest.h>

#include "core/defrag/defrag_launch.h"
#include "win32/defrag/defrag_launcher.h"
#include "win32/defrag/process_fixture.h"

namespace qm::test {
namespace {

class LaunchDefragWin : public DoublesTest {
  protected:
    // Only the given folder and the system's own on the search path.
    static std::wstring SearchPath(const std::wstring& folder) {
        return folder + L";C:\\windows\\system32;C:\\windows";
    }

    // Each double appends a line to the log named in QM_DOUBLE_LOG as it starts.
    std::vector<DoubleStart> WaitForStarts(const std::wstring& log, size_t count) {
        std::vector<DoubleStart> starts;
        WaitUntil([&] { return (starts = ReadDoubleLog(log)).size() >= count; });
        return starts;
    }

    TempFolder folder_;
    std::wstring log_ = folder_ / L"starts.log";
    ScopedEnvironment logEnv_{L"QM_DOUBLE_LOG", log_};
};

TEST_F(LaunchDefragWin, RunsTheDefragmenterAtTheAskedPriorityWithTheExactCommandLine) {
    ScopedEnvironment path(L"PATH", SearchPath(doubles_));
    struct Case {
        const char* drive;
        bool hidden;
        int priority;
        DWORD priorityClass;
        const char* commandLine;
        const char* showState;  // "-": left to the system
    };
    const Case cases[] = {{"C:", true, 3, HIGH_PRIORITY_CLASS, "defrag c: -f", "0"},
                          {"e:", false, 1, IDLE_PRIORITY_CLASS, "defrag e: -f", "-"}};
    for (const auto& c : cases) {
        const std::wstring log = folder_ / win::Widen(std::string(c.drive, 1) + ".log");
        ScopedEnvironment logEnv(L"QM_DOUBLE_LOG", log);
        int hookCalls = 0;
        win::LaunchDefrag(DefragCommandFor(c.drive), ContigCommandFor(c.drive), c.hidden,
                          c.priority, [&] { ++hookCalls; });
        EXPECT_EQ(hookCalls, 1);
        const DWORD pid = win::FindProcessId("defrag.exe");
        ASSERT_NE(pid, 0u) << "the defragmenter is not running";
        EXPECT_EQ(PriorityClassOf(pid), c.priorityClass);

        auto starts = WaitForStarts(log, 2);  // the defragmenter and the engine it starts
        ASSERT_EQ(starts.size(), 2u);
        EXPECT_EQ(starts[0].exeName, "defrag.exe");
        EXPECT_EQ(starts[0].pid, pid);
        EXPECT_EQ(starts[0].commandLine, c.commandLine);
        EXPECT_EQ(starts[0].showState, c.showState);
        EXPECT_EQ(starts[1].exeName, "dfrgntfs.exe");
        EXPECT_EQ(win::FindProcessId("contig.exe"), 0u) << "the contig tool must not start";
        EndDoubles();  // so that the next row finds its own defragmenter
    }
}

TEST_F(LaunchDefragWin, PriorityOutsideOneToThreeStartsNothing) {
    ScopedEnvironment path(L"PATH", SearchPath(doubles_));
    for (int priority : {0, 4, 5}) {
        win::LaunchDefrag("defrag c: -f", "contig -s -q c:\\*.*", true, priority);
        EXPECT_EQ(win::FindProcessId("defrag.exe") + win::FindProcessId("contig.exe"), 0u)
            << priority;
    }
    EXPECT_TRUE(ReadDoubleLog(log_).empty());
}

TEST_F(LaunchDefragWin, AChildThatCannotBeLetGoIsEndedNotLeftAsleep) {
    ScopedEnvironment path(L"PATH", SearchPath(doubles_));
    win::CreateProcessLauncher launcher([](HANDLE) -> DWORD {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return static_cast<DWORD>(-1);
    });
    EXPECT_FALSE(launcher.Start("defrag c: -f", true, IDLE_PRIORITY_CLASS));
    EXPECT_TRUE(WaitUntil([] { return win::FindProcessId("defrag.exe") == 0; }))
        << "the suspended defragmenter was left behind";
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
    auto starts = WaitForStarts(log_, 1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "contig -s -q d:\\*.*");
    EXPECT_EQ(starts[0].showState, "0");
}

}  // namespace
}  // namespace qm::test
