#pragma once

#include "core/app/unattended_runs.h"

namespace qm::win {

// The system's power status: on battery when the mains line is off; a computer without a
// battery, or one that cannot tell, counts as on mains.
class SystemPowerSource final : public PowerSource {
  public:
    std::optional<bool> OnBattery() override;
};

}  // namespace qm::win
