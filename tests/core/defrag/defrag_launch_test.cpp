#include "core/defrag/defrag_launch.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/defrag/fake_process_table.h"

namespace qm {
namespace {

using test::FakeProcessTable;

// Starts the programs the test makes available; each joins the process list at normal priority,
// as a fresh process would. Starts are recorded as "command line|hidden|creation class".
class FakeLauncher final : public ProcessLauncher {
  public:
    FakeLauncher(FakeProcessTable& table, std::set<std::string> available)
        : table_(table), available_(std::move(available)) {}
    std::vector<std::string> starts;

    bool Start(const std::string& commandLine, bool hidden, std::uint32_t creationClass) override {
        starts.push_back(commandLine + "|" + std::to_string(hidden) + "|" +
                         std::to_string(creationClass));
        std::string first = commandLine.substr(0, commandLine.find(' '));
        if (!available_.contains(first)) {
            return false;
        }
        table_.Add(100, first + ".exe", 8);
        return true;
    }

  private:
    FakeProcessTable& table_;
    std::set<std::string> available_;
};

TEST(DefragCommands, NameTheDriveInLowerCase) {
    const char* cases[][3] = {
        {"c:", "defrag c: -f", "contig -s -q c:\\*.*"},
        {"C:", "defrag c: -f", "contig -s -q c:\\*.*"},
        {"e:\\", "defrag e: -f", "contig -s -q e:\\*.*"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefragCommandFor(c[0]), c[1]) << c[0];
        EXPECT_EQ(ContigCommandFor(c[0]), c[2]) << c[0];
    }
}

TEST(LaunchDefrag, StartsTheDefragmenterElseTheContigToolAndSetsThePriorityByName) {
    using Calls = std::vector<FakeProcessTable::PriorityCall>;
    struct Case {
        std::set<std::string> available;
        bool hidden;
        int priority;
        std::vector<std::string> starts;
        int hookCalls;        // the hook follows the system defragmenter only
        Calls priorityCalls;  // normal needs no change: a fresh process already runs at it
    };
    const Case cases[] = {
        {{"defrag", "contig"}, true, 1, {"defrag c: -f|1|64"}, 1, {{100, 0x40}}},
        {{"defrag", "contig"}, true, 2, {"defrag c: -f|1|32"}, 1, {}},
        {{"defrag", "contig"}, true, 3, {"defrag c: -f|1|128"}, 1, {{100, 0x80}}},
        {{"contig"},
         false,
         3,
         {"defrag c: -f|0|128", "contig -s -q c:\\*.*|0|128"},
         0,
         {{100, 0x80}}},
        {{}, true, 1, {"defrag c: -f|1|64", "contig -s -q c:\\*.*|1|64"}, 0, {}},
        {{"defrag", "contig"}, true, 0, {}, 0, {}},
        {{"defrag", "contig"}, true, 4, {}, 0, {}},
        {{"defrag", "contig"}, true, 5, {}, 0, {}},
        {{"defrag", "contig"}, true, -1, {}, 0, {}},
    };
    for (const auto& c : cases) {
        FakeProcessTable table;
        FakeLauncher launcher(table, c.available);
        int hookCalls = 0;
        LaunchDefrag(launcher, table, "defrag c: -f", "contig -s -q c:\\*.*", c.hidden, c.priority,
                     [&] { ++hookCalls; });
        EXPECT_EQ(launcher.starts, c.starts) << c.priority;
        EXPECT_EQ(hookCalls, c.hookCalls) << c.priority;
        EXPECT_EQ(table.priorityCalls, c.priorityCalls) << c.priority;
    }
}

}  // namespace
}  // namespace qm
