#include "core/schedule/schedule_editor_logic.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/common/text_scan.h"
#include "core/schedule/schedule_calculation.h"
#include "core/schedule/scheduler.h"

namespace qm {

namespace {

constexpr int kEvery = static_cast<int>(OccursOption::Every);

// Only '1' ticks a day, as only '1' selects one for the calculation.
std::string Ticks(const std::string& stored, std::size_t width) {
    std::string ticks(width, '0');
    for (std::size_t i = 0; i < width && i < stored.size(); ++i) {
        if (stored[i] == '1') {
            ticks[i] = '1';
        }
    }
    return ticks;
}

}  // namespace

EditorLayout LayoutFor(int occursOption) {
    switch (occursOption) {
        case 1:
            return {3990, true, false, false, false};
        case 2:
            return {5505, true, true, false, false};
        case 3:
            return {6780, true, false, true, false};
        case kEvery:
            return {2520, false, false, false, true};
        default:
            return {2520, false, false, false, false};
    }
}

std::string_view StatusText(EditorArea area) {
    switch (area) {
        case EditorArea::kOccurs:
            return "Select the schedule frequency";
        case EditorArea::kExecution:
            return "Enter the time and date range";
        case EditorArea::kDays:
            return "Select which days to execute";
        case EditorArea::kOk:
            return "Click to save your changes";
        case EditorArea::kCancel:
            return "Click to exit without saving";
        default:
            return "";
    }
}

ScheduleEditorLogic::ScheduleEditorLogic(ScheduleModule& module, ScheduleEditorView& view,
                                         std::function<void()> saveSchedule)
    : module_(module), view_(view), saveSchedule_(std::move(saveSchedule)) {}

void ScheduleEditorLogic::Load() {
    const ScheduleRecord& r = module_.Record();
    EditorFields f;
    // An option the editor does not offer means no run, as Never does.
    f.occurs = r.occursOption >= 0 && r.occursOption <= kEvery ? r.occursOption : 0;
    f.everyCount = r.everyFrequency;
    f.everyUnit = r.everyInterval == 0 ? 0 : 1;
    const bool hasTime = HasValidStartTime(r);
    f.startHour = hasTime ? r.startHour : kSuggestedStartHour;
    f.startMinute = hasTime ? r.startMinute : kSuggestedStartMinute;
    f.startDate = r.startDate;
    f.endDate = r.endDate;
    f.useEndDate = r.useEndDate;
    f.weekly = Ticks(r.weeklySelections, kWeeklySelectionsLength);
    f.monthly = Ticks(r.monthlySelections, kMonthlySelectionsLength);

    loading_ = true;
    view_.ShowFields(f);
    OccursChanged(f.occurs);
    UnitChanged(f.everyUnit);
    view_.SetEndDateEnabled(f.useEndDate);
    loading_ = false;
    ShowState(false);
}

void ScheduleEditorLogic::Open(bool acceptChanges) {
    ShowState(acceptChanges || !HasValidStartTime(module_.Record()));
}

void ScheduleEditorLogic::ShowState(bool changed) {
    warned_ = false;
    view_.ShowChanged(changed);
}

void ScheduleEditorLogic::MarkChange() {
    ShowState(true);
}

void ScheduleEditorLogic::OccursChanged(int option) {
    MarkChange();
    view_.ApplyLayout(LayoutFor(option));
    if (option == kEvery && !loading_) {
        view_.Focus(EditorControl::kEveryNumber);
    }
}

void ScheduleEditorLogic::UnitChanged(int index) {
    MarkChange();
    const bool minutes = index == 1;
    view_.SetEveryLimits(minutes ? 15 : 1, minutes ? 5 : 1);
}

void ScheduleEditorLogic::EndOptionChanged(bool useEndDate) {
    MarkChange();
    view_.SetEndDateEnabled(useEndDate);
    if (useEndDate) {
        view_.Focus(EditorControl::kDateEnd);
    }
}

void ScheduleEditorLogic::ValueChanged() {
    MarkChange();
}

void ScheduleEditorLogic::MouseOver(EditorArea area) {
    view_.SetStatusText(StatusText(area));
}

std::string ScheduleEditorLogic::MessageTitle() const {
    return " " + std::string(TrimBlanks(module_.Record().title));
}

void ScheduleEditorLogic::Refuse(EditorControl focus, std::string_view message) {
    view_.Beep();
    view_.Focus(focus);
    view_.ShowMessage(message, kCriticalOk, MessageTitle());
}

bool ScheduleEditorLogic::Validate(const EditorFields& f) {
    // Without an end date nothing is checked, not even an empty choice of days.
    if (f.occurs == 0 || !f.useEndDate) {
        return true;
    }
    if (DayDifference(f.startDate, f.endDate) < 0) {
        Refuse(EditorControl::kDateStart, kStartAfterEndMessage);
        return false;
    }
    if (f.occurs == 2 && f.weekly.find('1') == std::string::npos) {
        Refuse(EditorControl::kMonday, kNoWeekdayMessage);
        return false;
    }
    if (f.occurs == 3 && f.monthly.find('1') == std::string::npos) {
        Refuse(EditorControl::kFirstCalendarDate, kNoCalendarDateMessage);
        return false;
    }
    return true;
}

ScheduleRecord ScheduleEditorLogic::RecordFrom(const EditorFields& f) const {
    ScheduleRecord r = module_.Record();
    r.occursOption = f.occurs;
    r.everyFrequency =
        static_cast<std::int16_t>(std::clamp(std::round(f.everyCount), 0.0, kEveryCountMax));
    r.everyInterval = f.everyUnit;
    r.startHour = static_cast<std::int16_t>(f.startHour);
    r.startMinute = static_cast<std::int16_t>(f.startMinute);
    r.startDate = f.startDate.DatePart();
    r.endDate = f.endDate.DatePart();
    r.useEndDate = f.useEndDate;
    r.weeklySelections = f.weekly;
    r.monthlySelections = f.monthly;
    return r;
}

void ScheduleEditorLogic::Confirm() {
    const EditorFields fields = view_.Fields();
    if (!Validate(fields)) {
        return;
    }
    ScheduleRecord confirmed = RecordFrom(fields);
    if (fields.occurs != 0 && fields.useEndDate && !warned_) {
        const DateTime now = module_.ClockSource().Now();
        if (MinuteDifference(now, CalculateNextScheduledTime(confirmed, now, 0)) < 0) {
            warned_ = true;
            view_.Beep();
            view_.Focus(EditorControl::kDateStart);
            view_.ShowMessage(kNoEventsWarning, kExclamationOk, MessageTitle());
            return;
        }
    }
    module_.Record() = std::move(confirmed);
    if (saveSchedule_) {
        saveSchedule_();
    }
    if (Scheduler* host = module_.EditorHost()) {
        host->FlagScheduleChanged();
    }
    view_.Unload();
}

}  // namespace qm
