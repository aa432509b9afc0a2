// The Options dialog's logic: its drive rows and their statistics, loading and saving the
// form, and the run it starts on one drive.

#include <gtest/gtest.h>

#include "core/common/twips.h"
#include "core/defrag/defrag_now.h"
#include "core/defrag/drive_balloon_hover.h"
#include "core/defrag/drive_statistics.h"
#include "core/defrag/options_form.h"
#include "core/defrag/options_layout.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

using Log = std::vector<std::string>;

FixedVolume Volume(char letter, std::string label = "", bool ready = true) {
    return {letter, {.label = label, .labelRead = ready, .fileSystem = ready ? "NTFS" : ""}};
}

TEST(BuildDriveRows, RowZeroIsAlwaysCAndTheOthersFollow) {
    // The rows as caption|file system|enabled.
    const std::pair<std::vector<FixedVolume>, Log> cases[] = {
        {{Volume('c', "")}, {"Fixed Disk  (C:)|NTFS|1"}},
        {{Volume('c', "Sys"), Volume('d', "Data"), Volume('e', "")},
         {"Sys  (C:)|NTFS|1", "Data  (D:)|NTFS|1", "Fixed Disk  (E:)|NTFS|1"}},
        {{Volume('c', ""), Volume('x', "", false)}, {"Fixed Disk  (C:)|NTFS|1", "Drive  (X:)||0"}},
        {{Volume('d', "Data")}, {"Drive  (C:)||0", "Data  (D:)|NTFS|1"}},  // C is no fixed disk
        {{Volume('D', "Data"), Volume('C', "Sys")}, {"Sys  (C:)|NTFS|1", "Data  (D:)|NTFS|1"}},
    };
    for (const auto& [volumes, rows] : cases) {
        Log shown;
        for (const DriveRow& r : BuildDriveRows(volumes)) {
            shown.push_back(r.caption + "|" + r.fileSystem + "|" + (r.enabled ? "1" : "0"));
        }
        EXPECT_EQ(shown, rows);
    }
    EXPECT_EQ(BuildDriveRows({Volume('e', "")})[1].Root(), "e:\\");
}

TEST(DriveStatistics, UsageSizeAndUnitInTheUsersNumberFormat) {
    const std::tuple<std::uint64_t, std::uint64_t, const char*> cases[] = {
        {80'000'000'000, 44'000'000'000, " 45% of 74.51 GB used"},
        {1'048'575, 0, " 100% of 1,024.00 KB used"},
        {1'048'576, 1'048'576, " 0% of 1.00 MB used"},
        {1'073'741'824, 0, " 100% of 1.00 GB used"},
        {8'000, 3'000, " 62% of 7.81 KB used"},  // 62.5: halves to even
        {128, 0, " 100% of 0.12 KB used"},       // 0.125 KB
        {1'100'000'000'000'000, 0, " 100% of 1,024,454.83 GB used"},
        {0, 0, ""},  // no total: no balloon rather than a division by zero
    };
    for (const auto& [total, available, text] : cases) {
        EXPECT_EQ(GetDriveStatistics({{}, false, {}, true, available, total}, {}), text) << total;
    }
    const VolumeDetails v{{}, false, {}, true, 44'000'000'000, 80'000'000'000};
    EXPECT_EQ(DriveBalloonText(v, "NTFS", {}) + "|" + DriveBalloonText(v, "", {}) + "|" +
                  DriveBalloonText({}, "NTFS", {}),  // sizes not read
              " 45% of 74.51 GB used\r\nFile System:  NTFS| 45% of 74.51 GB used|");
    EXPECT_EQ(FormatGroupedTwoDecimals(1234567.891, {",", ".", "3;0"}), "1.234.567,89");
    // The locale's whole grouping list: a final 0 repeats, without one the rest stays together.
    const std::pair<const char*, const char*> groupings[] = {
        {"3;0", "1,234,567,890.00"}, {"3;2;0", "1,23,45,67,890.00"}, {"3;2", "12345,67,890.00"},
        {"3", "1234567,890.00"},     {"", "1234567890.00"},          {"0;0", "1234567890.00"},
        {"x;3", "1234567890.00"}};
    for (const auto& [grouping, text] : groupings) {
        EXPECT_EQ(FormatGroupedTwoDecimals(1234567890, {".", ",", grouping}), text) << grouping;
    }
}

struct OptionsFormTest : ::testing::Test {
    // The four boxes (RSXW, '-' unticked), the priority, the after-defrag choice, the drives.
    std::string Shown() const {
        const OptionsChoices& c = form.Choices();
        std::string s = std::string(c.runAtStartup ? "R" : "-") + (c.showSplash ? "S" : "-") +
                        (c.showExitPrompt ? "X" : "-") + (c.wakeToRun ? "W" : "-") +
                        std::to_string(c.priority) + std::to_string(c.afterDefragAction) + " ";
        for (bool d : c.drives) {
            s += d ? '1' : '0';
        }
        return s;
    }
    MemorySettingsStore store;
    FakeStartupPlatform startup;
    RunSettings run;
    OptionsForm form{store, run, startup};
    const std::vector<FixedVolume> cde{Volume('c'), Volume('d'), Volume('e')};
};

TEST_F(OptionsFormTest, LoadsFromTheSettingsAndTheRunStateUnchanged) {
    form.MarkOptionsChanged();
    form.Load(cde);
    EXPECT_EQ(Shown() + form.CancelCaption(), "-SX-11 111Close");
    // What selects no choice selects the first; a drive key that is no number: its default.
    // Waking is on only for the number 1.
    store.values = {{"ShowSplash", "0"}, {"ShowExitPrompt", "0"}, {"WakeToRun", "01"},
                    {"ShowCDrive", "x"}, {"ShowDDrive", "0"},     {"ShowEDrive", "2"}};
    run.runPriority = 3;
    run.afterDefragAction = 4;
    startup.shortcut = true;
    form.Load(cde);
    EXPECT_EQ(Shown(), "R--W31 100");
    run.runPriority = 0;
    run.afterDefragAction = 2;
    store.values["WakeToRun"] = "true";
    form.Load({Volume('c', "", false), Volume('f'), Volume('x', "", false)});
    EXPECT_EQ(Shown(), "R---12 010") << "drives that are not ready show unticked";
}

TEST_F(OptionsFormTest, WarnsOnceWithNoDriveTickedAndSavesInOrder) {
    form.Load(cde);
    form.Choices().drives = {false, false, false};
    form.MarkOptionsChanged();
    EXPECT_STREQ(form.CancelCaption(), "Cancel");
    EXPECT_EQ(form.Save(), SaveOutcome::NoDriveWarning);
    EXPECT_TRUE(store.writes.empty() && form.Changed()) << "nothing is written after the warning";
    form.Load(cde);  // closed and opened again during the same program run
    form.Choices() = {true, false, true, true, 3, 2, {true, false, true}};
    ASSERT_EQ(form.Save(), SaveOutcome::Saved);
    EXPECT_EQ(store.writes,
              (Log{"ShowSplash=0", "ShowExitPrompt=1", "WakeToRun=1", "RunPriority=3",
                   "AfterDefragAction=2", "ShowCDrive=1", "ShowDDrive=0", "ShowEDrive=1"}));
    EXPECT_EQ(std::tuple(run.runPriority, run.afterDefragAction, run.selectedDrives,
                         startup.shortcut, form.Changed()),
              std::tuple(3, 2, Log{"c:", "e:"}, true, false));
    form.Choices().runAtStartup = false;
    form.Choices().drives = {false, false, false};
    EXPECT_EQ(form.Save(), SaveOutcome::Saved) << "warned once per program run";
    EXPECT_FALSE(StartupEntryPresent(startup) || !run.selectedDrives.empty());
}

TEST_F(OptionsFormTest, FirstRunAndVolumeChangesLeaveItChanged) {
    form.Load(cde);
    form.TickRunAtStartup();
    EXPECT_EQ(std::pair(Shown(), form.Changed()), std::pair(std::string("RSX-11 111"), true));
    store.values["ShowFDrive"] = "0";
    form.Load({Volume('c'), Volume('d', "", false)});
    form.Choices().drives[0] = false;  // unsaved: kept through the refresh
    form.RefreshDriveRows({Volume('c'), Volume('d', "", false), Volume('e'), Volume('f')});
    EXPECT_EQ(std::tuple(Shown(), form.Changed(), form.FixedDriveCount()),
              std::tuple(std::string("-SX-11 0110"), true, 3));
    // The start-up frame's height, what lies below, row 2 and the form with two drives more.
    const auto places = [](bool note) {
        const OptionsPlaces p = PlaceOptions(note);
        return std::vector<int>({p.startupFrameHeight, p.priorityFrameTop, p.afterDefragFrameTop,
                                 p.headingTop, p.DriveRowTop(2), p.FormHeight(2)});
    };
    EXPECT_EQ(places(false), std::vector<int>({1485, 1725, 2385, 3690, 4740, 6210}));
    EXPECT_EQ(places(true), std::vector<int>({2070, 2310, 2970, 4275, 5325, 6795}));
    const RunningMessagePlace p = PlaceRunningMessage(PlaceOptions(false), 5300);
    EXPECT_EQ(std::vector<int>({SaveButtonTop(6000), p.top, p.height, p.labelTop}),
              std::vector<int>({5070, 4095, 1145, 310}));
    // Inside Windows XP's frame (3-pixel borders, 26-pixel caption) 75 twips lie below Save.
    EXPECT_EQ(std::pair(DesignedClientWidth(4860), DesignedClientHeight(6000) - (5070 + 375)),
              std::pair(4770, 75));
}

TEST(WakeTimersNote, ShownWhenThePowerPlanKeepsProgramsFromWakingTheComputer) {
    // "Allow wake timers" on mains: unread, Disable, Enable, important ones only, unknown.
    std::string shown;  // each value on Windows 7, then 10
    for (const std::optional<unsigned> value : {std::optional<unsigned>{}, {0}, {1}, {2}, {3}}) {
        for (const unsigned major : {6u, 10u}) {
            shown += WakeTimersNote(value, {major, 0, 0}).empty() ? "-" : "N";
        }
        shown += ' ';
    }
    EXPECT_EQ(shown, "-- NN -- -N -- ");
    EXPECT_NE(WakeTimersNote(0, {}).find("set \"Allow wake timers\" to Enable"), std::string::npos);
}

// The dialog, the scheduler and the balloon write one log; rows 0 and 1 have statistics.
struct OptionsRunTest : ::testing::Test, DefragNowView, DriveBalloonHost {
    void ShowAlreadyRunning() override { log.push_back("already running"); }
    void ShowRunning(const std::string& caption) override { log.push_back(caption); }
    void ShowFinished(int row) override { log.push_back("finished " + std::to_string(row)); }
    bool IsCursorOutside() override { return outside; }
    std::string DriveBalloonMessage(int row) override { return row < 2 ? "row" : ""; }
    int ShowBalloon(int row, const std::string& title, const std::string& text) override {
        log.push_back(title + " " + std::to_string(row) + ": " + text);
        return ++lastId;
    }
    void SetBalloonMessage(int id, const std::string&) override {
        log.push_back("update " + std::to_string(id));
    }
    void RemoveBalloon(int id) override { log.push_back("remove " + std::to_string(id)); }
    void RestOn(int row) {
        hover.OnPointerOverDrive(row);
        ASSERT_TRUE(hoverDelay.Fire() && !hoverDelay.Enabled());  // once
    }
    FakeProcessTable processes;
    FakeLauncher launcher{processes};
    FakeTimer wait, priority, hoverDelay, hideDelay;
    RunSettings run;
    Log log;
    bool outside = false;
    int lastId = 0;
    DefragSystem system;  // Windows XP's command lines
    FakeClock clock{D(2026, 12, 7, 10, 0, 0)};
    MemoryLogFolder runLog;
    DefragNowRun now{{processes, launcher, clock, &runLog, wait, priority, run, system,
                      [this](bool on) { log.push_back(on ? "scheduler on" : "scheduler off"); },
                      [this] { log.push_back("status"); },
                      [this](const std::string& why) { log.push_back(why); }}};
    DriveBalloonHover hover{*this, hoverDelay, hideDelay};
};

TEST_F(OptionsRunTest, RunsOneDriveUntilItsDefragmenterHasGone) {
    now.SetView(this);
    processes.Add("C:\\tools\\CONTIG.EXE");
    EXPECT_FALSE(now.Start(0, 'C', 1));  // any defragmenter running: the message only
    processes.entries.clear();
    run.runPriority = 2;                // saved: the engine's
    ASSERT_TRUE(now.Start(2, 'E', 3));  // the dialog's own for the defragmenter
    EXPECT_EQ(launcher.starts, (Log{"defrag.exe|defrag e: -f|1|128|1"}));
    EXPECT_EQ(log, (Log{"already running", "Defragmenting drive E:", "scheduler off"}));
    EXPECT_EQ(wait.Interval() + priority.Interval(), 5000u);
    ASSERT_TRUE(priority.Fire());
    EXPECT_EQ(processes.priorityCalls.back().priorityClass, 0x20u);
    EXPECT_FALSE(priority.Enabled());
    log.clear();
    ASSERT_TRUE(wait.Fire());
    EXPECT_TRUE(wait.Enabled() && now.Running()) << "still running: polls on";
    EXPECT_EQ(launcher.children[0]->drains, 1) << "its output is taken in at each poll";
    launcher.FinishAll();
    ASSERT_TRUE(wait.Fire());
    EXPECT_FALSE(wait.Enabled() || now.Running());
    EXPECT_EQ(log, (Log{"finished 2", "scheduler on", "status"}));
    log.clear();
    system.syntax = DefragSyntax::kOptimize;  // as later systems want it
    ASSERT_TRUE(now.Start(0, 'X', 2));
    now.SetView(nullptr);  // the dialog closed: the run is still seen to its end
    run.runPriority = 7;   // no level: the engine goes to idle
    ASSERT_TRUE(priority.Fire());
    EXPECT_EQ(processes.priorityCalls.back().priorityClass, 0x40u);
    clock.Advance(std::chrono::seconds(75));
    launcher.FinishAll(0, "The disk defragmenter requires Administrator privileges. (0x89000024)");
    ASSERT_TRUE(wait.Fire());
    EXPECT_EQ(launcher.commandLines[1], "defrag c: /O /U /V /H");
    // Judged and logged as a run's drive, and a failure said.
    EXPECT_EQ(log, (Log{"Defragmenting Drive C:", "scheduler off",
                        "Drive C: was not defragmented: administrator rights needed.",
                        "scheduler on", "status"}));
    EXPECT_EQ(runLog.Read(kRunLogFile),
              "2026-12-07 10:00:00\tE:\tdefrag e: -f\t0:00:00\tok\r\n"
              "2026-12-07 10:00:00\tC:\tdefrag c: /O /U /V /H\t0:01:15\tfailed: administrator "
              "rights needed (0x89000024)\r\n");
    EXPECT_EQ(now.PanelCaption(), "Defragmenting Drive C:");
}

TEST_F(OptionsRunTest, RestingOnADriveShowsItsStatistics) {
    hover.OnPointerOverDrive(1);
    RestOn(1);  // a further move does not restart the delay
    EXPECT_EQ(hoverDelay.Starts() * 10000 + hoverDelay.Interval(), 11500u);
    RestOn(1);  // the row's balloon is up: only its text changes
    RestOn(0);
    hover.OnPointerOverDrive(0);
    hover.OtherMouseMove();  // onto a button within the delay: the balloon goes, none comes
    EXPECT_FALSE(hoverDelay.Enabled());
    RestOn(0);
    hover.BalloonClosed();  // by its close button
    RestOn(0);
    RestOn(2);  // nothing to tell
    hover.OnPointerOverDrive(0);
    outside = true;
    hover.OnPointerOverDrive(0);
    EXPECT_FALSE(hoverDelay.Enabled());
    EXPECT_EQ(hover.HoverRow() + hover.BalloonRow() + hover.BalloonId(), 99 + 99 - 1);
    outside = false;
    RestOn(1);  // 5 s after it opened, once, the balloon goes by itself
    EXPECT_EQ(hideDelay.Interval() + hideDelay.Starts() * 10000, 5000u + 50000u);
    ASSERT_TRUE(hideDelay.Fire() && !hideDelay.Fire());
    EXPECT_EQ(hover.BalloonId(), kNoBalloon);
    EXPECT_EQ(log,
              (Log{"Drive Statistics 1: row", "update 1", "remove 1", "Drive Statistics 0: row",
                   "remove 2", "Drive Statistics 0: row", "Drive Statistics 0: row", "remove 4",
                   "Drive Statistics 1: row", "remove 5"}));
}

}  // namespace
}  // namespace qm::test
