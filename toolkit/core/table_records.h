// The records of the symbol tables (LAYER, LTYPE, STYLE, VIEW, VPORT, APPID, DIMSTYLE, UCS,
// BLOCK) and of the viewport index. Field names follow the meaning of the DXF groups named in
// the comments; angles are radians. Member defaults are the cleared record: the defaults of a
// new record are set by the record initialisers of the default-record code.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/point.h"
#include "toolkit/core/record_list.h"
#include "toolkit/core/stored_record.h"

namespace tracemill {

struct Drawing;
struct EntityRecord;
using EntityNode = StoredRecord<EntityRecord>;
using EntityList = RecordList<EntityNode>;

// Bits of the flags (70) that every table record has besides its own.
inline constexpr uint8_t kTableRecordXrefDependent = 0x10;
inline constexpr uint8_t kTableRecordReferenced = 0x40;

// What every table record carries.
struct TableRecordCommon {
    Handle owner;                // 330
    uint8_t endOfTable = 0;      // set by a reader when no record was read
    int16_t xrefIndex = -1;      // external-reference index, -1 for none
    uint8_t flags = 0;           // 70
    std::string name;            // 2
    Handle handle;               // 5 (105 for DIMSTYLE)
    // A deleted record that keeps its place: files before R13 name records by position, so
    // their writer puts it down marked as erased (and, for a block, with a stand-in block).
    uint8_t deleted = 0;
    Handle extensionDictionary;  // 360
    OwnedStream xdata;           // XDataItems
    HandleList reactors;
    friend bool operator==(const TableRecordCommon&, const TableRecordCommon&) = default;
};

// LAYER. Flags: 1 frozen, 2 frozen in new viewports, 4 locked. A negative colour is a layer
// that is off.
struct LayerRecord : TableRecordCommon {
    int16_t colour = 0;  // 62
    Handle linetype;
    Drawing* drawing = nullptr;  // the drawing the layer's linetype and plot style belong to
    int16_t plotFlag = 0;        // 290
    int16_t lineweight = 0;      // 370
    Handle plotStyle;            // 390
    uint64_t frozenInViewports = 0;  // bit i: frozen in viewport i of the current display
    friend bool operator==(const LayerRecord&, const LayerRecord&) = default;
};

inline constexpr uint8_t kLayerFrozen = 0x01;
inline constexpr uint8_t kLayerFrozenInNewViewports = 0x02;
inline constexpr uint8_t kLayerLocked = 0x04;

// One dash element of a linetype. A dash with shape flags 2 draws the text that starts at its
// text position in the record's text area.
struct LinetypeDash {
    double length = 0.0;     // 49
    int16_t shapeNumber = 0; // 75
    double scale = 1.0;      // 46
    double rotation = 0.0;   // 50
    Point2 offset;           // 44, 45
    Handle style;            // 340
    int16_t complexFlags = 0;  // 74
    uint16_t textPosition = 0;
    friend bool operator==(const LinetypeDash&, const LinetypeDash&) = default;
};

inline constexpr int kMaxLinetypeDashes = 15;
inline constexpr size_t kLinetypeTextAreaSize = 256;

// LTYPE.
struct LinetypeRecord : TableRecordCommon {
    std::string description;  // 3
    uint8_t alignment = 0;    // 72
    int16_t dashCount = 0;    // 73
    double patternLength = 0.0;  // 40
    std::array<LinetypeDash, kMaxLinetypeDashes> dashes{};
    std::string textArea;  // the dash texts, NUL-separated, at most 256 bytes
    Drawing* drawing = nullptr;  // the drawing the record belongs to
    friend bool operator==(const LinetypeRecord&, const LinetypeRecord&) = default;
};

// STYLE. Flags: 1 shape file, 4 vertical text. Generation: 2 backwards, 4 upside down.
struct StyleRecord : TableRecordCommon {
    std::string bigFontFile;  // 4
    uint8_t generation = 0;   // 71
    std::string fontFile;     // 3
    double obliqueAngle = 0.0;  // 50
    double fixedHeight = 0.0;   // 40
    double widthFactor = 0.0;   // 41
    double lastHeight = 0.0;    // 42
    Handle xrefBlock;
    friend bool operator==(const StyleRecord&, const StyleRecord&) = default;
};

// The user coordinate system a view or a viewport keeps.
struct ViewUcs {
    Point3 origin;  // 110
    Point3 xAxis;   // 111
    Point3 yAxis;   // 112
    int16_t orthographicType = 0;  // 79
    double elevation = 0.0;        // 146
    Handle namedUcs;               // 345
    Handle baseUcs;                // 346
    friend bool operator==(const ViewUcs&, const ViewUcs&) = default;
};

// VIEW. Flags: 1 paper space.
struct ViewRecord : TableRecordCommon {
    double backClip = 0.0;   // 44
    Point2 centre;           // 10
    Point3 target;           // 11
    double frontClip = 0.0;  // 43
    double height = 0.0;     // 40
    double lensLength = 0.0; // 42
    Point3 direction;        // 12
    double twist = 0.0;      // 50
    int16_t viewMode = 0;    // 71
    double width = 0.0;      // 41
    int16_t renderMode = 0;  // 281
    int16_t hasUcs = 0;      // 72
    ViewUcs ucs;
    friend bool operator==(const ViewRecord&, const ViewRecord&) = default;
};

// VPORT.
struct VportRecord : TableRecordCommon {
    Point2 lowerLeft;     // 10
    Point2 upperRight;    // 11
    Point2 snapBase;      // 13
    Point2 snapSpacing;   // 14
    Point2 gridSpacing;   // 15
    Point2 centre;        // 12
    Point3 direction;     // 16
    Point3 target;        // 17
    double snapAngle = 0.0;  // 51
    double height = 0.0;     // 40
    int16_t viewMode = 0;    // 71
    int16_t circleZoom = 0;  // 72
    int16_t fastZoom = 0;    // 73
    int16_t ucsIcon = 0;     // 74
    double aspect = 0.0;     // 41
    double backClip = 0.0;   // 44
    double frontClip = 0.0;  // 43
    int16_t snapStyle = 0;   // 76
    double lensLength = 0.0; // 42
    int16_t snapIsoPair = 0; // 78
    int16_t snapOn = 0;      // 75
    double twist = 0.0;      // 50
    int16_t gridOn = 0;      // 77
    int16_t renderMode = 0;  // 281
    int16_t ucsPerViewport = 0;  // 65
    ViewUcs ucs;
    friend bool operator==(const VportRecord&, const VportRecord&) = default;
};

// APPID.
struct AppIdRecord : TableRecordCommon {
    friend bool operator==(const AppIdRecord&, const AppIdRecord&) = default;
};

// DIMSTYLE: the dimension variables, named and typed as in the header block.
struct DimStyleRecord : TableRecordCommon {
    std::string dimpost;   // 3
    std::string dimapost;  // 4
    double dimscale = 0.0; // 40
    double dimasz = 0.0;   // 41
    double dimexo = 0.0;   // 42
    double dimdli = 0.0;   // 43
    double dimexe = 0.0;   // 44
    double dimrnd = 0.0;   // 45
    double dimdle = 0.0;   // 46
    double dimtp = 0.0;    // 47
    double dimtm = 0.0;    // 48
    uint8_t dimtol = 0;    // 71
    uint8_t dimlim = 0;    // 72
    uint8_t dimtih = 0;    // 73
    uint8_t dimtoh = 0;    // 74
    uint8_t dimse1 = 0;    // 75
    uint8_t dimse2 = 0;    // 76
    uint8_t dimtad = 0;    // 77
    uint8_t dimzin = 0;    // 78
    int16_t dimazin = 0;   // 79
    double dimtxt = 0.0;   // 140
    double dimcen = 0.0;   // 141
    double dimtsz = 0.0;   // 142
    double dimaltf = 0.0;  // 143
    double dimlfac = 0.0;  // 144
    double dimtvp = 0.0;   // 145
    double dimtfac = 0.0;  // 146
    double dimgap = 0.0;   // 147
    double dimaltrnd = 0.0;  // 148
    uint8_t dimalt = 0;    // 170
    uint8_t dimaltd = 0;   // 171
    uint8_t dimtofl = 0;   // 172
    uint8_t dimsah = 0;    // 173
    uint8_t dimtix = 0;    // 174
    uint8_t dimsoxd = 0;   // 175
    int16_t dimclrd = 0;   // 176
    int16_t dimclre = 0;   // 177
    int16_t dimclrt = 0;   // 178
    int16_t dimadec = 0;   // 179
    int16_t dimlunit = 0;  // 277, also 270 (DIMUNIT)
    int16_t dimdec = 0;    // 271
    int16_t dimtdec = 0;   // 272
    int16_t dimaltu = 0;   // 273
    int16_t dimalttd = 0;  // 274
    int16_t dimaunit = 0;  // 275
    int16_t dimfrac = 0;   // 276
    int16_t dimdsep = 0;   // 278
    int16_t dimtmove = 0;  // 279
    uint8_t dimjust = 0;   // 280
    uint8_t dimsd1 = 0;    // 281
    uint8_t dimsd2 = 0;    // 282
    uint8_t dimtolj = 0;   // 283
    uint8_t dimtzin = 0;   // 284
    uint8_t dimaltz = 0;   // 285
    uint8_t dimalttz = 0;  // 286
    uint8_t dimatfit = 0;  // 287, also DIMFIT
    uint8_t dimupt = 0;    // 288
    int16_t dimlwd = 0;    // 371
    int16_t dimlwe = 0;    // 372
    Handle dimtxsty;       // 340: text style
    Handle dimldrblk;      // 341: leader arrow block
    Handle dimblk;         // 342 (named by 5)
    Handle dimblk1;        // 343 (named by 6)
    Handle dimblk2;        // 344 (named by 7)
    friend bool operator==(const DimStyleRecord&, const DimStyleRecord&) = default;
};

// UCS.
struct UcsRecord : TableRecordCommon {
    Point3 origin;  // 10
    Point3 xAxis;   // 11
    Point3 yAxis;   // 12
    int16_t orthographicType = 0;  // 71
    int16_t orthographicTypeAlt = 0;  // 79
    double elevation = 0.0;  // 146
    Handle baseUcs;          // 346
    Point3 orthographicOrigin;  // 13
    friend bool operator==(const UcsRecord&, const UcsRecord&) = default;
};

// BLOCK (block record). Flags (70): 1 anonymous, 2 has attributes, 4 external reference,
// 8 overlay, 16 externally dependent, 32 resolved reference, 64 referenced. The entity list
// and the INSERT references belong to the stored record: a copy names the stored entity list
// and carries the references as they were when it was read, and an update keeps the stored
// ones.
struct BlockRecord : TableRecordCommon {
    Handle layout;          // 340
    Point3 basePoint;
    std::string xrefPath;   // 1
    std::string description;  // 4
    Handle blockEntity;     // the BLOCK entity that opens the definition
    Handle endBlockEntity;  // its ENDBLK
    uint32_t entityCount = 0;  // as a reader found it
    uint8_t overlay = 0;
    uint8_t xrefState = 0;
    uint8_t xrefDisabled = 0;
    OwnedStream preview;    // 310 chunks
    HandleList insertReferences;  // the INSERT entities that reference the block
    EntityList* entities = nullptr;
    friend bool operator==(const BlockRecord&, const BlockRecord&) = default;
};

inline constexpr uint8_t kBlockAnonymous = 0x01;
inline constexpr uint8_t kBlockExternalReference = 0x04;
inline constexpr uint8_t kBlockOverlay = 0x08;

// A viewport entity header: the table-like record that links a paper-space VIEWPORT entity
// into the chain of viewports. `viewportNumber` is what the reader reports for it: 0 for the
// first record after positioning and for records that are off, else 1 + the place of its
// VIEWPORT among the first 16 recorded, -1 when it is not among them.
struct ViewportEntityHeaderRecord : TableRecordCommon {
    uint8_t on = 0;
    int16_t status = 0;          // DXF 68 of an R12 VIEWPORT
    int16_t id = -1;             // DXF 69 of an R12 VIEWPORT
    Handle viewport;             // the VIEWPORT entity
    Handle next;                 // the next header of the chain
    int32_t viewportOffset = 0;  // R12: file offset of the VIEWPORT entity
    int16_t nextIndex = 0;       // R12: index of the next record
    int16_t viewportNumber = 0;
    friend bool operator==(const ViewportEntityHeaderRecord&, const ViewportEntityHeaderRecord&) = default;
};

// One entry of the viewport index: a VIEWPORT entity of paper space, found without a walk.
struct ViewportIndexEntry {
    Handle viewport;
    Handle viewportEntityHeader;
    EntityNode* node = nullptr;
    friend bool operator==(const ViewportIndexEntry&, const ViewportIndexEntry&) = default;
};

} // namespace tracemill
