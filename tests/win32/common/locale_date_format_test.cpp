#include "win32/common/locale_date_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/fakes.h"

namespace qm::win {
namespace {

TEST(OleDateTest, FractionIsTheTimeOfDayOnBothSidesOfZeroAndOutOfRangeIsRejected) {
    const std::pair<double, DateTime> cases[] = {{0.0, DateTime()},
                                                 {2.5, D(1900, 1, 1, 12, 0)},
                                                 {-1.25, D(1899, 12, 29, 6, 0)},
                                                 {-657434.0, D(100, 1, 1)},
                                                 {2958465.999988426, D(9999, 12, 31, 23, 59, 59)}};
    for (auto [ole, expected] : cases) {
        EXPECT_EQ(DateTimeFromOleDate(ole), expected) << ole;
        EXPECT_EQ(DateTimeFromOleDate(OleDateFromDateTime(expected)), expected) << ole;
    }
    for (double ole :
         {-657435.0, 2958466.0, 1e300, -1e300, std::numeric_limits<double>::quiet_NaN(),
          std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(DateTimeFromOleDate(ole)) << ole;
    }
}

TEST(LocaleDateTextFormatTest, WrittenDatesReadBackInTheUsersLocaleOthersAreRejected) {
    const LocaleDateTextFormat f;
    for (const DateTime t : {D(2026, 12, 5), D(2026, 1, 12), D(2028, 2, 29), D(1899, 12, 30),
                             D(1000, 6, 15), D(9999, 12, 31)}) {
        EXPECT_EQ(f.ParseDateText(f.FormatShortDate(t)), t) << f.FormatShortDate(t);
    }
    const DateTime t = D(2026, 12, 5, 21, 30, 7);
    const std::string text = f.FormatShortDate(t) + " " + f.FormatTime(t);
    EXPECT_EQ(f.ParseDateText(text), t) << text;
    for (const char* text : {"", "abc", "99999999999", "1/1/10000", "32/32/2026"}) {
        EXPECT_FALSE(f.ParseDateText(text)) << text;
    }
    EXPECT_FALSE(f.ParseDateText(std::string("1/1/2026\0x", 10)));
}

}  // namespace
}  // namespace qm::win
