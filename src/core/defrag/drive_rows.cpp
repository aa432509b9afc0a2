#include "core/defrag/drive_rows.h"

#include <algorithm>
#include <cctype>

#include "core/app/settings_keys.h"
#include "core/defrag/text_case.h"

namespace qm {
namespace {

char Upper(char letter) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

DriveRow RowOf(char upperLetter, const VolumeDetails* details) {
    DriveRow row;
    row.letter = upperLetter;
    // A volume that answers is offered even when unlabelled; one that does not is not ready.
    row.enabled = details && (details->labelRead || !details->label.empty());
    std::string name = details ? details->label : std::string();
    if (!row.enabled && name.empty()) {
        name = "Drive";
    }
    if (name.empty()) {
        name = "Fixed Disk";
    }
    row.caption = name + "  (" + std::string(1, upperLetter) + ":)";
    if (details) {
        row.fileSystem = details->fileSystem;
    }
    return row;
}

}  // namespace

std::string DriveRow::Root() const {
    return AsciiLower(std::string(1, letter)) + ":\\";
}

std::string DriveRow::SettingKey() const {
    return keys::ShowDriveKey(letter);
}

std::vector<DriveRow> BuildDriveRows(const std::vector<FixedVolume>& fixedVolumes) {
    const auto& volumes = fixedVolumes;
    auto c = std::find_if(volumes.begin(), volumes.end(),
                          [](const FixedVolume& v) { return Upper(v.letter) == 'C'; });
    std::vector<DriveRow> rows;
    rows.push_back(RowOf('C', c == volumes.end() ? nullptr : &c->details));
    for (const FixedVolume& volume : volumes) {
        if (Upper(volume.letter) != 'C') {
            rows.push_back(RowOf(Upper(volume.letter), &volume.details));
        }
    }
    return rows;
}

}  // namespace qm
