#include "core/app/setting_conversions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/date_time_print.h"

namespace qm {
namespace {

TEST(SettingConversionsTest, WholeNumbers) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"0", 0},     {"12", 12},  {" -3 ", -3},  {"+7", 7},  {"2.5", 2}, {"3.5", 4},
        {"-2.5", -2}, {"2.51", 3}, {"2.4999", 2}, {"007", 7}, {".5", 0},  {"1.", 1}};
    for (auto [text, value] : cases) {
        EXPECT_EQ(ParseWholeNumber(text), value) << '"' << text << '"';
    }
    for (const char* text :
         {"", " ", "-", "1e3", "0x10", "12abc", "1 2", "1,5", "True", "99999999999999999999"}) {
        EXPECT_FALSE(ParseWholeNumber(text)) << '"' << text << '"';
    }
    EXPECT_EQ(ParseWholeNumber("1000000000000000"), 1000000000000000);
    EXPECT_FALSE(ParseWholeNumber("1000000000000001"));
    // The narrower types reject what does not fit, after rounding.
    EXPECT_EQ(ParseInt16("-32768"), -32768);
    EXPECT_FALSE(ParseInt16("32768"));
    EXPECT_FALSE(ParseInt16("-32769"));
    EXPECT_FALSE(ParseInt16("32767.5"));
    EXPECT_EQ(ParseInt16("32766.5"), 32766);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_FALSE(ParseInt32("2147483648"));
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
    EXPECT_TRUE(NumberTextEquals(" 01.00 ", 1));
    EXPECT_FALSE(NumberTextEquals("1.4", 1));
    EXPECT_FALSE(NumberTextEquals("one", 1));
}

TEST(SettingConversionsTest, Booleans) {
    const std::optional<bool> no;
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"True", true}, {"true", true}, {" FALSE ", false}, {"False", false},
        {"0", false},   {"-1", true},   {"1", true},        {"0.0", false},
        {"0.01", true}, {"yes", no},    {"", no},           {"Truee", no}};
    for (auto [text, value] : cases) {
        EXPECT_EQ(ParseBoolean(text), value) << '"' << text << '"';
    }
    EXPECT_EQ(FormatBoolean(true) + FormatBoolean(false), "TrueFalse");
}

TEST(SettingConversionsTest, DatesAndWidths) {
    // Dates get their time only when they have one.
    const UsDateTextFormat us;
    EXPECT_EQ(FormatDateSetting(us, D(2026, 12, 5)), "12/5/2026");
    EXPECT_EQ(FormatDateSetting(us, D(2026, 12, 5, 21, 30, 1)), "12/5/2026 9:30:01 PM");
    EXPECT_EQ(FitToWidth("101", 7, ' '), "101    ");
    EXPECT_EQ(FitToWidth("1010101010", 7, ' '), "1010101");
    EXPECT_EQ(FitToWidth("", 3, '0'), "000");
}

}  // namespace
}  // namespace qm
