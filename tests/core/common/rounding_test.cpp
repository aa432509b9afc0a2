#include "core/common/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qm {
namespace {

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNumber) {
    const std::pair<double, double> cases[] = {
        {0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4},   {-0.5, 0},          {-1.5, -2},
        {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e15 + 0.5, 1e15}, {7, 7}};
    for (auto [in, out] : cases) {
        EXPECT_EQ(RoundHalfEven(in), out) << in;
    }
    // Values that are no number pass through.
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_TRUE(std::isinf(RoundHalfEven(std::numeric_limits<double>::infinity())));
}

}  // namespace
}  // namespace qm
