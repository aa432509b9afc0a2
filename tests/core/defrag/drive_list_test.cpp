#include "core/defrag/drive_list.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qm {
namespace {

using namespace std::string_literals;

// Drives given as (root, type) in the system's order; roots arrive in upper case as the
// system reports them.
class FakeDrives final : public DriveSystem {
  public:
    std::string listed;
    std::map<std::string, DriveKind> types;  // keyed by lower-case root
    std::map<std::string, VolumeDetails> details;

    void Add(const std::string& root, DriveKind kind) {
        listed += root;
        listed += '\0';
        std::string lower = root;
        for (char& ch : lower) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        types[lower] = kind;
    }

    std::string LogicalDriveStrings() const override { return listed.empty() ? "" : listed + '\0'; }
    DriveKind DriveTypeOf(const std::string& root) const override {
        std::string lower = root;
        for (char& ch : lower) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        auto it = types.find(lower);
        return it == types.end() ? DriveKind::NoRootDir : it->second;
    }
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

TEST(GetFixedDrives, ListsFixedDrivesOtherThanCInSystemOrder) {
    FakeDrives drives;
    drives.Add("C:\\", DriveKind::Fixed);
    drives.Add("D:\\", DriveKind::Fixed);
    drives.Add("E:\\", DriveKind::Fixed);
    drives.Add("F:\\", DriveKind::CdRom);
    drives.Add("G:\\", DriveKind::Remote);
    FixedDriveList list = GetFixedDrives(drives);
    EXPECT_EQ(list.FixedDrives, (std::vector<std::string>{"d:\\", "e:\\"}));
    EXPECT_EQ(list.FixedDriveCount, 2);
}

TEST(GetFixedDrives, KeepsTheSystemsOrderAndSkipsOtherKinds) {
    FakeDrives drives;
    drives.Add("Z:\\", DriveKind::Fixed);
    drives.Add("A:\\", DriveKind::Removable);
    drives.Add("c:\\", DriveKind::Fixed);
    drives.Add("H:\\", DriveKind::RamDisk);
    drives.Add("D:\\", DriveKind::Fixed);
    drives.Add("Q:\\", DriveKind::Unknown);
    FixedDriveList list = GetFixedDrives(drives);
    EXPECT_EQ(list.FixedDrives, (std::vector<std::string>{"z:\\", "d:\\"}));
    EXPECT_EQ(list.FixedDriveCount, 2);
}

TEST(GetFixedDrives, IsEmptyWhenTheSystemReportsNothing) {
    FakeDrives drives;
    FixedDriveList list = GetFixedDrives(drives);
    EXPECT_TRUE(list.FixedDrives.empty());
    EXPECT_EQ(list.FixedDriveCount, 0);

    drives.Add("C:\\", DriveKind::Fixed);
    EXPECT_EQ(GetFixedDrives(drives).FixedDriveCount, 0) << "C is never listed";
}

TEST(ListFixedVolumes, GivesEveryFixedVolumeInLetterOrderWithItsDetails) {
    FakeDrives drives;
    drives.Add("Z:\\", DriveKind::Fixed);
    drives.Add("C:\\", DriveKind::Fixed);
    drives.Add("F:\\", DriveKind::CdRom);
    drives.Add("D:\\", DriveKind::Fixed);
    VolumeDetails system{"System", true, "NTFS", true, 100, 400, 120};
    drives.details["c:\\"] = system;
    drives.details["z:\\"] = {"", false, "", false, 0, 0, 0};

    auto volumes = ListFixedVolumes(drives);
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].letter, 'c');
    EXPECT_EQ(volumes[1].letter, 'd');
    EXPECT_EQ(volumes[2].letter, 'z');
    EXPECT_EQ(volumes[0].details.label, "System");
    EXPECT_TRUE(volumes[0].details.labelRead);
    EXPECT_EQ(volumes[0].details.fileSystem, "NTFS");
    EXPECT_EQ(volumes[0].details.totalBytes, 400u);
    EXPECT_EQ(volumes[0].details.totalFreeBytes, 120u);
    EXPECT_EQ(volumes[0].details.freeBytesAvailable, 100u);
    EXPECT_FALSE(volumes[2].details.labelRead);
}

}  // namespace
}  // namespace qm
