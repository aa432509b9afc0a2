#pragma once

#include <string>

#include "core/defrag/drive_list.h"

namespace qm {

// The user's way of writing numbers: the Windows side reads it from the locale.
struct NumberSeparators {
    std::string decimal = ".";
    std::string group = ",";
    // The digits in each group leftwards from the decimal separator, as the locale lists them:
    // "3;0" threes throughout, "3;2;0" three then twos, "3;2" three, two and then the rest
    // together, "3" only the first three; a 0 ends the list by repeating the group before it.
    std::string grouping = "3;0";
};

// A size (not negative) laid out as "###,##0.00": thousands grouped, at least one whole digit, two
// decimals, halves to the even hundredth.
std::string FormatGroupedTwoDecimals(double value, const NumberSeparators& format);

// " 45% of 74.51 GB used": the share of the drive in use (halves to the even percent) and its
// size in KB below 1 MB, in MB below 1 GB, else in GB. Empty when the sizes could not be read
// or the total is 0.
std::string GetDriveStatistics(const VolumeDetails& volume, const NumberSeparators& format);

// The drive-statistics balloon's message: the usage and, when known, CR LF and
// "File System:  NTFS". Empty when there is nothing to show.
std::string DriveBalloonText(const VolumeDetails& volume, const std::string& fileSystem,
                             const NumberSeparators& format);

}  // namespace qm
