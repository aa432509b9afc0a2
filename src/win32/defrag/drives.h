#pragma once

#include <optional>
#include <vector>

#include "core/defrag/drive_list.h"

namespace qm::win {

// The system's drives and volumes.
class WindowsDriveSystem final : public DriveSystem {
  public:
    std::string LogicalDriveStrings() const override;
    bool IsFixed(const std::string& root) const override;
    VolumeDetails DetailsOf(const std::string& root) const override;
};

FixedDriveList GetFixedDrives();
std::vector<FixedVolume> ListFixedVolumes();

// Whether the system is of the NT family (platform identifier 2).
// The system's platform identifier (2 for the NT family), or nothing when it cannot be read.
std::optional<int> OsPlatformId();
bool IsWindowsNT();

}  // namespace qm::win
