#include "core/defrag/drive_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/defrag/drive_statistics.h"

namespace qm {
namespace {

FixedVolume Volume(char letter, std::string label, bool ready = true, std::string fs = "NTFS") {
    FixedVolume v;
    v.letter = letter;
    v.details.label = std::move(label);
    v.details.labelRead = ready;
    v.details.fileSystem = ready ? std::move(fs) : "";
    return v;
}

// Each row as "caption|file system|enabled".
std::vector<std::string> Shown(const std::vector<DriveRow>& rows) {
    std::vector<std::string> out;
    for (const DriveRow& r : rows) {
        out.push_back(r.caption + "|" + r.fileSystem + "|" + (r.enabled ? "on" : "off"));
    }
    return out;
}

TEST(BuildDriveRows, RowZeroIsAlwaysCAndTheOthersFollowInTheirOrder) {
    struct Case {
        const char* name;
        std::vector<FixedVolume> volumes;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"only C", {Volume('c', "")}, {"Fixed Disk  (C:)|NTFS|on"}},
        {"C, D, E",
         {Volume('c', "System"), Volume('d', "Data", true, "FAT32"), Volume('e', "")},
         {"System  (C:)|NTFS|on", "Data  (D:)|FAT32|on", "Fixed Disk  (E:)|NTFS|on"}},
        {"not ready", {Volume('c', ""), Volume('x', "", false)},
         {"Fixed Disk  (C:)|NTFS|on", "Drive  (X:)||off"}},
        {"label read from a volume that says it failed",
         {Volume('c', ""), Volume('d', "Old", false)},
         {"Fixed Disk  (C:)|NTFS|on", "Old  (D:)||on"}},
        {"C missing", {Volume('d', "Data")}, {"Drive  (C:)||off", "Data  (D:)|NTFS|on"}},
        {"C listed after D", {Volume('d', "Data"), Volume('c', "Sys")},
         {"Sys  (C:)|NTFS|on", "Data  (D:)|NTFS|on"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(BuildDriveRows(c.volumes)), c.rows) << c.name;
    }
    const auto rows = BuildDriveRows({Volume('c', ""), Volume('e', "")});
    EXPECT_EQ(rows[1].Root(), "e:\\");
    EXPECT_EQ(rows[0].SettingKey(), "ShowCDrive");
    EXPECT_EQ(rows[1].SettingKey(), "ShowEDrive");
}

TEST(DriveStatistics, UsageSizeAndUnit) {
    struct Case {
        std::uint64_t total, available;
        const char* text;
    };
    const Case cases[] = {
        {80'000'000'000, 44'000'000'000, " 45% of 74.51 GB used"},
        {1'048'575, 0, " 100% of 1,024.00 KB used"},
        {1'048'576, 1'048'576, " 0% of 1.00 MB used"},
        {1'073'741'823, 0, " 100% of 1,024.00 MB used"},
        {1'073'741'824, 0, " 100% of 1.00 GB used"},
        {8'000, 1'000, " 88% of 7.81 KB used"},     // 87.5: halves to even
        {8'000, 3'000, " 62% of 7.81 KB used"},     // 62.5
        {128, 0, " 100% of 0.12 KB used"},          // 0.125 KB: halves to even
        {1'100'000'000'000'000, 0, " 100% of 1,024,454.83 GB used"},
    };
    for (const auto& c : cases) {
        VolumeDetails v;
        v.sizesRead = true;
        v.totalBytes = c.total;
        v.freeBytesAvailable = c.available;
        EXPECT_EQ(GetDriveStatistics(v, {}), c.text) << c.total;
    }
}

TEST(DriveStatistics, BalloonTextInTheUsersNumberFormat) {
    VolumeDetails v;
    v.sizesRead = true;
    v.totalBytes = 80'000'000'000;
    v.freeBytesAvailable = 44'000'000'000;
    EXPECT_EQ(DriveBalloonText(v, "NTFS", {}), " 45% of 74.51 GB used\r\nFile System:  NTFS");
    EXPECT_EQ(DriveBalloonText(v, "", {}), " 45% of 74.51 GB used");

    EXPECT_EQ(FormatGroupedTwoDecimals(1234567.891, {",", ".", 3, 3}), "1.234.567,89");
    EXPECT_EQ(FormatGroupedTwoDecimals(123456789, {".", ",", 3, 2}), "12,34,56,789.00");
    EXPECT_EQ(FormatGroupedTwoDecimals(1234567, {".", ",", 3, 0}), "1234,567.00");
    EXPECT_EQ(FormatGroupedTwoDecimals(1234567, {".", ",", 0, 0}), "1234567.00");
    EXPECT_EQ(FormatGroupedTwoDecimals(0.004, {}), "0.00");

    // Sizes that cannot be read, or a total of 0: no balloon rather than a division by zero.
    VolumeDetails unread = v;
    unread.sizesRead = false;
    VolumeDetails empty = v;
    empty.totalBytes = 0;
    EXPECT_EQ(DriveBalloonText(unread, "NTFS", {}), "");
    EXPECT_EQ(DriveBalloonText(empty, "NTFS", {}), "");
}

}  // namespace
}  // namespace qm
