// The process watch against real processes: the stand-in programs run under their own names.
#include <gtest/gtest.h>

#include "win32/defrag/process_fixture.h"

namespace qm::test {
namespace {

using ProcessWatchWin = DoublesTest;

TEST_F(ProcessWatchWin, FindsTheRunningDoubleByWholeNameInAnyCase) {
    TempFolder folder;
    ASSERT_TRUE(::CopyFileW((doubles_ + L"\\defrag.exe").c_str(), (folder / L"xdefrag.exe").c_str(),
                            FALSE));
    ChildProcess longer(folder / L"xdefrag.exe");
    ASSERT_NE(longer.Pid(), 0u);
    EXPECT_EQ(win::FindProcessId("DEFRAG.EXE"), 0u) << "a longer name must not match";
    EXPECT_EQ(win::FindProcessId("xdefrag.exe"), longer.Pid());

    ChildProcess defrag(doubles_ + L"\\defrag.exe");
    ASSERT_NE(defrag.Pid(), 0u);
    EXPECT_EQ(win::FindProcessId("DEFRAG.EXE"), defrag.Pid());
}

TEST_F(ProcessWatchWin, SetTaskPriorityChangesTheEnginesClass) {
    ChildProcess engine(doubles_ + L"\\dfrgntfs.exe");
    ASSERT_EQ(PriorityClassOf(engine.Pid()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    struct Case {
        const char* name;
        int level;
        DWORD priorityClass;
    };
    const Case cases[] = {{"dfrgntfs.exe", 1, IDLE_PRIORITY_CLASS},
                          {"DFRGNTFS.EXE", 3, HIGH_PRIORITY_CLASS},
                          {"dfrgntfs.exe", 5, HIGH_PRIORITY_CLASS},  // no such level: left alone
                          {"dfrgntfs.exe", 2, NORMAL_PRIORITY_CLASS}};
    for (const auto& c : cases) {
        win::SetTaskPriority(c.name, c.level);
        EXPECT_EQ(PriorityClassOf(engine.Pid()), c.priorityClass) << c.level;
    }
}

}  // namespace
}  // namespace qm::test
