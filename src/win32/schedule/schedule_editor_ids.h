#pragma once

#include <windows.h>

namespace qm::win {

// Dialog ids of the schedule editor's controls. Other programs (the end-to-end tests) find the
// controls by them.
enum ScheduleEditorId : int {
    kIdOk = IDOK,          // "&OK"
    kIdCancel = IDCANCEL,  // "Close" / "Cancel"
    kIdOccursFrame = 1000,
    kIdOccurs0 = 1001,  // "Never"; 1002 "Daily", 1003 "Weekly", 1004 "Monthly", 1005 "Every"
    kIdEveryNumber = 1010,
    kIdEveryCombo,
    kIdDailyFrame = 1020,
    kIdTimeLabel,
    kIdTimeStart,
    kIdStartLabel,
    kIdDateStart,
    kIdEndOption0,  // "End:"
    kIdEndOption1,  // "No end date"
    kIdDateEnd,
    kIdWeeklyFrame = 1100,
    kIdWeeklyDay1 = 1101,  // Sunday; ... 1107 Saturday
    kIdMonthlyFrame = 1200,
    kIdDateLabel0 = 1201,  // "By calendar date"
    kIdDateCheck1 = 1301,  // day 1; ... 1331 day 31
    kIdDateLabel1 = 1401,  // "1"; ... 1431 "31"
    kIdDateLine0 = 1501,   // grid lines
    kIdStatusBar = 1600,
};

}  // namespace qm::win
