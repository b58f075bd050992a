// The common start of every object record of an R13 to 2000 DWG file: its size, type, own
// handle, extended data, proxy graphics (entities) and the counts that follow.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/read/dwg_bit_reader.h"

namespace tracemill {

// The most extended data one record may carry, in its raw form below.
inline constexpr size_t kMaxRawXDataSize = 32768;

enum class PrologueStatus : uint8_t {
    Read,          // the prologue was read; the reader stands after it
    End,           // the position is at or after the end of the object data
    Damaged,       // the record does not fit its file, or a value in it runs past its end
    XDataTooLarge, // the extended data exceeds kMaxRawXDataSize
};

struct ObjectPrologue {
    PrologueStatus status = PrologueStatus::End;
    uint16_t type = 0;
    Handle handle;
    uint32_t bitSize = 0;      // the record's stored size in bits
    uint32_t reactorCount = 0; // objects only
    // Raw extended data: per application {u16 little-endian data size, handle code byte, the
    // handle's bytes, the data}, ended by a u16 0. Empty when the record has none.
    std::vector<uint8_t> xdata;
    bool hasXData = false;
    std::vector<uint8_t> graphics; // proxy graphics of an entity
    bool hasGraphics = false;
    uint64_t recordPosition = 0;     // where the record's size field starts
    uint64_t dataPosition = 0;       // where its data starts
    uint32_t dataSize = 0;           // bytes of data (the CRC follows)
    uint64_t nextRecordPosition = 0; // after its CRC
};

// Reads the prologue of the record at `position` of the file and leaves `reader` on the
// record's data after it. Records of type 0 are passed over and the next one is read.
// `objectDataEnd` is where the object records end (records are never read from there on).
// Result: the record's type, or 0 with the status saying why.
uint16_t rdReadObjectPrologue(std::span<const uint8_t> file, uint64_t position, uint64_t objectDataEnd,
                              int versionIndex, bool isEntity, BitReader& reader, ObjectPrologue& out);

} // namespace tracemill
