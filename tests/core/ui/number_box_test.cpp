#include "core/ui/number_box.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

constexpr const char* kDefault = kNumberBoxDefaultFormat.data();

bool Has(const char* flags, char flag) {
    return std::string_view(flags).find(flag) != std::string_view::npos;
}

TEST(NumberBoxText, FormatUnformatAndEntryLength) {
    const std::pair<const char*, const char*> defaults[] = {
        {"5", "5.00"},       {"1234.5", "1,234.50"},    {"-5", "(5.00)"},
        {"", "0.00"},        {"1234567", "234,567.00"}, {"1.239", "1.23"},
        {"-1.239", "(1.23)"}};
    for (const auto& [text, shown] : defaults) {
        EXPECT_EQ(FormatNumber(text, kDefault, false, false), shown) << text;
    }
    // Flags: p PositiveOnly, f focused.
    const struct {
        const char *text, *format, *flags, *shown;
    } cases[] = {{"-5", kDefault, "p", "5.00"},
                 {"-5", "#,##0.00", "", "-5.00"},
                 {"-5", "-#,##0", "", "-5"},
                 {"-1.5", "0.00;(0.00)", "f", "-1.50"},
                 {"-1.5", "0.00;(0.00)", "", "(1.50)"},
                 {"007", "###", "p", "7"},
                 {"0", "###", "p", ""},
                 {"5.5", "###", "p", "5"},
                 {"7.", "0.", "", "7"},
                 {"5", ",##0", "", "5"},
                 {"12", "0000", "", "0012"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.text, c.format, Has(c.flags, 'p'), Has(c.flags, 'f')), c.shown)
            << c.text << " in " << c.format;
    }
    EXPECT_EQ(Unformat(" (1,2x34.5.6) ", false).text, "-1234.56");
    EXPECT_EQ(std::tuple(MaxEntryLength(kDefault), MaxEntryLength("###"),
                         MaxEntryLength("00000;(0)"), MaxEntryLength("00000;-00")),
              std::tuple(10, 3, 2, 3));
}

TEST(NumberBoxModel, KeystrokesAreAcceptedSwallowedOrRefused) {
    using enum KeyVerdict;
    // Flags: p PositiveOnly, l Locked, w the whole text selected, s the caret at the start.
    const struct {
        const char *format, *text, *flags;
        char32_t key;
        KeyVerdict verdict;
    } cases[] = {{kDefault, "12", "", 'a', kSwallow},  {"###", "123", "", '4', kBeep},
                 {"###", "123", "w", '4', kAccept},    {"###", "12", "", '4', kAccept},
                 {"###", "123", "", '\b', kAccept},    {"###", "12", "", '.', kSwallow},
                 {"###", "123", "", '.', kBeep},       {kDefault, "1.5", "", '.', kSwallow},
                 {kDefault, "1.5", "w", '.', kAccept}, {kDefault, "15", "s", '-', kAccept},
                 {kDefault, "15", "", '-', kSwallow},  {kDefault, "15", "ps", '-', kSwallow},
                 {"###", "123", "s", '-', kBeep},      {kDefault, "1", "l", '5', kSwallow},
                 {"", "123456", "", '7', kAccept}};
    for (const auto& c : cases) {
        NumberBoxModel box;
        box.SetFormat(c.format);
        box.SetPositiveOnly(Has(c.flags, 'p'));
        box.SetLocked(Has(c.flags, 'l'));
        box.TextChanged(c.text);
        EXPECT_EQ(box.KeyPress(c.key, Has(c.flags, 'w'), Has(c.flags, 's')), c.verdict) << c.text;
    }
}

TEST(NumberBoxModel, StepsGoToMultiplesOfTheIncrementAndStopAtTheLimits) {
    // Flags: u up (else down), l limits 1 to 60 (1000 above 100), p PositiveOnly. A step that
    // leaves the value as it was has stopped at a limit.
    const struct {
        double value, increment, after;
        const char* flags;
    } cases[] = {{7, 5, 10, "u"},   {7, 5, 5, ""},       {10, 5, 5, ""}, {58, 5, 60, "ul"},
                 {60, 1, 60, "ul"}, {1, 1, 1, "l"},      {0, 1, 0, "p"}, {-3, 2, -5, ""},
                 {4, 0, 5, "u"},    {999, 3, 1000, "ul"}};
    for (const auto& c : cases) {
        NumberBoxModel box;
        box.SetPositiveOnly(Has(c.flags, 'p'));
        box.SetMaxValue(c.value > 100 ? 1000 : 60);
        box.SetMinValue(1);
        box.SetUpDownIncrement(static_cast<int>(c.increment));
        box.SetValue(c.value);
        box.SetUseMaxMinValues(Has(c.flags, 'l'));
        EXPECT_EQ(Has(c.flags, 'u') ? box.StepUp() : box.StepDown(), c.after != c.value);
        EXPECT_DOUBLE_EQ(box.Value(), c.after) << c.value << " " << c.flags;
    }
}

TEST(NumberBoxModel, FocusShowsTheBareNumberAndLeavingAppliesTheLimits) {
    NumberBoxModel box;
    int changes = 0;
    box.onChange = [&] { ++changes; };
    box.SetMaxValue(60);
    box.SetMinValue(1);
    box.SetUseMaxMinValues(true);
    EXPECT_EQ(box.Text(), "1.00");  // 0 raised to the minimum at once
    box.FocusGained();
    box.TextChanged("99");
    box.FocusLost();
    EXPECT_EQ(box.Text(), "60.00");
    box.FocusGained();
    box.TextChanged("");
    box.FocusLost();
    EXPECT_EQ(box.Text(), "1.00");
    EXPECT_EQ(changes, 5);  // 0 to 1, to 99, to 60, to the empty box's 0, to 1

    box.SetUseMaxMinValues(false);
    box.FocusGained();
    box.Paste("(1,234.50)");
    EXPECT_EQ(box.Text(), "-1,234.50");  // while focused: a plain minus
    box.FocusLost();
    EXPECT_EQ(box.Text(), "(1,234.50)");
    box.TextChanged("-1234.500");  // the same number written otherwise
    box.SetEnabled(false);
    box.TextChanged("7");
    EXPECT_EQ(changes, 6);
    box.SetLocked(true);
    box.Cut();  // a locked box keeps its text
    EXPECT_EQ(box.Text(), "7");
}

}  // namespace
}  // namespace qm
