// The small decisions of the running program: when Exit asks, the tray icon's menu, events and
// status balloon, the command line, the splash window's size and version text, and the stored
// settings: how texts convert, what loads with which default, what is written.

#include <gtest/gtest.h>

#include "core/app/exit_rules.h"
#include "core/app/splash_layout.h"
#include "core/app/tray_events.h"
#include "core/app/tray_hover.h"
#include "core/app/tray_menu_rules.h"
#include "support/fakes.h"
#include "core/app/program_settings.h"
#include "core/app/setting_conversions.h"
#include "core/app/settings_keys.h"

namespace qm::test {
namespace {

TEST(ExitRules, OnlyAFutureRunIsWorthAsking) {
    // The zero date of a disabled scheduler, yesterday though later in the day, a minute ago;
    // this minute, seconds ignored, and tomorrow though earlier in the day.
    const DateTime now = D(2026, 12, 6, 14, 30, 45);
    for (const DateTime next : {DateTime(), D(2026, 12, 5, 23, 59), D(2026, 12, 6, 14, 29)}) {
        EXPECT_TRUE(NextRunHasPassed(next, now)) << next.Seconds();
    }
    for (const DateTime next : {D(2026, 12, 6, 14, 30), D(2026, 12, 7, 0, 0)}) {
        EXPECT_FALSE(NextRunHasPassed(next, now)) << next.Seconds();
    }
}

TEST(TrayRules, TheMenuFollowsTheRunningDefragmenterAndTheDrivesAndEventsPickTheirAction) {
    for (auto [running, drives, stop, defrag, open] : {std::tuple{false, 1, false, true, true},
                                                       {true, 2, true, false, false},
                                                       {false, 0, false, false, true}}) {
        TrayMenuState s;
        ApplyTrayMenuRules(s, running, drives);
        EXPECT_EQ(std::tuple(s.stopVisible, s.stopEnabled, s.defragEnabled, s.openEnabled),
                  std::tuple(stop, stop, defrag, open))
            << running << " " << drives;
    }
    // Version 4 icons follow a right-button release with their own context-menu event.
    using enum TrayEventAction;
    const std::tuple<unsigned, bool, TrayEventAction> events[] = {
        {0x203, true, kOpenConsole}, {0x7B, true, kShowMenu}, {0x205, true, kNothing},
        {0x205, false, kShowMenu},   {0x201, true, kNothing}, {0x200, false, kHover}};
    for (auto [event, version4, action] : events) {
        EXPECT_EQ(ActionForTrayEvent(event, version4), action) << event;
    }
}

TEST(SplashLayout, SizeInPixels) {
    // 96 DPI; 144 DPI, where 397.5 and 295.5 round to even; each direction with its own factor;
    // nonsense factors fall back to 96 DPI.
    const std::tuple<double, double, int, int> cases[] = {
        {15, 15, 265, 197}, {10, 10, 398, 296}, {15, 10, 265, 296},
        {0, 15, 265, 197},  {15, -1, 265, 197},
    };
    for (auto [tppX, tppY, w, h] : cases) {
        const PixelSize s = SplashPixelSize(tppX, tppY);
        EXPECT_EQ(std::pair(s.width, s.height), std::pair(w, h)) << tppX << " " << tppY;
    }
}

// The icon spans (100, 780) to (116, 796); balloons get ids 1, 2, ...
struct TrayHoverTest : ::testing::Test, TrayBalloonHost {
    Point CursorPosition() override { return cursor; }
    Rect TrayIconRect() override { return {100, 780, 116, 796}; }
    void SetBalloonMessage(const std::string& text) override { message = text; }
    std::uint16_t ShowBalloonAt(Point at) override {
        shownAt.push_back(at);
        shownMessages.push_back(message);
        return static_cast<std::uint16_t>(shownAt.size());
    }
    void RemoveBalloon(std::uint16_t id) override { removed.push_back(id); }
    void RefreshStatusText() override { message = "status"; }
    bool DefragRunning() override { return running; }
    void RestOnTheIcon() {
        hover.OnIconMouseMove();
        cursorPoll.Fire();
        showDelay.Fire();
    }

    Point cursor{100, 780};  // the top-left corner: edges are on the icon
    bool running = false;
    std::string message;
    std::vector<Point> shownAt;
    Strings shownMessages;
    std::vector<std::uint16_t> removed;
    FakeTimer cursorPoll, showDelay, hideDelay;
    TrayHover hover{*this, cursorPoll, showDelay, hideDelay};
};

TEST_F(TrayHoverTest, RestingOpensTheBalloonAfterOnePollAndTheDelayStayingRenewsItLeavingEndsIt) {
    EXPECT_EQ(std::tuple(cursorPoll.Interval(), showDelay.Interval(), hideDelay.Interval()),
              std::tuple(200u, 400u, 5000u));
    hover.OnIconMouseMove();
    EXPECT_EQ(std::pair(cursorPoll.Enabled(), showDelay.Enabled()), std::pair(true, false));
    cursorPoll.Fire();  // 200 ms: still inside, the delay starts
    cursorPoll.Fire();  // a further poll leaves the running delay alone
    EXPECT_EQ(showDelay.Starts(), 1);
    showDelay.Fire();  // 400 ms later
    EXPECT_EQ(std::tuple(hover.BalloonShown(), showDelay.Enabled(), hideDelay.Enabled()),
              std::tuple(true, false, true));
    EXPECT_EQ(std::pair(shownAt, shownMessages),
              std::pair(std::vector<Point>{{107, 776}}, Strings{"status"}));
    cursor = {116, 796};  // the icon's corner is still on it
    cursorPoll.Fire();    // still inside: the 5 s count anew
    hover.OnIconMouseMove();
    EXPECT_EQ(hideDelay.Starts(), 3);
    cursor = {117, 790};  // one pixel right of the icon
    cursorPoll.Fire();
    EXPECT_FALSE(hover.BalloonShown() || cursorPoll.Enabled() || hideDelay.Enabled());
    EXPECT_EQ(removed, std::vector<std::uint16_t>{1});
    cursor = {100, 780};
    hover.OnIconMouseMove();
    cursorPoll.Fire();
    hover.GoIdle();  // the menu opens
    EXPECT_FALSE(cursorPoll.Enabled() || showDelay.Fire());
    hover.OnIconMouseMove();
    cursorPoll.Fire();
    cursor = {100, 797};  // one pixel below the icon
    cursorPoll.Fire();
    EXPECT_FALSE(showDelay.Fire());
    EXPECT_EQ(shownAt.size(), 1u);
}

TEST_F(TrayHoverTest, DuringARunTheBalloonKeepsTheDriveTextAndNewTextHidesTheOpenOne) {
    running = true;
    hover.SetBalloon("Defragmenting drive C:");
    hover.ShowBalloon();
    hover.ShowBalloon();  // already shown: no second balloon
    EXPECT_EQ(shownMessages, Strings{"Defragmenting drive C:"});
    hover.SetBalloon("Defragmenting drive D:");
    EXPECT_EQ(std::pair(hover.BalloonShown(), removed.size()), std::pair(false, 1ul));
    hideDelay.Fire();
    EXPECT_FALSE(hideDelay.Enabled());
    running = false;  // a balloon closed by the user leaves no timer to hide the next early
    RestOnTheIcon();
    hover.OnBalloonClosed();
    EXPECT_EQ(std::tuple(hover.BalloonShown(), hover.BalloonId(), hideDelay.Enabled()),
              std::tuple(false, 0, false));
    RestOnTheIcon();
    EXPECT_EQ(std::pair(shownAt.size(), hideDelay.Starts()), std::pair(3ul, 3));
}

// Day before month, as much of the world writes dates.
struct DayFirstDateTextFormat final : DateTextFormat {
    std::string FormatShortDate(DateTime t) const override {
        const CivilDate d = t.Date();
        return std::to_string(d.day) + "/" + std::to_string(d.month) + "/" + std::to_string(d.year);
    }
    std::string FormatTime(DateTime) const override { return ""; }
    std::optional<DateTime> ParseDateText(std::string_view text) const override {
        const auto t = UsDateTextFormat().ParseDateText(text);
        return t ? DateTime::FromParts(t->Year(), t->Date().day, t->Date().month, 0, 0, 0)
                 : std::nullopt;
    }
};

TEST(SettingConversions, NumbersAndBooleans) {
    const std::pair<const char*, std::int64_t> numbers[] = {
        {" -3 ", -3}, {"+7", 7}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"2.51", 3}, {".5", 0}};
    for (auto [text, value] : numbers) {
        EXPECT_EQ(ParseWholeNumber(text), value) << '"' << text << '"';
    }
    for (const char* text : {"", "-", "1e3", "12abc", "1 2", "1000000000000001"}) {
        EXPECT_FALSE(ParseWholeNumber(text)) << '"' << text << '"';
    }
    // The narrower types refuse what does not fit, after rounding.
    EXPECT_EQ(ParseInt16("-32768"), -32768);
    EXPECT_EQ(ParseInt16("32767.4"), 32767);  // the largest, rounded
    EXPECT_FALSE(ParseInt16("32768") || ParseInt16("32767.5") || ParseInt32("2147483648"));
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
    const std::pair<const char*, std::optional<bool>> booleans[] = {
        {" true ", true}, {"FALSE", false}, {"-1", true}, {"0.0", false},
        {"0.01", true},   {"yes", {}},      {"Truee", {}}};
    for (auto [text, value] : booleans) {
        EXPECT_EQ(ParseBoolean(text), value) << '"' << text << '"';
    }
}

class ProgramSettingsTest : public ::testing::Test {
  protected:
    void Load(std::vector<std::string> drives = {"d:\\", "e:\\"}) {
        LoadSettings(store, us, drives, today, run, schedule);
    }

    MemorySettingsStore store;
    UsDateTextFormat us;
    DateTime today = D(2026, 12, 5, 14, 33, 7);
    RunSettings run;
    ScheduleRecord schedule;
};

TEST_F(ProgramSettingsTest, UnconvertibleValuesGiveTheDefaults) {
    store.values = {{"LastDefrag", "2/30/2026"},    {"RunPriority", "High"},
                    {"AfterDefragAction", "70000"}, {"ShowDDrive", "junk"},
                    {"OccursOption", "9999999999"}, {"EveryInterval", "x"},
                    {"EveryFrequency", "40000"},    {"StartHour", "-"},
                    {"StartMinute", "1e2"},         {"StartDate", "13/13/2026"},
                    {"EndDate", "1/1/10000"},       {"UseEndDate", "maybe"}};
    Load({"d:\\"});
    EXPECT_EQ(std::tuple(run.lastDefrag, run.runPriority, run.afterDefragAction),
              std::tuple(DateTime(), 1, 1));
    EXPECT_EQ(run.selectedDrives, (Strings{"c:", "d:"}));
    EXPECT_EQ(std::tuple(schedule.occursOption, schedule.everyInterval, schedule.everyFrequency,
                         schedule.startHour, schedule.startMinute, schedule.useEndDate),
              std::tuple(0, 0, 1, 24, 0, false));
    EXPECT_EQ(std::pair(schedule.startDate, schedule.endDate),
              std::pair(D(2026, 12, 5), D(2026, 12, 5)));
}

TEST_F(ProgramSettingsTest,
       DrivesAreChosenAnewAndDefaultsFollowTheIntervalAndTodayInADayFirstLocale) {
    store.values = {{"ShowCDrive", "0"}, {"ShowEDrive", "0"}, {"ShowFDrive", "2"}};
    Load({"d:\\", "e:\\", "F:\\", "g:\\", "", "?:\\", "c:\\"});
    EXPECT_EQ(run.selectedDrives, (Strings{"d:", "g:"}));
    Load({"d:\\"});  // a second load starts from an empty list
    EXPECT_EQ(run.selectedDrives, (Strings{"d:"}));
    store.values = {{"EveryInterval", "1"}};
    LoadSettings(store, DayFirstDateTextFormat(), {}, today, run, schedule);
    EXPECT_EQ(schedule.everyFrequency, 10);
    EXPECT_EQ(std::pair(schedule.startDate, schedule.endDate),
              std::pair(D(2026, 12, 5), D(2026, 12, 5)));
}

TEST_F(ProgramSettingsTest, StoredTextsLoadAndSaveInOrderAndForm) {
    // A damaged selection text is mended, and each is padded or cut to its length.
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"OccursOption", "2", "2"},
        {"EveryInterval", "1", "1"},
        {"EveryFrequency", "30.2", "30"},
        {"StartHour", "21", "21"},
        {"StartMinute", "05", "5"},
        {"StartDate", "11/1/2026", "11/1/2026"},
        {"EndDate", "1/2/2027 6:07:08 AM", "1/2/2027 6:07:08 AM"},
        {"UseEndDate", "-1", "True"},
        {"WeeklySelections", "01\xC3\xA9", "0100   "},
        {"MonthlySelections", std::string(40, '1'), std::string(31, '1')}};
    store.values = {
        {"LastDefrag", "12/3/2026 9:30:05 PM"}, {"RunPriority", "3"}, {"AfterDefragAction", "2"}};
    for (const auto& [key, stored, saved] : cases) {
        store.values[key] = stored;
    }
    Load();
    EXPECT_EQ(std::tuple(run.lastDefrag, run.runPriority, run.afterDefragAction),
              std::tuple(D(2026, 12, 3, 21, 30, 5), 3, 2));
    MemorySettingsStore saved;
    EXPECT_TRUE(SaveScheduleSettings(saved, us, schedule));
    ASSERT_EQ(saved.writes.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [key, stored, text] = cases[i];
        EXPECT_EQ(saved.writes[i], key + ("=" + text));
    }
    // A failed write is reported, and every key is still tried.
    saved.failWrites = true;
    EXPECT_FALSE(SaveScheduleSettings(saved, us, schedule));
    EXPECT_EQ(saved.writes.size(), 2 * std::size(cases));
}

TEST_F(ProgramSettingsTest, LastDefragFirstRunMarkersAndShowSettings) {
    EXPECT_TRUE(SaveLastDefrag(store, us, D(2026, 12, 3, 21, 30, 5)));
    EXPECT_EQ(store.Find("LastDefrag"), "12/3/2026 9:30:05 PM");
    EXPECT_FALSE(ReadShownSetting(store, keys::kOptionsShown));
    EXPECT_TRUE(SaveShownSetting(store, keys::kOptionsShown));
    EXPECT_EQ(store.Find("OptionsShown"), "True");
    EXPECT_TRUE(ReadShownSetting(store, keys::kOptionsShown));
    // Only a value of exactly 1 shows; an unreadable one counts as absent, which shows.
    const std::pair<const char*, bool> cases[] = {
        {"1", true}, {"2", false}, {"1.0", true}, {"1.01", false}, {"abc", true}};
    for (auto [value, shown] : cases) {
        store.values["ShowSplash"] = value;
        EXPECT_EQ(ReadShowSetting(store, keys::kShowSplash), shown) << value;
    }
}

}  // namespace
}  // namespace qm::test
