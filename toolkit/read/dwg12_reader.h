// The reader of DWG files before R13 ("AC1002" to "AC1009") behind the reader operations of
// the load (FormatDriver): the open with the file check, the fixed head and the header
// variables; the table passes over the fixed-size records; the block records; the entity
// passes over the entities section and each block's run of the blocks section, following jump
// records; the viewport pass over the viewport entity headers; and the header's current
// entries, which these files name by position. One reader serves one load: it holds the file
// in memory (the caller keeps the bytes alive) and what it learnt of it.
//
// Files before R13 name table records by position, counting erased records. The reader keeps,
// per table, the place of each record among the records it handed out, and turns positions
// into handles once the tables are loaded; entities get their layer, linetype, text style,
// block and dimension style handles from it.
//
// Erased records are passed over: an erased table record is not handed out (the pass goes on
// with the next record), an erased entity is not read.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "toolkit/core/format_driver.h"
#include "toolkit/core/handle.h"
#include "toolkit/read/dwg12_entity_reader.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/read/dwg12_header_layout.h"

namespace tracemill {

// Error numbers of the reader.
inline constexpr int kErrorDwg12RecordDamaged = 282; // a record runs past its section or the file
inline constexpr int kErrorDwg12BadJump = 283;       // a jump outside the entity sections, or a loop
inline constexpr int kErrorDwg12ViewportNotInPaperSpace = 302;

class Dwg12Reader : public FormatDriver {
  public:
    // The file's bytes; they must outlive the reader.
    explicit Dwg12Reader(std::span<const uint8_t> file) : file_(file) {}

    // The open runs the file check; the table passes hand out the records in file order,
    // passing over erased ones.
    TRACEMILL_FORMAT_DRIVER_OPERATIONS

    // The raw extended data of an entity becomes stored items; its application and layer
    // references wait for the end of the load.
    int attachExtendedData(Drawing& drawing, OwnedStream& xdata) override;

    // The viewport pass after the entity passes: the viewport entity headers ("AC1009") name
    // the paper-space VIEWPORT entities by file offset; each VIEWPORT on the chain they form
    // gets its place in it as its status (1 the paper-space viewport itself, which the viewport
    // index then holds first), the others 0. 302 when a header names no paper-space VIEWPORT.
    int loadViewports(Drawing& drawing) override;
    // The header's current layer, linetype, text style, dimension style, UCS and paper-space
    // UCS, which the file names by position, become handles.
    int resolveIndexedHeaderRefs(Drawing& drawing) override;

    // The block whose entities the next seekBlockEntities positions at, by name (in a load, the
    // session's current block).
    void setCurrentBlock(std::string name) { currentBlock_ = std::move(name); }

    const Dwg12FileHead& fileHead() const { return head_; }
    const Dwg12CurrentEntries& currentEntries() const { return current_; }
    // The file's HANDLING: its entities carry handles.
    bool handlesEnabled() const { return handlesEnabled_; }
    // Entity records the reader passed over: of a kind it does not know.
    uint32_t unplacedRecords() const { return unplaced_; }

  private:
    // Where a table's read stands, and the place of each record read among those handed out
    // (-1 for an erased record or one the table pass does not keep).
    struct TableRead {
        uint32_t next = 0;
        int32_t handedOut = 0;
        std::vector<int32_t> places;
    };
    // A block's entities in the blocks section.
    struct BlockPlace {
        std::string name;
        uint32_t entityOffset = 0;
        bool kept = true; // the block record pass keeps the record
    };

    template <class Record, class Fields>
    int readTableRecord(Dwg12Table table, Record& record, Fields fields);
    // The bytes of the i-th record of a table; empty when they are not all in the file.
    std::span<const uint8_t> tableRecord(Dwg12Table table, uint32_t index) const;
    // Handles of the records handed out, by place, taken from the drawing's tables.
    void collectHandles(Drawing& drawing);
    // The place among the records handed out of the record at a file position; -1 for none.
    int32_t placeOf(Dwg12Table table, int32_t position) const;
    Handle handleAt(Dwg12Table table, int32_t position) const;
    void resolveReferences(Drawing& drawing, EntityRecord& entity, const Dwg12EntityRefs& refs) const;
    // Positions `position_` at the next record of the pass that carries an entity: follows
    // jumps, passes over erased records and records of unknown kinds. False at the end of the
    // pass; false with the error number set when the data is damaged.
    bool nextEntityRecord(Dwg12RecordHead& head, bool& failed);
    bool insideEntityRegion(uint64_t position) const;
    int failEntity(int error);

    std::span<const uint8_t> file_;
    int versionIndex_ = 0;
    Dwg12FileHead head_;
    Dwg12CurrentEntries current_;
    bool handlesEnabled_ = false;
    std::array<TableRead, kDwg12TableCount> tables_{};
    std::array<std::vector<Handle>, kDwg12TableCount> handles_{};
    std::vector<BlockPlace> blocks_;

    // The entity pass.
    bool blockMode_ = false;
    uint64_t position_ = 0;
    uint64_t regionStart_ = 0; // the section of the pass: entities, or the blocks section
    uint64_t regionEnd_ = 0;
    uint64_t recordsRead_ = 0; // records of the pass; more than the file can hold means a loop
    uint64_t blockEntitiesRead_ = 0;
    Dwg12EntityPassState passState_;
    std::string currentBlock_;
    // File offsets of the paper-space VIEWPORT entities, in the order they were read.
    std::vector<uint64_t> viewportOffsets_;
    uint32_t unplaced_ = 0;
};

} // namespace tracemill
