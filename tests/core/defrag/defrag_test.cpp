// Starting the defragmenter, finding processes by name, listing drives, the panel gradient,
// and powering Windows off.

#include <gmock/gmock.h>

#include "core/defrag/defrag_launch.h"
#include "core/defrag/drive_state.h"
#include "core/defrag/defrag_outcome.h"
#include "core/defrag/drive_list.h"
#include "core/defrag/gradient.h"
#include "core/defrag/process_watch.h"
#include "core/defrag/run_log.h"
#include "support/fakes.h"
#include "core/defrag/shutdown.h"

namespace qm::test {
namespace {

using namespace std::string_literals;
using ::testing::FieldsAre;
using Calls = std::vector<FakeProcessTable::PriorityCall>;

TEST(DefragCommands, FollowTheSystemAndThePriority) {
    // XP and Server 2003, and Vista: the classic form at any priority; /H: normal priority
    // instead of low.
    const std::tuple<WindowsVersion, int, const char*> cases[] = {
        {{5, 2, 3790}, 3, "defrag e: -f"},       {{6, 0, 6002}, 2, "defrag e: -f"},
        {{6, 1, 7601}, 1, "defrag e: /U /V"},    {{6, 1, 7601}, 2, "defrag e: /U /V /H"},
        {{6, 2, 9200}, 1, "defrag e: /O /U /V"}, {{10, 0, 22631}, 3, "defrag e: /O /U /V /H"}};
    for (const auto& [version, priority, command] : cases) {
        EXPECT_EQ(DefragCommandFor("E:\\", DefragSyntaxFor(version), priority), command)
            << version.minor << " " << priority;
    }
}

TEST(LaunchDefrag, StartsTheSystemsDefragmenterElseTheContigToolBesideTheProgram) {
    const std::string sys = "C:\\Windows\\system32\\defrag.exe";
    const std::string contig = "C:\\Q\\contig.exe|contig -s -q c:\\*.*|1|";
    const struct {
        std::set<std::string> available;
        int priority;
        Strings starts;
        int hookCalls;  // the hook follows the system defragmenter only
    } cases[] = {
        {{"defrag", "contig"}, 1, {sys + "|defrag c: -f|1|64|1"}, 1},
        {{"defrag", "contig"}, 2, {sys + "|defrag c: -f|1|32|1"}, 1},
        {{"contig"}, 3, {sys + "|defrag c: -f|1|128|1", contig + "128|1"}, 0},
        {{}, 1, {sys + "|defrag c: -f|1|64|1", contig + "64|1"}, 0},
        {{"defrag", "contig"}, 0, {}, 0},
        {{"defrag", "contig"}, 4, {}, 0},
    };
    for (const auto& c : cases) {
        FakeProcessTable table;
        FakeLauncher launcher(table);
        launcher.available = c.available;
        int hookCalls = 0;
        DefragLaunch launch{sys,  "C:\\Q\\contig.exe", 'C', "defrag c: -f", "contig -s -q c:\\*.*",
                            true, c.priority};
        const LaunchedDefrag launched = LaunchDefrag(launcher, launch, [&] { ++hookCalls; });
        EXPECT_EQ(std::tuple(launcher.starts, hookCalls, launched.process != nullptr),
                  std::tuple(c.starts, c.hookCalls, !launcher.children.empty()))
            << c.priority;
        launch.contigProgram.clear();  // no folder known: no tool from anywhere else
        launcher.starts.clear();
        LaunchDefrag(launcher, launch);
        EXPECT_EQ(launcher.starts.size(), std::min<std::size_t>(c.starts.size(), 1)) << c.priority;
    }
}

TEST(DefragOutcome, TheFirstErrorCodeOfTheOutputOrTheExitCodeDecides) {
    // Later systems report errors as codes in the output, and may exit with 0 all the same.
    const std::tuple<std::optional<std::uint32_t>, const char*, const char*> cases[] = {
        {0, "Pre-Optimization Report:\r\n...\r\nThe operation completed successfully.\r\n", "ok"},
        {0x89000008, "An invalid command line option was specified. (0x89000008)\r\n",
         "failed: invalid command line option (0x89000008)"},
        {0, "The disk defragmenter requires Administrator privileges to run. (0x89000024)",
         "failed: administrator rights needed (0x89000024)"},
        {0,
         "The service cannot be started, either because it is disabled or because it has no "
         "enabled devices associated with it. (0x80070422)",
         "failed: the system's optimisation service is disabled (0x80070422)"},
        {0, "Access is denied. (0x80070005)", "failed: access denied (0x80070005)"},
        {1, "The requested operation is already in progress on the volume. (0x89000000)",
         "busy: another optimisation is running on the volume (0x89000000)"},
        {0, "(0x8900002A)",
         "skipped: not supported by the hardware backing the volume (0x8900002A)"},
        {0x89000020, "", "skipped: not supported on this file system (0x89000020)"},
        {0, "(0x8900000d)", "skipped: the volume cannot be optimised (0x8900000D)"},
        {0, "(0x12345678) then (0x8007001F) then (0x89000024)", "failed: error 0x8007001F"},
        {0, "not codes: (0x89000024 and (0x890000GZ) (0x7FFFFFFF)", "ok"},
        {3, "", "failed: exit code 3 (0x00000003)"},
        {std::nullopt, "", "failed: the defragmenter could not be started"},
    };
    for (const auto& [exitCode, output, text] : cases) {
        EXPECT_EQ(OutcomeText(ClassifyDefragOutcome(exitCode, output)), text) << output;
    }
}

TEST(RunLog, OneLinePerDriveAndTheOlderHalfMovesAwayPastOneMebibyte) {
    const DriveOutcome skipped{DriveOutcome::Kind::kSkipped, "solid-state drive", 0};
    EXPECT_EQ(RunLogLine({D(2026, 12, 6, 21, 30, 5), "C:", "defrag c: /O /U /V", 3723, skipped}),
              "2026-12-06 21:30:05\tC:\tdefrag c: /O /U /V\t1:02:03\tskipped: solid-state "
              "drive\r\n");
    MemoryLogFolder folder;
    const std::string line = std::string(100 * 1024 - 2, 'x') + "\r\n";
    for (char i = '0'; i <= '9'; ++i) {
        AppendToRunLog(folder, i + line.substr(1));
    }
    AppendToRunLog(folder, std::string(1024 * 1024 - 10 * line.size() - 2, 'z') + "\r\n");
    // Up to the limit, it all stays; just past it, whole lines in both, the old file getting
    // those before the middle.
    EXPECT_EQ(std::pair(folder.SizeOf(kRunLogFile), folder.SizeOf(kOldRunLogFile)),
              std::pair(1024ul * 1024, 0ul));
    AppendToRunLog(folder, "y\r\n");
    EXPECT_EQ(std::tuple(folder.Read(kOldRunLogFile)[0], folder.SizeOf(kOldRunLogFile),
                         folder.Read(kRunLogFile)[0], folder.SizeOf(kRunLogFile)),
              std::tuple('0', 6 * line.size(), '6', 1024ul * 1024 + 3 - 6 * line.size()));
}

TEST(ProcessWatch, WholeFileNamesAnyCaseAndThePriorityClassSetUnlessAlreadyThere) {
    // A name the list hands back in a fixed-size buffer ends at the first NUL.
    const std::pair<Strings, bool> cases[] = {
        {{"C:\\WINDOWS\\system32\\defrag.exe", "DeFrag.Exe", "defrag.exe\0garbage"s}, true},
        {{"C:\\bin\\xdefrag.exe", "defrag.exe.bak", "C:\\defrag.exe\\"}, false}};
    for (const auto& [names, matches] : cases) {
        for (const std::string& listed : names) {
            FakeProcessTable table;
            table.Add(listed);
            EXPECT_EQ(FindProcessId(table, "DEFRAG.EXE"), matches ? 100u : 0u) << listed;
        }
    }
    FakeProcessTable table;  // the first of two; an empty name needs no process list
    table.entries = {{1, "explorer.exe"}, {2, "defrag.exe"}, {3, "defrag.exe"}};
    EXPECT_EQ(
        std::tuple(FindProcessId(table, "defrag.exe"), FindProcessId(table, ""), table.snapshots),
        std::tuple(2u, 0u, 1));
    table.snapshotFails = true;
    EXPECT_EQ(FindProcessId(table, "defrag.exe"), 0u);
    // The level, the engine's base priority, and the class set (0: no system call at all).
    const std::tuple<int, std::int32_t, std::uint32_t> levels[] = {
        {1, 8, 0x40}, {2, 4, 0x20}, {3, 8, 0x80}, {4, 13, 0x100}, {1, 4, 0},
        {2, 8, 0},    {3, 13, 0},   {4, 24, 0},   {0, 8, 0},      {5, 8, 0}};
    for (auto [level, base, priorityClass] : levels) {
        FakeProcessTable engines;
        engines.Add("dfrgntfs.exe", base);
        engines.Add("dfrgntfs.exe", base);
        SetTaskPriority(engines, "dfrgntfs.exe", level);
        const Calls expected = priorityClass ? Calls{{100, priorityClass}} : Calls{};
        EXPECT_EQ(engines.priorityCalls, expected) << level << " from " << base;
    }
}

// Drives in the system's order, with roots as the system spells them.
struct FakeDrives final : DriveSystem {
    std::string LogicalDriveStrings() const override { return listed; }
    bool IsFixed(const std::string& root) const override { return fixed.contains(root); }
    VolumeDetails DetailsOf(const std::string& root) const override {
        VolumeDetails d;
        d.label = "label of " + root;
        return d;
    }
    std::string listed;
    std::set<std::string> fixed;
};

TEST(DriveList, FixedDrivesOtherThanCInSystemOrderAndVolumesInLetterOrder) {
    EXPECT_EQ(SplitDriveStrings("C:\\\0\0E:\\\0\0"s), Strings{"C:\\"});
    EXPECT_EQ(SplitDriveStrings("C:\\"s), Strings{"C:\\"});
    FakeDrives drives;
    drives.listed = "Z:\\\0A:\\\0c:\\\0D:\\\0G:\\\0\0"s;
    drives.fixed = {"Z:\\", "c:\\", "D:\\"};  // not A: or G:
    const FixedDriveList list = GetFixedDrives(drives);
    EXPECT_EQ(std::pair(list.FixedDrives, list.FixedDriveCount),
              std::pair(Strings{"z:\\", "d:\\"}, 2));
    const auto volumes = ListFixedVolumes(drives);
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(std::string({volumes[0].letter, volumes[1].letter, volumes[2].letter}) +
                  volumes[1].details.label,
              "cdzlabel of d:\\");
    EXPECT_EQ(GetFixedDrives(FakeDrives{}).FixedDriveCount, 0);
}

TEST(FillGradientBands, WhiteShadesToBlackInEightyFiveBandsOfRoundedThickness) {
    const auto down = FillGradientBands(600, 850, {255, 255, 255}, 1);
    ASSERT_EQ(down.size(), 85u);
    EXPECT_THAT(down[1], FieldsAre(0, 10, 600, 20, Rgb{249, 249, 249}));
    EXPECT_THAT(down[84], FieldsAre(0, 840, 600, 850, Rgb{0, 0, 0}));
    // Each channel stops at 0 on its own; out-of-range starts are clamped.
    EXPECT_EQ(FillGradientBands(85, 85, {9, 100, 0}, 1)[2].colour, (Rgb{0, 91, 0}));
    EXPECT_EQ(FillGradientBands(85, 85, {300, -5, 255}, 1)[0].colour, (Rgb{252, 0, 252}));
    // 900 / 85 rounds to 11; the last band of a reverse run stretches to the edge.
    const auto up = FillGradientBands(200, 900, {255, 255, 255}, 2);
    EXPECT_THAT(up[0], FieldsAre(0, 889, 200, 900, Rgb{252, 252, 252}));
    EXPECT_EQ(up[84].top, 0);
    EXPECT_THAT(FillGradientBands(170, 40, {255, 0, 0}, 3)[84], FieldsAre(168, 0, 170, 40, Rgb{}));
    const auto left = FillGradientBands(170, 40, {255, 0, 0}, 4);
    EXPECT_THAT(left[0], FieldsAre(168, 0, 170, 40, Rgb{252, 0, 0}));
    EXPECT_THAT(left[84], FieldsAre(0, 0, 2, 40, Rgb{}));
    for (int direction : {0, 5}) {  // unknown directions paint from the top
        EXPECT_EQ(FillGradientBands(10, 128, {255, 255, 255}, direction)[1].top, 2) << direction;
    }
}

// Every step succeeds unless the test names it as failing; failures leave their own code.
// The steps come in the order the privilege must be won before the exit is asked for.
struct FakeShutdownApi final : ShutdownApi {
    std::optional<int> PlatformId() override { return ++versionReads, platform; }
    bool LookupShutdownPrivilege() override { return Step("lookup", 1313); }
    bool OpenCurrentProcess() override { return Step("process", 6); }
    bool OpenProcessToken() override { return Step("token", 5); }
    bool EnableTokenPrivilege() override { return Step("adjust", 1300); }
    bool RequestExit(std::uint32_t flags, std::uint32_t reason) override {
        exitFlags = flags;
        exitReason = reason;
        return Step("exit", 1314);
    }
    std::uint32_t LastError() override { return lastError; }
    std::string ErrorText(std::uint32_t code) override { return "text " + std::to_string(code); }
    std::string ExecutableName() override { return "Quillmere.exe"; }
    bool Step(const std::string& name, std::uint32_t code) {
        calls.push_back(name);
        lastError = failing == name ? code : lastError;
        return failing != name;
    }

    std::optional<int> platform = 2;
    std::string failing;
    Strings calls;
    std::uint32_t exitFlags = 0, exitReason = 0, lastError = 0;
    int versionReads = 0;
};

const Strings kAllSteps = {"lookup", "process", "token", "adjust", "exit"};

TEST(ShutdownWindows, MapsModesToForcedExitFlagsAndIgnoresOthers) {
    for (auto [mode, flags] : {std::pair{1, 4u}, {2, 13u}, {3, 6u}, {0, 0u}, {4, 0u}}) {
        FakeShutdownApi api;
        NtFamilyCache family;
        ShutdownWindows(api, family, mode);
        EXPECT_EQ(std::tuple(api.calls, api.exitFlags, api.exitReason),
                  std::tuple(flags ? kAllSteps : Strings{}, flags, flags ? 0xFFFFFFFFu : 0u))
            << mode;
    }
}

TEST(ShutdownSystem, RaisesNumberedErrorsWithTheSystemsText) {
    const std::string noPrivilege =
        "Can't enable shutdown: You do not have the privileges to shutdown this system. ";
    // The failing step, the flags, the error and how far the steps got; 0 and 31 are the ends
    // of what is accepted.
    const std::tuple<const char*, std::int32_t, std::uint32_t, std::string, int> cases[] = {
        {"", 32, 0x8004062F, "Invalid parameter to ShutdownSystem: 32", 0},
        {"", -1, 0x8004062F, "Invalid parameter to ShutdownSystem: -1", 0},
        {"", 0, 0, "", 5},
        {"exit", 13, 0x8004062B, "ShutdownSystem failed: text 1314", 5},
        {"lookup", 13, 0x8004062C,
         "Can't enable shutdown: Can't find the SE_SHUTDOWN_NAME privilege value. [text 1313]", 1},
        {"process", 13, 0x8004062D,
         "Can't enable shutdown: Can't determine the current process. [text 6]", 2},
        {"token", 13, 0x8004062E, noPrivilege + "[text 5]", 3},
        {"adjust", 13, 0x8004062E, noPrivilege + "[text 1300]", 4},
    };
    for (const auto& [failing, flags, number, description, steps] : cases) {
        FakeShutdownApi api;
        api.failing = failing;
        NtFamilyCache family;
        try {
            EXPECT_TRUE(ShutdownSystem(api, family, flags));
            EXPECT_EQ(number, 0u) << "no error for " << failing << " " << flags;
        } catch (const ShutdownError& e) {
            EXPECT_EQ(std::tuple(e.Number(), e.Source(), e.Description(), std::string(e.what())),
                      std::tuple(number, "Quillmere.mShutDown", description, description));
        }
        EXPECT_EQ(api.calls, Strings(kAllSteps.begin(), kAllSteps.begin() + steps)) << failing;
    }
    EXPECT_EQ(ShutdownErrorSource("my.tool.exe"), "my.tool.mShutDown");  // the extension only
    EXPECT_EQ(ShutdownErrorSource("noext"), "noext.mShutDown");
}

TEST(NtFamilyCache, AsksAgainAfterAFailedReadThenKeepsTheAnswerAndTheOlderFamilyNeedsNoPrivilege) {
    FakeShutdownApi api;
    api.platform = std::nullopt;
    NtFamilyCache family;
    EXPECT_FALSE(family.IsNTCached(api));
    api.platform = 2;
    EXPECT_TRUE(family.IsNTCached(api));
    api.platform = 1;
    EXPECT_TRUE(family.IsNTCached(api));
    EXPECT_EQ(api.versionReads, 2);
    NtFamilyCache olderFamily;
    api.calls.clear();
    EXPECT_TRUE(ShutdownSystem(api, olderFamily, 31));
    EXPECT_EQ(std::pair(api.calls, api.exitFlags), std::pair(Strings{"exit"}, 31u));
}

TEST(DriveState, TheDiskKindAndTheNewestResultOfEachDrive) {
    EXPECT_EQ(std::tuple(MediaText(true), MediaText(false), MediaText(std::nullopt)),
              std::tuple("hard disk", "solid-state", ""));
    const auto rows = HistoryRows(
        "2026-12-05 21:30:00\tC:\tx\t0:10:00\tok\r\n"
        "2026-12-05 21:40:00\tE:\tx\t0:00:00\tskipped: solid-state drive\r\n"
        "2026-12-06 21:30:00\t-\t-\t-\tcatch-up: the run due ... was missed\r\n"
        "2026-12-06 21:30:05\tC:\tx\t0:00:01\tfailed: administrator rights needed (0x89000024)\r\n"
        "2026-12-07 09:00:00\tD:\tx\t0:00:01\tstopped\r\n");
    UsDateTextFormat dates;
    for (const auto& [drive, text] :
         {std::pair("C:", "failed 12/6/2026 - administrator rights needed"),
          {"D:", "stopped 12/7/2026"},
          {"E:", "skipped 12/5/2026 - solid-state drive"},
          {"F:", "never"}}) {
        EXPECT_EQ(LastResultText(rows, drive, dates), text) << drive;
    }
    EXPECT_EQ(LastResultText({rows[4]}, "C:", dates), "defragmented 12/5/2026");
}

}  // namespace
}  // namespace qm::test
