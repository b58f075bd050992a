// The state of one R13-2000 DWG save (the bit writer's state block of the output context): the
// record being written, the object map being collected, the section positions of the file and
// the links that the file writer hands to the record writers.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/codec/bit_writer.h"

namespace tracemill {

// One entry of the object map: a record's handle and the file position of its size field.
struct Dwg13MapEntry {
    Handle handle;
    uint32_t position = 0;
};

// The object map while records are written: entries gather in a run of 1,365; a full run is
// sorted by handle and kept, and the runs are merged when the map is written.
struct Dwg13MapRuns {
    std::vector<Dwg13MapEntry> run;
    std::vector<std::vector<Dwg13MapEntry>> sorted;
    size_t flushed = 0; // entries in the sorted runs
};

// A paper-space viewport and the VP ENT HDR record that links it (pair 0: none, the header of
// no viewport).
struct Dwg13ViewportHeaderPair {
    Handle viewport;
    Handle header;
};

// The links of the entity being written, set by the file writer before each entity.
struct Dwg13RecordLinks {
    Handle owner;    // the block record of an entity inside a block
    Handle previous; // the entities before and after it in its chain (zero: none)
    Handle next;
    Handle firstChild; // the VERTEX or ATTRIB entities of a POLYLINE or INSERT and its SEQEND
    Handle lastChild;
    Handle sequenceEnd;
    uint8_t mode = 0; // 0 in a block, 1 paper space, 2 model space
};

struct Dwg13WriteState {
    BitWriter bits;
    int16_t versionIndex = 0;
    int16_t codePage = 0; // the drawing's code page, for texts cut at a character boundary

    // The file position of the next byte (written or pending).
    uint64_t filePosition = 0;
    // The record being written: where it starts in the file, where its size in bits goes (the
    // bit position of the placeholder), and the size in bits noted at the handle stream.
    uint64_t recordStart = 0;
    uint64_t sizePosition = 0;
    uint32_t bitSize = 0;
    bool handleStreamNoted = false;
    // The handle the common tail of a table record writes last (its external-reference block).
    Handle referenceSlot;

    // Extension dictionaries by the handle of their owner, in the order they were noted (the
    // first pair of a handle counts).
    std::vector<std::pair<Handle, Handle>> xdictLinks;
    std::unordered_map<uint64_t, Handle> xdictIndex;

    Dwg13MapRuns map;

    // Section positions and sizes of the file.
    uint32_t headerVariablesStart = 0;
    uint32_t headerVariablesSize = 0;
    uint32_t classesStart = 0;
    uint32_t classesSize = 0;
    uint32_t recordsStart = 0;
    uint32_t objectMapStart = 0;
    uint32_t objectMapSize = 0;
    uint32_t descriptorStart = 0;
    uint32_t imageStart = 0;
    uint32_t mapEntries = 0;

    // Class numbers that stand for the generic proxies in R13 files.
    uint16_t zombieEntityClass = 0;
    uint16_t zombieObjectClass = 0;

    // Paper-space viewports and their VP ENT HDR records (empty without viewports).
    std::vector<Dwg13ViewportHeaderPair> viewportHeaders;

    Dwg13RecordLinks links;
    // The last 2D POLYLINE's elevation and default widths, for its vertices.
    double polylineElevation = 0.0;
    double polylineStartWidth = 0.0;
    double polylineEndWidth = 0.0;
};

} // namespace tracemill
