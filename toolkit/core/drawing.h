// The database of one open drawing: header variables, symbol tables, classes, objects, the
// entity lists of model space, paper space and every block, the handle seed and the handle
// index. A drawing owns everything in it; `dbFreeDrawing` releases it all.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/class_list.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/handle_tree.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/object_record.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/record_list.h"
#include "toolkit/core/stored_record.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/version_fallback_note.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/fonts/drawing_fonts.h"

namespace tracemill {

class FormatDriver;
struct DisplayContext;
struct LoadSession;

// Display generation's state of a drawing while it is displayed. Display generation makes it
// and hands the drawing the routine that frees it, so the database core holds it without
// knowing its type.
using DisplayContextPtr = std::unique_ptr<DisplayContext, void (*)(DisplayContext*)>;

// A stored block record owns the entity list of its block; the record's `entities` names it.
struct BlockNode : ListLink {
    BlockRecord record;
    std::unique_ptr<EntityList> entityList;

    BlockNode() = default;
    explicit BlockNode(const BlockRecord& r) : record(r) {}
    explicit BlockNode(BlockRecord&& r) : record(std::move(r)) {}
};

using LayerList = RecordList<StoredRecord<LayerRecord>>;
using LinetypeList = RecordList<StoredRecord<LinetypeRecord>>;
using StyleList = RecordList<StoredRecord<StyleRecord>>;
using ViewList = RecordList<StoredRecord<ViewRecord>>;
using VportList = RecordList<StoredRecord<VportRecord>>;
using AppIdList = RecordList<StoredRecord<AppIdRecord>>;
using DimStyleList = RecordList<StoredRecord<DimStyleRecord>>;
using UcsList = RecordList<StoredRecord<UcsRecord>>;
using BlockList = RecordList<BlockNode>;
using ViewportIndexList = RecordList<StoredRecord<ViewportIndexEntry>>;
using ObjectNode = StoredRecord<ObjectRecord>;
using ObjectList = RecordList<ObjectNode>;

// Handles of the drawing's fixed records, kept in the drawing.
struct DrawingHandles {
    // The table-control objects.
    Handle blockControl;
    Handle layerControl;
    Handle styleControl;
    Handle linetypeControl;
    Handle viewControl;
    Handle ucsControl;
    Handle vportControl;
    Handle appIdControl;
    Handle dimStyleControl;
    Handle viewportEntityHeaderControl;
    // The dictionaries.
    Handle mlineStyleDictionary;
    Handle groupDictionary;
    Handle namedObjectDictionary;
    // The layout blocks.
    Handle modelSpaceBlock;
    Handle paperSpaceBlock;
    Handle byBlockLinetype;
    Handle byLayerLinetype;
    Handle modelSpaceBlockEntity;
    Handle modelSpaceEndBlockEntity;
    Handle paperSpaceBlockEntity;
    Handle paperSpaceEndBlockEntity;
    std::array<Handle, 4> further;
    // The dictionaries of plot styles (ACAD_PLOTSTYLENAME), layouts (ACAD_LAYOUT) and plot
    // settings (ACAD_PLOTSETTINGS); the zero handle when the drawing has none.
    Handle plotStyleDictionary;
    Handle layoutDictionary;
    Handle plotSettingsDictionary;
    // The viewport entity header of an R13-2000 DWG file that names no viewport (the zero handle
    // when the drawing has none).
    Handle viewportEntityHeader;
};

// The handles a caller may give `dbCreateDrawing` for the fixed records of a new drawing.
enum HandleSetIndex : int {
    kHandleSetBlockControl = 0,  // 0-9: the table controls in the order of DrawingHandles
    kHandleSetViewportEntityHeaderControl = 9,
    kHandleSetModelSpaceBlock = 10,
    kHandleSetPaperSpaceBlock = 11,
    kHandleSetModelSpaceBlockEntity = 12,
    kHandleSetModelSpaceEndBlockEntity = 13,
    kHandleSetPaperSpaceBlockEntity = 14,
    kHandleSetPaperSpaceEndBlockEntity = 15,
    kHandleSetByBlockLinetype = 16,
    kHandleSetByLayerLinetype = 17,
    kHandleSetContinuousLinetype = 18,
    kHandleSetLayerZero = 19,
    kHandleSetActiveVport = 20,
    kHandleSetAcadAppId = 21,
    kHandleSetStandardStyle = 22,
    kHandleSetStandardDimStyle = 23,
    kHandleSetNamedObjectDictionary = 24,
    kHandleSetGroupDictionary = 25,
    kHandleSetMlineStyleDictionary = 26,
    kHandleSetStandardMlineStyle = 27,
    kHandleSetFirstLayout = 28,  // 28-34: the layout objects of a 2000 drawing
};
inline constexpr int kHandleSetSize = 35;
using HandleSet = std::array<Handle, kHandleSetSize>;

// The handle a fixed record takes: the set's entry when a set is given and the entry is not
// the zero handle, else a new handle.
Handle dbHandleFromSet(Drawing& drawing, const HandleSet* handleSet, int index);

// The block-name index: block records sorted by name (compared without case) for lookups by
// name; rebuilt before the next lookup once marked stale.
struct BlockNameIndex {
    struct Entry {
        Handle handle;
        std::string name;
    };
    std::vector<Entry> entries;
    bool stale = true;
};

// Record counts that a file announced for its tables, kept by the loader.
struct AnnouncedCounts {
    int32_t layers = 0;
    int32_t linetypes = 0;
    int32_t vports = 0;
    int32_t ucss = 0;
    int32_t views = 0;
    int32_t styles = 0;
    int32_t appIds = 0;
    int32_t dimStyles = 0;
    int32_t blocks = 0;
    int32_t classes = 0;
    int32_t objects = 0;
};

// Which arrow-block field of a DIMSTYLE a deferred arrowhead fills (the DXF group code of the
// block name).
enum class ArrowheadField : uint32_t { Dimblk = 5, Dimblk1 = 6, Dimblk2 = 7 };

// A DIMSTYLE that names an arrowhead block the reader has not seen yet; dbFixupDimStyles
// resolves it once the load is complete.
struct DeferredArrowhead {
    Handle dimStyle;
    ArrowheadField field = ArrowheadField::Dimblk;
    std::string blockName;
    friend bool operator==(const DeferredArrowhead&, const DeferredArrowhead&) = default;
};

// A name of the drawing's style list with the code page kept for it (dbStyleCodePage).
struct StyleCodePage {
    std::string name;
    int16_t codePage = 0;
    friend bool operator==(const StyleCodePage&, const StyleCodePage&) = default;
};

// The creation version of a drawing read from a file.
inline constexpr uint16_t kCreationVersionLoaded = 65535;

// The highest version index ("AC1015").
inline constexpr int16_t kVersionIndex2000 = 7;

struct Drawing {
    Drawing();
    ~Drawing();
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    // Drawings of external references that the loader opened for this one; freed first.
    std::vector<std::unique_ptr<Drawing>> referencedDrawings;

    std::unique_ptr<HeaderBlock> header;
    DrawingHandles handles;
    void* hostContext = nullptr;  // passed to the output hooks
    uint8_t flags = 0;

    ClassList classes;
    HandleTree handleIndex;

    // Display working state.
    uint8_t displayBits = 0;
    uint8_t displayStart = 1;
    DisplayContextPtr displayContext{nullptr, nullptr};  // while the drawing is displayed
    Handle acadAppId;          // the APPID "ACAD", found when the display begins; zero without one
    Handle layoutBlockToShow;  // the layout block a host asked the display for; zero: the current one

    // The entity lists of the two layout blocks (owned by their block records).
    EntityList* modelSpace = nullptr;
    EntityList* paperSpace = nullptr;

    // Current-name references used while a file is read or written.
    std::array<uint8_t, 10> nameRefState{};
    std::array<Handle, 5> nameRefHandles{};
    std::array<std::string, 5> nameRefNames{};

    // The file the drawing was read from (the key of the referenced-drawing cache).
    std::string filePath;
    // Loader state.
    LoadSession* load = nullptr;  // the state of the load while one runs (toolkit/read)
    // Records the reader met but could not place: of an unknown kind, or referring to nothing.
    uint32_t unplacedRecords = 0;
    // A DXF file of a version the reader does not know: what it named and what was left out.
    VersionFallbackNote versionFallback;
    AnnouncedCounts announced;
    SourceFormat sourceFormat = SourceFormat::Dwg;
    int16_t versionIndex = 0;
    uint32_t modelSpaceEntityCount = 0;
    uint32_t paperSpaceEntityCount = 0;
    uint8_t dxfSourceFlag = 0;
    FormatDriver* driver = nullptr;  // the reader operations of the source format
    Handle continuousLinetype;       // the file's "CONTINUOUS" linetype, for the layer pass
    int16_t loadProgress = 0;        // the last figure of dbLoadProgress
    std::vector<DeferredArrowhead> deferredArrowheads;
    std::vector<StyleCodePage> styleCodePages;  // the style list

    // The tables, in the order the drawing keeps them.
    LayerList layers;
    LinetypeList linetypes;
    UcsList ucss;
    ViewList views;
    VportList vports;
    ViewportIndexList viewportIndex;
    DimStyleList dimStyles;
    AppIdList appIds;
    BlockList blocks;
    StyleList styles;
    ObjectList objects;

    BlockNameIndex blockNameIndex;
    // Block-record handles in block-list order (dbBuildBlockHandleTable).
    std::vector<Handle> blockHandleTable;

    // The next handle dbNewHandle hands out.
    Handle handleSeed;
    // The preview pictures a DWG file carries (a bitmap and a metafile), as the file gives them.
    OwnedStream previewBitmap;
    OwnedStream previewMetafile;
    // The version index given to dbCreateDrawing; kCreationVersionLoaded for a loaded drawing.
    uint16_t creationVersion = kCreationVersionLoaded;
    // Fonts loaded for the drawing's text, names not found, shape names looked up.
    DrawingFonts fonts;
};

// A new empty drawing without header block or records; null when memory is exhausted (error
// 218). Used by the loader, which fills it from a file.
Drawing* dbAllocDrawing();

// A new drawing of a version index (0..7) with its header, classes, default records,
// dictionaries and layout blocks. `handleSet` (may be null) gives the fixed records known
// handles; `classes` (may be null) replaces the default classes. Null on failure.
Drawing* dbCreateDrawing(const HandleSet* handleSet, const ClassEntry* classes, int16_t classCount,
                         uint16_t versionIndex);

// Frees the drawing and everything it owns, its referenced drawings first. 1, 0 for null.
int dbFreeDrawing(Drawing* drawing);

// The host word passed to the output hooks.
void dbSetHostContext(Drawing* drawing, void* context);

// The header variables; null for a null drawing.
HeaderBlock* dbGetHeaderBlock(Drawing* drawing);

int16_t dbGetVersionIndex(const Drawing* drawing);
uint8_t dbGetSourceFormat(const Drawing* drawing);

// 1 when the drawing's version is older than "AC1009" or the flag is set.
int dbIsPreR12OrForced(const Drawing* drawing, int flag);

// Resets the current-name references before a file is written.
void dbClearHeaderNameRefs(Drawing* drawing);

} // namespace tracemill
