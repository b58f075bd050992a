// Class-based entities and objects that the reader knows only from the CLASSES section keep
// their groups as DWG bit-coded data: each group as a bit-short code and its value, in the
// encodings of the DWG bit writer, and their references to other objects in a list beside.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/read/dxf_load_state.h"

namespace tracemill {

void rdDxfBeginBitData(DxfLoadState& state);

// Appends the group in hand: its code, then its value (a point takes the y and z groups that
// follow it). Handle groups 330-369 go to `references` instead (kind (code - 320) / 10). With a
// graphics stream, a 92 group is followed by a run of binary chunks read into it. 0 for a code
// that has no bit form (nothing is written then).
int rdDxfGroupToBits(DxfLoadState& state, std::vector<ObjectReference>& references, OwnedStream* graphics);

// Ends the data with a zero code; the bytes go to `data`, their length in bits to `bitCount`.
void rdDxfEndBitData(DxfLoadState& state, OwnedStream& data, uint32_t& bitCount);

// The point whose x is the group in hand; y and z are taken from the groups that follow when
// their codes are baseCode + 10 and + 20 (others are given back).
Point3 rdDxfReadPoint(DxfLoadState& state, uint16_t baseCode);
// The same for a point of two coordinates (x in hand, y from the base code + 10): no third
// group is looked for.
Point2 rdDxfReadPoint2(DxfLoadState& state, uint16_t baseCode);

} // namespace tracemill
