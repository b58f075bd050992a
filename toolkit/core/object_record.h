// Non-graphical objects: their common header and their typed bodies, one struct per kind.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/point.h"
#include "toolkit/core/record_body.h"

namespace tracemill {

struct ObjectHeader {
    Handle handle;
    uint16_t type = 0;  // an ObjectType, or a class number
    Handle owner;
    Handle extensionDictionary;
    OwnedStream xdata;  // XDataItems
    HandleList reactors;
    friend bool operator==(const ObjectHeader&, const ObjectHeader&) = default;
};

// DICTIONARY (32).
struct DictionaryBody {
    std::vector<DictionaryEntry> entries;
    uint8_t hardOwner = 0;  // 280
    int16_t cloning = 0;    // 281
    friend bool operator==(const DictionaryBody&, const DictionaryBody&) = default;
};

// ACDBDICTIONARYWDFLT: a dictionary with a default entry.
struct DictionaryWithDefaultBody {
    std::vector<DictionaryEntry> entries;
    int16_t cloning = 0;
    Handle defaultEntry;
    friend bool operator==(const DictionaryWithDefaultBody&, const DictionaryWithDefaultBody&) = default;
};

// MLINESTYLE (33). Flags as stored: 1 fill on, 2 show miters, 16 start square cap, 32 start
// inner arcs, 64 start round cap, 256 end square cap, 512 end inner arcs, 1024 end round cap.
struct MlineStyleBody {
    std::string name;
    std::string description;
    int16_t flags = 0;
    int16_t fillColour = 0;
    double startAngle = 0.0;
    double endAngle = 0.0;
    std::vector<MlineStyleElement> elements;
    friend bool operator==(const MlineStyleBody&, const MlineStyleBody&) = default;
};

// GROUP (36).
struct GroupBody {
    std::string description;
    int16_t unnamed = 0;
    int16_t selectable = 0;
    HandleList members;
    friend bool operator==(const GroupBody&, const GroupBody&) = default;
};

// XRECORD: GroupItems in a stream.
struct XrecordBody {
    int16_t cloning = 0;
    OwnedStream data;
    friend bool operator==(const XrecordBody&, const XrecordBody&) = default;
};

// One point reference of a DIMASSOC. The main objects are the objects the point lies on (331,
// one or two: an intersection of two curves names both).
struct DimAssocPointReference {
    std::string className;
    uint8_t objectSnapType = 0;
    HandleList mainObjects;
    int16_t mainSubentityType = 0;
    int32_t mainGraphicsIndex = 0;
    HandleList path;
    double snapParameter = 0.0;
    Point3 snapPoint;
    Handle intersectionObject;
    int16_t intersectionSubentityType = 0;
    int32_t intersectionGraphicsIndex = 0;
    Handle intersectionPath;
    uint8_t hasLastPointReference = 0;
    friend bool operator==(const DimAssocPointReference&, const DimAssocPointReference&) = default;
};

// DIMASSOC; at most eight point references.
struct DimAssocBody {
    Handle dimension;
    int32_t associativity = 0;
    uint8_t transSpace = 0;
    uint8_t rotatedType = 0;
    std::vector<DimAssocPointReference> references;
    friend bool operator==(const DimAssocBody&, const DimAssocBody&) = default;
};

inline constexpr std::size_t kMaxDimAssocReferences = 8;

// IDBUFFER.
struct IdBufferBody {
    HandleList ids;
    friend bool operator==(const IdBufferBody&, const IdBufferBody&) = default;
};

// DICTIONARYVAR.
struct DictionaryVarBody {
    uint8_t schema = 0;
    std::string value;
    friend bool operator==(const DictionaryVarBody&, const DictionaryVarBody&) = default;
};

// IMAGEDEF.
struct ImageDefBody {
    int32_t classVersion = 0;
    std::string fileName;
    Point2 imageSize;  // pixels
    Point2 pixelSize;
    uint8_t loaded = 0;
    uint8_t resolutionUnits = 0;
    friend bool operator==(const ImageDefBody&, const ImageDefBody&) = default;
};

// IMAGEDEF_REACTOR.
struct ImageDefReactorBody {
    int32_t classVersion = 0;
    Handle image;
    friend bool operator==(const ImageDefReactorBody&, const ImageDefReactorBody&) = default;
};

struct LayerIndexEntry {
    std::string name;
    Handle handle;
    int32_t indexCount = 0;
    friend bool operator==(const LayerIndexEntry&, const LayerIndexEntry&) = default;
};

// LAYER_INDEX.
struct LayerIndexBody {
    int32_t timeStamp1 = 0;
    int32_t timeStamp2 = 0;
    std::vector<LayerIndexEntry> entries;
    friend bool operator==(const LayerIndexBody&, const LayerIndexBody&) = default;
};

// OBJECT_PTR: data bits kept as read.
struct ObjectPtrBody {
    uint32_t dataBitCount = 0;
    OwnedStream data;
    friend bool operator==(const ObjectPtrBody&, const ObjectPtrBody&) = default;
};

// RASTERVARIABLES.
struct RasterVariablesBody {
    int32_t classVersion = 0;
    int16_t displayFrame = 0;
    int16_t displayQuality = 0;
    int16_t units = 0;
    friend bool operator==(const RasterVariablesBody&, const RasterVariablesBody&) = default;
};

struct SortEntry {
    Handle entity;
    Handle sortHandle;
    friend bool operator==(const SortEntry&, const SortEntry&) = default;
};

// SORTENTSTABLE.
struct SortentsTableBody {
    Handle block;
    std::vector<SortEntry> entries;
    friend bool operator==(const SortentsTableBody&, const SortentsTableBody&) = default;
};

// SPATIAL_FILTER. Each transform is four columns of three doubles, column after column.
struct SpatialFilterBody {
    std::vector<Point2> boundary;
    Point3 normal;
    Point3 origin;
    int16_t displayBoundary = 0;
    int16_t frontClipOn = 0;
    double frontDistance = 0.0;
    int16_t backClipOn = 0;
    double backDistance = 0.0;
    std::array<double, 12> inverseBlockTransform{};
    std::array<double, 12> clipTransform{};
    friend bool operator==(const SpatialFilterBody&, const SpatialFilterBody&) = default;
};

// SPATIAL_INDEX.
struct SpatialIndexBody {
    int32_t timeStamp1 = 0;
    int32_t timeStamp2 = 0;
    std::array<double, 6> extents{};
    OwnedStream data;  // bytes kept for a save to the drawing's own version
    Handle reference;
    uint32_t furtherBitCount = 0;
    OwnedStream furtherBits;
    friend bool operator==(const SpatialIndexBody&, const SpatialIndexBody&) = default;
};

// The plot settings of a PLOTSETTINGS object and of a LAYOUT.
struct PlotSettings {
    std::string pageSetupName;    // 1
    std::string plotConfigName;   // 2
    std::string paperSizeName;    // 4
    std::string plotViewName;     // 6
    std::string styleSheet;       // 7
    double leftMargin = 0.0;      // 40
    double bottomMargin = 0.0;    // 41
    double rightMargin = 0.0;     // 42
    double topMargin = 0.0;       // 43
    double paperWidth = 0.0;      // 44
    double paperHeight = 0.0;     // 45
    Point2 plotOrigin;            // 46, 47
    Point2 windowMin;             // 48, 49
    Point2 windowMax;             // 140, 141
    double realWorldUnits = 0.0;  // 142
    double drawingUnits = 0.0;    // 143
    int16_t plotLayoutFlags = 0;  // 70
    int16_t paperUnits = 0;       // 72
    int16_t plotRotation = 0;     // 73
    int16_t plotType = 0;         // 74
    int16_t scaleType = 0;        // 75
    double scaleFactor = 0.0;     // 147
    Point2 paperImageOrigin;      // 148, 149
    friend bool operator==(const PlotSettings&, const PlotSettings&) = default;
};

// PLOTSETTINGS.
struct PlotSettingsBody {
    PlotSettings settings;
    friend bool operator==(const PlotSettingsBody&, const PlotSettingsBody&) = default;
};

// LAYOUT.
struct LayoutBody {
    PlotSettings settings;
    std::string name;
    int16_t flags = 0;
    int16_t tabOrder = 0;
    Point2 limitsMin;
    Point2 limitsMax;
    Point3 insertionBase;
    Point3 extentsMin;
    Point3 extentsMax;
    double elevation = 0.0;
    Point3 ucsOrigin;
    Point3 ucsXAxis;
    Point3 ucsYAxis;
    int16_t orthographicType = 0;
    Handle block;               // 330: the layout's block record
    Handle lastActiveViewport;  // 331
    Handle namedUcs;            // 345
    Handle baseUcs;             // 346
    friend bool operator==(const LayoutBody&, const LayoutBody&) = default;
};

// VBA_PROJECT.
struct VbaProjectBody {
    OwnedStream data;
    friend bool operator==(const VbaProjectBody&, const VbaProjectBody&) = default;
};

// WIPEOUTVARIABLES.
struct WipeoutVariablesBody {
    int16_t displayFrame = 0;
    friend bool operator==(const WipeoutVariablesBody&, const WipeoutVariablesBody&) = default;
};

// ACDBPLACEHOLDER: no fields.
struct PlaceholderBody {
    friend bool operator==(const PlaceholderBody&, const PlaceholderBody&) = default;
};

// Any other object, kept as the file gave it: a proxy object, or an object of a class without a
// reader of its own (type 499, `classNumber` the class).
struct ProxyObjectBody {
    uint16_t classNumber = 0;
    int32_t proxyClassId = 0;
    int32_t applicationClassId = 0;
    int32_t version = 0;
    int16_t dataFormat = 0;
    uint32_t dataBitCount = 0;
    OwnedStream data;  // MSB first
    std::vector<ObjectReference> references;
    friend bool operator==(const ProxyObjectBody&, const ProxyObjectBody&) = default;
};

using ObjectBody =
    RecordBody<DictionaryBody, DictionaryWithDefaultBody, MlineStyleBody, GroupBody, XrecordBody, DimAssocBody,
               IdBufferBody, DictionaryVarBody, ImageDefBody, ImageDefReactorBody, LayerIndexBody,
               ObjectPtrBody, RasterVariablesBody, SortentsTableBody, SpatialFilterBody, SpatialIndexBody,
               PlotSettingsBody, LayoutBody, VbaProjectBody, WipeoutVariablesBody, PlaceholderBody,
               ProxyObjectBody>;

// An object: `header`, `body`, and `bodyAs<T>()` for the body of a known kind.
struct ObjectRecord : TypedRecord<ObjectHeader, ObjectBody> {
    friend bool operator==(const ObjectRecord&, const ObjectRecord&) = default;
};

} // namespace tracemill
