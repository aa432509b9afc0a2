#include "core/defrag/defrag_launch.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/defrag/fake_process_table.h"

namespace qm {
namespace {

using test::FakeProcessTable;

// Starts what the test allows; a started program joins the fake process list at normal
// priority, as a fresh process would.
class FakeLauncher final : public ProcessLauncher {
  public:
    struct Start {
        std::string commandLine;
        bool hidden;
        std::uint32_t creationClass;
    };
    explicit FakeLauncher(FakeProcessTable& table) : table_(table) {}

    std::set<std::string> available;  // first words that resolve to a program
    std::vector<Start> starts;

    bool Start(const std::string& commandLine, bool hidden, std::uint32_t creationClass) override {
        starts.push_back({commandLine, hidden, creationClass});
        std::string first = commandLine.substr(0, commandLine.find(' '));
        if (!available.contains(first)) {
            return false;
        }
        table_.Add(nextPid_++, first + ".exe", 8);
        return true;
    }

  private:
    FakeProcessTable& table_;
    std::uint32_t nextPid_ = 100;
};

TEST(DefragCommands, NameTheDriveInLowerCase) {
    struct Case {
        const char* drive;
        const char* defrag;
        const char* contig;
    };
    const Case cases[] = {
        {"c:", "defrag c: -f", "contig -s -q c:\\*.*"},
        {"C:", "defrag c: -f", "contig -s -q c:\\*.*"},
        {"D:", "defrag d: -f", "contig -s -q d:\\*.*"},
        {"e:\\", "defrag e: -f", "contig -s -q e:\\*.*"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefragCommandFor(c.drive), c.defrag) << c.drive;
        EXPECT_EQ(ContigCommandFor(c.drive), c.contig) << c.drive;
    }
}

TEST(CreationClassForLevel, CoversLowNormalHighOnly) {
    EXPECT_EQ(CreationClassForLevel(1), 0x40u);
    EXPECT_EQ(CreationClassForLevel(2), 0x20u);
    EXPECT_EQ(CreationClassForLevel(3), 0x80u);
    for (int level : {0, 4, 5, -1}) {
        EXPECT_FALSE(CreationClassForLevel(level)) << level;
    }
}

TEST(LaunchDefrag, StartsTheSystemDefragmenterAndSetsItsPriorityByName) {
    struct Case {
        int priority;
        std::uint32_t creationClass;
        bool prioritySet;  // normal needs no change: a fresh process already runs at it
    };
    const Case cases[] = {{1, 0x40, true}, {2, 0x20, false}, {3, 0x80, true}};
    for (const auto& c : cases) {
        FakeProcessTable table;
        FakeLauncher launcher(table);
        launcher.available = {"defrag", "contig"};
        int hookCalls = 0;
        LaunchDefrag(launcher, table, "defrag c: -f", "contig -s -q c:\\*.*", true, c.priority,
                     [&] { ++hookCalls; });
        ASSERT_EQ(launcher.starts.size(), 1u) << "the contig tool is never started";
        EXPECT_EQ(launcher.starts[0].commandLine, "defrag c: -f");
        EXPECT_TRUE(launcher.starts[0].hidden);
        EXPECT_EQ(launcher.starts[0].creationClass, c.creationClass);
        EXPECT_EQ(hookCalls, 1);
        if (c.prioritySet) {
            ASSERT_EQ(table.priorityCalls.size(), 1u);
            EXPECT_EQ(table.priorityCalls[0],
                      (FakeProcessTable::PriorityCall{100, c.creationClass}));
        } else {
            EXPECT_TRUE(table.priorityCalls.empty());
        }
    }
}

TEST(LaunchDefrag, FallsBackToTheContigToolWithoutTheHook) {
    FakeProcessTable table;
    FakeLauncher launcher(table);
    launcher.available = {"contig"};
    int hookCalls = 0;
    LaunchDefrag(launcher, table, "defrag d: -f", "contig -s -q d:\\*.*", false, 3,
                 [&] { ++hookCalls; });
    ASSERT_EQ(launcher.starts.size(), 2u);
    EXPECT_EQ(launcher.starts[1].commandLine, "contig -s -q d:\\*.*");
    EXPECT_FALSE(launcher.starts[1].hidden);
    EXPECT_EQ(launcher.starts[1].creationClass, 0x80u);
    EXPECT_EQ(hookCalls, 0);
    ASSERT_EQ(table.priorityCalls.size(), 1u);
    EXPECT_EQ(table.priorityCalls[0], (FakeProcessTable::PriorityCall{100, 0x80}));
}

TEST(LaunchDefrag, GoesQuietlyWhenNeitherProgramStarts) {
    FakeProcessTable table;
    FakeLauncher launcher(table);
    LaunchDefrag(launcher, table, "defrag c: -f", "contig -s -q c:\\*.*", true, 1);
    EXPECT_EQ(launcher.starts.size(), 2u);
    EXPECT_TRUE(table.priorityCalls.empty());
}

TEST(LaunchDefrag, StartsNothingForAPriorityOutsideOneToThree) {
    for (int priority : {0, 4, 5, -1}) {
        FakeProcessTable table;
        FakeLauncher launcher(table);
        launcher.available = {"defrag", "contig"};
        int hookCalls = 0;
        LaunchDefrag(launcher, table, "defrag c: -f", "contig -s -q c:\\*.*", true, priority,
                     [&] { ++hookCalls; });
        EXPECT_TRUE(launcher.starts.empty()) << priority;
        EXPECT_EQ(hookCalls, 0);
        EXPECT_EQ(table.snapshots, 0);
    }
}

}  // namespace
}  // namespace qm
