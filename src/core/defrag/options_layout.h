#pragma once

namespace qm {

// The Options dialog's design, in twips. The form grows by one row's spacing for every fixed
// drive besides C, and Save and Close keep their distance from its bottom edge.
inline constexpr int kOptionsBaseFormHeight = 5310;  // with drive C alone
inline constexpr int kDriveRowTop = 3840;            // row 0
inline constexpr int kDriveRowSpacing = 300;
inline constexpr int kButtonsAboveFormBottom = 930;
inline constexpr int kRunningLabelHeight = 495;

inline int OptionsFormHeight(int fixedDriveCount) {
    return kOptionsBaseFormHeight + fixedDriveCount * kDriveRowSpacing;
}
inline int DriveRowTop(int row) {
    return kDriveRowTop + row * kDriveRowSpacing;
}
inline int SaveButtonTop(int formHeight) {
    return formHeight - kButtonsAboveFormBottom;
}

// The panel shown over the drive rows during a Defrag Now run, and its caption's top inside it.
struct RunningMessagePlace {
    int top;
    int height;
    int labelTop;
};

inline int RunningLabelTop(int panelHeight) {
    return (panelHeight - kRunningLabelHeight) / 2 - 15;
}

inline RunningMessagePlace PlaceRunningMessage(int saveButtonTop) {
    const int top = kDriveRowTop - 45;
    const int height = saveButtonTop - top - 60;
    return {top, height, RunningLabelTop(height)};
}

}  // namespace qm
