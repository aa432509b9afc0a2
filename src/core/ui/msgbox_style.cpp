#include "core/ui/msgbox_style.h"

#include <algorithm>
#include <cctype>

namespace qm {
namespace {

struct ButtonSet {
    int count;
    std::array<std::string_view, kMaxMsgButtons> captions;
};

constexpr std::array<ButtonSet, 6> kButtonSets{{
    {1, {"&OK"}},
    {2, {"&OK", "Cancel"}},
    {3, {"&Abort", "&Retry", "&Ignore"}},
    {3, {"&Yes", "&No", "Cancel"}},
    {2, {"&Yes", "&No"}},
    {2, {"&Retry", "Cancel"}},
}};

}  // namespace

MsgBoxStyle DecodeMsgBoxStyle(std::int16_t buttons) {
    MsgBoxStyle style;
    const int value = buttons;
    // C++ division truncates towards zero, as the encoding's "remainder dropped" does; a
    // negative value counts as none.
    const int d = std::max(value / 256, 0);
    const int low = value - 256 * d;
    const int k = low / 16 - 1;
    const int set = std::max(low >= 16 ? low - 16 * (k + 1) : low, 0);
    style.defaultNumber = d;
    style.iconIndex = (k >= 0 && k < kIconCount) ? k : -1;
    style.buttonSet = set;
    if (set < static_cast<int>(kButtonSets.size())) {
        style.buttonCount = kButtonSets[set].count;
        style.captions = kButtonSets[set].captions;
    }
    style.defaultButton = d + 1 <= style.buttonCount ? d : -1;
    return style;
}

int ResultFromCaption(std::string_view caption) {
    struct Entry {
        std::string_view caption;
        int result;
    };
    static constexpr Entry kTable[] = {
        {"&OK", kResultOk},       {"Cancel", kResultCancel},  {"&Abort", kResultAbort},
        {"&Retry", kResultRetry}, {"&Ignore", kResultIgnore}, {"&Yes", kResultYes},
        {"&No", kResultNo},
    };
    for (const Entry& e : kTable) {
        if (e.caption == caption) {
            return e.result;
        }
    }
    return 0;
}

char AccessKeyOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (caption[i + 1] == '&') {
                ++i;  // "&&" is a literal ampersand
                continue;
            }
            return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
        }
    }
    return 0;
}

}  // namespace qm
