// The state of one load: everything the loader and the format driver keep while a drawing
// file is read into a Drawing, and nothing beyond it. The loader owns the session and points
// the drawing at it for the load's duration, so a driver operation (which takes only the
// drawing) finds its state there, and a load started while another drawing is open or loading
// never disturbs that one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/in_file.h"
#include "toolkit/core/version_index.h"

namespace tracemill {

struct Drawing;

// What a format driver keeps for one load (its input, its section index, ...). The driver's
// open operation creates it in the session.
class FormatLoadState {
public:
    virtual ~FormatLoadState() = default;
};

// The linetype positions of files before R13 that stand for BYLAYER and BYBLOCK.
inline constexpr int32_t kLinetypeIndexByLayer = 32767;
inline constexpr int32_t kLinetypeIndexByBlock = 32766;

// The table records an entity refers to, as its file names them; the entity section reader
// turns them into handles. DXF names records by name, files before R13 by their position in
// the table (-1: the file gave none).
struct EntityReferences {
    std::string layer;
    std::string linetype;
    std::string textStyle;
    std::string dimStyle;
    std::string block;
    std::string shape;
    std::string mlineStyle;
    int32_t layerIndex = -1;
    int32_t linetypeIndex = -1;
    int32_t textStyleIndex = -1;
    bool hasTextStyle = false;  // the kind carries a text style reference
    bool hasDimStyle = false;   // ... a dimension style reference
    bool hasBlock = false;      // ... a block reference (INSERT, DIMENSION)
    bool hasMlineStyle = false;

    void reset() {
        layer.clear();
        layer.push_back('0');
        linetype.clear();
        textStyle.clear();
        dimStyle.clear();
        block.clear();
        shape.clear();
        mlineStyle.clear();
        layerIndex = linetypeIndex = textStyleIndex = -1;
        hasTextStyle = hasDimStyle = hasBlock = hasMlineStyle = false;
    }
};

// A reference of extended data to an application (1001) or a layer (1003) that is resolved
// once every table is loaded. While a load runs, the 8-byte value of every 1001 and 1003 item
// of a record's extended data is the number of its entry here.
struct PendingXDataRef {
    enum Kind : uint8_t { Application = 0, Layer = 1 };
    Kind kind = Application;
    std::string name;  // DXF
    Handle handle;     // R13-2000 DWG
    int32_t index = -1;  // DWG before R13: the position in the table
};

// The open sequence of a POLYLINE or INSERT in the entity section: the VERTEX, ATTRIB and
// SEQEND entities that follow take over some of its properties.
struct EntitySequence {
    enum State : uint8_t { None, Polyline, Insert };
    State state = None;
    std::string layer;
    int16_t colour = 0;
    uint8_t paperSpace = 0;
};

// The default widths of the 2D POLYLINE whose vertices are being read, in files that list a
// polyline's vertices after it (DXF, DWG before R13).
struct PolylineWidths {
    bool open = false;  // a 2D POLYLINE opened a sequence that no SEQEND has closed yet
    double start = 0.0;
    double end = 0.0;
};

// Hashes names for lookups by std::string_view without making a string.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

// Table records already found by name: every name by its upper-case form and by each spelling
// met, and the last name asked for as it was written, so that a run of entities on one layer
// costs one comparison and a name met before costs no case conversion.
struct NameLookupCache {
    std::unordered_map<std::string, Handle, NameHash, std::equal_to<>> bySpelling;
    std::unordered_map<std::string, Handle> byUpperName;
    std::string lastName;
    Handle lastHandle;  // null until a name was found
};

struct LoadSession {
    std::string path;
    InFilePtr file;
    int32_t fileLength = 0;
    uint8_t openMode = 1;  // 2: entity kinds switched off in the context are dropped
    bool loading = false;

    // Set by the open operation of the driver.
    bool handlesEnabled = false;     // the file's HANDLING
    bool versionDefaulted = false;   // DXF: the header named no known version
    int16_t visretain = 0;
    HeaderEntryNames currentNames;   // DXF: the header's current entry names
    int16_t currentLinetypeIndex = 0;

    // The entity passes.
    bool spaceNewHandles = false;
    bool blockNewHandles = false;
    int16_t progressStep = 0;
    int32_t loadError = 0;  // set by the entity reader; ends an entity pass as a failure
    EntityReferences entityRefs;   // filled by the driver for each entity
    bool entitySkipped = false;    // the driver read something that is no entity to store
    EntitySequence sequence;
    PolylineWidths polylineWidths;
    Handle currentBlock;           // the block whose entities are read
    std::string currentBlockName;

    // Table records already found by name or position.
    NameLookupCache layerCache;
    NameLookupCache linetypeCache;
    NameLookupCache styleCache;
    NameLookupCache dimStyleCache;
    int32_t lastLayerIndex = -1;
    Handle lastLayer;
    int32_t lastLinetypeIndex = -1;
    Handle lastLinetype;

    // Extended-data references resolved after the load.
    std::vector<PendingXDataRef> pendingXDataRefs;

    // Records a reader met but could not place in the database (unknown kinds, entities that
    // refer to nothing); reported with the drawing.
    uint32_t unplacedRecords = 0;

    std::unique_ptr<FormatLoadState> format;
};

// The session of a drawing while it loads; null otherwise.
LoadSession* rdLoadSession(Drawing& drawing);

} // namespace tracemill
