// The light file check that every DWG open runs before it reads anything else.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "toolkit/read/dwg12_file_layout.h"

namespace tracemill {

// Failure numbers of the check (stored as the context's error). Each failure has a number of
// its own that nothing else in the toolkit uses, so a message says what the check found.
inline constexpr int kErrorDwgCheckHeaderSize = 184;  // the header block beyond 2,048 bytes, or too short
inline constexpr int kErrorDwgCheckHeaderCrc = 185;   // the header block does not match its checksum
// A section that lies beyond the end of the file.
inline constexpr int kErrorDwgCheckEntitiesStart = 310;
inline constexpr int kErrorDwgCheckEntitiesEnd = 311;
inline constexpr int kErrorDwgCheckBlocksStart = 312;
inline constexpr int kErrorDwgCheckBlocksEnd = 313;
inline constexpr int kErrorDwgCheckExtraEnd = 314;
// A table head with a negative record size or count, or an offset beyond the end of the file.
inline constexpr int kErrorDwgCheckBlockTable = 320;
inline constexpr int kErrorDwgCheckLayerTable = 321;
inline constexpr int kErrorDwgCheckStyleTable = 322;
inline constexpr int kErrorDwgCheckLinetypeTable = 323;
inline constexpr int kErrorDwgCheckViewTable = 324;
inline constexpr int kErrorDwgCheckUcsTable = 325;
inline constexpr int kErrorDwgCheckVportTable = 326;
inline constexpr int kErrorDwgCheckAppIdTable = 327;
inline constexpr int kErrorDwgCheckDimStyleTable = 328;
inline constexpr int kErrorDwgCheckViewportEntityHeaderTable = 329;

// The section failures in the order entities start, entities end, blocks start, blocks end,
// extra entities end.
inline constexpr std::array<int, 5> kDwgCheckSectionErrors = {
    kErrorDwgCheckEntitiesStart, kErrorDwgCheckEntitiesEnd, kErrorDwgCheckBlocksStart, kErrorDwgCheckBlocksEnd,
    kErrorDwgCheckExtraEnd};
// The table failures in the order of the tables (Dwg12Table).
inline constexpr std::array<int, kDwg12TableCount> kDwgCheckTableErrors = {
    kErrorDwgCheckBlockTable,   kErrorDwgCheckLayerTable, kErrorDwgCheckStyleTable,    kErrorDwgCheckLinetypeTable,
    kErrorDwgCheckViewTable,    kErrorDwgCheckUcsTable,   kErrorDwgCheckVportTable,    kErrorDwgCheckAppIdTable,
    kErrorDwgCheckDimStyleTable, kErrorDwgCheckViewportEntityHeaderTable};

// Mode 2 is the light check of the open; the other modes check the same.
inline constexpr int kDwgCheckLight = 2;

// -1 when the file is not checked (older than "AC1009"); 0 when it passes; 1 when it fails,
// with the failure number as the context's error. An "AC1009" file is checked when the 16-bit
// value at 0x11 is 205 (the files that carry checksums): the header block must fit in 2,048
// bytes and match its checksum, and the sections and tables its head names must lie inside the
// file. R13 to 2000 files pass. A head that names no version is left to the open (-1).
int rdCheckDwgFile(std::span<const uint8_t> file, int mode);

} // namespace tracemill
