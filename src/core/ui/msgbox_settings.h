#pragma once

#include "core/ui/msgdefs.h"

namespace qm {

// System colour names as the box's colour properties hold them.
inline constexpr OleColor kSysActiveCaption = 0x80000002u;
inline constexpr OleColor kSysInactiveCaption = 0x80000003u;
inline constexpr OleColor kSysHighlightText = 0x8000000Eu;
inline constexpr OleColor kSysButtonFace = 0x8000000Fu;
inline constexpr OleColor kSysButtonText = 0x80000012u;

// The appearance settings that every message box of the program shares, and the state of the
// message being shown. The box window reads the settings at each activation and writes
// `msgResult` when it closes.
struct MsgBoxShared {
    OleColor backColorBody = kSysButtonFace;
    OleColor backColorHeading = kSysActiveCaption;
    bool gradientPaint{};
    int gradientDirection = 1;  // stored code: 5 and 6, 7 and 8 ... exchanged
    int headingType{};          // 1: the three-line ridge under the heading
    bool solidColorHeading{};
    bool moveable{};
    bool keepOnTop = true;
    bool modal = true;
    int timerSeconds{};

    int msgResult{};
    int iconIndex = -1;
};

}  // namespace qm
