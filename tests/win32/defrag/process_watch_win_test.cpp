// The process watch against real processes: the stand-in programs run under their own names.
#include <gtest/gtest.h>

#include "win32/common/text.h"
#include "win32/defrag/process_fixture.h"
#include "win32/defrag/toolhelp_process_table.h"

namespace qm::test {
namespace {

class ProcessWatchWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(::GetFileAttributesW((doubles_ + L"\\defrag.exe").c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << "stand-in programs missing in " << win::Narrow(doubles_);
    }
    void TearDown() override {
        for (const char* name : {"defrag.exe", "xdefrag.exe", "dfrgntfs.exe", "contig.exe"}) {
            EndProcessesNamed(name);
        }
    }

    std::wstring doubles_ = DoublesDir();
    ScopedEnvironment lifetime_{L"QM_DOUBLE_SECONDS", L"30"};
    ScopedEnvironment path_{L"PATH", DoublesDir()};
};

TEST_F(ProcessWatchWin, FindsTheRunningDoubleByWholeNameInAnyCase) {
    TempFolder folder;
    ASSERT_TRUE(::CopyFileW((doubles_ + L"\\defrag.exe").c_str(), (folder / L"xdefrag.exe").c_str(),
                            FALSE));
    ChildProcess longer(folder / L"xdefrag.exe", L"xdefrag.exe c: -f");
    ASSERT_TRUE(longer.Started());

    EXPECT_EQ(win::FindProcessId("DEFRAG.EXE"), 0u) << "a longer name must not match";
    EXPECT_EQ(win::FindProcessId("xdefrag.exe"), longer.Pid());

    ChildProcess defrag(doubles_ + L"\\defrag.exe", L"defrag c: -f");
    ASSERT_TRUE(defrag.Started());
    EXPECT_EQ(win::FindProcessId("DEFRAG.EXE"), defrag.Pid());
    EXPECT_EQ(win::FindProcessId("Defrag.Exe"), defrag.Pid());
    EXPECT_EQ(win::FindProcessId("efrag.exe"), 0u);
    EXPECT_EQ(win::FindProcessId(""), 0u);
}

TEST_F(ProcessWatchWin, ForgetsAProcessOnceItHasEnded) {
    {
        ChildProcess contig(doubles_ + L"\\contig.exe", L"contig -s -q c:\\*.*");
        ASSERT_TRUE(contig.Started());
        EXPECT_EQ(win::FindProcessId("contig.exe"), contig.Pid());
    }
    EXPECT_EQ(win::FindProcessId("contig.exe"), 0u);
}

TEST_F(ProcessWatchWin, SetTaskPriorityChangesTheEnginesClass) {
    ChildProcess engine(doubles_ + L"\\dfrgntfs.exe", L"dfrgntfs.exe");
    ASSERT_TRUE(engine.Started());
    ASSERT_EQ(PriorityClassOf(engine.Pid()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));

    win::SetTaskPriority("dfrgntfs.exe", 1);
    EXPECT_EQ(PriorityClassOf(engine.Pid()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));

    win::SetTaskPriority("DFRGNTFS.EXE", 3);
    EXPECT_EQ(PriorityClassOf(engine.Pid()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));

    win::SetTaskPriority("dfrgntfs.exe", 5);  // no such level: left as it is
    EXPECT_EQ(PriorityClassOf(engine.Pid()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));

    win::SetTaskPriority("dfrgntfs.exe", 2);
    EXPECT_EQ(PriorityClassOf(engine.Pid()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST_F(ProcessWatchWin, SnapshotListsThisProcessWithItsName) {
    win::ToolhelpProcessTable table;
    auto entries = table.Snapshot();
    ASSERT_TRUE(entries);
    bool found = false;
    for (const auto& entry : *entries) {
        if (entry.pid == ::GetCurrentProcessId()) {
            found = true;
            EXPECT_NE(entry.exePath.find("win32_tests.exe"), std::string::npos) << entry.exePath;
        }
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace qm::test
