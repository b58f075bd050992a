#include "toolkit/core/version_index.h"

#include <gtest/gtest.h>

namespace tracemill {
namespace {

TEST(VersionIndex, ExactComparisonWithTheEightSignatures) {
    struct Case {
        const char* text;
        int index;
    } cases[] = {
        {"AC1002", 0}, {"AC1003", 1}, {"AC1004", 2}, {"AC1006", 3},   {"AC1009", 4},  {"AC1012", 5},
        {"AC1014", 6}, {"AC1015", 7}, {"AC1013", -1}, {"AC1500", -1}, {"AC1018", -1}, {"ac1015", -1},
        {"AC1015 ", -1}, {"AC101", -1}, {"", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(dbVersionIndex(c.text), c.index);
    }
}

} // namespace
} // namespace tracemill
