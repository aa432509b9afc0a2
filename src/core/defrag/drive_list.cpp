#include "core/defrag/drive_list.h"

#include <algorithm>

#include "core/defrag/text_case.h"

namespace qm {
namespace {

// The roots of the fixed drives, lower-cased, in the system's order.
std::vector<std::string> FixedRoots(const DriveSystem& drives) {
    std::vector<std::string> roots;
    for (const auto& root : SplitDriveStrings(drives.LogicalDriveStrings())) {
        if (drives.IsFixed(root)) {
            roots.push_back(AsciiLower(root));
        }
    }
    return roots;
}

}  // namespace

std::vector<std::string> SplitDriveStrings(std::string_view buffer) {
    std::vector<std::string> roots;
    while (!buffer.empty()) {
        auto nul = buffer.find('\0');
        std::string_view root = buffer.substr(0, nul);
        if (root.empty()) {
            break;
        }
        roots.emplace_back(root);
        if (nul == std::string_view::npos) {
            break;
        }
        buffer.remove_prefix(nul + 1);
    }
    return roots;
}

FixedDriveList GetFixedDrives(const DriveSystem& drives) {
    FixedDriveList list;
    for (auto& root : FixedRoots(drives)) {
        if (root != "c:\\") {
            list.FixedDrives.push_back(std::move(root));
        }
    }
    list.FixedDriveCount = static_cast<int>(list.FixedDrives.size());
    return list;
}

std::vector<FixedVolume> ListFixedVolumes(const DriveSystem& drives) {
    std::vector<FixedVolume> volumes;
    for (const auto& root : FixedRoots(drives)) {
        if (root.size() < 2 || root[1] != ':' || root[0] < 'a' || root[0] > 'z') {
            continue;  // only lettered drives are offered
        }
        FixedVolume volume;
        volume.letter = root[0];
        volume.details = drives.DetailsOf(root);
        volumes.push_back(std::move(volume));
    }
    std::ranges::sort(volumes, {}, &FixedVolume::letter);
    return volumes;
}

}  // namespace qm
