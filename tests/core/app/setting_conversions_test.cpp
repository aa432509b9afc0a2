#include "core/app/setting_conversions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/date_time_print.h"

namespace qm {
namespace {

TEST(SettingConversionsTest, WholeNumbers) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"12", 12},
        {" -3 ", -3},
        {"+7", 7},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"2.51", 3},
        {"2.4999", 2},
        {"007", 7},
        {".5", 0},
        {"1.", 1},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"1,5", std::nullopt},
        {"True", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"1000000000000000", 1000000000000000},
        {"1000000000000001", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseWholeNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(SettingConversionsTest, SixteenAndThirtyTwoBitRanges) {
    EXPECT_EQ(ParseInt16("32767"), 32767);
    EXPECT_EQ(ParseInt16("-32768"), -32768);
    EXPECT_FALSE(ParseInt16("32768"));
    EXPECT_FALSE(ParseInt16("-32769"));
    EXPECT_FALSE(ParseInt16("32767.5"));  // rounds to 32768
    EXPECT_EQ(ParseInt16("32766.5"), 32766);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_FALSE(ParseInt32("2147483648"));
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
}

TEST(SettingConversionsTest, NumberTextEqualsExactly) {
    EXPECT_TRUE(NumberTextEquals("1", 1));
    EXPECT_TRUE(NumberTextEquals(" 01.00 ", 1));
    EXPECT_FALSE(NumberTextEquals("1.4", 1));
    EXPECT_FALSE(NumberTextEquals("2", 1));
    EXPECT_FALSE(NumberTextEquals("one", 1));
}

TEST(SettingConversionsTest, Booleans) {
    struct Case {
        const char* text;
        std::optional<bool> value;
    };
    const Case cases[] = {
        {"True", true}, {"true", true},        {" FALSE ", false}, {"False", false},
        {"0", false},   {"-1", true},          {"1", true},        {"0.0", false},
        {"0.01", true}, {"yes", std::nullopt}, {"", std::nullopt}, {"Truee", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseBoolean(c.text), c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(FormatBoolean(true), "True");
    EXPECT_EQ(FormatBoolean(false), "False");
}

TEST(SettingConversionsTest, DatesGetTheirTimeOnlyWhenTheyHaveOne) {
    const UsDateTextFormat us;
    EXPECT_EQ(FormatDateSetting(us, DateTime::Make(2026, 12, 5)), "12/5/2026");
    EXPECT_EQ(FormatDateSetting(us, DateTime::Make(2026, 12, 5, 21, 30, 1)),
              "12/5/2026 9:30:01 PM");
    EXPECT_EQ(FormatDateSetting(us, DateTime()), "12/30/1899");
}

TEST(SettingConversionsTest, FitToWidth) {
    EXPECT_EQ(FitToWidth("101", 7, ' '), "101    ");
    EXPECT_EQ(FitToWidth("1010101010", 7, ' '), "1010101");
    EXPECT_EQ(FitToWidth("", 3, '0'), "000");
}

}  // namespace
}  // namespace qm
