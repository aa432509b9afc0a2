// The fixed-drive list on a machine with fixed, CD-ROM and network drives (the scenario's
// preparation gives the prefix fixed C, D, E, a CD-ROM F and network drives G and Z).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/defrag/drives.h"

namespace qm::e2e {
namespace {

TEST(E2eFixedDrives, OnlyFixedDrivesAreListedAndCIsLeftOutOfTheList) {
    ASSERT_EQ(::GetDriveTypeW(L"F:\\"), static_cast<UINT>(DRIVE_CDROM))
        << "the scenario's drives are not in place";
    ASSERT_EQ(::GetDriveTypeW(L"G:\\"), static_cast<UINT>(DRIVE_REMOTE));

    const FixedDriveList list = win::GetFixedDrives();
    EXPECT_EQ(list.FixedDrives, (std::vector<std::string>{"d:\\", "e:\\"}));
    EXPECT_EQ(list.FixedDriveCount, 2);

    const auto volumes = win::ListFixedVolumes();
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(std::string({volumes[0].letter, volumes[1].letter, volumes[2].letter}), "cde");
    EXPECT_EQ(volumes[1].details.label, "Data");
    EXPECT_TRUE(volumes[1].details.sizesRead);
    EXPECT_GT(volumes[1].details.totalBytes, 0u);
}

}  // namespace
}  // namespace qm::e2e
