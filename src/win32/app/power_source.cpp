#include "win32/app/power_source.h"

#include <windows.h>

#include "win32/common/test_hooks.h"

namespace qm::win {

std::optional<bool> SystemPowerSource::OnBattery() {
    if (const auto hook = TestHookValue("power.txt")) {
        return *hook == "battery";
    }
    SYSTEM_POWER_STATUS status{};
    if (!::GetSystemPowerStatus(&status)) {
        return std::nullopt;
    }
    return OnBatteryFromStatus(status.ACLineStatus, status.BatteryFlag);
}

}  // namespace qm::win
