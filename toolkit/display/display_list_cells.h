// The quadtree cells of the display-list cache: 64 leaves of 4,096 grid units in an 8 x 8
// array (0-63), 16 cells of 8,192 units (64-79), 4 of 16,384 units (80-83) and the root (84).
// A primitive is kept in the smallest cell that holds all of its points, so a replay finds
// everything a window shows in the leaves the window overlaps and the cells above them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tracemill {

inline constexpr int kDlistLeafCount = 64;
inline constexpr int kDlistCellCount = 85;
inline constexpr int kDlistRootCell = 84;
// A leaf is this many grid units square (x >> 12 is its column).
inline constexpr int kDlistLeafShift = 12;
// Grid coordinates a cell holds: 0 to this on both axes (16-bit values, 8 leaves of 4,096).
inline constexpr int32_t kDlistGridLimit = 32767;

using DlistCellCodes = std::array<uint8_t, kDlistLeafCount * kDlistLeafCount>;
using DlistCellSet = std::array<bool, kDlistCellCount>;

// For every pair of leaves a and b, entry a x 64 + b: the smallest cell holding both.
void genDlistBuildCellGrid(DlistCellCodes& table);

// 1 when the point lies on the part of the grid the cells cover (0 to 32,767 on both axes).
inline bool genDlistOnGrid(int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x <= kDlistGridLimit && y <= kDlistGridLimit;
}

// The leaf of a point on the grid: row (y >> 12) x 8 + column (x >> 12).
inline int genDlistLeaf(int32_t x, int32_t y) {
    return (y >> kDlistLeafShift) * 8 + (x >> kDlistLeafShift);
}

// The smallest cell holding the two points (both on the grid), through the cell codes. The
// box of any set of points lies in the cell of its two corners.
inline int genDlistCellOf(const DlistCellCodes& codes, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return codes[size_t(genDlistLeaf(x0, y0) * kDlistLeafCount + genDlistLeaf(x1, y1))];
}

// The cell one level up (the root for the root).
int genDlistParentCell(int cell);

// The order a replay visits the cells in: depth first, each group of four along a
// space-filling curve, so that cells near each other are replayed one after the other.
extern const std::array<uint8_t, kDlistCellCount> kDlistReplayOrder;

// The cells a replay of the window (x0, y0)-(x1, y1) in grid units visits: every leaf whose
// square overlaps it, every cell above a chosen one, and the root when anything is chosen.
// Nothing when the window lies wholly off the grid.
void genDlistSelectCells(double x0, double y0, double x1, double y1, DlistCellSet& selected);

} // namespace tracemill
