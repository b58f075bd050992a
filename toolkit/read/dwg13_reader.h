// The reader of R13 to 2000 DWG files ("AC1012", "AC1014", "AC1015") behind the reader
// operations of the load (FormatDriver): the open with the file structure and the header
// variables, the table passes through the table-control objects, the block records, the entity
// walks of the two spaces and of every block, and the objects pass. One reader serves one load:
// it holds the file in memory and everything it found in it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/core/format_driver.h"
#include "toolkit/core/object_record.h"
#include "toolkit/read/dwg13_entity_walk.h"
#include "toolkit/read/dwg13_file_header.h"
#include "toolkit/read/dwg13_header_layout.h"
#include "toolkit/read/dwg13_object_source.h"
#include "toolkit/read/dwg13_table_layouts.h"

namespace tracemill {

class Dwg13Reader : public FormatDriver {
  public:
    // The file's bytes; they must outlive the reader. `acceptAc1013` lets "AC1013" files be
    // read as "AC1014".
    explicit Dwg13Reader(std::span<const uint8_t> file, bool acceptAc1013 = true)
        : file_(file), acceptAc1013_(acceptAc1013) {}

    TRACEMILL_FORMAT_DRIVER_OPERATIONS

    // The viewport pass after the load: each VIEWPORT of paper space that a viewport entity
    // header names gets its number in the chain (1 for the paper-space viewport itself, which
    // the viewport index then holds first) and its header's handle.
    int loadViewports(Drawing& drawing) override;
    // The block records of the two spaces, read at the open (found: 1 model space, 2 paper space).
    int readLayoutBlockRecords(Drawing& drawing, BlockRecord& model, BlockRecord& paper, uint8_t& found) override;

    // The raw extended data of a record becomes stored items; its application and layer
    // references (by handle) wait for the end of the load.
    int attachExtendedData(Drawing& drawing, OwnedStream& xdata) override;

    // The block whose entities the next seekBlockEntities positions at (during a load, the
    // load's current block).
    void setCurrentBlock(Handle block) { currentBlock_ = block; }
    // The block records of the two spaces, read at the open.
    const BlockRecord& modelSpaceRecord() const { return modelSpace_; }
    const BlockRecord& paperSpaceRecord() const { return paperSpace_; }

    // What the reader met in the file and passed over: records it could not read or that held
    // another kind of object than expected.
    uint32_t skippedRecords() const { return skipped_; }
    const Dwg13Objects& objects() const { return objects_; }

  private:
    // The handles of one table walk and where it stands.
    struct TableWalk {
        HandleList handles;
        size_t next = 0;
    };

    int readControls(Drawing& drawing);
    int readSpaceBlocks(Drawing& drawing);
    // The next handle of a table walk; false at its end.
    bool nextHandle(TableWalk& walk, Handle& out);
    // Reads records of a table until one is read or the walk ends (the record then marks the
    // end of the table).
    template <class Record, class Read> int readNextRecord(TableWalk& walk, Record& record, Read read);
    Handle blockByArrowName(Drawing& drawing, const std::string& name);

    std::span<const uint8_t> file_;
    bool acceptAc1013_;
    Dwg13FileHeader fileHeader_;
    Dwg13HeaderHandles headerHandles_;
    Dwg13Objects objects_;
    std::vector<ClassEntry> classes_;
    size_t nextClass_ = 0;
    std::array<TableWalk, kDwgControlCount> tables_;
    uint16_t symbolTableRecordClass_ = 0;

    BlockRecord modelSpace_;
    BlockRecord paperSpace_;
    Dwg13BlockLinks modelLinks_;
    Dwg13BlockLinks paperLinks_;
    // Per block record read: its entity handles, base point and external-reference path.
    struct BlockPlace {
        Dwg13BlockLinks links;
        Point3 basePoint;
        std::string xrefPath;
    };
    std::unordered_map<uint64_t, BlockPlace> blocks_;
    Handle currentBlock_;

    Dwg13EntityWalk walk_;
    Dwg13EntityReaderState entityState_;
    uint32_t entitiesRead_ = 0;
    uint32_t entityRecords_ = 0;

    HandleList objectList_;
    size_t nextObject_ = 0;
    ObjectRecord pendingObject_; // read by nextObjectCode, handed out by the read that follows
    uint8_t pendingHasXData_ = 0;

    TableWalk viewportHeaders_;
    // The VIEWPORT entities of the header chain, in chain order, and whether each is on.
    struct ChainedViewport {
        Handle viewport;
        bool on = false;
    };
    std::vector<ChainedViewport> viewportChain_;
    Handle unlinkedHeader_; // the first header of the control that names no viewport
    bool firstViewportHeader_ = true;

    uint32_t skipped_ = 0;
};

} // namespace tracemill
