#include "core/app/exit_rules.h"

#include <gtest/gtest.h>

namespace qm::test {
namespace {

TEST(ExitRules, OnlyAFutureRunIsWorthAsking) {
    const DateTime now = DateTime::Make(2026, 12, 6, 14, 30, 45);
    struct Case {
        DateTime next;
        bool passed;
    } cases[] = {
        {DateTime(), true},                            // disabled: the zero date
        {AddYears(now, -50), true},                    // the no-run marker
        {DateTime::Make(2026, 12, 5, 23, 59), true},   // yesterday
        {DateTime::Make(2026, 12, 6, 14, 29), true},   // a minute ago
        {DateTime::Make(2026, 12, 6, 14, 30), false},  // this minute, seconds ignored
        {DateTime::Make(2026, 12, 6, 22, 0), false},   // later today
        {DateTime::Make(2026, 12, 7, 0, 0), false},    // tomorrow at midnight
        {DateTime::Make(2027, 1, 1, 3, 0), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextRunHasPassed(c.next, now), c.passed) << c.next.Seconds();
    }
}

}  // namespace
}  // namespace qm::test
