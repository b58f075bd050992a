// The state of one save as a DWG file before R13, shared by the file writer and the entity
// writer: the drawing and the output, the plan of the tables, where the file stands, the
// sequence an INSERT or POLYLINE opened, where each paper-space VIEWPORT went, and the handles
// given for the save.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/write/dwg12/dwg12_table_plan.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

struct Dwg12WriteState {
    Dwg12WriteState(const Drawing& d, OutputContext& o) : drawing(d), output(o), plan(d, o) {}

    const Drawing& drawing;
    OutputContext& output;
    Dwg12TablePlan plan;

    // Appends bytes to the file (collected, then written in large pieces); 1, or 0 with the
    // error number of the write.
    int put(const void* bytes, size_t count);
    // Writes what is collected.
    int flush();

    // The file offset of the next byte.
    uint64_t position = 0;
    // The entities of paper space are being written.
    bool inPaperSpace = false;
    // The blocks section is being written; its first byte.
    bool inBlocks = false;
    uint64_t blocksStart = 0;
    // The position in the BLOCK table of the block being written (its BLOCK entity carries the
    // name and the external-reference path of its record).
    int32_t currentBlock = -1;
    // The offset of the INSERT with attributes or the POLYLINE whose SEQEND is to come (inside
    // the blocks section relative to its start).
    uint32_t sequenceOpener = 0;
    // "AC1009": the file offset of every paper-space VIEWPORT, for the viewport entity headers.
    std::unordered_map<const EntityRecord*, uint32_t> viewportOffsets;
    // Handles given for the save, from its copy of the drawing's seed: the stand-in blocks of
    // deleted block records and the BLOCK and ENDBLK of blocks whose entity list has none.
    Handle seed;
    std::vector<Handle> fakeBlockHandles;
    size_t fakeBlocksWritten = 0;
    // The largest handle the file carries.
    Handle largestHandle;

    // Work buffers of the entity writer.
    std::vector<uint8_t> record;
    std::vector<uint8_t> body;
    std::vector<uint8_t> xdata;

    // Progress over the entities of the entities section.
    int64_t entitiesWritten = 0;
    int64_t entitiesToWrite = 0;
    int lastProgress = -1;
};

} // namespace tracemill
