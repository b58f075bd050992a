// The display list's building blocks on their own: the quadtree cells, the order and choice of
// cells a replay visits, the byte code of a cell and the grid laid over a device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "../display_fixture.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_list_cells.h"
#include "toolkit/display/display_list_code.h"
#include "toolkit/display/display_list_view.h"

namespace tracemill {
namespace {

// The leaves below a cell.
std::set<int> leavesOf(int cell) {
    std::set<int> leaves;
    for (int leaf = 0; leaf < kDlistLeafCount; ++leaf) {
        for (int c = leaf;; c = genDlistParentCell(c)) {
            if (c == cell) leaves.insert(leaf);
            if (c == kDlistRootCell) break;
        }
    }
    return leaves;
}

TEST(DisplayListCells, TheCellOfTwoLeavesIsTheSmallestThatHoldsBoth) {
    DlistCellCodes codes;
    genDlistBuildCellGrid(codes);
    std::vector<std::set<int>> below(kDlistCellCount);
    for (int cell = 0; cell < kDlistCellCount; ++cell)
        below[size_t(cell)] = leavesOf(cell);
    EXPECT_EQ(below[kDlistRootCell].size(), 64u);
    for (int a = 0; a < kDlistLeafCount; ++a) {
        for (int b = 0; b < kDlistLeafCount; ++b) {
            const int cell = codes[size_t(a * 64 + b)];
            ASSERT_TRUE(below[size_t(cell)].count(a) && below[size_t(cell)].count(b)) << a << " " << b;
            for (int other = 0; other < kDlistCellCount; ++other) {
                if (below[size_t(other)].count(a) && below[size_t(other)].count(b)) {
                    ASSERT_GE(below[size_t(other)].size(), below[size_t(cell)].size())
                        << a << " " << b << " " << other;
                }
            }
        }
    }
    const struct {
        int32_t x0, y0, x1, y1;
        int cell;
    } cases[] = {
        {100, 100, 5000, 100, 64},   // leaves 0 and 1
        {0, 0, 20000, 20000, 84},    // leaves 0 and 36
        {4096, 4096, 8191, 8191, 9}, // one leaf, to its last unit
        {0, 0, 16383, 16383, 80},    // the first quarter
        {32767, 32767, 28672, 28672, 63}, {16384, 0, 32767, 4095, 81},
    };
    for (const auto& c : cases)
        EXPECT_EQ(genDlistCellOf(codes, c.x0, c.y0, c.x1, c.y1), c.cell) << c.x0 << "," << c.y0;
}

TEST(DisplayListCells, AReplayVisitsEveryCellOnceAndEachAfterItsParent) {
    std::vector<int> position(kDlistCellCount, -1);
    for (size_t i = 0; i < kDlistReplayOrder.size(); ++i) {
        ASSERT_LT(kDlistReplayOrder[i], kDlistCellCount);
        ASSERT_EQ(position[kDlistReplayOrder[i]], -1) << int(kDlistReplayOrder[i]) << " twice";
        position[kDlistReplayOrder[i]] = int(i);
    }
    for (int cell = 0; cell < kDlistRootCell; ++cell)
        EXPECT_LT(position[size_t(genDlistParentCell(cell))], position[size_t(cell)]) << cell;
}

TEST(DisplayListCells, AWindowSelectsTheLeavesItOverlapsAndTheCellsAboveThem) {
    const struct {
        const char* name;
        double x0, y0, x1, y1;
        std::vector<int> cells;
    } cases[] = {
        {"inside one leaf", 5000, 5000, 6000, 6000, {9, 64, 80, 84}},
        {"two leaves of one cell", 100, 100, 5000, 200, {0, 1, 64, 80, 84}},
        {"across the middle", 16000, 100, 16500, 200, {3, 4, 65, 66, 80, 81, 84}},
        {"partly off the grid", -5000, -5000, 100, 100, {0, 64, 80, 84}},
        {"off the grid", -5000, -5000, -1, -1, {}},
        {"past the far edge", 40000, 40000, 50000, 50000, {}},
        {"not a number", std::nan(""), 0, 10, 10, {}},
    };
    for (const auto& c : cases) {
        DlistCellSet selected;
        genDlistSelectCells(c.x0, c.y0, c.x1, c.y1, selected);
        std::vector<int> cells;
        for (int cell = 0; cell < kDlistCellCount; ++cell) {
            if (selected[size_t(cell)]) cells.push_back(cell);
        }
        EXPECT_EQ(cells, c.cells) << c.name;
    }
    DlistCellSet all;
    genDlistSelectCells(0, 0, 32000, 32000, all);
    EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](bool s) { return s; })) << "the whole grid";
}

std::vector<int> bytesOf(const uint8_t* bytes, size_t n) {
    return std::vector<int>(bytes, bytes + n);
}

TEST(DisplayListCode, MovesAndLinesTakeTheShortestCode) {
    const struct {
        const char* name;
        uint8_t kind;
        int32_t lastX, lastY, x, y;
        std::vector<int> bytes;
    } cases[] = {
        {"x a small step", kDlistLine, 100, 100, 227, 100, {10, 127}},
        {"x a step back", kDlistMove, 100, 100, -27, 100, {9, 0x81}},
        {"x too far for a step", kDlistLine, 100, 100, 228, 100, {14, 228, 0}},
        {"y a small step", kDlistLine, 100, 100, 100, 50, {18, 0xCE}},
        {"y absolute", kDlistMove, 100, 100, 100, 30000, {21, 0x30, 0x75}},
        {"both small", kDlistLine, 100, 100, 101, 99, {26, 1, 0xFF}},
        {"one small, one far", kDlistLine, 100, 100, 101, 1000, {30, 101, 0, 0xE8, 3}},
        {"a line that stays", kDlistLine, 7, 7, 7, 7, {18, 0}},
        {"a move that stays", kDlistMove, 7, 7, 7, 7, {17, 0}},
        {"from a cell's start", kDlistMove, -10000, -10000, 32767, 0, {29, 0xFF, 0x7F, 0, 0}},
    };
    for (const auto& c : cases) {
        uint8_t bytes[kDlistLongestRecord];
        const size_t n = genDlistEncodeStroke(bytes, c.kind, c.lastX, c.lastY, c.x, c.y);
        EXPECT_EQ(bytesOf(bytes, n), c.bytes) << c.name;
        const uint8_t* p = bytes;
        int32_t x = c.lastX, y = c.lastY;
        DlistRecord record;
        ASSERT_TRUE(genDlistDecode(p, bytes + n, x, y, record)) << c.name;
        EXPECT_EQ(p, bytes + n) << c.name;
        EXPECT_EQ(record.kind, c.kind == kDlistMove ? DlistRecord::Kind::Move : DlistRecord::Kind::Line)
            << c.name;
        EXPECT_EQ(std::pair(record.x, record.y), std::pair(c.x, c.y)) << c.name;
        EXPECT_EQ(std::pair(x, y), std::pair(c.x, c.y)) << c.name << ": the cell's last point follows";
    }
}

TEST(DisplayListCode, StateChangesKeepValuesThatDoNotFitAByte) {
    const int32_t seven = 7, zero = 0, wideColour = 256, negative = -1, wideWidth = 1000;
    const struct {
        const char* name;
        const int32_t* colour;
        const int32_t* width;
        std::vector<int> bytes;
    } cases[] = {
        {"colour and width", &seven, &zero, {0x83, 7, 0}},
        {"colour alone", &seven, nullptr, {0x81, 7}},
        {"width alone", nullptr, &seven, {0x82, 7}},
        {"a colour beyond a byte", &wideColour, nullptr, {0x84, 0, 1}},
        {"a negative colour", &negative, nullptr, {0x84, 0xFF, 0xFF}},
        {"a width beyond a byte", &seven, &wideWidth, {0x89, 7, 0xE8, 3, 0, 0}},
    };
    for (const auto& c : cases) {
        uint8_t bytes[kDlistLongestRecord];
        const size_t n = genDlistEncodeState(bytes, c.colour, c.width);
        EXPECT_EQ(bytesOf(bytes, n), c.bytes) << c.name;
        const uint8_t* p = bytes;
        int32_t x = 0, y = 0;
        DlistRecord record;
        ASSERT_TRUE(genDlistDecode(p, bytes + n, x, y, record)) << c.name;
        EXPECT_EQ(record.kind, DlistRecord::Kind::State);
        EXPECT_EQ(record.hasColour, c.colour != nullptr) << c.name;
        EXPECT_EQ(record.hasWidth, c.width != nullptr) << c.name;
        if (c.colour) {
            EXPECT_EQ(record.colour, *c.colour) << c.name;
        }
        if (c.width) {
            EXPECT_EQ(record.width, *c.width) << c.name;
        }
    }
}

TEST(DisplayListCode, RecordsCutShortOrUnknownAreNotRead) {
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"nothing", {}},
        {"an absolute point without its y", {30, 1, 0, 2}},
        {"a step without its byte", {10}},
        {"neither x nor y", {2}},
        {"neither move nor line", {0x18, 1, 1}},
        {"a state without its width", {0x83, 7}},
        {"state flags beyond those known", {0x90, 1}},
        {"a bracket of another kind", {0x42}},
        {"a host record longer than the bytes", {0x20, 1, 9, 0, 0, 0, 1, 2}},
        {"a host record without its length", {0x20, 1, 0}},
    };
    for (const auto& c : cases) {
        const uint8_t* p = c.bytes.data();
        int32_t x = 5, y = 6;
        DlistRecord record;
        EXPECT_FALSE(genDlistDecode(p, c.bytes.data() + c.bytes.size(), x, y, record)) << c.name;
        EXPECT_EQ(p, c.bytes.data()) << c.name << ": nothing is consumed";
        EXPECT_EQ(std::pair(x, y), std::pair(5, 6)) << c.name;
    }
    const std::vector<uint8_t> host = {0x20, 2, 3, 0, 0, 0, 7, 8, 9, 0x40};
    const uint8_t* p = host.data();
    int32_t x = 0, y = 0;
    DlistRecord record;
    ASSERT_TRUE(genDlistDecode(p, host.data() + host.size(), x, y, record));
    EXPECT_EQ(record.kind, DlistRecord::Kind::HostRecord);
    EXPECT_EQ(record.hostKind, 2);
    EXPECT_EQ(std::vector<uint8_t>(record.host, record.host + record.hostSize),
              (std::vector<uint8_t>{7, 8, 9}));
    ASSERT_TRUE(genDlistDecode(p, host.data() + host.size(), x, y, record));
    EXPECT_EQ(record.kind, DlistRecord::Kind::PolygonBracket);
}

class DisplayListGridTest : public test::DisplayTest {};

TEST_F(DisplayListGridTest, TheGridRunsThirtyTwoThousandUnitsAlongTheLongerSide) {
    begin();
    const struct {
        const char* name;
        HostRect device;
        int ok;
        int32_t width, height;
    } cases[] = {
        {"800 x 600", {0, 0, 800, 600}, 1, 32000, 24000},
        {"600 x 800", {0, 0, 600, 800}, 1, 24000, 32000},
        {"away from the origin", {100, 50, 900, 650}, 1, 32000, 24000},
        {"square", {0, 0, 1, 1}, 1, 32000, 32000},
        {"one row", {0, 0, 1000, 1}, 1, 32000, 32},
        {"rounded to the nearest unit", {0, 0, 3, 2}, 1, 32000, 21333},
        {"as large as the grid", {0, 0, 32000, 100}, 1, 32000, 100},
        {"larger than the grid", {0, 0, 32001, 100}, 0, 0, 0},
        {"without width", {10, 0, 10, 600}, 0, 0, 0},
        {"upside down", {0, 600, 800, 0}, 0, 0, 0},
        {"at the ends of the 32-bit range", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        HostRect grid{-1, -1, -1, -1};
        ASSERT_EQ(genDlistSetGrid(drawing, c.device, grid), c.ok) << c.name;
        EXPECT_EQ(context().displayList.active, c.ok == 1) << c.name;
        if (c.ok) {
            EXPECT_EQ(grid, (HostRect{0, 0, c.width, c.height})) << c.name;
        }
    }
}

} // namespace
} // namespace tracemill
