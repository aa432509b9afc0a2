// Runs without the user: starting with Windows (and the shortcuts older copies left), waiting
// for mains power, making up for a missed run.

#include <gmock/gmock.h>

#include "core/app/startup_entry.h"
#include "core/app/unattended_runs.h"
#include "core/app/wake_timer.h"
#include "core/schedule/schedule_calculation.h"
#include "support/fakes.h"
#include "core/defrag/startup_shortcut.h"

namespace qm::test {
namespace {

using ::testing::HasSubstr;

TEST(StartupEntry, TheUserWhoseLogonTaskWentGetsTheShortcutOnceFromTheirOwnCopy) {
    const char* ann = "S-1-5-21-1-2-3-1001";
    const struct {
        const char* recorded;
        const char* own;
        bool hadShortcut, movedBefore, created, remembered;
    } cases[] = {
        {ann, "s-1-5-21-1-2-3-1001", false, false, true, true},  // SIDs compare without case
        {ann, ann, true, false, false, true},                    // there already: nothing to make
        {ann, ann, false, true, false, true},  // done before, then turned off: stays off
        {ann, "S-1-5-21-1-2-3-1002", false, false, false, false},  // another user's task
        {"", "", false, false, false, false},
    };
    for (const auto& c : cases) {
        MemorySettingsStore store;
        FakeStartupPlatform p;
        p.shortcut = c.hadShortcut;
        if (c.movedBefore) {
            store.values["StartFromTaskMoved"] = "1";
        }
        const bool took = TakeOverLogonTaskStart(c.recorded, c.own, store, p);
        EXPECT_EQ(std::tuple(took, p.creates, store.Find("StartFromTaskMoved") == "1"),
                  std::tuple(c.created, c.created, c.remembered))
            << c.own;
    }
}

class UnattendedRunsTest : public ::testing::Test, public PowerSource {
  protected:
    UnattendedRunsTest() {
        std::tie(schedule.occursOption, schedule.startHour, schedule.startMinute,
                 schedule.startDate) = std::tuple(1, 21, 30, D(2026, 11, 1));  // daily at 21:30
        run.lastDefrag = D(2026, 12, 3, 21, 30, 4);
    }
    std::optional<bool> OnBattery() override { return onBattery; }
    // The program starts now; five minutes on, the catch-up looks.
    // The wall clock is set back an hour meanwhile: the delay counts on the monotonic clock.
    void StartAndWaitFiveMinutes() {
        runs.LookForMissedRunSoon();
        clock.Advance(std::chrono::seconds(299 - 3600));
        ticks.now += 299000;
        tick.Fire();
        EXPECT_EQ(std::pair(starts, tick.Interval()), std::pair(0, 1000u))
            << "none before 5 minutes";
        ticks.now += 1000;
        tick.Fire();
    }

    FakeClock clock{D(2026, 12, 6, 9, 0, 0)};
    std::optional<bool> onBattery = false;
    FakeTimer tick;
    RunSettings run;
    ScheduleRecord schedule;
    MemoryLogFolder log;
    int starts = 0;
    FakeMonotonicClock ticks;
    UnattendedRuns runs{clock, ticks, *this, tick, run, schedule, [this] { ++starts; }, &log};
};

TEST_F(UnattendedRunsTest, OnBatteryAScheduledRunWaitsForMainsPowerOnce) {
    onBattery = true;
    runs.ScheduledMoment();
    runs.ScheduledMoment();
    runs.PowerStatusChanged();  // still on battery
    EXPECT_EQ(std::pair(starts, runs.WaitingForMains()), std::pair(0, true));
    onBattery = std::nullopt;  // unknown counts as mains
    runs.PowerStatusChanged();
    runs.PowerStatusChanged();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(log.Read(kRunLogFile),
              "2026-12-06 09:00:00\t-\t-\t-\tpostponed: on battery power, until mains power "
              "returns\r\n");

    runs.SetSettings({true, true});  // "RunOnBattery" lifts the rule
    onBattery = true;
    runs.ScheduledMoment();
    EXPECT_EQ(starts, 2);
}

TEST_F(UnattendedRunsTest, AMissedRunIsMadeUpForOnceFiveMinutesAfterStartUp) {
    StartAndWaitFiveMinutes();  // 4 and 5 December at 21:30 were missed
    EXPECT_EQ(std::pair(starts, runs.CatchUpPending()), std::pair(1, false));
    EXPECT_THAT(log.Read(kRunLogFile),
                HasSubstr("catch-up: the run due Saturday, 12/5/2026 at 9:30:00 PM"));
    tick.Fire();
    EXPECT_EQ(starts, 1) << "none twice";
}

TEST_F(UnattendedRunsTest, NoCatchUpWithoutAMissedMomentOrAnyEarlierRunOrWhenSwitchedOff) {
    const struct {
        std::int32_t option;
        std::int16_t hour;
        DateTime lastDefrag;
        bool catchUp;
    } cases[] = {
        {0, 21, D(2026, 12, 3), true},             // never
        {1, 24, D(2026, 12, 3), true},             // no start time
        {1, 21, DateTime(), true},                 // never a successful run
        {1, 21, D(2026, 12, 5, 21, 30, 1), true},  // the last run came after the moment
        {1, 21, D(2026, 12, 3), false},            // switched off
    };
    for (const auto& c : cases) {
        schedule.occursOption = c.option;
        schedule.startHour = c.hour;
        run.lastDefrag = c.lastDefrag;
        runs.SetSettings({false, c.catchUp});
        StartAndWaitFiveMinutes();
        EXPECT_EQ(starts, 0) << (&c - cases);
    }
    // The settings as stored ("0" ends the catch-up); a word reads as the default.
    MemorySettingsStore store;
    store.values = {{"RunOnBattery", "1"}, {"CatchUpMissedRuns", "0"}};
    EXPECT_EQ(ReadUnattendedSettings(store), (UnattendedSettings{true, false}));
    store.values = {{"RunOnBattery", "on"}, {"CatchUpMissedRuns", "off"}};
    EXPECT_EQ(ReadUnattendedSettings(store), (UnattendedSettings{false, true}));
}

TEST(PowerAndWake, BatteryOnlyWithABatteryAndTheWakeTimerFollowsTheNextMoment) {
    // AC line 0 off, 1 on, 255 unknown; battery flag 128 none, 255 unknown.
    const std::tuple<int, int, bool> power[] = {{0, 1, true},    {0, 8, true},     {0, 128, false},
                                                {0, 255, false}, {1, 1, false},    {255, 1, false},
                                                {0, 136, false}, {255, 255, false}};
    for (const auto& [line, flag, onBattery] : power) {
        EXPECT_EQ(OnBatteryFromStatus(line, flag), onBattery) << line << " " << flag;
    }
    struct Timer final : WakeTimer {
        bool Arm(DateTime due, bool resume) override {
            calls.push_back(std::to_string(due.Time().hour) + (resume ? " wakes" : " waits"));
            return true;
        }
        void Cancel() override { calls.push_back("cancel"); }
        bool Fired() override { return true; }
        Strings calls;
    } timer;
    WakeKeeper keeper(timer);
    const DateTime at21 = D(2026, 12, 7, 21, 30), at22 = D(2026, 12, 7, 22, 0);
    keeper.Update(PlanWake(true, true, at21, false, false));
    keeper.Update(PlanWake(true, true, at21, false, false));  // unchanged: left alone
    keeper.Update(PlanWake(true, true, at22, false, false));  // an edit
    keeper.Update(PlanWake(true, true, at22, true, false));   // on battery: fires, wakes not
    keeper.Update(PlanWake(true, true, at22, true, true));    // unless runs may use it
    EXPECT_TRUE(keeper.WokeFor(at22) && !keeper.WokeFor(at21));
    keeper.Update(PlanWake(true, false, at22, false, false));  // Never
    keeper.Update(PlanWake(false, true, at21, false, false));  // switched off
    keeper.Update(PlanWake(true, true, at21, false, false));
    keeper.Update({});  // the program ends
    EXPECT_EQ(timer.calls, (Strings{"21 wakes", "22 wakes", "22 waits", "22 wakes", "cancel",
                                    "21 wakes", "cancel"}));
    EXPECT_FALSE(keeper.WokeFor(at21));
    MemorySettingsStore store;
    for (const auto& [text, on] :
         {std::pair("1", true), {"01", true}, {"2", false}, {"yes", false}}) {
        store.values["WakeToRun"] = text;
        EXPECT_EQ(ReadWakeToRunSetting(store), on) << text;
    }
}

TEST(LatestScheduledMoment, FollowsTheScheduleBackwards) {
    ScheduleRecord s;  // weekly on Mondays and Thursdays at 21:30 until 10 December
    std::tie(s.occursOption, s.weeklySelections, s.startHour, s.startMinute, s.startDate,
             s.useEndDate, s.endDate) =
        std::tuple(2, "0100100", 21, 30, D(2026, 11, 1), true, D(2026, 12, 10));
    const DateTime after = D(2026, 11, 20);
    EXPECT_EQ(LatestScheduledMoment(s, after, D(2026, 12, 7, 21, 30)), D(2026, 12, 7, 21, 30));
    EXPECT_EQ(LatestScheduledMoment(s, after, D(2026, 12, 7, 21, 29)), D(2026, 12, 3, 21, 30));
    EXPECT_EQ(LatestScheduledMoment(s, D(2026, 12, 7, 8, 0), D(2026, 12, 8)),
              D(2026, 12, 7, 21, 30));
    EXPECT_EQ(LatestScheduledMoment(s, after, D(2026, 12, 20)), D(2026, 12, 10, 21, 30));
    EXPECT_EQ(LatestScheduledMoment(s, D(2026, 12, 3, 21, 30), D(2026, 12, 7, 21, 0)),
              std::nullopt);
    std::tie(s.occursOption, s.monthlySelections, s.useEndDate) =
        std::tuple(3, std::string(30, '0') + "1", false);  // monthly on the 31st
    EXPECT_EQ(LatestScheduledMoment(s, D(2026, 1, 1), D(2027, 3, 1)), D(2027, 1, 31, 21, 30));
    std::tie(s.occursOption, s.everyInterval, s.everyFrequency) =
        std::tuple(4, 1, 90);  // every 90 min
    EXPECT_EQ(LatestScheduledMoment(s, D(2026, 12, 6, 8, 0, 30), D(2026, 12, 6, 12, 0)),
              D(2026, 12, 6, 11, 0));
    EXPECT_EQ(LatestScheduledMoment(s, D(2026, 12, 6, 8, 0), D(2026, 12, 6, 9, 29)), std::nullopt);
    s.everyFrequency = 0;  // no step to take
    EXPECT_EQ(LatestScheduledMoment(s, D(2026, 12, 6, 8, 0), D(2026, 12, 7)), std::nullopt);
}

using Paths = std::set<std::string>;

// A file system of paths the test names; the files deleted, then links made as
// "link|target|arguments" and messages as "text|style|title", are logged in order.
struct FakeShortcutPlatform final : ShortcutPlatform {
    std::string GetWindowsDir() override { return windowsDir; }
    bool IsWindowsNT() override { return nt; }
    std::string StartupFolder() override { return startup; }
    bool FileExists(const std::string& path) override { return files.contains(path); }
    bool FolderExists(const std::string& path) override { return folders.contains(path); }
    bool SameFile(const std::string& a, const std::string& b) override { return alias == a + b; }
    bool RemoveFile(const std::string& path) override {
        log.push_back(path);
        return files.erase(path) == 1;
    }
    bool CreateShellLink(const std::string& link, const std::string& target,
                         const std::string& arguments) override {
        log.push_back(link + "|" + target + "|" + arguments);
        files.insert(link);
        return !linkFails;
    }
    void ShowSystemMessage(const std::string& text, unsigned style,
                           const std::string& title) override {
        log.push_back(text + "|" + std::to_string(style) + "|" + title);
    }

    std::string windowsDir = "C:\\WINDOWS";
    bool nt = true, linkFails = false;
    std::string startup =
        "C:\\Users\\user1\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    Paths files, folders;
    std::string alias;  // two names of one file, one after the other
    Strings log;
};

const std::string kUserLink = FakeShortcutPlatform().startup + "\\Quillmere.lnk";
const std::string kOld = "C:\\Documents and Settings\\";
const std::string kLinkTail = "\\Start Menu\\Programs\\Startup\\Quillmere.lnk";
const std::string kAdminLink = kOld + "Administrator" + kLinkTail;
const std::string kAllUsersLink = kOld + "All Users" + kLinkTail;
const std::string kDefaultLink = kOld + "Default User" + kLinkTail;
const std::string kWindowsLink = "C:\\WINDOWS" + kLinkTail;
const std::string kVariantFolder = kOld + "All Users.WINDOWS";
const std::string kVariantLink = kVariantFolder + kLinkTail;

TEST(StartupShortcut, OldCopiesAreSoughtInTheFolderOfTheFamilyAndTheNewOneInTheUsers) {
    EXPECT_EQ(AllUsersProfileDir("D:\\WINNT", true), "D:\\Documents and Settings\\All Users\\");
    EXPECT_EQ(AllUsersProfileDir("C:\\WINDOWS", false), "C:\\WINDOWS\\");
    const std::tuple<bool, Paths, std::string> cases[] = {
        {true, {kAdminLink, kAllUsersLink, kDefaultLink}, kAdminLink},
        {true, {kAllUsersLink, kDefaultLink}, kAllUsersLink},
        {true, {kDefaultLink}, kDefaultLink},
        {true, {}, kWindowsLink},
        {false, {kAdminLink}, kWindowsLink},  // the older family keeps it below the Windows folder
    };
    for (const auto& [nt, present, expected] : cases) {
        FakeShortcutPlatform platform;
        platform.nt = nt;
        platform.files = present;
        EXPECT_EQ(FindStartupShortcut(platform, "Quillmere"), expected);
    }
    FakeShortcutPlatform platform;
    platform.startup += "\\";
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), kUserLink);
    platform.startup.clear();
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), "");
    EXPECT_FALSE(HasStartupShortcut(platform, "Quillmere"));
}

TEST(StartupShortcut, CreatingClearsOldCopiesOtherThanItsOwnRemovingTheFirstOldCopy) {
    // The old copies go, but not the link just made: an account named Administrator on an
    // older system has it there, and on newer ones the old names are junctions to the new
    // folders. A failed link says so and deletes nothing.
    const std::string admin = kOld + "Administrator\\Start Menu\\Programs\\Startup";
    const std::string user = FakeShortcutPlatform().startup, link = "|C:\\Q.exe|-a",
                      refusal = "Unable to create shortcut for C:\\Q.exe.|64|Quillmere";
    const std::tuple<std::string, std::string, bool, Strings> creations[] = {
        {user, "", false, {kUserLink + link, kAdminLink, kVariantLink}},
        {admin, "", false, {kAdminLink + link, kVariantLink}},
        {user, kAdminLink + kUserLink, false, {kUserLink + link, kVariantLink}},
        {"", "", false, {refusal}},
        {user, "", true, {kUserLink + link, refusal}}};
    for (const auto& [startup, alias, linkFails, log] : creations) {
        FakeShortcutPlatform platform;
        std::tie(platform.startup, platform.alias, platform.linkFails) =
            std::tie(startup, alias, linkFails);
        platform.files = {kAdminLink, kAllUsersLink, kVariantLink};
        platform.folders = {kVariantFolder};
        EXPECT_EQ(CreateStartupShortcut(platform, "Quillmere", "C:\\Q.exe", "-a", "Quillmere"),
                  log.back() != refusal);
        EXPECT_EQ(platform.log, log) << startup;
    }
    // The family, the Windows folder, the files and folders there, and what is deleted.
    const Paths all{kUserLink, kAdminLink, kAllUsersLink, kVariantLink};
    const std::string w = "C:\\WINDOWS";
    const std::tuple<bool, std::string, Paths, Paths, Strings> removals[] = {
        {true, w, all, {kVariantFolder}, {kUserLink, kAdminLink, kVariantLink}},
        {true, w, {kVariantLink}, {}, {}},  // the variant's folder is missing
        {false, w, {kWindowsLink, w + ".WINDOWS" + kLinkTail}, {}, {kWindowsLink}},
        {true, "", {kUserLink, kLinkTail}, {}, {kUserLink}}};  // no Windows folder: no old ones
    for (const auto& [nt, windowsDir, files, folders, deleted] : removals) {
        FakeShortcutPlatform platform;
        std::tie(platform.nt, platform.windowsDir, platform.files, platform.folders) =
            std::tie(nt, windowsDir, files, folders);
        RemoveStartupShortcut(platform, "Quillmere");
        EXPECT_EQ(platform.log, deleted);
    }
}

}  // namespace
}  // namespace qm::test
