#include "core/schedule/schedule_editor_logic.h"

#include <gtest/gtest.h>

#include "core/schedule/scheduler.h"
#include "core/ui/number_box.h"
#include "support/fakes.h"

namespace qm {
namespace {

using Log = std::vector<std::string>;

// The dialog as the logic sees it: controls holding `fields`; beeps, focus moves and messages
// logged in the order they came.
struct EditorRig : ::testing::Test, ScheduleEditorView {
    EditorRig() {
        scheduler.OnScheduleChanged([this] { ++scheduleChanged; });
        module.Record().title = " Defrag Schedule ";
        module.Record().startHour = 9;
        module.SetEditorHost(&scheduler);
    }
    EditorFields Fields() const override { return fields; }
    void ShowFields(const EditorFields& f) override { fields = f; }
    void ApplyLayout(const EditorLayout& l) override { layout = l; }
    void SetEveryLimits(int minValue, int step) override { everyLimits = {minValue, step}; }
    void SetEndDateEnabled(bool enabled) override { endDateEnabled = enabled; }
    void ShowChanged(bool c) override { changed = c; }
    void Focus(EditorControl c) override { log.push_back("focus " + std::to_string(int(c))); }
    void SetStatusText(std::string_view) override {}
    void Beep() override { log.push_back("beep"); }
    void ShowMessage(std::string_view prompt, std::int16_t style, std::string_view title) override {
        log.push_back(std::string(title) + "|" + std::to_string(style) + "|" + std::string(prompt));
    }
    void Unload() override { unloaded = true; }

    // Opens the editor for viewing; the user chooses `option`.
    void OpenWith(int option) {
        log.clear();
        unloaded = false;
        logic.Load();
        logic.Open(false);
        logic.OccursChanged(fields.occurs = option);
    }

    EditorFields fields;
    EditorLayout layout;
    std::pair<int, int> everyLimits;
    bool endDateEnabled = false, changed = false, unloaded = false;
    Log log;
    test::FakeClock clock{D(2026, 12, 3, 12, 0)};  // a Thursday
    test::FakeTimer timer;
    test::FakeScheduleEditor editor;
    ScheduleModule module{clock};
    Scheduler scheduler{module, timer, editor};
    int saves = 0, scheduleChanged = 0;
    ScheduleEditorLogic logic{module, *this, [this] { ++saves; }};
};

TEST_F(EditorRig, LoadsUnchangedInTheLayoutOfTheFrequencyAndMarksChanges) {
    const EditorLayout layouts[] = {
        {2520, false, false, false, false}, {3990, true, false, false, false},
        {5505, true, true, false, false},   {6780, true, false, true, false},
        {2520, false, false, false, true},  {2520, false, false, false, false}};
    ScheduleRecord& r = module.Record();
    for (r.occursOption = 0; r.occursOption <= 5; ++r.occursOption) {  // 5: unknown, as Never
        logic.Load();
        EXPECT_EQ(layout, layouts[r.occursOption]) << r.occursOption;
    }
    r.everyInterval = 5;  // anything but 0 counts minutes
    r.startHour = 24;     // no start time yet: a suggestion, offered for confirmation
    r.useEndDate = true;
    r.weeklySelections = "1 2x1";
    logic.Load();
    EXPECT_EQ(std::tuple(everyLimits, fields.startHour, fields.startMinute, fields.weekly,
                         endDateEnabled, changed),
              std::tuple(std::pair(15, 5), 21, 0, "1000100", true, false));
    logic.Open(false);
    EXPECT_TRUE(changed);

    r = ScheduleRecord();
    std::tie(r.occursOption, r.startHour, r.startMinute) = std::tuple(4, 23, 59);
    logic.Load();
    logic.Open(false);
    EXPECT_EQ(std::tuple(everyLimits, fields.startHour, fields.startMinute),
              std::tuple(std::pair(1, 1), 23, 59));
    EXPECT_FALSE(endDateEnabled || changed || !log.empty()) << "no focus moves while loading";

    logic.Open(false);
    logic.EndOptionChanged(true);  // a change, and the focus to the end date
    EXPECT_TRUE(changed && endDateEnabled);
    logic.OccursChanged(4);  // the focus to the count
    EXPECT_EQ(log, (Log{"focus 2", "focus 0"}));
}

TEST_F(EditorRig, TheCountBoxHoldsAnyStoredCountAndStaysCleanWhenStepPastItsLimits) {
    NumberBoxModel box;  // set up as the dialog's, and wired to the logic as it is
    SetUpEveryCountBox(box);
    box.onChange = [this] { logic.ValueChanged(); };
    std::tie(module.Record().occursOption, module.Record().everyFrequency) = std::tuple(4, 1440);
    logic.Load();
    box.SetValue(fields.everyCount);
    box.SetMinValue(everyLimits.first);
    logic.Open(false);
    EXPECT_EQ(std::tuple(box.Text(), box.LimitedValue(), changed), std::tuple("1440", 1440, false));
    box.SetValue(1);
    changed = false;
    EXPECT_FALSE(box.StepDown() || box.StepDown() || changed) << "held Down at the minimum";
    box.SetValue(32767);
    EXPECT_FALSE(box.StepUp());
    EXPECT_EQ(box.Text(), "32767");
}

TEST_F(EditorRig, ValidationRefusesInOrderAndWritesNothing) {
    // The frequency, the focus on refusal, the end date's use, the dates, the refusal (empty:
    // accepted).
    const std::tuple<int, int, bool, DateTime, DateTime, std::string_view> cases[] = {
        {1, 1, true, D(2026, 12, 10), D(2026, 12, 9), kStartAfterEndMessage},
        {2, 3, true, D(2026, 12, 1), D(2027, 1, 9), kNoWeekdayMessage},
        {3, 4, true, D(2026, 12, 9), D(2026, 12, 9), kNoCalendarDateMessage},
        {2, 0, false, D(2026, 12, 10), D(2026, 12, 9), {}}};
    for (const auto& [occurs, focus, useEnd, start, end, refusal] : cases) {
        OpenWith(occurs);
        std::tie(fields.useEndDate, fields.startDate, fields.endDate) =
            std::tie(useEnd, start, end);
        logic.Confirm();
        const Log refused{"beep", "focus " + std::to_string(focus),
                          " Defrag Schedule|16|" + std::string(refusal)};
        const bool accepted = refusal.empty();
        EXPECT_EQ(std::tuple(log, unloaded, module.Record().occursOption),
                  std::tuple(accepted ? Log{} : refused, accepted, accepted ? occurs : 0));
    }
}

TEST_F(EditorRig, OkWarnsOnceOfNoRunThenWritesStoresAndReports) {
    scheduler.SetEnabled(true);
    OpenWith(2);
    fields.everyCount = 40000;
    fields.everyUnit = 1;
    fields.startDate = D(2026, 12, 1, 13, 5);
    fields.endDate = D(2026, 12, 2, 8);  // the last Monday or Thursday before it has passed
    fields.useEndDate = true;
    fields.startMinute = 7;
    fields.weekly = "0100100";
    fields.monthly = std::string(30, '0') + "1";
    logic.Confirm();
    EXPECT_EQ(log,
              (Log{"beep", "focus 1", " Defrag Schedule|48|" + std::string(kNoEventsWarning)}));
    EXPECT_EQ(module.Record().occursOption, 0);  // left now, nothing would have changed
    logic.ValueChanged();                        // a change brings the warning back
    logic.Confirm();
    logic.Confirm();  // confirmed again unchanged: done
    const ScheduleRecord& r = module.Record();
    // The count held at 32767, in minutes; the end date without its time.
    EXPECT_EQ(std::tuple(log.size(), unloaded, r.everyFrequency, r.everyInterval, r.startHour,
                         r.startMinute, r.endDate, saves, scheduleChanged),
              std::tuple(6ul, true, 32767, 1, 9, 7, D(2026, 12, 2), 1, 1));
    EXPECT_EQ(r.weeklySelections + r.monthlySelections, fields.weekly + fields.monthly);
}

}  // namespace
}  // namespace qm
