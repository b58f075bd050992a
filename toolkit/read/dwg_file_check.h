// The light file check that every DWG open runs before it reads anything else.
#pragma once

#include <cstdint>
#include <span>

namespace tracemill {

// Failure numbers of the check (stored as the context's error).
inline constexpr int kErrorDwgHeaderSizeOutOfRange = 184;
inline constexpr int kErrorDwgHeaderCrc = 185;
// 1 entity section start, 2 entity section end, 3 block section start, 4 block section end,
// 5 extra entity section end: outside the file.
inline constexpr int kErrorDwgSectionOutsideFile = 1;
// 7 + the table's position (dwg12_file_layout.h): a table head with a negative record size or
// count, or an offset outside the file.
inline constexpr int kErrorDwgTableHeadBad = 7;

// Mode 2 is the light check of the open; the other modes check the same.
inline constexpr int kDwgCheckLight = 2;

// -1 when the file is not checked (older than "AC1009"); 0 when it passes; 1 when it fails,
// with the failure number as the context's error. An "AC1009" file is checked when the 16-bit
// value at 0x11 is 205 (the files that carry checksums): the header block must fit in 2,048
// bytes and match its checksum, and the sections and tables its head names must lie inside the
// file. R13 to 2000 files pass. A head that names no version is left to the open (-1).
int rdCheckDwgFile(std::span<const uint8_t> file, int mode);

} // namespace tracemill
