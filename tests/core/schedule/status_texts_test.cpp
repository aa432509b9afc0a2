#include "core/schedule/status_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "support/date_time_print.h"

namespace qm {
namespace {

TEST(StatusTextsTest, TimeText) {
    struct Case {
        int h, m, s;
        const char* text;
    };
    const Case cases[] = {{0, 0, 0, "Midnight"},       {0, 5, 0, "12:05:00 AM"},
                          {0, 0, 1, "12:00:01 AM"},    {9, 30, 0, "9:30:00 AM"},
                          {11, 59, 59, "11:59:59 AM"}, {12, 0, 0, "Noon"},
                          {12, 30, 15, "12:30:15 PM"}, {12, 0, 1, "12:00:01 PM"},
                          {13, 1, 2, "1:01:02 PM"},    {23, 59, 59, "11:59:59 PM"}};
    for (const Case& c : cases) {
        EXPECT_EQ(TimeText(D(2026, 12, 3, c.h, c.m, c.s)), c.text);
    }
    std::string week;
    for (int day = 6; day <= 12; ++day) {
        week += DayText(D(2026, 12, day)) + ";";
    }
    EXPECT_EQ(week,
              "Sunday, 12/6/2026;Monday, 12/7/2026;Tuesday, 12/8/2026;Wednesday, 12/9/2026;"
              "Thursday, 12/10/2026;Friday, 12/11/2026;Saturday, 12/12/2026;");
}

TEST(StatusTextsTest, NextAndLastDefragLines) {
    const DateTime now = D(2026, 12, 3, 10, 0, 30);
    const std::pair<DateTime, const char*> next[] = {
        {D(2026, 12, 3, 21, 30), " Next Defrag - Today at 9:30:00 PM "},
        {D(2026, 12, 3, 10, 0), " Next Defrag now! "},
        {D(2026, 12, 4, 0, 0), " Next Defrag - Tomorrow at Midnight "},
        {D(2026, 12, 7, 12, 0), " Next Defrag - Monday, 12/7/2026 at Noon "},
        {D(1976, 12, 3, 10, 0), " Next Defrag - No scheduled times "},
        {DateTime(), " Next Defrag - No scheduled times "},
        {D(2026, 12, 3, 9, 59), " Next Defrag - No scheduled times "},
        {D(2026, 12, 2, 23, 59), " Next Defrag - No scheduled times "}};
    for (auto [at, line] : next) {
        EXPECT_EQ(NextDefragText(at, now), line);
    }
    const std::pair<DateTime, const char*> last[] = {
        {DateTime(), " Last Defrag  - Never (using Quillmere) "},
        {D(2026, 12, 3, 8, 15, 42), " Last Defrag  - Today at 8:15:42 AM "},
        {D(2026, 12, 3, 10, 0, 59), " Last Defrag  - Today at 10:00:59 AM "},
        {D(2026, 12, 2, 23, 59, 59), " Last Defrag  - Yesterday at 11:59:59 PM "},
        {D(2026, 11, 30, 0, 0, 0), " Last Defrag  - Monday, 11/30/2026 at Midnight "},
        {D(2026, 12, 3, 10, 1, 0), " Last Defrag  - Never "},
        {D(2026, 12, 4, 9, 0, 0), " Last Defrag  - Never "}};
    for (auto [at, line] : last) {
        EXPECT_EQ(LastDefragText(at, now), line);
    }
}

TEST(StatusTextsTest, BalloonGetsLastLineThenNextLine) {
    std::string balloon;
    UpdateNextDefragStatus(D(2026, 12, 4, 0, 0), DateTime(), D(2026, 12, 3, 10, 0),
                           [&](std::string_view text) { balloon += text; });
    EXPECT_EQ(balloon,
              " Last Defrag  - Never (using Quillmere) \r\n"
              " Next Defrag - Tomorrow at Midnight ");
    UpdateNextDefragStatus(DateTime(), DateTime(), DateTime(), nullptr);  // no receiver: no-op
}

}  // namespace
}  // namespace qm
