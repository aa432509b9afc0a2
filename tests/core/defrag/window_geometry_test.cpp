#include "core/defrag/window_geometry.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(IsPointOutside, CountsTheEdgeAsInside) {
    struct Case {
        long x, y;
        bool outside;
    };
    const Case cases[] = {{0, 0, false},   {100, 50, false}, {-1, 10, true},  {10, -1, true},
                          {101, 10, true}, {10, 51, true},   {100, 0, false}, {50, 25, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsPointOutside(c.x, c.y, 100, 50), c.outside) << c.x << "," << c.y;
    }
}

}  // namespace
}  // namespace qm
