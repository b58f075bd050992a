// The quadtree cells of the display-list cache: 64 leaves of 4,096 grid units in an 8 x 8
// array (0-63), 16 cells of 8,192 units (64-79), 4 of 16,384 units (80-83) and the root (84).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tracemill {

inline constexpr int kDlistLeafCount = 64;
inline constexpr int kDlistRootCell = 84;

// For every pair of leaves a and b, entry a x 64 + b: the smallest cell holding both.
void genDlistBuildCellGrid(std::array<uint8_t, kDlistLeafCount * kDlistLeafCount>& table);

} // namespace tracemill
