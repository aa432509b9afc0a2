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
    // The text, the format, the flags (p PositiveOnly, f focused), the text shown.
    const char* paren = "0.00;(0.00)";
    const std::array<const char*, 4> cases[] = {
        {"-5", kDefault, "p", "5.00"}, {"-5", "#,##0.00", "", "-5.00"}, {"-5", "-#,##0", "", "-5"},
        {"-1.5", paren, "f", "-1.50"}, {"-1.5", paren, "", "(1.50)"},   {"007", "###", "p", "7"},
        {"0", "###", "p", ""},         {"5.5", "###", "p", "5"},        {"7.", "0.", "", "7"},
        {"5", ",##0", "", "5"},        {"12", "0000", "", "0012"}};
    for (const auto& [text, format, flags, shown] : cases) {
        EXPECT_EQ(FormatNumber(text, format, Has(flags, 'p'), Has(flags, 'f')), shown)
            << text << " in " << format;
    }
    EXPECT_EQ(Unformat(" (1,2x34.5.6) ", false).text, "-1234.56");
    EXPECT_EQ(std::tuple(MaxEntryLength(kDefault), MaxEntryLength("###"),
                         MaxEntryLength("00000;(0)"), MaxEntryLength("00000;-00")),
              std::tuple(10, 3, 2, 3));
}

TEST(NumberBoxModel, KeystrokesAreAcceptedSwallowedOrRefused) {
    using enum KeyVerdict;
    // Flags: p PositiveOnly, l Locked, w the whole text selected, s the caret at the start.
    const std::tuple<const char*, const char*, const char*, char32_t, KeyVerdict> cases[] = {
        {kDefault, "12", "", 'a', kSwallow},  {"###", "123", "", '4', kBeep},
        {"###", "123", "w", '4', kAccept},    {"###", "12", "", '4', kAccept},
        {"###", "123", "", '\b', kAccept},    {"###", "12", "", '.', kSwallow},
        {"###", "123", "", '.', kBeep},       {kDefault, "1.5", "", '.', kSwallow},
        {kDefault, "1.5", "w", '.', kAccept}, {kDefault, "15", "s", '-', kAccept},
        {kDefault, "15", "", '-', kSwallow},  {kDefault, "15", "ps", '-', kSwallow},
        {"###", "123", "s", '-', kBeep},      {kDefault, "1", "l", '5', kSwallow},
        {"", "123456", "", '7', kAccept}};
    for (const auto& [format, text, flags, key, verdict] : cases) {
        NumberBoxModel box;
        box.SetFormat(format);
        box.SetPositiveOnly(Has(flags, 'p'));
        box.SetLocked(Has(flags, 'l'));
        box.TextChanged(text);
        EXPECT_EQ(box.KeyPress(key, Has(flags, 'w'), Has(flags, 's')), verdict) << text;
    }
}

TEST(NumberBoxModel, StepsGoToMultiplesOfTheIncrementAndStopAtTheLimits) {
    // Flags: u up (else down), l limits 1 to 60 (1000 above 100), p PositiveOnly. A step that
    // leaves the value as it was has stopped at a limit.
    const std::tuple<double, int, double, const char*> cases[] = {
        {7, 5, 10, "u"},   {7, 5, 5, ""},        {10, 5, 5, ""}, {58, 5, 60, "ul"},
        {60, 1, 60, "ul"}, {1, 1, 1, "l"},       {0, 1, 0, "p"}, {-3, 2, -5, ""},
        {4, 0, 5, "u"},    {999, 3, 1000, "ul"}, {1, 1, 1, "lp"}};  // a positive-only box stops at
                                                                    // its minimum too, not at 0
    for (const auto& [value, increment, after, flags] : cases) {
        NumberBoxModel box;
        box.SetPositiveOnly(Has(flags, 'p'));
        box.SetMaxValue(value > 100 ? 1000 : 60);
        box.SetMinValue(1);
        box.SetUpDownIncrement(increment);
        box.SetValue(value);
        box.SetUseMaxMinValues(Has(flags, 'l'));
        EXPECT_EQ(Has(flags, 'u') ? box.StepUp() : box.StepDown(), after != value);
        EXPECT_DOUBLE_EQ(box.Value(), after) << value << " " << flags;
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
