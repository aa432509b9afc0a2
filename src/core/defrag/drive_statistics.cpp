#include "core/defrag/drive_statistics.h"

#include <cstdint>

#include "core/common/rounding.h"

namespace qm {
namespace {

constexpr double kKilobyte = 1024.0;
constexpr double kMegabyte = 1048576.0;
constexpr double kGigabyte = 1073741824.0;

// Digits of a whole number with the group separator put in from the right.
std::string Grouped(const std::string& digits, const NumberSeparators& format) {
    std::string out;
    int inGroup = 0;
    int groupSize = format.firstGroup;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (groupSize > 0 && inGroup == groupSize) {
            out.insert(0, format.group);
            inGroup = 0;
            groupSize = format.nextGroups;  // 0: the rest stays together
        }
        out.insert(out.begin(), *it);
        ++inGroup;
    }
    return out;
}

}  // namespace

std::string FormatGroupedTwoDecimals(double value, const NumberSeparators& format) {
    const auto hundredths = static_cast<std::uint64_t>(RoundHalfEven(value * 100.0));
    const std::string whole = std::to_string(hundredths / 100);
    const std::uint64_t cents = hundredths % 100;
    const std::string fraction =
        std::string(1, static_cast<char>('0' + cents / 10)) + static_cast<char>('0' + cents % 10);
    return Grouped(whole, format) + format.decimal + fraction;
}

std::string GetDriveStatistics(const VolumeDetails& volume, const NumberSeparators& format) {
    if (!volume.sizesRead || volume.totalBytes == 0) {
        return {};
    }
    const auto total = static_cast<double>(volume.totalBytes);
    const auto available = static_cast<double>(volume.freeBytesAvailable);
    const auto percent = static_cast<long long>(RoundHalfEven(100.0 - available / total * 100.0));
    struct Unit {
        double bytes;
        const char* name;
    };
    const Unit unit = total < kMegabyte   ? Unit{kKilobyte, " KB used"}
                      : total < kGigabyte ? Unit{kMegabyte, " MB used"}
                                          : Unit{kGigabyte, " GB used"};
    return " " + std::to_string(percent) + "% of " +
           FormatGroupedTwoDecimals(total / unit.bytes, format) + unit.name;
}

std::string DriveBalloonText(const VolumeDetails& volume, const std::string& fileSystem,
                             const NumberSeparators& format) {
    std::string text = GetDriveStatistics(volume, format);
    if (!text.empty() && !fileSystem.empty()) {
        text += "\r\nFile System:  " + fileSystem;
    }
    return text;
}

}  // namespace qm
