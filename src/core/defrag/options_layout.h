#pragma once

#include <algorithm>

namespace qm {

// The Options dialog's design, in twips.

// The "StartUp Options" frame: four check boxes one below the other. Under the last ("Wake the
// computer for scheduled defrags") the power plan's note, when there is one, takes up to three
// lines; without it the frame ends below the box.
inline constexpr int kStartupFrameTop = 165;
inline constexpr int kStartupOptionTop = 405;  // the first check box
inline constexpr int kStartupOptionSpacing = 300;
inline constexpr int kStartupOptionCount = 4;
inline constexpr int kOptionCheckHeight = 255;
inline constexpr int kWakeNoteTop =
    kStartupOptionTop + (kStartupOptionCount - 1) * kStartupOptionSpacing + kOptionCheckHeight;
inline constexpr int kWakeNoteHeight = 585;
inline constexpr int kStartupFrameMargin = 90;  // below its last control

inline constexpr int kDriveRowSpacing = 300;
inline constexpr int kButtonsAboveFormBottom = 930;
inline constexpr int kRunningLabelHeight = 495;

inline int StartupOptionTop(int option) {  // 0 to kStartupOptionCount - 1
    return kStartupOptionTop + option * kStartupOptionSpacing;
}

// What lies below the start-up frame is placed from the frame's bottom edge: the two other
// frames, the drive list's heading, the drive rows and the form's bottom edge. The form grows by
// one row's spacing for every fixed drive besides C, and Save and Close keep their distance
// from its bottom edge.
struct OptionsPlaces {
    int startupFrameHeight;
    int priorityFrameTop;
    int afterDefragFrameTop;
    int headingTop;
    int driveRowTop;     // row 0
    int baseFormHeight;  // with drive C alone

    int DriveRowTop(int row) const { return driveRowTop + row * kDriveRowSpacing; }
    int FormHeight(int fixedDriveCount) const {
        return baseFormHeight + fixedDriveCount * kDriveRowSpacing;
    }
};

inline OptionsPlaces PlaceOptions(bool wakeNoteShown) {
    const int frameBottom =
        kWakeNoteTop + (wakeNoteShown ? kWakeNoteHeight : 0) + kStartupFrameMargin;
    return {.startupFrameHeight = frameBottom - kStartupFrameTop,
            .priorityFrameTop = frameBottom + 75,
            .afterDefragFrameTop = frameBottom + 735,
            .headingTop = frameBottom + 2040,
            .driveRowTop = frameBottom + 2490,
            .baseFormHeight = frameBottom + 3960};
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

inline RunningMessagePlace PlaceRunningMessage(const OptionsPlaces& places, int saveButtonTop) {
    const int top = places.driveRowTop - 45;
    const int height = saveButtonTop - top - 60;
    return {top, height, RunningLabelTop(height)};
}

// The progress bar under the panel's caption, inset from the panel's sides. The panel over one
// drive's row has no room below the caption: there the bar keeps to the panel's bottom edge.
inline constexpr int kRunningBarHeight = 120;
inline constexpr int kRunningBarInset = 600;

inline int RunningBarTop(const RunningMessagePlace& place) {
    return place.top +
           std::min(place.labelTop + kRunningLabelHeight, place.height - kRunningBarHeight - 30);
}

}  // namespace qm
