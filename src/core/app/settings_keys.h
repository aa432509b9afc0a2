#pragma once

#include <string>
#include <string_view>

namespace qm::keys {

// The keys of the program's values in the per-user settings store (section "Settings").
inline constexpr std::string_view kShowSplash = "ShowSplash";
inline constexpr std::string_view kOptionsShown = "OptionsShown";
inline constexpr std::string_view kScheduleShown = "ScheduleShown";
inline constexpr std::string_view kLastDefrag = "LastDefrag";
inline constexpr std::string_view kRunPriority = "RunPriority";
inline constexpr std::string_view kAfterDefragAction = "AfterDefragAction";
inline constexpr std::string_view kShowCDrive = "ShowCDrive";
inline constexpr std::string_view kShowExitPrompt = "ShowExitPrompt";
inline constexpr std::string_view kWakeToRun = "WakeToRun";
inline constexpr std::string_view kOccursOption = "OccursOption";
inline constexpr std::string_view kEveryInterval = "EveryInterval";
inline constexpr std::string_view kEveryFrequency = "EveryFrequency";
inline constexpr std::string_view kStartHour = "StartHour";
inline constexpr std::string_view kStartMinute = "StartMinute";
inline constexpr std::string_view kStartDate = "StartDate";
inline constexpr std::string_view kEndDate = "EndDate";
inline constexpr std::string_view kUseEndDate = "UseEndDate";
inline constexpr std::string_view kWeeklySelections = "WeeklySelections";
inline constexpr std::string_view kMonthlySelections = "MonthlySelections";
// "1" once this user's copy has taken over the start of an older copy's logon task.
inline constexpr std::string_view kStartFromTaskMoved = "StartFromTaskMoved";
// The last notification shown about an unattended run, so that a restart does not repeat it;
// empty after a run that went through.
inline constexpr std::string_view kLastNotice = "LastNotice";
// Where the run history window was: "left,top,width,height", the size at 96 DPI.
inline constexpr std::string_view kHistoryWindow = "HistoryWindow";

// "Show" + upper-case drive letter + "Drive": ShowDDrive for drive D.
inline std::string ShowDriveKey(char upperLetter) {
    return std::string("Show") + upperLetter + "Drive";
}

}  // namespace qm::keys
