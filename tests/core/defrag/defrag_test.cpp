// Starting the defragmenter, finding processes by name, listing drives, the panel gradient.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/defrag/defrag_launch.h"
#include "core/defrag/defrag_outcome.h"
#include "core/defrag/run_log.h"
#include "core/defrag/drive_list.h"
#include "core/defrag/gradient.h"
#include "core/defrag/process_watch.h"
#include "core/defrag/window_geometry.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

using namespace std::string_literals;
using Calls = std::vector<FakeProcessTable::PriorityCall>;

TEST(DefragCommands, FollowTheSystemAndThePriority) {
    const struct {
        WindowsVersion version;
        int priority;
        const char* command;
    } cases[] = {
        {{5, 1, 2600}, 3, "defrag e: -f"},  // XP: the classic form at any priority
        {{5, 2, 3790}, 1, "defrag e: -f"},  // Server 2003
        {{6, 0, 6002}, 2, "defrag e: -f"},  // Vista
        {{6, 1, 7601}, 1, "defrag e: /U /V"},
        {{6, 1, 7601}, 2, "defrag e: /U /V /H"},  // /H: normal priority instead of low
        {{6, 2, 9200}, 1, "defrag e: /O /U /V"},
        {{6, 3, 9600}, 3, "defrag e: /O /U /V /H"},
        {{10, 0, 22631}, 2, "defrag e: /O /U /V /H"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefragCommandFor("E:\\", DefragSyntaxFor(c.version), c.priority), c.command)
            << c.version.major << "." << c.version.minor << " " << c.priority;
    }
    EXPECT_EQ(DefragCommandFor("C:"), "defrag c: -f");
    EXPECT_EQ(ContigCommandFor("D:"), "contig -s -q d:\\*.*");
}

TEST(LaunchDefrag, StartsTheSystemsDefragmenterElseTheContigToolAndSetsThePriorityByName) {
    const std::string sys = "C:\\Windows\\system32\\defrag.exe";
    const struct {
        std::set<std::string> available;
        int priority;
        std::vector<std::string> starts;
        int hookCalls;  // the hook follows the system defragmenter only
        Calls calls;    // normal needs no change: a fresh process already runs at it
        bool started;
    } cases[] = {
        {{"defrag", "contig"}, 1, {sys + "|defrag c: -f|1|64|1"}, 1, {{100, 0x40}}, true},
        {{"defrag", "contig"}, 2, {sys + "|defrag c: -f|1|32|1"}, 1, {}, true},
        {{"contig"},
         3,
         {sys + "|defrag c: -f|1|128|1", "|contig -s -q c:\\*.*|1|128|0"},
         0,
         {{100, 0x80}},
         true},
        {{}, 1, {sys + "|defrag c: -f|1|64|1", "|contig -s -q c:\\*.*|1|64|0"}, 0, {}, false},
        {{"defrag", "contig"}, 0, {}, 0, {}, false},
        {{"defrag", "contig"}, 4, {}, 0, {}, false},
    };
    for (const auto& c : cases) {
        FakeProcessTable table;
        FakeLauncher launcher(table);
        launcher.available = c.available;
        int hookCalls = 0;
        const LaunchedDefrag launched = LaunchDefrag(
            launcher, table, {sys, "defrag c: -f", "contig -s -q c:\\*.*", true, c.priority},
            [&] { ++hookCalls; });
        EXPECT_EQ(launcher.starts, c.starts) << c.priority;
        EXPECT_EQ(hookCalls, c.hookCalls) << c.priority;
        EXPECT_EQ(table.priorityCalls, c.calls) << c.priority;
        EXPECT_EQ(launched.process != nullptr, c.started) << c.priority;
    }
}

TEST(DefragOutcome, ExitCodeAndOutputTellWhetherTheDriveWasDone) {
    using K = DriveOutcome::Kind;
    const struct {
        std::optional<std::uint32_t> exitCode;
        const char* output;
        K kind;
        const char* text;
    } cases[] = {
        {0, "Pre-Optimization Report:\r\n...\r\nThe operation completed successfully.\r\n", K::kOk,
         "ok"},
        {0x89000008, "An invalid command line option was specified. (0x89000008)\r\n", K::kFailed,
         "failed: invalid command line option (0x89000008)"},
        // Refused for want of rights, with the exit code 0 all the same.
        {0, "The disk defragmenter requires Administrator privileges to run. (0x89000024)",
         K::kFailed, "failed: administrator rights needed (0x89000024)"},
        {1, "The requested operation is already in progress on the volume. (0x89000000)",
         K::kFailed, "failed: an optimisation already runs on the volume (0x89000000)"},
        {0x89000010, "", K::kFailed,
         "failed: the optimisation service could not be reached (0x89000010)"},
        {0, "Error (0x8900002a) and (0x12345678)", K::kFailed, "failed: error 0x8900002A"},
        {0, "not a code: (0x89000024 and (0x80070057) and (0x890000GZ)", K::kOk, "ok"},
        {0, "(0x890000AF)", K::kFailed, "failed: error 0x890000AF"},
        {3, "", K::kFailed, "failed: exit code 3 (0x00000003)"},
        {std::nullopt, "", K::kFailed, "failed: the defragmenter could not be started"},
    };
    for (const auto& c : cases) {
        const DriveOutcome outcome = ClassifyDefragOutcome(c.exitCode, c.output);
        EXPECT_EQ(outcome.kind, c.kind) << c.output;
        EXPECT_EQ(OutcomeText(outcome), c.text) << c.output;
    }
}

TEST(RunLog, OneLinePerDriveAndTheOlderHalfMovesAwayAtTheLimit) {
    const DriveRunRecord record{DateTime::Make(2026, 12, 6, 21, 30, 5),
                                "C:",
                                "defrag c: /O /U /V",
                                3723,
                                {DriveOutcome::Kind::kSkipped, "solid-state drive", 0}};
    EXPECT_EQ(
        RunLogLine(record),
        "2026-12-06 21:30:05\tC:\tdefrag c: /O /U /V\t1:02:03\tskipped: solid-state drive\r\n");
    MemoryLogFolder folder;
    const std::string line(100 * 1024 - 2, 'x');
    for (int i = 0; i < 10; ++i) {
        AppendToRunLog(folder, std::to_string(i) + line.substr(1) + "\r\n");
    }
    // Up to the limit exactly, it all stays in the log.
    AppendToRunLog(folder, std::string(kRunLogLimit - 10u * 100 * 1024 - 2, 'z') + "\r\n");
    EXPECT_EQ(folder.SizeOf(kRunLogFile), kRunLogLimit);
    EXPECT_EQ(folder.SizeOf(kOldRunLogFile), 0u);
    folder.Write(kRunLogFile, folder.Read(kRunLogFile).substr(0, 10u * 100 * 1024));
    const std::string last = std::string(kRunLogLimit - 10u * 100 * 1024, 'y') + "\r\n";
    AppendToRunLog(folder, last);  // just past the limit
    EXPECT_LT(folder.SizeOf(kRunLogFile), kRunLogLimit);
    EXPECT_EQ(folder.Read(kOldRunLogFile).substr(0, 1), "0");
    EXPECT_EQ(folder.Read(kRunLogFile).substr(0, 1), "6");  // whole lines in both
    EXPECT_EQ(folder.SizeOf(kOldRunLogFile) + folder.SizeOf(kRunLogFile),
              10u * 100 * 1024 + last.size());
    EXPECT_EQ(DriveOutputFile("E:"), "output-E.txt");
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
