// The clipper polygon's text form: what is written, that it reads back, and that damaged text
// gives an empty polygon without trusting its counts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "toolkit/display/clip/polygon_clipper.h"

namespace tracemill {
namespace {

std::string written(const LoopSet& polygon, bool holeFlags) {
    std::FILE* file = std::tmpfile();
    EXPECT_EQ(genClipWritePolygon(file, holeFlags, polygon), 1);
    std::string text(size_t(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
    std::fclose(file);
    return text;
}

int readText(const std::string& text, bool holeFlags, LoopSet& polygon) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    const int result = genClipReadPolygon(file, holeFlags, polygon);
    std::fclose(file);
    return result;
}

const LoopSet kPolygon{
    {{{{0, 0}, {10.5, -0.25}, {1e6, 3}}, 0}, {{{0.1, -2}, {-0.125, 7}, {3, 4}, {-1e-3, 0}}, 1}}};

TEST(PolygonText, CoordinatesHaveFifteenDecimalsAndABlankForTheMissingSign) {
    EXPECT_EQ(written(kPolygon, true), "2\n3\n0\n"
                                       " 0.000000000000000  0.000000000000000\n"
                                       " 10.500000000000000 -0.250000000000000\n"
                                       " 1000000.000000000000000  3.000000000000000\n"
                                       "4\n1\n"
                                       " 0.100000000000000 -2.000000000000000\n"
                                       "-0.125000000000000  7.000000000000000\n"
                                       " 3.000000000000000  4.000000000000000\n"
                                       "-0.001000000000000  0.000000000000000\n");
    EXPECT_EQ(written(LoopSet{{{{{1, 2}}, 5}}}, false), "1\n1\n 1.000000000000000  2.000000000000000\n");
    EXPECT_EQ(written(LoopSet{}, true), "0\n");
}

TEST(PolygonText, WhatIsWrittenReadsBack) {
    for (bool holeFlags : {true, false}) {
        SCOPED_TRACE(holeFlags ? "with hole flags" : "without hole flags");
        LoopSet read{{{{{5, 5}}, 0}}}; // replaced
        ASSERT_EQ(readText(written(kPolygon, holeFlags), holeFlags, read), 1);
        LoopSet expected = kPolygon;
        if (!holeFlags) expected.loops[1].hole = 0;
        EXPECT_EQ(read, expected);
    }
}

TEST(PolygonText, FreeFormatNumbersAreRead) {
    LoopSet read;
    ASSERT_EQ(readText("  1\t3 -4\n+1 2.5e1 -0x1p-2\r\n inf 0 7.", true, read), 1);
    ASSERT_EQ(read.loops.size(), 1u);
    EXPECT_EQ(read.loops[0].hole, -4);
    EXPECT_EQ(read.loops[0].points, (std::vector<Point2>{{1, 25}, {-0.25, HUGE_VAL}, {0, 7}}));
}

TEST(PolygonText, DamagedTextGivesAnEmptyPolygon) {
    struct Row {
        const char* name;
        const char* text;
        bool holeFlags;
    };
    const Row rows[] = {
        {"nothing", "", false},
        {"negative contour count", "-1\n", false},
        {"negative vertex count", "1\n-3\n0 0 1 1 2 2\n", false},
        {"contour count beyond 32 bits", "4294967296\n", false},
        {"vertex count far beyond the file", "1\n2147483647\n0 0 1 1\n", false},
        {"contour count far beyond the file", "2147483647\n1\n0 0\n", false},
        {"file ends inside a vertex", "1\n2\n0 0 1\n", false},
        {"file ends before the hole flag", "1\n2\n", true},
        {"a word for a number", "1\n2\n0 zero 1 1\n", false},
        {"a number with trailing letters", "1\n2x\n0 0 1 1\n", false},
        {"a fraction for a count", "1.5\n", false},
        {"a number beyond a double", "1\n1\n1e999 0\n", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LoopSet read{{{{{5, 5}}, 0}}};
        EXPECT_EQ(readText(row.text, row.holeFlags, read), 0);
        EXPECT_TRUE(read.loops.empty());
    }
}

TEST(PolygonText, NoFileNoPolygon) {
    LoopSet polygon = kPolygon;
    EXPECT_EQ(genClipReadPolygon(nullptr, false, polygon), 0);
    EXPECT_TRUE(polygon.loops.empty());
    EXPECT_EQ(genClipWritePolygon(nullptr, false, kPolygon), 0);
}

} // namespace
} // namespace tracemill
