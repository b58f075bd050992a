// The reader operations of one source format (DWG or DXF), through which the loader drives a
// load: the open with the header, the positioning at each table, block list, entity range and
// the objects, and the reading of the next record of each.
//
// The context holds one driver per format; a loaded drawing points at the driver of its
// file's format and every step of its load calls the driver through that pointer (the
// dbReader... calls below). A drawing made by dbCreateDrawing has none.
//
// Conventions of every operation: the drawing comes first; the result is 1 for success (for
// a read: a record was read, or the end of its table was reached, which the reader marks in
// the record) and 0 for failure with the error number in the context. The caller clears the
// record before the call. `hasXData` is set to 1 when the record carried extended data, which
// the caller then attaches.
#pragma once

#include <cstdint>
#include <string>

namespace tracemill {

struct Drawing;
struct ClassEntry;
class OwnedStream;
struct EntityRecord;
struct ObjectRecord;
struct LinetypeRecord;
struct LayerRecord;
struct StyleRecord;
struct ViewRecord;
struct UcsRecord;
struct VportRecord;
struct AppIdRecord;
struct DimStyleRecord;
struct BlockRecord;
struct ViewportEntityHeaderRecord;

// The codes that nextObjectCode returns besides class numbers.
inline constexpr uint16_t kNoMoreObjects = 0;

// How a layer read from a file names its linetype when not by handle.
struct LinetypeReference {
    std::string name; // DXF: the linetype's name
    int32_t index = -1; // before R13: the linetype's position in the LTYPE table
};

struct EntityRangePosition {
    int64_t position = 0;
    int64_t start = 0;
    int64_t end = 0;
};

// The slots of the reader table. Read and position slots pair up per table: LAYER 10/24,
// LTYPE 11/25, APPID 13/29, STYLE 14/30, UCS 15/31, VIEW 16/32, VPORT 17/34, viewport entity
// headers 18/33, DIMSTYLE 6/22, classes 5/21, block records 3/20, entities 7/23 (the two
// spaces) and 7/19 (each block), objects 0, 1, 2, 8, 12 with 27. Slot 4 (the DXF reader's
// "{ACAD_XDICTIONARY" group) and slot 26 (back to the offset saved for the object pass) are
// internal to their readers and slot 28 is empty, so the interface has no operation for them.
class FormatDriver {
public:
    virtual ~FormatDriver() = default;

    // 9: checks the version and reads the header.
    virtual int openHeader(Drawing& drawing) = 0;

    // 25/11: LTYPE records.
    virtual int seekLinetypes(Drawing& drawing) = 0;
    virtual int readLinetype(Drawing& drawing, LinetypeRecord& record, uint8_t& hasXData) = 0;
    // 24/10: LAYER records. A reader whose layers name their linetype by name (DXF) or by
    // position in the LTYPE table (before R13) gives that reference; the layer pass resolves it.
    virtual int seekLayers(Drawing& drawing) = 0;
    virtual int readLayer(Drawing& drawing, LayerRecord& record, LinetypeReference& linetype,
                          uint8_t& hasXData) = 0;
    // 21/5: classes; the read reports 0 when no class is left.
    virtual int seekClasses(Drawing& drawing) = 0;
    virtual int readClass(Drawing& drawing, ClassEntry& entry) = 0;
    // 34/17: VPORT records.
    virtual int seekVports(Drawing& drawing) = 0;
    virtual int readVport(Drawing& drawing, VportRecord& record, uint8_t& hasXData) = 0;
    // 31/15: UCS records.
    virtual int seekUcss(Drawing& drawing) = 0;
    virtual int readUcs(Drawing& drawing, UcsRecord& record, uint8_t& hasXData) = 0;
    // 29/13: APPID records.
    virtual int seekAppIds(Drawing& drawing) = 0;
    virtual int readAppId(Drawing& drawing, AppIdRecord& record, uint8_t& hasXData) = 0;
    // 32/16: VIEW records.
    virtual int seekViews(Drawing& drawing) = 0;
    virtual int readView(Drawing& drawing, ViewRecord& record, uint8_t& hasXData) = 0;
    // 30/14: STYLE records.
    virtual int seekStyles(Drawing& drawing) = 0;
    virtual int readStyle(Drawing& drawing, StyleRecord& record, uint8_t& hasXData) = 0;
    // 20/3: block records.
    virtual int seekBlockRecords(Drawing& drawing) = 0;
    virtual int readBlockRecord(Drawing& drawing, BlockRecord& record, uint8_t& hasXData) = 0;
    // 22/6: DIMSTYLE records.
    virtual int seekDimStyles(Drawing& drawing) = 0;
    virtual int readDimStyle(Drawing& drawing, DimStyleRecord& record, uint8_t& hasXData) = 0;
    // 33/18: viewport entity headers.
    virtual int seekViewportEntities(Drawing& drawing) = 0;
    virtual int readViewportEntity(Drawing& drawing, ViewportEntityHeaderRecord& record) = 0;

    // 23: the entities of model and paper space; 19: the entities of one block; 7: the next
    // entity of the range positioned at.
    virtual int seekSpaceEntities(Drawing& drawing) = 0;
    virtual int seekBlockEntities(Drawing& drawing) = 0;
    virtual int readEntity(Drawing& drawing, EntityRecord& entity, uint8_t& hasXData) = 0;

    // 27: the objects; 0: the code of the next object (32 DICTIONARY, 33 MLINESTYLE, 36 GROUP,
    // a class number, kNoMoreObjects at the end); then the read of that kind: 1 DICTIONARY,
    // 12 MLINESTYLE, 8 GROUP, 2 a class-based object.
    virtual int seekObjects(Drawing& drawing) = 0;
    virtual uint16_t nextObjectCode(Drawing& drawing) = 0;
    virtual int readDictionary(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) = 0;
    virtual int readMlineStyle(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) = 0;
    virtual int readGroup(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) = 0;
    virtual int readClassObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) = 0;

    // Where the entity pass of the two spaces stands, for the load progress: a position
    // between start and end of the range that holds both spaces' entities. A reader whose
    // spaces lie apart presents them as one range (model space, then paper space).
    virtual EntityRangePosition entityRangePosition(Drawing& drawing) = 0;

    // Attaches the extended data that a read reported (a reader queues the references to
    // applications and layers it holds for the fix-ups after the load); 0 ends the pass as a
    // failed read.
    virtual int attachExtendedData(Drawing&, OwnedStream&) { return 1; }

    // Readers whose files keep what the load needs beyond the slots: the block records of the
    // two layout blocks (R13-2000 DWG reads them by handle; `found` tells which were read),
    // the VIEWPORT data of the viewport entity headers, and the header's current entries
    // named by position (before R13). The defaults do nothing.
    virtual int readLayoutBlockRecords(Drawing&, BlockRecord& /*model*/, BlockRecord& /*paper*/,
                                       uint8_t& /*found*/) {
        return 1;
    }
    virtual int loadViewports(Drawing&) { return 1; }
    virtual int resolveIndexedHeaderRefs(Drawing&) { return 1; }

    // Called at the end of every table pass and of the objects pass: a reader releases what
    // it kept for reading that table or the objects.
    virtual void endTableLoad(Drawing&) {}
    virtual void endObjectLoad(Drawing&) {}
};


// The declarations of every operation a reader must give (the pure ones above), for the class
// body of a reader that defines them out of line; the optional hooks it gives are declared
// beside it.
#define TRACEMILL_FORMAT_DRIVER_OPERATIONS                                                             \
    int openHeader(Drawing& drawing) override;                                                         \
    int seekLinetypes(Drawing& drawing) override;                                                      \
    int readLinetype(Drawing& drawing, LinetypeRecord& record, uint8_t& hasXData) override;            \
    int seekLayers(Drawing& drawing) override;                                                         \
    int readLayer(Drawing& drawing, LayerRecord& record, LinetypeReference& linetype,                  \
                  uint8_t& hasXData) override;                                                         \
    int seekClasses(Drawing& drawing) override;                                                        \
    int readClass(Drawing& drawing, ClassEntry& entry) override;                                       \
    int seekVports(Drawing& drawing) override;                                                         \
    int readVport(Drawing& drawing, VportRecord& record, uint8_t& hasXData) override;                  \
    int seekUcss(Drawing& drawing) override;                                                           \
    int readUcs(Drawing& drawing, UcsRecord& record, uint8_t& hasXData) override;                      \
    int seekAppIds(Drawing& drawing) override;                                                         \
    int readAppId(Drawing& drawing, AppIdRecord& record, uint8_t& hasXData) override;                  \
    int seekViews(Drawing& drawing) override;                                                          \
    int readView(Drawing& drawing, ViewRecord& record, uint8_t& hasXData) override;                    \
    int seekStyles(Drawing& drawing) override;                                                         \
    int readStyle(Drawing& drawing, StyleRecord& record, uint8_t& hasXData) override;                  \
    int seekBlockRecords(Drawing& drawing) override;                                                   \
    int readBlockRecord(Drawing& drawing, BlockRecord& record, uint8_t& hasXData) override;            \
    int seekDimStyles(Drawing& drawing) override;                                                      \
    int readDimStyle(Drawing& drawing, DimStyleRecord& record, uint8_t& hasXData) override;            \
    int seekViewportEntities(Drawing& drawing) override;                                               \
    int readViewportEntity(Drawing& drawing, ViewportEntityHeaderRecord& record) override;             \
    int seekSpaceEntities(Drawing& drawing) override;                                                  \
    int seekBlockEntities(Drawing& drawing) override;                                                  \
    int readEntity(Drawing& drawing, EntityRecord& entity, uint8_t& hasXData) override;                \
    int seekObjects(Drawing& drawing) override;                                                        \
    uint16_t nextObjectCode(Drawing& drawing) override;                                                \
    int readDictionary(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) override;            \
    int readMlineStyle(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) override;            \
    int readGroup(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) override;                 \
    int readClassObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) override;           \
    EntityRangePosition entityRangePosition(Drawing& drawing) override;

} // namespace tracemill
