// What the DXF reader keeps for one load: its group input, the section index that the open
// builds in one pass over the file, and the per-record working state of the record readers.
// The later passes seek straight to what they need through the index.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/read/dxf_group_reader.h"
#include "toolkit/read/load_session.h"
#include "toolkit/codec/bit_writer.h"

namespace tracemill {

struct Drawing;
struct BlockRecord;

// The record kinds of the DXF reader, in its order; the first nine are symbol tables.
enum class DxfRecordKind : uint8_t {
    Ltype,
    Layer,
    Style,
    View,
    Vport,
    AppId,
    DimStyle,
    Ucs,
    Block,
    BlockRecord,
    MlineStyle,
    Class,
};
inline constexpr size_t kDxfTableCount = 10;  // LTYPE .. BLOCK_RECORD

// The largest extended data of one record the reader keeps; what lies beyond is reported
// through the error callback (5) and dropped.
inline constexpr size_t kMaxRecordXData = 32768;

// One table of the TABLES section.
struct DxfTableIndex {
    bool seen = false;       // one record or more
    int64_t firstRecord = 0;  // position of the first (0, kind) group; 0 when none
    int32_t count = 0;
};

struct DxfSectionIndex {
    bool headerSeen = false;
    std::array<DxfTableIndex, kDxfTableCount> tables{};
    int64_t entitiesStart = 0;
    int64_t entitiesEnd = 0;
    std::vector<int64_t> viewports;  // positions of the (0, "VIEWPORT") groups of ENTITIES
    int64_t blocksStart = 0;
    std::vector<int64_t> blocks;     // positions of the (0, "BLOCK") groups of BLOCKS
    int64_t classesStart = 0;
    int64_t objectsStart = 0;
    int64_t firstMlineStyle = 0;
    int32_t mlineStyleCount = 0;
    int64_t classCount = 0;   // (0, "CLASS") groups of the CLASSES sections
    int64_t objectCount = 0;  // code-0 groups of the OBJECTS section
};

// How the reader reads an entity of a (0, name) group.
struct DxfEntityKind {
    enum Reader : uint8_t { Unknown, Fixed, OwnClass, ClassData, Proxy };
    Reader reader = Unknown;
    uint16_t type = 0;  // the entity type code (a class number for class-based kinds)
};

// A BLOCK_RECORD table entry, matched by name to the BLOCK of the BLOCKS section.
struct DxfBlockRecordEntry {
    Handle handle;
    Handle owner;
    Handle layout;
    Handle extensionDictionary;
    OwnedStream preview;
    OwnedStream xdata;  // raw
    HandleList reactors;
};

class DxfLoadState : public FormatLoadState {
public:
    DxfGroupReader reader;
    DxfSectionIndex index;

    // Progress of the open's walk.
    int64_t fileLength = 0;
    int64_t progressStep = 0;
    int64_t progressThreshold = 0;
    int16_t progressPercent = 0;
    uint16_t groupCounter = 0;

    // The extended data of the record being read, in the raw DXF item form.
    std::vector<uint8_t> xdata;
    bool xdataOverflowReported = false;

    // Block reading: the next BLOCK offset to read, the offset of each block's BLOCK entity by
    // the block record's handle, and the BLOCK_RECORD entries by name (upper case).
    size_t nextBlock = 0;
    std::unordered_map<std::string, int64_t> blockOffsets;
    bool blockRecordsRead = false;
    std::unordered_map<std::string, DxfBlockRecordEntry> blockRecords;
    bool blockMode = false;
    bool blockMissing = false;    // the block positioned at has no BLOCK in the file
    bool objectsMissing = false;  // the file has no OBJECTS section

    // The viewport entity table of R12 files.
    size_t nextViewport = 0;

    // Entity kinds by (0, name) text, found once.
    std::unordered_map<std::string, DxfEntityKind> entityKinds;

    // The bit writer of class-based records kept as bit-coded data.
    BitWriter bits;

    DxfGroup& group() { return reader.group; }
};

// The DXF state of a drawing being loaded (its session must hold one).
DxfLoadState& dxfState(Drawing& drawing);

} // namespace tracemill
