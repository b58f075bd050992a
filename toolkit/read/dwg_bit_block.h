// Reading a block of bit-coded data that the database keeps: the stored group data of
// class-based entities and objects, built through the bit sections of the bit writer
// (toolkit/codec/bit_section.h). Each read is the counterpart of one wrBitWrite... call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/point.h"
#include "toolkit/read/dwg_bit_reader.h"

namespace tracemill {

// The longest text a block holds.
inline constexpr size_t kMaxBitBlockText = 65000;

// Places the reader at the start of a stored stream's bytes; a null stream sets error 162 and
// fails. The stream must stay unchanged while the reader reads it.
int rdBitBlockReadBegin(BitReader& reader, const PagedStream* stream);
// Ends the reading of the block.
void rdBitBlockReadEnd(BitReader& reader);

int rdBitBlockReadText(BitReader& reader, std::string& out);
// A bit-short count, then that many raw bytes.
int rdBitBlockReadBytes(BitReader& reader, std::vector<uint8_t>& out, uint16_t& count);
int rdBitBlockReadHandle(BitReader& reader, Handle& out);
int rdBitBlockReadLong(BitReader& reader, int32_t& out);
int rdBitBlockReadShort(BitReader& reader, uint16_t& out);
int rdBitBlockReadDouble(BitReader& reader, double& out);
int rdBitBlockRead3Doubles(BitReader& reader, Point3& out);

} // namespace tracemill
