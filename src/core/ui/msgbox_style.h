#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

// Result codes of the message box, as the standard message box returns them. A time-out, a
// window that could not be created and a box shown without waiting all give kTimedOut.
enum MsgBoxResult : int {
    kTimedOut = 0,
    kResultOk = 1,
    kResultCancel = 2,
    kResultAbort = 3,
    kResultRetry = 4,
    kResultIgnore = 5,
    kResultYes = 6,
    kResultNo = 7,
};

inline constexpr int kMaxMsgButtons = 4;
inline constexpr int kIconCount = 4;  // critical, question, exclamation, information

// A style value taken apart: which buttons, which icon, which button is the default.
struct MsgBoxStyle {
    int defaultNumber{};  // d: the button that would be the default, 0 = first
    int iconIndex = -1;   // 0 critical, 1 question, 2 exclamation, 3 information, -1 none
    int buttonSet{};      // 0..15; sets 6 to 15 show no button
    int buttonCount{};
    std::array<std::string_view, kMaxMsgButtons> captions{};  // "&" marks the access key
    int defaultButton = -1;  // index of the default button, -1 when d is beyond the buttons

    bool HasIcon() const { return iconIndex >= 0; }
};

// Decodes the standard style encoding: default button in multiples of 256, icon in
// multiples of 16 (16, 32, 48, 64), button set in the low nibble. Bits beyond those only make
// the default-button number larger than any button count. Icon codes above 64 name no
// standard icon; the box then shows none.
MsgBoxStyle DecodeMsgBoxStyle(std::int16_t buttons);

// The result code of a button from its caption; 0 when the caption names no button.
int ResultFromCaption(std::string_view caption);

// The access-key letter of a caption ("&Retry" -> 'r'), lower case; 0 when it has none.
char AccessKeyOf(std::string_view caption);

}  // namespace qm
