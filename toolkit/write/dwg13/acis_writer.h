// The ACIS data of REGION, 3DSOLID and BODY records of R13-2000 DWG files: the SAT text in the
// format's blocks and character transform, then the bits a DWG reader kept after it.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/codec/bit_writer.h"

namespace tracemill {

// The largest block of SAT text a record holds.
inline constexpr size_t kDwgSatBlockSize = 4096;

// The header fix-ups of the first block of SAT text, in place: a "13 A CIS 4.0.2 NT" becomes
// "14 A CIS 4.0.2 NT"; then, where "A pr" (else "A ug") stands seven or more characters into the
// block and the character six places before it is "4", that character becomes "5" (the length
// prefix of the date text that follows such a header).
void wrDwgAcisHeaderFixups(std::vector<uint8_t>& block);

// With SAT text: B 0, B 1, BS 1, the blocks of at most 4,096 bytes (BL length and the bytes
// through dbSatTransform; the first block with its header fix-ups), BL 0; then the trailing bits.
void wrDwgAcisDataR13(BitWriter& bits, const AcisBody& body);

// The bits a DWG reader kept after the SAT text (toolkit/read/dwg13_acis.h): the two bits 1 1
// first when the record had no SAT text, then the kept bits. Without kept bits: nothing when
// the body has SAT text or says it has no trailing bits, else the two bits of empty data.
void wrDwgAcisTrailingBits(BitWriter& bits, const AcisBody& body);

} // namespace tracemill
