// The layout of the initialisation data (all integers little-endian; offsets from the start):
//
//   banner             text whose last character before its NUL is 'H'
//   slot offsets       kInitDataSlotCount x int32: start of each slot's code-page tables, -1
//                      when the slot has none
//   font 1 index       kBuiltinFontShapeCounts[0] x {uint16 shape number, uint32 offset of the
//                      shape's bytes in the font 1 file}
//   font 1 file        kBuiltinFontFileSizes[0] bytes: a complete shape font
//   font 2 index, font 2 file   as font 1
//   code-page tables   per slot with an offset: 128 x uint16, the Unicode value of bytes
//                      0x80..0xFF (0 when unassigned); uint16 count n of double-byte codes;
//                      n x uint16 codes, strictly ascending; n x uint16 Unicode values
//
// tools/init_data/make_init_data.py writes this layout; toolkit/core/init_data.cpp reads it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tracemill {

inline constexpr char kInitDataBannerMark = 'H';
inline constexpr int kInitDataSlotCount = 38;
inline constexpr int kBuiltinFontCount = 2;
inline constexpr size_t kBuiltinFontShapeCounts[kBuiltinFontCount] = {100, 103};
inline constexpr size_t kBuiltinFontFileSizes[kBuiltinFontCount] = {4998, 4832};
inline constexpr size_t kInitDataIndexEntrySize = 6;
inline constexpr size_t kCodePageUpperBytes = 128;

// Longest banner accepted: the banner is free text, but data without a NUL in reach is not
// initialisation data.
inline constexpr size_t kInitDataMaxBanner = 4096;

} // namespace tracemill
