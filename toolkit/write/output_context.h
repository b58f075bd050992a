// The state of one save: the output file, the header copy the writers write from, the target
// version and format, and the working state of the writer that runs. wrOpenOutput makes it;
// the context owns its file and closes it exactly once: a finished writer closes it through
// wrCloseOutput (which puts the file in place of the target), and a context freed with its
// file still open discards the file, so a failed save leaves the target as it was.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/lwpolyline_conversion.h"
#include "toolkit/core/out_file.h"
#include "toolkit/write/dwg13/write_state.h"

namespace tracemill {

// Formats of a save.
inline constexpr uint8_t kSaveFormatDwg = 0;
inline constexpr uint8_t kSaveFormatAsciiDxf = 1;
inline constexpr uint8_t kSaveFormatBinaryDxf = 2;

// The number settings of a DXF save: the keep-negative-zero switch, the decimal places of
// ASCII reals and the force-Z switch, with the formats built from them.
struct DxfNumberFormat {
    int16_t keepNegativeZero = 0;
    int16_t precision = 6;
    int16_t forceZ = 0;
    double zeroThreshold = 5e-7;  // 0.5 x 10^-precision: also the writers' distance tolerance
    double angleTolerance = 8.726646259971647e-9;
};

// The budget of one external-reference block: the fewest characters its dependent names may
// keep before the bar (rebuilt before every save below "AC1015").
struct XrefNameBudget {
    Handle block;
    int32_t budget = 0;
    std::string name;
};

// The block whose definition the DXF writer is writing (its BLOCK entity takes these).
struct DxfCurrentBlock {
    std::string name;
    uint8_t flags = 0;
    int32_t number = 0;
    std::string description;
    std::string xrefPath;
    uint8_t xrefState = 0;
    bool isPaperSpace = false;  // the drawing's own paper-space block
};

// The name of the last handle a resolver was asked for, as the file carries it.
struct DxfNameCache {
    Handle handle;
    bool valid = false;
    std::string name;  // converted for the version when symbol names are
};

struct OutputContext {
    OutputContext() = default;
    ~OutputContext() = default;
    OutputContext(const OutputContext&) = delete;
    OutputContext& operator=(const OutputContext&) = delete;

    uint8_t format = kSaveFormatDwg;  // 0 DWG, 1 ASCII DXF, 2 binary DXF
    uint8_t isDxf = 0;                // 1 for both DXF forms
    int16_t versionIndex = 0;
    OutFilePtr file;                  // open from wrOpenOutput to wrCloseOutput
    HeaderBlock header;               // the drawing's header with the output version stamped
    std::vector<uint8_t> scratch;
    // Pre-R13 DWG: the record sizes of the ten symbol tables of the version row.
    std::array<uint16_t, 10> tableRecordSizes{};
    std::array<int32_t, 10> tableRecordCounters{};
    // The linetype codes that stand for BYLAYER and BYBLOCK.
    int16_t byLayerLinetypeCode = 0;
    int16_t byBlockLinetypeCode = 0;

    // R13-2000 DWG output: the state of the save (made by the writer).
    std::unique_ptr<Dwg13WriteState> dwg13;

    // External-reference name budgets of this save.
    std::vector<XrefNameBudget> xrefNameBudgets;
    // Handles of LWPOLYLINEs written as POLYLINE, VERTEX and SEQEND.
    LwpolyConversion lwpolyConversion;

    // DXF output: the number settings, the bytes not yet written, the block being written.
    DxfNumberFormat numbers;
    int16_t entitySwitch = 0;
    std::string pending;
    bool inBlock = false;
    DxfCurrentBlock currentBlock;
    int32_t layersWritten = 0;
    int32_t entitiesWritten = 0;
    int32_t entitiesToWrite = 0;
    int lastProgress = -1;
    // The default text style: names equal to it are left out of TEXT, MTEXT and attributes.
    std::string defaultStyleName;
    // The position of every table record and block record in its list, by handle: the
    // number that converted names and renumbered anonymous blocks carry.
    std::unordered_map<uint64_t, int32_t> recordPositions;
    // The blocks other than the two layout blocks in the order the file gives them.
    std::vector<const void*> blockOrder;
    // BLOCK and ENDBLK handles given for the save to blocks whose records name none.
    std::unordered_map<uint64_t, std::pair<Handle, Handle>> blockFrameHandles;
    // Handles given for the save to entities that have none (read from files without them).
    std::unordered_map<const void*, Handle> entityHandles;
    // Handles given for the save to the tables whose control object the drawing lacks, by name.
    std::unordered_map<std::string, Handle> tableHandles;
    // The layer and linetype names of the last entity: runs of entities share them.
    DxfNameCache layerName;
    DxfNameCache linetypeName;
    DxfNameCache styleName;  // empty: the default style, left out
    DxfNameCache blockName;
};

using OutputContextPtr = std::unique_ptr<OutputContext>;

} // namespace tracemill
