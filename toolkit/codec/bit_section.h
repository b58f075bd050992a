// Bit sections: bit-coded data built in memory rather than written to a file. The DXF reader
// keeps the groups of class-based entities and objects that have no structure of their own
// this way (each group as a bit-short code and its value), and the DXF writer reads them back
// (toolkit/read/dwg_bit_block.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"
#include "toolkit/codec/bit_writer.h"

namespace tracemill {

// Starts a new section in the writer. Result 1.
int wrBitSectionBegin(BitWriter& writer);
// Ends the section: its bytes (a started last byte included) for the caller to keep, and its
// exact length in bits.
std::vector<uint8_t> wrBitSectionEnd(BitWriter& writer, uint64_t& bitLength);

// The values of a section; each returns 1.
int wrBitWriteShort(BitWriter& writer, uint16_t value);         // BS
int wrBitWriteLong(BitWriter& writer, int32_t value);           // BL
int wrBitWriteDouble(BitWriter& writer, double value);          // BD
int wrBitWrite3Doubles(BitWriter& writer, const Point3& point); // 3BD
int wrBitWriteText(BitWriter& writer, std::string_view text);   // T
// A bit-short count (at most 65,535; longer runs are cut), then the raw bytes.
int wrBitWriteBytes(BitWriter& writer, const uint8_t* bytes, size_t count);
// H with reference code 4 and the handle's significant bytes.
int wrBitWriteSoftPointer(BitWriter& writer, Handle handle);

} // namespace tracemill
