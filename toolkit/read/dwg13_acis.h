// The ACIS data of REGION, 3DSOLID and BODY entities in R13 to 2000 DWG files: SAT text stored
// in blocks with a character transform, followed by bits the format keeps after it; and the SAT
// text that proxies of an ACIS-bearing class carry in their bit-packed data.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/read/dwg_bit_reader.h"

namespace tracemill {

// Reads the ACIS data from the reader's position up to `dataEnd` (the bit where the record's
// handles start) into the body: the SAT text, then the trailing-bit stream (a byte that is 1
// when SAT text was read, a 32-bit little-endian bit count, the bits most significant first).
// Without SAT text the trailing bits start after the data's first two bits (its empty flag and
// the bit after it). A block longer than the data left ends the SAT text. 1, or 0 when memory is
// exhausted.
int rdDwg13ReadAcisData(BitReader& bits, uint64_t dataEnd, AcisBody& body);

// Results of rdCopyAcisProxyData.
inline constexpr int kAcisCopyDone = 0;
inline constexpr int kAcisCopySourceShort = -1;
inline constexpr int kAcisCopyLineTooLong = -2;

// Converts the bit-packed data of a proxy of an ACIS-bearing class into SAT text lines appended
// to `target`: the blocks of the cycle of four alignments, decoded by the plain and shifted
// rules, split into lines of at most 2,047 bytes, each rewritten (one "-surface $", "-curve $"
// or "point $" field dropped). kAcisCopyDone, or kAcisCopySourceShort when the data ends inside a
// block, kAcisCopyLineTooLong when a line does not fit; what was written stays in `target`.
int rdCopyAcisProxyData(std::span<const uint8_t> source, PagedStream& target);

} // namespace tracemill
