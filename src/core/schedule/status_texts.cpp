#include "core/schedule/status_texts.h"

namespace qm {

namespace {

constexpr const char* kDayNames[7] = {"Sunday, ",   "Monday, ", "Tuesday, ", "Wednesday, ",
                                      "Thursday, ", "Friday, ", "Saturday, "};

std::string TwoDigits(int value) {
    std::string text;
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
    return text;
}

}  // namespace

std::string DayText(DateTime moment) {
    const CivilDate d = moment.Date();
    return std::string(kDayNames[moment.Weekday() - 1]) + std::to_string(d.month) + "/" +
           std::to_string(d.day) + "/" + std::to_string(d.year);
}

std::string TimeText(DateTime moment) {
    const ClockTime t = moment.Time();
    if (t.minute == 0 && t.second == 0) {
        if (t.hour == 0) {
            return "Midnight";
        }
        if (t.hour == 12) {
            return "Noon";
        }
    }
    int hour = t.hour % 12;
    if (hour == 0) {
        hour = 12;
    }
    return std::to_string(hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) +
           (t.hour < 12 ? " AM" : " PM");
}

std::string LastDefragText(DateTime lastDefrag, DateTime now) {
    std::string text = " Last Defrag ";
    if (lastDefrag.IsZero()) {
        text += " - Never (using Quillmere)";
    } else {
        const std::int64_t days = DayDifference(lastDefrag, now);
        // A moment later than now means the clock was moved back.
        if (days < 0 || (days == 0 && MinuteDifference(lastDefrag, now) < 0)) {
            text += " - Never";
        } else if (days == 0) {
            text += " - Today at " + TimeText(lastDefrag);
        } else if (days == 1) {
            text += " - Yesterday at " + TimeText(lastDefrag);
        } else {
            text += " - " + DayText(lastDefrag) + " at " + TimeText(lastDefrag);
        }
    }
    text += " ";
    return text;
}

std::string NextDefragText(DateTime nextScheduled, DateTime now) {
    std::string text = " Next Defrag";
    const std::int64_t days = DayDifference(now, nextScheduled);
    const std::int64_t minutes = MinuteDifference(now, nextScheduled);
    if (minutes < 0) {  // a moment before this minute is no run
        text += " - No scheduled times";
    } else if (minutes == 0) {
        text += " now!";
    } else if (days == 0) {
        text += " - Today at " + TimeText(nextScheduled);
    } else if (days == 1) {
        text += " - Tomorrow at " + TimeText(nextScheduled);
    } else {
        text += " - " + DayText(nextScheduled) + " at " + TimeText(nextScheduled);
    }
    text += " ";
    return text;
}

std::string WithRunProblem(std::string status, std::string_view problem) {
    if (!problem.empty()) {
        status += "\r\n";
        status += problem;
    }
    return status;
}

void UpdateNextDefragStatus(DateTime nextScheduled, DateTime lastDefrag, DateTime now,
                            const std::function<void(std::string_view)>& setBalloon) {
    const std::string text =
        LastDefragText(lastDefrag, now) + "\r\n" + NextDefragText(nextScheduled, now);
    if (setBalloon) {
        setBalloon(text);
    }
}

}  // namespace qm
