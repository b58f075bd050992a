// The object map of an R13-2000 DWG file as the writer builds it: every record is entered with
// its handle and the position of its size field; entries gather in runs of 1,365 that are
// sorted by handle, and the runs are merged into the map's sections when the map is written.
//
// A section: its size (2 bytes, big-endian, counting themselves and the data), the data, and
// the CRC-16 (seed 0xC0C1 over the size bytes and the data, big-endian). Each entry is the
// modular-char difference of its handle from the previous entry's and the signed modular-char
// difference of its position; both start from 0 in every section. A section ends once it holds
// 2,032 bytes or more; the map ends with the empty section 00 02 01 D0.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

inline constexpr size_t kDwgMapRunSize = 1365;
inline constexpr size_t kDwgMapSectionFull = 2032;

// Error numbers of the object map.
inline constexpr int kErrorDwgMapNotWritten = 203;   // no entries, a repeated handle, a write failure
inline constexpr int kErrorDwgMapRepeatedHandle = 153; // also sets the context's error handle

// Appends one entry to a section: the modular-char handle difference and the signed
// modular-char position difference from the entry before.
void wrAppendMapEntry(std::vector<uint8_t>& section, Handle handleDifference, int32_t positionDifference);

// Starts the map of a save (the context's DWG state must exist). 1.
int wrMapBegin(OutputContext& output);
// Enters a record. 1.
int wrMapRecord(OutputContext& output, Handle handle, uint32_t position);
// Sorts the entries gathered and keeps them as a run. 1.
int wrMapFlushRun(OutputContext& output);
// Writes the map at the current file position: the number of entries, or 0 with error 203 (no
// entries, a write failure) or 153 with the handle in the context's error handle (a handle
// entered twice); the file writer then fails with 203.
int wrWriteObjectMap(OutputContext& output);
// Writes one section: `section` holds two bytes for the size, then the data; the size and the
// CRC are filled in. 1, or 0 when it cannot be written.
int wrMapWriteSection(OutputContext& output, std::vector<uint8_t>& section);

} // namespace tracemill
