#include "core/defrag/process_watch.h"

#include <gtest/gtest.h>

#include "core/defrag/fake_process_table.h"

namespace qm {
namespace {

using test::FakeProcessTable;

TEST(FileNameOf, TakesTheTextAfterTheLastBackslash) {
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\system32\\defrag.exe", "defrag.exe"},
        {"defrag.exe", "defrag.exe"},
        {"C:\\tools\\", ""},
        {"", ""},
        {"\\x.exe", "x.exe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameOf(c.path), c.expected) << c.path;
    }
}

TEST(PriorityForLevel, MapsTheFourLevelsAndNothingElse) {
    struct Case {
        int level;
        std::uint32_t priorityClass;
        std::int32_t base;
    };
    const Case cases[] = {{1, 0x40, 4}, {2, 0x20, 8}, {3, 0x80, 13}, {4, 0x100, 24}};
    for (const auto& c : cases) {
        auto row = PriorityForLevel(c.level);
        ASSERT_TRUE(row) << c.level;
        EXPECT_EQ(row->priorityClass, c.priorityClass) << c.level;
        EXPECT_EQ(row->basePriority, c.base) << c.level;
    }
    for (int level : {0, 5, -1, 256}) {
        EXPECT_FALSE(PriorityForLevel(level)) << level;
    }
}

TEST(FindProcessId, MatchesWholeFileNamesWithoutRegardToCase) {
    struct Case {
        const char* listed;
        const char* asked;
        bool matches;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\system32\\defrag.exe", "DEFRAG.EXE", true},
        {"defrag.exe", "DEFRAG.EXE", true},
        {"DeFrag.Exe", "defrag.exe", true},
        {"xdefrag.exe", "defrag.exe", false},
        {"C:\\bin\\xdefrag.exe", "defrag.exe", false},
        {"defrag.exe.bak", "defrag.exe", false},
        {"C:\\defrag.exe\\other.exe", "defrag.exe", false},
        {"defrag", "defrag.exe", false},
    };
    for (const auto& c : cases) {
        FakeProcessTable table;
        table.Add(42, c.listed);
        EXPECT_EQ(FindProcessId(table, c.asked), c.matches ? 42u : 0u) << c.listed;
    }
}

TEST(FindProcessId, CutsTheListedNameAtTheFirstNul) {
    FakeProcessTable table;
    table.Add(7, std::string("defrag.exe\0garbage", 18));
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 7u);
}

TEST(FindProcessId, TakesTheFirstOfSeveralInListOrder) {
    FakeProcessTable table;
    table.Add(10, "explorer.exe");
    table.Add(30, "defrag.exe");
    table.Add(20, "defrag.exe");
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 30u);
}

TEST(FindProcessId, GivesZeroForEmptyNameMissingProcessOrUnreadableList) {
    FakeProcessTable table;
    table.Add(10, "defrag.exe");
    EXPECT_EQ(FindProcessId(table, ""), 0u);
    EXPECT_EQ(table.snapshots, 0) << "an empty name needs no process list";
    EXPECT_EQ(FindProcessId(table, "contig.exe"), 0u);
    table.snapshotFails = true;
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 0u);
}

TEST(FindProcessId, TakesAFreshListEveryCall) {
    FakeProcessTable table;
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 0u);
    table.Add(5, "defrag.exe");
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 5u);
    table.entries.clear();
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 0u);
    EXPECT_EQ(table.snapshots, 3);
}

TEST(FindTask, ReportsIdAndBasePriorityOfTheFirstMatch) {
    FakeProcessTable table;
    table.Add(3, "C:\\WINDOWS\\system32\\dfrgntfs.exe", 13);
    table.Add(4, "dfrgntfs.exe", 4);
    TaskInfo task = FindTask(table, "DFRGNTFS.EXE");
    EXPECT_EQ(task.TaskProcessId, 3u);
    EXPECT_EQ(task.TaskBasePriority, 13);

    TaskInfo none = FindTask(table, "defrag.exe");
    EXPECT_EQ(none.TaskProcessId, 0u);
    EXPECT_EQ(none.TaskBasePriority, 0);
}

TEST(SetTaskPriority, SetsTheLevelsClassOnTheFirstMatch) {
    struct Case {
        int level;
        std::int32_t currentBase;
        std::uint32_t expectedClass;
    };
    const Case cases[] = {{1, 8, 0x40}, {2, 4, 0x20}, {3, 8, 0x80}, {4, 13, 0x100}};
    for (const auto& c : cases) {
        FakeProcessTable table;
        table.Add(11, "dfrgntfs.exe", c.currentBase);
        table.Add(12, "dfrgntfs.exe", c.currentBase);
        SetTaskPriority(table, "dfrgntfs.exe", c.level);
        ASSERT_EQ(table.priorityCalls.size(), 1u) << c.level;
        EXPECT_EQ(table.priorityCalls[0], (FakeProcessTable::PriorityCall{11, c.expectedClass}));
    }
}

TEST(SetTaskPriority, LeavesTheSystemAloneWhenTheBasePriorityAlreadyMatches) {
    struct Case {
        int level;
        std::int32_t base;
    };
    const Case cases[] = {{1, 4}, {2, 8}, {3, 13}, {4, 24}};
    for (const auto& c : cases) {
        FakeProcessTable table;
        table.Add(11, "dfrgntfs.exe", c.base);
        SetTaskPriority(table, "dfrgntfs.exe", c.level);
        EXPECT_TRUE(table.priorityCalls.empty()) << c.level;
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

TEST(SetTaskPriority, SwallowsARefusal) {
    FakeProcessTable table;
    table.Add(11, "dfrgntfs.exe", 8);
    table.setFails = true;
    SetTaskPriority(table, "dfrgntfs.exe", 1);
    EXPECT_EQ(table.priorityCalls.size(), 1u);
}

}  // namespace
}  // namespace qm
