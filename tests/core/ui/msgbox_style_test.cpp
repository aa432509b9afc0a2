#include <gtest/gtest.h>

#include "core/ui/msgbox_style.h"

namespace qm {
namespace {

struct StyleCase {
    int buttons;
    int icon;
    int set;
    int count;
    int defaultButton;
};

TEST(DecodeMsgBoxStyle, TableOfStyles) {
    const StyleCase cases[] = {
        {0, -1, 0, 1, 0},                               // OK only, OK is the default
        {1, -1, 1, 2, 0},                               // OK, Cancel
        {2, -1, 2, 3, 0},                               // Abort, Retry, Ignore
        {3, -1, 3, 3, 0},                               // Yes, No, Cancel
        {4, -1, 4, 2, 0},                               // Yes, No
        {5, -1, 5, 2, 0},                               // Retry, Cancel
        {16, 0, 0, 1, 0},                               // critical
        {36, 1, 4, 2, 0},                               // question, Yes/No
        {48, 2, 0, 1, 0},                               // exclamation, OK
        {64 + 1, 3, 1, 2, 0},                           // information, OK/Cancel
        {4 + 32 + 256, 1, 4, 2, 1},                     // second button is the default
        {3 + 512, -1, 3, 3, 2},                         // third button
        {3 + 768, -1, 3, 3, -1},                        // a fourth button that is not there
        {512, -1, 0, 1, -1},                            // default beyond the one button
        {1024 + 4, -1, 4, 2, -1},                       // higher bits only make d larger
        {6, -1, 6, 0, -1},                              // sets 6 to 15 show no button
        {15 + 48, 2, 15, 0, -1},    {-1, -1, 0, 1, 0},  // negative values behave as 0
        {-300, -1, 0, 1, 0},        {-32768, -1, 0, 1, 0},
        {80, -1, 0, 1, 0},  // icon codes above 64 show no icon
        {255, -1, 15, 0, -1},
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.buttons);
        const MsgBoxStyle s = DecodeMsgBoxStyle(static_cast<std::int16_t>(c.buttons));
        EXPECT_EQ(s.iconIndex, c.icon);
        EXPECT_EQ(s.buttonSet, c.set);
        EXPECT_EQ(s.buttonCount, c.count);
        EXPECT_EQ(s.defaultButton, c.defaultButton);
    }
}

TEST(DecodeMsgBoxStyle, CaptionsInOrder) {
    using Captions = std::array<std::string_view, 4>;
    EXPECT_EQ(DecodeMsgBoxStyle(0).captions, (Captions{"&OK", "", "", ""}));
    EXPECT_EQ(DecodeMsgBoxStyle(1).captions, (Captions{"&OK", "Cancel", "", ""}));
    EXPECT_EQ(DecodeMsgBoxStyle(2).captions, (Captions{"&Abort", "&Retry", "&Ignore", ""}));
    EXPECT_EQ(DecodeMsgBoxStyle(3).captions, (Captions{"&Yes", "&No", "Cancel", ""}));
    EXPECT_EQ(DecodeMsgBoxStyle(4).captions, (Captions{"&Yes", "&No", "", ""}));
    EXPECT_EQ(DecodeMsgBoxStyle(5).captions, (Captions{"&Retry", "Cancel", "", ""}));
    EXPECT_EQ(DecodeMsgBoxStyle(7).captions, (Captions{"", "", "", ""}));
}

TEST(ResultFromCaption, EveryCaptionHasItsCode) {
    EXPECT_EQ(ResultFromCaption("&OK"), 1);
    EXPECT_EQ(ResultFromCaption("Cancel"), 2);
    EXPECT_EQ(ResultFromCaption("&Abort"), 3);
    EXPECT_EQ(ResultFromCaption("&Retry"), 4);
    EXPECT_EQ(ResultFromCaption("&Ignore"), 5);
    EXPECT_EQ(ResultFromCaption("&Yes"), 6);
    EXPECT_EQ(ResultFromCaption("&No"), 7);
    EXPECT_EQ(ResultFromCaption("OK"), 0);
    EXPECT_EQ(ResultFromCaption("Button1"), 0);
}

TEST(AccessKeyOf, LetterAfterTheAmpersand) {
    EXPECT_EQ(AccessKeyOf("&Yes"), 'y');
    EXPECT_EQ(AccessKeyOf("&OK"), 'o');
    EXPECT_EQ(AccessKeyOf("Cancel"), 0);
    EXPECT_EQ(AccessKeyOf("A&&B"), 0);
    EXPECT_EQ(AccessKeyOf("&"), 0);
}

}  // namespace
}  // namespace qm
