#include <gtest/gtest.h>

#include "core/ui/msgbox_style.h"

namespace qm {
namespace {

TEST(DecodeMsgBoxStyle, TableOfStyles) {
    using Captions = std::array<std::string_view, 4>;
    const Captions ok{"&OK", "", "", ""}, none{"", "", "", ""}, yesNo{"&Yes", "&No", "", ""};
    const Captions yesNoCancel{"&Yes", "&No", "Cancel", ""};
    const struct {
        int buttons, icon, set, count, defaultButton;
        Captions captions;
    } cases[] = {
        {0, -1, 0, 1, 0, ok},
        {1, -1, 1, 2, 0, {"&OK", "Cancel", "", ""}},
        {2, -1, 2, 3, 0, {"&Abort", "&Retry", "&Ignore", ""}},
        {3, -1, 3, 3, 0, yesNoCancel},
        {4, -1, 4, 2, 0, yesNo},
        {5, -1, 5, 2, 0, {"&Retry", "Cancel", "", ""}},
        {16, 0, 0, 1, 0, ok},                             // critical
        {36, 1, 4, 2, 0, yesNo},                          // question
        {48, 2, 0, 1, 0, ok},                             // exclamation
        {64 + 1, 3, 1, 2, 0, {"&OK", "Cancel", "", ""}},  // information
        {4 + 32 + 256, 1, 4, 2, 1, yesNo},                // second button is the default
        {3 + 512, -1, 3, 3, 2, yesNoCancel},              // third button
        {3 + 768, -1, 3, 3, -1, yesNoCancel},             // a fourth button that is not there
        {512, -1, 0, 1, -1, ok},                          // default beyond the one button
        {1024 + 4, -1, 4, 2, -1, yesNo},                  // higher bits only make it larger
        {7, -1, 7, 0, -1, none},                          // sets 6 to 15 show no button
        {15 + 48, 2, 15, 0, -1, none},
        {-1, -1, 0, 1, 0, ok},  // negative values behave as 0
        {-32768, -1, 0, 1, 0, ok},
        {80, -1, 0, 1, 0, ok},  // icon codes above 64 show no icon
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        const MsgBoxStyle s = DecodeMsgBoxStyle(static_cast<std::int16_t>(c.buttons));
        EXPECT_EQ(s.iconIndex, c.icon);
        EXPECT_EQ(s.buttonSet, c.set);
        EXPECT_EQ(s.buttonCount, c.count);
        EXPECT_EQ(s.defaultButton, c.defaultButton);
        EXPECT_EQ(s.captions, c.captions);
    }
}

TEST(MsgBoxCaptions, ResultCodesAndAccessKeys) {
    const struct {
        std::string_view caption;
        int result;
        char key;
    } cases[] = {{"&OK", 1, 'o'},     {"Cancel", 2, 0}, {"&Abort", 3, 'a'}, {"&Retry", 4, 'r'},
                 {"&Ignore", 5, 'i'}, {"&Yes", 6, 'y'}, {"&No", 7, 'n'},    {"OK", 0, 0},
                 {"A&&B", 0, 0},      {"&", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(ResultFromCaption(c.caption), c.result);
        EXPECT_EQ(AccessKeyOf(c.caption), c.key);
    }
}

}  // namespace
}  // namespace qm
