// Entity records of DWG files before R13: the record head, the common fields and the body of
// one record held in memory, into an EntityRecord. Where records lie (sections, jumps, blocks)
// is the reader's (dwg12_reader.h).
//
// A record: kind (bit 0x80: erased), entity flags, 16-bit length of the whole record, then (not
// for the jump record, kind 18) the layer's position and the option word; with entity flag
// 0x40 an extra flag byte follows (0x02: extended data follows as a 16-bit length and its
// bytes; 0x04: a paper-space word follows the common fields); then the common fields selected
// by the entity flags (0x01 colour, 0x02 linetype, 0x04 elevation, 0x08 thickness, 0x20 handle
// from "AC1006") and the kind's body (dwg12_entity_layouts.h). "AC1009" records end in a
// checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/read/dwg12_entity_layouts.h"

namespace tracemill {

inline constexpr uint8_t kDwg12KindJump = 18;

// The record head as far as the reader needs it before the body.
struct Dwg12RecordHead {
    uint8_t kind = 0; // 1..24, the erased bit masked off
    bool erased = false;
    uint8_t flags = 0;       // the entity flags
    uint16_t length = 0;     // of the whole record
    uint32_t jumpTarget = 0; // kind 18
};

// Reads the first bytes of the record at `position` (rdR12ReadEntityHead). False when fewer
// bytes than a head are left, or the length is below the head's or beyond the data.
bool rdR12ReadEntityHead(std::span<const uint8_t> file, size_t position, Dwg12RecordHead& out);

// Whether an entity record of this kind carries an entity (kinds 1 to 24 but 5, 6, 10 and the
// jump 18).
bool dbDwg12IsEntityKind(uint8_t kind);

// What the reader keeps between the records of one pass.
struct Dwg12EntityPassState {
    // An INSERT with attributes or a POLYLINE opened a sequence: the SEQEND that closes it
    // carries the opener's offset.
    bool sequenceOpen = false;
};

// Decodes one entity record (`record` holds exactly its bytes; its kind is an entity kind)
// into `entity`: the header, the body with its defaults, the raw extended data (`hasXData` 1
// when there is some; it is left in the reader's form) and the positions of the table records
// it names. A 3DLINE becomes a LINE. 1, or 0 when the record's fields run past its end (a
// damaged record).
int rdR12ReadEntity(const Drawing& drawing, std::span<const uint8_t> record, int versionIndex,
                    Dwg12EntityPassState& state, EntityRecord& entity, Dwg12EntityRefs& refs,
                    uint8_t& hasXData);

} // namespace tracemill
