// The drive list and volume details as this system reports them.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/defrag/drives.h"

namespace qm::test {
namespace {

TEST(DrivesWin, FixedDrivesAndVolumesAsTheSystemReportsThem) {
    for (const auto& root : win::GetFixedDrives().FixedDrives) {
        EXPECT_NE(root, "c:\\");
        EXPECT_TRUE(root.size() == 3 && root[0] >= 'a' && root[0] <= 'z') << root;
        EXPECT_EQ(::GetDriveTypeW(std::wstring(root.begin(), root.end()).c_str()),
                  static_cast<UINT>(DRIVE_FIXED))
            << root;
    }
    const auto volumes = win::ListFixedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes[0].letter, 'c');
    const auto& system = volumes[0].details;
    EXPECT_TRUE(system.labelRead);
    EXPECT_FALSE(system.fileSystem.empty());
    ASSERT_TRUE(system.sizesRead);
    EXPECT_GT(system.totalBytes, 0u);
    EXPECT_LE(system.totalFreeBytes, system.totalBytes);
    EXPECT_LE(system.freeBytesAvailable, system.totalFreeBytes);
}

}  // namespace
}  // namespace qm::test
