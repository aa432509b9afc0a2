#include "core/defrag/drive_list.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace qm {
namespace {

using namespace std::string_literals;
using Drives = std::vector<std::pair<std::string, DriveKind>>;

// Drives in the system's order, with roots as the system spells them.
class FakeDrives final : public DriveSystem {
  public:
    explicit FakeDrives(const Drives& drives) {
        for (const auto& [root, kind] : drives) {
            listed += root + '\0';
            types[root] = kind;
        }
    }
    std::string listed;
    std::map<std::string, DriveKind> types;
    std::map<std::string, VolumeDetails> details;  // keyed by lower-case root

    std::string LogicalDriveStrings() const override { return listed.empty() ? "" : listed + '\0'; }
    DriveKind DriveTypeOf(const std::string& root) const override { return types.at(root); }
    VolumeDetails DetailsOf(const std::string& root) const override {
        auto it = details.find(root);
        return it == details.end() ? VolumeDetails{} : it->second;
    }
};

TEST(SplitDriveStrings, StopsAtTheFirstEmptyEntry) {
    struct Case {
        std::string buffer;
        std::vector<std::string> roots;
    };
    const Case cases[] = {
        {"C:\\\0D:\\\0\0"s, {"C:\\", "D:\\"}},
        {"C:\\\0\0E:\\\0\0"s, {"C:\\"}},
        {""s, {}},
        {"\0"s, {}},
        {"C:\\"s, {"C:\\"}},  // no terminator at all
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitDriveStrings(c.buffer), c.roots);
    }
}

TEST(GetFixedDrives, ListsFixedDrivesOtherThanCLowerCasedInSystemOrder) {
    using enum DriveKind;
    struct Case {
        Drives drives;
        std::vector<std::string> fixed;
    };
    const Case cases[] = {
        {{{"C:\\", Fixed}, {"D:\\", Fixed}, {"E:\\", Fixed}, {"F:\\", CdRom}}, {"d:\\", "e:\\"}},
        {{{"Z:\\", Fixed}, {"A:\\", Removable}, {"c:\\", Fixed}, {"G:\\", Remote}}, {"z:\\"}},
        {{{"H:\\", RamDisk}, {"D:\\", Fixed}, {"Q:\\", Unknown}, {"C:\\", Fixed}}, {"d:\\"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        FixedDriveList list = GetFixedDrives(FakeDrives(c.drives));
        EXPECT_EQ(list.FixedDrives, c.fixed);
        EXPECT_EQ(list.FixedDriveCount, static_cast<int>(c.fixed.size()));
    }
}

TEST(ListFixedVolumes, GivesEveryFixedVolumeInLetterOrderWithItsDetails) {
    FakeDrives drives({{"Z:\\", DriveKind::Fixed},
                       {"C:\\", DriveKind::Fixed},
                       {"F:\\", DriveKind::CdRom},
                       {"D:\\", DriveKind::Fixed}});
    drives.details["c:\\"] = {"System", true, "NTFS", true, 100, 400, 120};
    drives.details["z:\\"] = {"Z", false, "FAT", false, 1, 2, 3};
    auto fields = [](const VolumeDetails& d) {
        return std::tuple(d.label, d.labelRead, d.fileSystem, d.sizesRead, d.freeBytesAvailable,
                          d.totalBytes, d.totalFreeBytes);
    };

    auto volumes = ListFixedVolumes(drives);
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(std::string({volumes[0].letter, volumes[1].letter, volumes[2].letter}), "cdz");
    EXPECT_EQ(fields(volumes[0].details), fields(drives.details["c:\\"]));
    EXPECT_EQ(fields(volumes[1].details), fields(VolumeDetails{}));
    EXPECT_EQ(fields(volumes[2].details), fields(drives.details["z:\\"]));
}

}  // namespace
}  // namespace qm
