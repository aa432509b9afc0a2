#include "core/defrag/drive_statistics.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/common/rounding.h"

namespace qm {
namespace {

constexpr double kKilobyte = 1024.0;
constexpr double kMegabyte = 1048576.0;
constexpr double kGigabyte = 1073741824.0;

// The group sizes of a grouping list ("3;2;0") and whether the last one repeats; sizes
// other than single digits end the list, as a 0 in its middle does.
struct GroupSizes {
    std::vector<int> sizes;
    bool repeatLast = false;
};

GroupSizes ParseGrouping(std::string_view grouping) {
    GroupSizes groups;
    for (size_t start = 0; start < grouping.size();) {
        const size_t end = std::min(grouping.find(';', start), grouping.size());
        const std::string_view item = grouping.substr(start, end - start);
        if (item.size() != 1 || item[0] < '0' || item[0] > '9') {
            break;
        }
        if (item[0] == '0') {
            groups.repeatLast = !groups.sizes.empty();
            break;
        }
        groups.sizes.push_back(item[0] - '0');
        start = end + 1;
    }
    return groups;
}

// Digits of a whole number with the group separator put in from the right.
std::string Grouped(const std::string& digits, const NumberSeparators& format) {
    const GroupSizes groups = ParseGrouping(format.grouping);
    std::string out;
    size_t next = 0;  // the group being filled
    int inGroup = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (next < groups.sizes.size() && inGroup == groups.sizes[next]) {
            out.insert(0, format.group);
            inGroup = 0;
            if (next + 1 < groups.sizes.size() || !groups.repeatLast) {
                ++next;  // past the list's end the rest stays together
            }
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
