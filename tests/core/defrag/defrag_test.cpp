// Starting the defragmenter, finding processes by name, listing drives, the panel gradient.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/defrag/defrag_launch.h"
#include "core/defrag/drive_list.h"
#include "core/defrag/gradient.h"
#include "core/defrag/process_watch.h"
#include "core/defrag/window_geometry.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

using namespace std::string_literals;
using Calls = std::vector<FakeProcessTable::PriorityCall>;

TEST(DefragCommands, NameTheDriveInLowerCase) {
    EXPECT_EQ(DefragCommandFor("C:"), "defrag c: -f");
    EXPECT_EQ(DefragCommandFor("e:\\"), "defrag e: -f");
    EXPECT_EQ(ContigCommandFor("D:"), "contig -s -q d:\\*.*");
}

TEST(LaunchDefrag, StartsTheDefragmenterElseTheContigToolAndSetsThePriorityByName) {
    const struct {
        std::set<std::string> available;
        bool hidden;
        int priority;
        std::vector<std::string> starts;
        int hookCalls;  // the hook follows the system defragmenter only
        Calls calls;    // normal needs no change: a fresh process already runs at it
    } cases[] = {
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
    };
    for (const auto& c : cases) {
        FakeProcessTable table;
        FakeLauncher launcher(table);
        launcher.available = c.available;
        int hookCalls = 0;
        LaunchDefrag(launcher, table, "defrag c: -f", "contig -s -q c:\\*.*", c.hidden, c.priority,
                     [&] { ++hookCalls; });
        EXPECT_EQ(launcher.starts, c.starts) << c.priority;
        EXPECT_EQ(hookCalls, c.hookCalls) << c.priority;
        EXPECT_EQ(table.priorityCalls, c.calls) << c.priority;
    }
}

TEST(FindProcessId, MatchesWholeFileNamesWithoutRegardToCaseInAFreshList) {
    const std::pair<std::string, bool> cases[] = {
        {"C:\\WINDOWS\\system32\\defrag.exe", true},
        {"DeFrag.Exe", true},
        {"defrag.exe\0garbage"s, true},  // cut at the first NUL
        {"C:\\bin\\xdefrag.exe", false},
        {"defrag.exe.bak", false},
        {"C:\\defrag.exe\\", false},
    };
    for (const auto& [listed, matches] : cases) {
        FakeProcessTable table;
        table.Add(listed);
        EXPECT_EQ(FindProcessId(table, "DEFRAG.EXE"), matches ? 100u : 0u) << listed;
    }
    FakeProcessTable table;
    table.Add("explorer.exe");
    table.Add("defrag.exe");
    table.Add("defrag.exe");
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 101u);  // the first of two
    EXPECT_EQ(FindProcessId(table, ""), 0u);
    EXPECT_EQ(table.snapshots, 1) << "an empty name needs no process list";
    table.snapshotFails = true;
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 0u);
}

TEST(SetTaskPriority, SetsTheClassOnTheFirstMatchUnlessAlreadyThere) {
    const struct {
        int level;
        std::int32_t currentBase;
        std::uint32_t expectedClass;  // 0: no system call at all
    } cases[] = {{1, 8, 0x40}, {2, 4, 0x20}, {3, 8, 0x80}, {4, 13, 0x100}, {1, 4, 0},
                 {2, 8, 0},    {3, 13, 0},   {4, 24, 0},   {0, 8, 0},      {5, 8, 0}};
    for (const auto& c : cases) {
        FakeProcessTable table;
        table.Add("dfrgntfs.exe", c.currentBase);
        table.Add("dfrgntfs.exe", c.currentBase);
        SetTaskPriority(table, "dfrgntfs.exe", c.level);
        const Calls expected = c.expectedClass ? Calls{{100, c.expectedClass}} : Calls{};
        EXPECT_EQ(table.priorityCalls, expected) << c.level << " from " << c.currentBase;
    }
}

// Drives in the system's order, with roots as the system spells them.
class FakeDrives final : public DriveSystem {
  public:
    FakeDrives(std::initializer_list<std::pair<std::string, DriveKind>> drives) {
        for (const auto& [root, kind] : drives) {
            listed += root + '\0';
            types[root] = kind;
        }
    }
    std::string LogicalDriveStrings() const override { return listed + '\0'; }
    DriveKind DriveTypeOf(const std::string& root) const override { return types.at(root); }
    VolumeDetails DetailsOf(const std::string& root) const override {
        VolumeDetails d;
        d.label = "label of " + root;
        return d;
    }
    std::string listed;
    std::map<std::string, DriveKind> types;
};

TEST(DriveList, FixedDrivesOtherThanCInSystemOrderAndVolumesInLetterOrder) {
    using enum DriveKind;
    EXPECT_EQ(SplitDriveStrings("C:\\\0\0E:\\\0\0"s), std::vector<std::string>{"C:\\"});
    EXPECT_EQ(SplitDriveStrings("C:\\"s), std::vector<std::string>{"C:\\"});
    const FakeDrives drives{
        {"Z:\\", Fixed}, {"A:\\", Removable}, {"c:\\", Fixed}, {"D:\\", Fixed}, {"G:\\", Remote}};
    const FixedDriveList list = GetFixedDrives(drives);
    EXPECT_EQ(list.FixedDrives, (std::vector<std::string>{"z:\\", "d:\\"}));
    EXPECT_EQ(list.FixedDriveCount, 2);
    const auto volumes = ListFixedVolumes(drives);
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(std::string({volumes[0].letter, volumes[1].letter, volumes[2].letter}), "cdz");
    EXPECT_EQ(volumes[1].details.label, "label of d:\\");
    EXPECT_EQ(GetFixedDrives(FakeDrives{}).FixedDriveCount, 0);
}

TEST(FillGradientBands, WhiteFromTheTopShadesToBlackInEightyFiveBands) {
    const auto bands = FillGradientBands(600, 850, {255, 255, 255}, 1);
    ASSERT_EQ(bands.size(), 85u);
    EXPECT_EQ(bands[0].colour, (Rgb{252, 252, 252}));
    EXPECT_EQ(bands[84].colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(bands[1].top, 10);
    EXPECT_EQ(bands[84].bottom, 850);
    EXPECT_EQ(bands[5].left, 0);
    EXPECT_EQ(bands[5].right, 600);
    // Each channel stops at 0 on its own; out-of-range starts are clamped.
    EXPECT_EQ(FillGradientBands(85, 85, {9, 100, 0}, 1)[2].colour, (Rgb{0, 91, 0}));
    EXPECT_EQ(FillGradientBands(85, 85, {300, -5, 255}, 1)[0].colour, (Rgb{252, 0, 252}));
}

TEST(FillGradientBands, OtherDirectionsAndRoundedThickness) {
    const auto up = FillGradientBands(200, 900, {255, 255, 255}, 2);  // 900 / 85 rounds to 11
    EXPECT_EQ(up[0].top, 889);
    EXPECT_EQ(up[0].bottom, 900);
    EXPECT_EQ(up[84].top, 0);  // the last band stretches to the edge
    const auto right = FillGradientBands(170, 40, {255, 0, 0}, 3);
    EXPECT_EQ(right[84].left, 168);
    EXPECT_EQ(right[5].bottom, 40);
    const auto left = FillGradientBands(170, 40, {255, 0, 0}, 4);
    EXPECT_EQ(left[0].left, 168);
    EXPECT_EQ(left[84].left, 0);
    EXPECT_EQ(left[84].right, 2);
    for (int direction : {0, 5}) {  // unknown directions paint from the top
        EXPECT_EQ(FillGradientBands(10, 128, {255, 255, 255}, direction)[1].top, 2) << direction;
    }
}

TEST(IsPointOutside, CountsTheEdgeAsInside) {
    EXPECT_FALSE(IsPointOutside(100, 50, 100, 50));
    EXPECT_FALSE(IsPointOutside(0, 0, 100, 50));
    EXPECT_TRUE(IsPointOutside(101, 10, 100, 50));
    EXPECT_TRUE(IsPointOutside(10, 51, 100, 50));
    EXPECT_TRUE(IsPointOutside(-1, 10, 100, 50));
    EXPECT_TRUE(IsPointOutside(10, -1, 100, 50));
}

}  // namespace
}  // namespace qm::test
