// Which records of a drawing the tables of a DWG file before R13 hold, in which order, and the
// position of each: these files name table records by position (deleted records included), so
// every reference the writer puts down goes through this plan.
//
// Every record of a table is written in list order, but: the linetypes BYLAYER and BYBLOCK,
// which the file names by two codes instead, and the block records of model and paper space
// (and of further layouts, "*PAPER_SPACE..."), which the file keeps as its entity section.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

class Dwg12TablePlan {
  public:
    // Plans the tables of the drawing for the output's version.
    Dwg12TablePlan(const Drawing& drawing, const OutputContext& output);

    // The position of the record of a handle in its written table; -1 when the table holds no
    // record of that handle.
    int32_t position(Dwg12Table table, Handle handle) const;
    // A linetype as a file names it: its position, or kDwg12LinetypeByLayer (also for none) or
    // kDwg12LinetypeByBlock for those two (found by handle or by name); -1 when no linetype has
    // the handle.
    int32_t linetype(Handle handle) const;
    // The block records in the order of the BLOCK table, and the name each carries in the file
    // (converted for the version; the same name on the block's BLOCK entity).
    const std::vector<const BlockNode*>& blocks() const { return blocks_; }
    const std::string& blockName(int32_t position) const { return blockNames_[size_t(position)]; }
    // The linetypes of the LTYPE table.
    const std::vector<const StoredRecord<LinetypeRecord>*>& linetypes() const { return linetypes_; }
    // Deleted block records, which get stand-in blocks in the blocks section.
    int32_t deletedBlocks() const { return deletedBlocks_; }

  private:
    template <class List> void number(Dwg12Table table, const List& list);

    std::array<std::unordered_map<uint64_t, int32_t>, kDwg12TableCount> positions_;
    std::vector<const BlockNode*> blocks_;
    std::vector<std::string> blockNames_;
    std::vector<const StoredRecord<LinetypeRecord>*> linetypes_;
    // BYLAYER and BYBLOCK linetypes, by handle: their codes.
    std::unordered_map<uint64_t, int32_t> linetypeCodes_;
    int32_t deletedBlocks_ = 0;
};

// Whether a block record is kept out of the BLOCK table: the layout blocks of model and paper
// space and further paper-space layouts.
bool wrDwg12IsLayoutBlock(const Drawing& drawing, const BlockRecord& record);
// Whether a linetype is BYLAYER or BYBLOCK (by handle or by name).
bool wrDwg12IsByLayerOrByBlock(const Drawing& drawing, const LinetypeRecord& record);

} // namespace tracemill
