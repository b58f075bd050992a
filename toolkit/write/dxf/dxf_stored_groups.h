// Data kept as bytes: stored group data written back as DXF groups, binary chunks, SAT text,
// MTEXT pieces and object-id lists.
#pragma once

#include <span>
#include <vector>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Writes the DXF groups of a stored group-data block (a bit-short code, then the value in the
// bit form of its type; 0 ends it); codes 330-369 take the next entry of `references`. Binary
// values of any length are written as chunks of at most 127 bytes; 320-329 keep their code. A
// block that ends early or holds a code without a form fails with 165 (nothing of the record
// is cut silently).
int DxfGroupsFromBitData(OutputContext& output, const OwnedStream& data, std::span<const ObjectReference> references);

// 310 groups of at most 127 bytes each after a size group: the proxy graphics as 92 and its size.
int DxfGraphicsGroups(OutputContext& output, const OwnedStream& graphics, int sizeCode = 92, bool whenEmpty = false);

// The SAT text of a modeler entity: lines as 1 groups, a line of more than 255 bytes in 3
// groups of 255 ending with a 1 group; printable bytes coded as 159 minus the byte. A piece is
// never cut inside a double-byte character of the code page.
int DxfAcisDataWriter(OutputContext& output, const OwnedStream& satText, int codePage);

// The text of an MTEXT: 3 groups of 249 bytes (250 when the last byte leads a double-byte
// character), the last piece as a 1 group; line feeds removed, control characters escaped.
int DxfMTextContentsWriter(OutputContext& output, std::string_view text, int codePage);

// One handle group per reference: 330, 340, 350, 360 by the reference's kind (1 to 4; 0 as
// 3; any other kind 330).
int DxfObjectIdListWriter(OutputContext& output, std::span<const ObjectReference> references);
int wrObjectIdCode(uint8_t kind);

} // namespace tracemill
