#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// What the system reports about one volume. Sizes are in bytes.
struct VolumeDetails {
    std::string label;
    bool labelRead{};  // false when the volume information could not be read
    std::string fileSystem;
    bool sizesRead{};
    std::uint64_t freeBytesAvailable{};  // to the caller, quotas applied
    std::uint64_t totalBytes{};
    std::uint64_t totalFreeBytes{};
};

// The system's drives, as the program asks about them.
class DriveSystem {
  public:
    virtual ~DriveSystem() = default;

    // The roots ("C:\"...) in the system's order, each followed by a NUL, the list ended by
    // an empty one; empty when the system reports nothing.
    virtual std::string LogicalDriveStrings() const = 0;
    // Whether the system calls the drive fixed: removable, network, optical and RAM drives
    // are never defragmented.
    virtual bool IsFixed(const std::string& root) const = 0;
    virtual VolumeDetails DetailsOf(const std::string& root) const = 0;
};

// The roots in a NUL-separated drive list, up to the first empty entry.
std::vector<std::string> SplitDriveStrings(std::string_view buffer);

// Every fixed drive except C, as its lower-case root ("d:\"), in the system's order.
struct FixedDriveList {
    std::vector<std::string> FixedDrives;
    int FixedDriveCount{};
};

FixedDriveList GetFixedDrives(const DriveSystem& drives);

// One fixed volume as the Options dialog lists it.
struct FixedVolume {
    char letter{};  // lower case
    VolumeDetails details;
};

// Every fixed volume, C included, in drive-letter order.
std::vector<FixedVolume> ListFixedVolumes(const DriveSystem& drives);

}  // namespace qm
