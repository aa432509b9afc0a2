#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/common/date_time.h"

namespace qm {

// The scheduler's properties as persisted with the form that hosts it. An empty member is
// an absent value: reading applies the property's default. The selections are not persisted
// with the component.
struct SchedulerProperties {
    std::optional<bool> enabled;
    std::optional<std::string> title;
    std::optional<bool> executeOnStartup;
    std::optional<bool> modal;
    std::optional<std::int32_t> startUpPosition;
    std::optional<std::int32_t> formLeft;
    std::optional<std::int32_t> formTop;
    std::optional<std::int32_t> occursOption;
    std::optional<std::int16_t> everyFrequency;
    std::optional<std::int32_t> everyInterval;
    std::optional<std::int16_t> startHour;
    std::optional<std::int16_t> startMinute;
    std::optional<DateTime> startDate;
    std::optional<DateTime> endDate;
    std::optional<bool> useEndDate;
};

// What the main form's scheduler carries: disabled until the settings are loaded, run on
// start-up (which does nothing while disabled), every 30 minutes until a schedule is loaded,
// placed at 120, 120 twips when positioned by hand.
inline SchedulerProperties MenuSchedulerProperties() {
    SchedulerProperties p;
    p.enabled = false;
    p.executeOnStartup = true;
    p.formLeft = 120;
    p.formTop = 120;
    p.occursOption = 4;
    p.everyFrequency = 30;
    p.everyInterval = 1;
    return p;
}

}  // namespace qm
