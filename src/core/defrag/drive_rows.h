#pragma once

#include <string>
#include <vector>

#include "core/defrag/drive_list.h"

namespace qm {

// One drive row of the Options dialog: a check box (whether scheduled runs take the drive)
// and its Defrag Now button.
struct DriveRow {
    char letter = 'C';  // upper case
    // The label, two blanks and the letter: "Data  (D:)"; "Fixed Disk  (C:)" for a drive
    // without a label, "Drive  (X:)" for one that is not ready.
    std::string caption;
    std::string fileSystem;  // as the volume reports it ("NTFS"); may be empty
    bool enabled{};          // false for a drive that is not ready

    // "d:\" for drive D.
    std::string Root() const;
    // The drive's settings key: "ShowCDrive", "ShowDDrive"...
    std::string SettingKey() const;
};

// The rows from the system's fixed volumes. Row 0 always stands for drive C, as the settings
// and the runs do, built from the C: volume itself; when C is no fixed volume that row shows
// disabled like a drive that is not ready. Rows 1... are the other fixed drives in the order
// given (ListFixedVolumes gives letter order).
std::vector<DriveRow> BuildDriveRows(const std::vector<FixedVolume>& fixedVolumes);

}  // namespace qm
