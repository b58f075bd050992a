#include "toolkit/core/load_progress.h"

#include <gtest/gtest.h>

namespace tracemill {
namespace {

TEST(LoadProgress, PercentOfTheRangeRead) {
    struct Case {
        const char* name;
        EntityRangePosition position;
        int16_t previous;
        int16_t percent;
    } cases[] = {
        {"start", {100, 100, 300}, 0, 1},
        {"half", {200, 100, 300}, 0, 51},
        {"almost all", {299, 100, 300}, 0, 100},
        {"end keeps the previous", {300, 100, 300}, 37, 37},
        {"before the start keeps the previous", {50, 100, 300}, 12, 12},
        {"past the end keeps the previous", {900, 100, 300}, 80, 80},
        {"empty range", {5, 5, 5}, 3, 100},
        {"reversed range", {5, 9, 5}, 3, 100},
        {"never back", {110, 100, 300}, 40, 40},
        {"previous out of range is clamped", {50, 100, 300}, 250, 100},
        {"huge positions", {INT64_MAX / 2, 0, INT64_MAX}, 0, 51},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dbProgressPercent(c.position, c.previous), c.percent);
    }
}

TEST(LoadProgress, ASweepWithJumpsNeverDecreases) {
    const int64_t positions[] = {0, 10, 250, 40, 600, 999, 1000, 300, 1200, -5, 700};
    int16_t percent = 0;
    for (int64_t p : positions) {
        const int16_t next = dbProgressPercent({p, 0, 1000}, percent);
        EXPECT_GE(next, percent);
        EXPECT_LE(next, 100);
        percent = next;
    }
    EXPECT_EQ(percent, 100);
}

} // namespace
} // namespace tracemill
