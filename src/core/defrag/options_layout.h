#pragma once

namespace qm {

// The Options dialog's design, in twips. The form grows by one row's spacing for every fixed
// drive besides C, and Save and Close keep their distance from its bottom edge.
inline constexpr int kOptionsFormWidth = 4425;
inline constexpr int kOptionsBaseFormHeight = 5310;  // with drive C alone
inline constexpr int kDriveRowTop = 3840;            // row 0
inline constexpr int kDriveRowSpacing = 300;
inline constexpr int kButtonsAboveFormBottom = 930;
inline constexpr int kRunningMessageLeft = 142;  // centred in the form's client area
inline constexpr int kRunningMessageWidth = 4050;
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
    int top = 0;
    int height = 0;
    int labelTop = 0;
};

inline int RunningLabelTop(int panelHeight) {
    return (panelHeight - kRunningLabelHeight) / 2 - 15;
}

inline RunningMessagePlace PlaceRunningMessage(int saveButtonTop) {
    RunningMessagePlace place;
    place.top = kDriveRowTop - 45;
    place.height = saveButtonTop - place.top - 60;
    place.labelTop = RunningLabelTop(place.height);
    return place;
}

}  // namespace qm
