#include "win32/common/locale_date_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/date_time_print.h"

namespace qm::win {
namespace {

DateTime D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime::Make(y, mo, d, h, mi, s);
}

TEST(OleDateTest, FractionIsTheTimeOfDayOnBothSidesOfZero) {
    struct Case {
        double ole;
        DateTime expected;
    };
    const Case cases[] = {
        {0.0, DateTime()},
        {2.5, D(1900, 1, 1, 12, 0)},
        {-1.25, D(1899, 12, 29, 6, 0)},
        {-657434.0, D(100, 1, 1)},
        {2958465.999988426, D(9999, 12, 31, 23, 59, 59)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateTimeFromOleDate(c.ole), c.expected) << c.ole;
        EXPECT_EQ(DateTimeFromOleDate(OleDateFromDateTime(c.expected)), c.expected) << c.ole;
    }
}

TEST(OleDateTest, OutOfRangeIsRejected) {
    for (double ole :
         {-657435.0, 2958466.0, 1e300, -1e300, std::numeric_limits<double>::quiet_NaN(),
          std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(DateTimeFromOleDate(ole)) << ole;
    }
}

TEST(LocaleDateTextFormatTest, WrittenDatesReadBackInTheUsersLocale) {
    const LocaleDateTextFormat f;
    for (const DateTime t : {D(2026, 12, 5), D(2026, 1, 12), D(2028, 2, 29), D(1899, 12, 30),
                             D(1000, 6, 15), D(9999, 12, 31)}) {
        const std::string text = f.FormatShortDate(t);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(f.ParseDateText(text), t) << text;
    }
}

TEST(LocaleDateTextFormatTest, DateWithTimeReadsBack) {
    const LocaleDateTextFormat f;
    const DateTime t = D(2026, 12, 5, 21, 30, 7);
    const std::string text = f.FormatShortDate(t) + " " + f.FormatTime(t);
    EXPECT_EQ(f.ParseDateText(text), t) << text;
}

TEST(LocaleDateTextFormatTest, TextThatIsNoDateIsRejected) {
    const LocaleDateTextFormat f;
    for (const char* text : {"", "abc", "99999999999", "1/1/10000", "32/32/2026"}) {
        EXPECT_FALSE(f.ParseDateText(text)) << text;
    }
    EXPECT_FALSE(f.ParseDateText(std::string("1/1/2026\0x", 10)));
}

}  // namespace
}  // namespace qm::win
