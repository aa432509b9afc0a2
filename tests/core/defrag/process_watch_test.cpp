#include "core/defrag/process_watch.h"

#include <gtest/gtest.h>

#include "core/defrag/fake_process_table.h"

namespace qm {
namespace {

using test::FakeProcessTable;

TEST(FindProcessId, MatchesWholeFileNamesWithoutRegardToCase) {
    struct Case {
        std::string listed;
        const char* asked;
        bool matches;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\system32\\defrag.exe", "DEFRAG.EXE", true},
        {"\\defrag.exe", "DEFRAG.EXE", true},
        {"DeFrag.Exe", "defrag.exe", true},
        {std::string("defrag.exe\0garbage", 18), "defrag.exe", true},  // cut at the first NUL
        {"xdefrag.exe", "defrag.exe", false},
        {"C:\\bin\\xdefrag.exe", "defrag.exe", false},
        {"defrag.exe.bak", "defrag.exe", false},
        {"C:\\defrag.exe\\other.exe", "defrag.exe", false},
        {"C:\\defrag.exe\\", "defrag.exe", false},
        {"defrag", "defrag.exe", false},
    };
    for (const auto& c : cases) {
        FakeProcessTable table;
        table.Add(42, c.listed);
        EXPECT_EQ(FindProcessId(table, c.asked), c.matches ? 42u : 0u) << c.listed;
    }
}

TEST(FindProcessId, ReadsAFreshListEachCallAndTakesTheFirstMatch) {
    FakeProcessTable table;
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 0u);
    table.Add(10, "explorer.exe");
    table.Add(30, "defrag.exe");
    table.Add(20, "defrag.exe");
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 30u);
    EXPECT_EQ(FindProcessId(table, ""), 0u);
    EXPECT_EQ(table.snapshots, 2) << "an empty name needs no process list";
    table.snapshotFails = true;
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 0u);
}

TEST(SetTaskPriority, SetsTheClassOnTheFirstMatchUnlessTheBasePriorityAlreadyMatches) {
    struct Case {
        int level;
        std::int32_t currentBase;
        std::uint32_t expectedClass;  // 0: no system call at all
    };
    const Case cases[] = {{1, 8, 0x40}, {2, 4, 0x20}, {3, 8, 0x80}, {4, 13, 0x100},
                          {1, 4, 0},    {2, 8, 0},    {3, 13, 0},   {4, 24, 0}};
    for (const auto& c : cases) {
        FakeProcessTable table;
        table.Add(11, "dfrgntfs.exe", c.currentBase);
        table.Add(12, "dfrgntfs.exe", c.currentBase);
        SetTaskPriority(table, "dfrgntfs.exe", c.level);
        const std::vector<FakeProcessTable::PriorityCall> expected =
            c.expectedClass ? std::vector<FakeProcessTable::PriorityCall>{{11, c.expectedClass}}
                            : std::vector<FakeProcessTable::PriorityCall>{};
        EXPECT_EQ(table.priorityCalls, expected) << c.level << " from " << c.currentBase;
    }
}

TEST(SetTaskPriority, DoesNothingForUnknownLevelsOrMissingProcesses) {
    FakeProcessTable table;
    table.Add(11, "dfrgntfs.exe", 8);
    for (int level : {0, 5, -3}) {
        SetTaskPriority(table, "dfrgntfs.exe", level);
    }
    SetTaskPriority(table, "defrag.exe", 3);
    SetTaskPriority(table, "", 3);
    table.snapshotFails = true;
    SetTaskPriority(table, "dfrgntfs.exe", 3);
    EXPECT_TRUE(table.priorityCalls.empty());
}

}  // namespace
}  // namespace qm
