#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/common/date_time.h"
#include "core/schedule/schedule_module.h"

namespace qm {

// The schedule editor's decisions: what its controls show, which frames a frequency needs,
// when OK is offered, what a confirmation checks and writes. The dialog window is a view
// that shows and reports; the rules live here.

// The time offered when the schedule has no start time yet (hour 24): the picker cannot show
// "none", and what it shows is what OK stores.
inline constexpr int kSuggestedStartHour = 21;
inline constexpr int kSuggestedStartMinute = 0;

inline constexpr std::string_view kStartAfterEndMessage =
    "The start date cannot be after the end date.";
inline constexpr std::string_view kNoWeekdayMessage = "At least one weekday must be selected.";
inline constexpr std::string_view kNoCalendarDateMessage =
    "At least one calendar date must be selected.";
inline constexpr std::string_view kNoEventsWarning = "Warning: No events are currently scheduled.";
inline constexpr std::int16_t kCriticalOk = 16;
inline constexpr std::int16_t kExclamationOk = 48;

// The count of "Every" holds whatever the 16-bit setting "EveryFrequency" can: five digits
// up to 32767, so that a stored 1440 shows whole and is saved back as it was.
inline constexpr std::string_view kEveryCountFormat = "#####";
inline constexpr double kEveryCountMax = 32767;

// Sets up the count box (the rules' model, or the control that forwards to one); the unit sets
// its minimum and step afterwards.
template <typename NumberBox>
void SetUpEveryCountBox(NumberBox& box) {
    box.SetFormat(kEveryCountFormat);
    box.SetPositiveOnly(true);
    box.SetValue(0);
    box.SetUseMaxMinValues(true);
    box.SetMaxValue(kEveryCountMax);
    box.SetUpDownFunction(true);
}

// Which frames show for a frequency, and the form's height in twips.
struct EditorLayout {
    int formHeight{};
    bool daily{};    // "Execution": time and date range
    bool weekly{};   // "Weekly Schedule"
    bool monthly{};  // "Monthly Schedule"
    bool everyEnabled{};
    friend bool operator==(const EditorLayout&, const EditorLayout&) = default;
};
// The weekly and monthly frames share this top, below the time and date frame.
inline constexpr int kDayFramesTop = 3150;
EditorLayout LayoutFor(int occursOption);

// Where the mouse is, for the status bar's help text.
enum class EditorArea { kNone, kOccurs, kExecution, kDays, kOk, kCancel };
std::string_view StatusText(EditorArea area);

// The controls the editor sends the focus to.
enum class EditorControl { kEveryNumber, kDateStart, kDateEnd, kMonday, kFirstCalendarDate };

// What the editor's controls hold.
struct EditorFields {
    int occurs{};
    double everyCount{};
    int everyUnit{};  // list index: 0 "hour(s)", 1 "minute(s)"
    int startHour{};
    int startMinute{};
    DateTime startDate;
    DateTime endDate;
    bool useEndDate{};
    std::string weekly = std::string(kWeeklySelectionsLength, '0');
    std::string monthly = std::string(kMonthlySelectionsLength, '0');
};

class ScheduleEditorView {
  public:
    virtual ~ScheduleEditorView() = default;
    virtual EditorFields Fields() const = 0;
    virtual void ShowFields(const EditorFields& fields) = 0;
    virtual void ApplyLayout(const EditorLayout& layout) = 0;
    // The count's lower limit and step for the chosen unit.
    virtual void SetEveryLimits(int minValue, int increment) = 0;
    virtual void SetEndDateEnabled(bool enabled) = 0;
    // Changed: OK enabled and default, the other button "Cancel". Unchanged: OK disabled,
    // the other button default and "Close".
    virtual void ShowChanged(bool changed) = 0;
    virtual void Focus(EditorControl control) = 0;
    virtual void SetStatusText(std::string_view text) = 0;
    virtual void Beep() = 0;
    virtual void ShowMessage(std::string_view prompt, std::int16_t style,
                             std::string_view title) = 0;
    // Unloads the editor once the running handler has returned.
    virtual void Unload() = 0;
};

class ScheduleEditorLogic {
  public:
    // `saveSchedule` stores the record at once after a confirmed change.
    ScheduleEditorLogic(ScheduleModule& module, ScheduleEditorView& view,
                        std::function<void()> saveSchedule);

    // Fills the controls from the record; the editor starts unchanged.
    void Load();
    // After loading: ready to accept (first run) or for viewing. A schedule without a start
    // time opens ready to accept as well, since the time shown is only a suggestion.
    void Open(bool acceptChanges);

    void OccursChanged(int option);
    void UnitChanged(int index);
    void EndOptionChanged(bool useEndDate);
    // The count, a time, a date or a day changed.
    void ValueChanged();
    // OK: validates, warns once about a schedule without future runs, then writes and
    // stores the record, tells the scheduler and unloads. Nothing is written before the
    // confirmation completes, so leaving after the warning keeps the schedule as it was.
    void Confirm();
    void MouseOver(EditorArea area);

  private:
    void MarkChange();
    void ShowState(bool changed);
    bool Validate(const EditorFields& fields);
    void Refuse(EditorControl focus, std::string_view message);
    std::string MessageTitle() const;
    ScheduleRecord RecordFrom(const EditorFields& fields) const;

    ScheduleModule& module_;
    ScheduleEditorView& view_;
    std::function<void()> saveSchedule_;
    bool loading_{};
    bool warned_{};
};

}  // namespace qm
