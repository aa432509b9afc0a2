#include "core/common/date_text_format.h"

#include <gtest/gtest.h>

#include "support/date_time_print.h"

#include <optional>
#include <string>

namespace qm {
namespace {

TEST(UsDateTextFormatTest, WritesAndReadsBack) {
    const UsDateTextFormat f;
    EXPECT_EQ(f.FormatShortDate(DateTime()), "12/30/1899");
    EXPECT_EQ(f.FormatTime(D(2026, 12, 5, 0, 0, 0)), "12:00:00 AM");
    EXPECT_EQ(f.FormatTime(D(2026, 12, 5, 12, 0, 9)), "12:00:09 PM");
    for (const DateTime t : {D(2026, 12, 5, 13, 4, 5), D(100, 1, 1, 0, 0, 1),
                             D(9999, 12, 31, 23, 59, 59), D(2028, 2, 29, 12, 0, 0)}) {
        EXPECT_EQ(f.ParseDateText(f.FormatShortDate(t) + " " + f.FormatTime(t)), t);
    }
    EXPECT_EQ(f.FormatShortDate(D(2026, 12, 5)) + " " + f.FormatTime(D(2026, 12, 5, 13, 4, 5)),
              "12/5/2026 1:04:05 PM");
}

TEST(UsDateTextFormatTest, ReadsDatesWithAndWithoutTime) {
    const UsDateTextFormat f;
    const std::pair<const char*, DateTime> cases[] = {
        {" 02/29/2028 ", D(2028, 2, 29)},
        {"12/5/2026 12:00:00 AM", D(2026, 12, 5)},
        {"12/5/2026 12:30 pm", D(2026, 12, 5, 12, 30)},
        {"12/5/2026 21:30", D(2026, 12, 5, 21, 30)},
        {"1/2/29", D(2029, 1, 2)},
        {"1/2/30", D(1930, 1, 2)}};
    for (auto [text, expected] : cases) {
        EXPECT_EQ(f.ParseDateText(text), std::optional<DateTime>(expected)) << text;
    }
    for (const char* text :
         {"", "abc", "2/29/2027", "13/1/2026", "0/1/2026", "12/32/2026", "12/5", "12/5/20261",
          "12/5/2026x", "12/5/2026 25:00", "12/5/2026 13:00 PM", "12/5/2026 0:10 AM",
          "12/5/2026 1:60", "1/1/099", "12/5/2026 1:00:00 XM", "-1/5/2026", "1//2026",
          "12/5/2026 1:", "999999999999/1/1"}) {
        EXPECT_FALSE(f.ParseDateText(text)) << text;
    }
}

}  // namespace
}  // namespace qm
