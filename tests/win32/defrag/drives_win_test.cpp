// The drive list and volume details as this system reports them.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/defrag/drives.h"

namespace qm::test {
namespace {

TEST(DrivesWin, FixedDrivesAreLowerCaseRootsWithoutC) {
    const FixedDriveList list = win::GetFixedDrives();
    EXPECT_EQ(list.FixedDriveCount, static_cast<int>(list.FixedDrives.size()));
    for (const auto& root : list.FixedDrives) {
        ASSERT_EQ(root.size(), 3u) << root;
        EXPECT_TRUE(root[0] >= 'a' && root[0] <= 'z') << root;
        EXPECT_EQ(root.substr(1), ":\\");
        EXPECT_NE(root, "c:\\");
        EXPECT_EQ(::GetDriveTypeW(std::wstring(root.begin(), root.end()).c_str()),
                  static_cast<UINT>(DRIVE_FIXED))
            << root;
    }
}

TEST(DrivesWin, VolumesCarryLabelFileSystemAndSizesInLetterOrder) {
    const auto volumes = win::ListFixedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes[0].letter, 'c');
    for (size_t i = 1; i < volumes.size(); ++i) {
        EXPECT_LT(volumes[i - 1].letter, volumes[i].letter);
    }
    const auto& system = volumes[0].details;
    EXPECT_TRUE(system.labelRead);
    EXPECT_FALSE(system.fileSystem.empty());
    ASSERT_TRUE(system.sizesRead);
    EXPECT_GT(system.totalBytes, 0u);
    EXPECT_LE(system.totalFreeBytes, system.totalBytes);
    EXPECT_LE(system.freeBytesAvailable, system.totalFreeBytes);
}

TEST(DrivesWin, ThisSystemIsOfTheNtFamily) {
    EXPECT_TRUE(win::IsWindowsNT());
}

}  // namespace
}  // namespace qm::test
