// The type bodies of entities, one struct per kind. Field names follow the meaning the DXF
// groups give them; angles are radians; points carry their elevation in z where the formats
// store an elevation with a 2D point. Member defaults are the cleared body: the defaults a new
// entity gets beyond them are set by `dbInitEntity`.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/node_pool.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/point.h"

namespace tracemill {

// LINE (1) and 3DLINE (21).
struct LineBody {
    Point3 start;
    Point3 end;
    friend bool operator==(const LineBody&, const LineBody&) = default;
};

// POINT (2).
struct PointBody {
    Point3 point;
    double xAxisAngle = 0.0;
    friend bool operator==(const PointBody&, const PointBody&) = default;
};

// CIRCLE (3).
struct CircleBody {
    Point3 centre;
    double radius = 0.0;
    friend bool operator==(const CircleBody&, const CircleBody&) = default;
};

// ARC (8).
struct ArcBody {
    Point3 centre;
    double radius = 0.0;
    double startAngle = 0.0;
    double endAngle = 0.0;
    friend bool operator==(const ArcBody&, const ArcBody&) = default;
};

// RAY (26) and XLINE (27).
struct InfiniteLineBody {
    Point3 basePoint;
    Point3 direction;
    friend bool operator==(const InfiniteLineBody&, const InfiniteLineBody&) = default;
};

// SHAPE (4).
struct ShapeBody {
    Point3 insertion;
    double size = 0.0;
    double rotation = 0.0;
    double widthFactor = 0.0;
    double obliqueAngle = 0.0;
    int16_t shapeNumber = 0;
    std::string name;  // the shape's name, as DXF names it (DWG gives the number)
    Handle style;  // the text style that names the shape file
    friend bool operator==(const ShapeBody&, const ShapeBody&) = default;
};

// ELLIPSE (5).
struct EllipseBody {
    Point3 centre;
    Point3 majorAxis;  // end of the major axis relative to the centre
    double axisRatio = 0.0;
    double startParameter = 0.0;
    double endParameter = 0.0;
    friend bool operator==(const EllipseBody&, const EllipseBody&) = default;
};

// SPLINE (6). Flags: 1 closed, 2 periodic, 4 rational, 8 planar, 16 linear.
struct SplineBody {
    int16_t flags = 0;
    int16_t degree = 0;
    double knotTolerance = 0.0;
    double controlTolerance = 0.0;
    double fitTolerance = 0.0;
    Point3 startTangent;
    Point3 endTangent;
    SplineData data;
    friend bool operator==(const SplineBody&, const SplineBody&) = default;
};

// The fields TEXT, ATTRIB and ATTDEF share. The insertion point's z is the elevation.
struct TextFields {
    Point3 insertion;
    Point2 alignment;
    double height = 0.0;
    double rotation = 0.0;
    double widthFactor = 0.0;
    double obliqueAngle = 0.0;
    uint8_t generation = 0;       // 2 backwards, 4 upside down
    uint8_t horizontalAlign = 0;  // 0..5
    uint8_t verticalAlign = 0;    // 0..3
    std::string text;             // ATTDEF: the default value
    Handle style;
    friend bool operator==(const TextFields&, const TextFields&) = default;
};

// TEXT (7).
struct TextBody : TextFields {
    friend bool operator==(const TextBody&, const TextBody&) = default;
};

// ATTRIB (16). Flags: 1 invisible, 2 constant, 4 verify, 8 preset.
struct AttributeBody : TextFields {
    std::string tag;
    int16_t fieldLength = 0;
    uint8_t flags = 0;
    friend bool operator==(const AttributeBody&, const AttributeBody&) = default;
};

// ATTDEF (15).
struct AttributeDefinitionBody : AttributeBody {
    std::string prompt;
    friend bool operator==(const AttributeDefinitionBody&, const AttributeDefinitionBody&) = default;
};

// TRACE (9) and SOLID (11): four corners, elevation in z.
struct SolidBody {
    std::array<Point3, 4> corners{};
    friend bool operator==(const SolidBody&, const SolidBody&) = default;
};

// 3DFACE (22). Bit i of the invisible-edge flags hides the edge from corner i to corner i + 1.
struct FaceBody {
    std::array<Point3, 4> corners{};
    int16_t invisibleEdges = 0;
    friend bool operator==(const FaceBody&, const FaceBody&) = default;
};

// REGION (10), 3DSOLID (25) and BODY (35): the modeler's SAT text and the bits the DWG
// format carries after it.
struct AcisBody {
    OwnedStream satText;
    OwnedStream trailingBits;  // byte: had SAT data; u32 bit count; the bits, MSB first
    uint8_t noTrailingBits = 0;  // 1: an entity without trailing bits writes none
    friend bool operator==(const AcisBody&, const AcisBody&) = default;
};

// BLOCK (12): the entity that opens a block definition.
struct BlockBeginBody {
    std::string name;
    Point3 basePoint;
    std::string xrefPath;
    friend bool operator==(const BlockBeginBody&, const BlockBeginBody&) = default;
};

// INSERT (14); an INSERT with more than one column or row is a MINSERT in DWG.
struct InsertBody {
    int16_t attributesFollow = 0;
    Handle block;  // the block record
    Point3 insertion;
    Point3 scale;
    double rotation = 0.0;
    int16_t columnCount = 0;
    int16_t rowCount = 0;
    double columnSpacing = 0.0;
    double rowSpacing = 0.0;
    friend bool operator==(const InsertBody&, const InsertBody&) = default;
};

// POLYLINE (19). Flags: 1 closed, 2 curve-fit, 4 spline-fit, 8 3D, 16 mesh, 32 closed in N,
// 64 polyface, 128 continuous linetype. A polyface keeps its vertex and face counts in the
// mesh counts.
struct PolylineBody {
    int16_t flags = 0;
    int16_t curveType = 0;  // 0, 5, 6 or 8
    int16_t meshM = 0;
    int16_t meshN = 0;
    int16_t densityM = 0;
    int16_t densityN = 0;
    double defaultStartWidth = 0.0;
    double defaultEndWidth = 0.0;
    double elevation = 0.0;
    friend bool operator==(const PolylineBody&, const PolylineBody&) = default;
};

// VERTEX (20). Flags: 1 extra, 2 curve-fit tangent, 8 spline vertex, 16 spline frame point,
// 32 3D, 64 mesh, 128 polyface. A face record keeps its vertex indexes (1-based, negative for
// an invisible edge) and their count.
struct VertexBody {
    Point3 point;
    double startWidth = 0.0;
    double endWidth = 0.0;
    int16_t hasStartWidth = 0;  // the vertex's own start width differs from the default
    int16_t hasEndWidth = 0;
    double bulge = 0.0;
    double tangentDirection = 0.0;
    uint8_t flags = 0;
    int16_t faceVertexCount = 0;
    std::array<int16_t, 4> faceVertices{};
    friend bool operator==(const VertexBody&, const VertexBody&) = default;
};

// DIMENSION (23). The low three bits of the type flags give the kind (0 rotated, 1 aligned,
// 2 angular, 3 diameter, 4 radius, 5 angular 3-point, 6 ordinate), 64 an x-ordinate, 128
// text at a user position. Points are named by the DXF group that carries them.
struct DimensionBody {
    Point3 definitionPoint;        // 10
    Point3 textMidpoint;           // 11; z is the dimension's elevation
    Point3 cloneInsertionPoint;    // 12
    Point3 point13;
    Point3 point14;
    Point3 point15;
    Point3 point16;
    uint8_t typeFlags = 0;         // 70
    int16_t hasCloneInsertion = 0; // the clone point or the elevation is not zero
    int16_t attachment = 0;        // 71
    int16_t lineSpacingStyle = 0;  // 72
    double lineSpacingFactor = 0.0;  // 41
    double actualMeasurement = 0.0;  // 42
    double leaderLength = 0.0;       // 40
    double rotation = 0.0;           // 50
    double horizontalDirection = 0.0;  // 51
    double extensionLineRotation = 0.0;  // 52
    double textRotation = 0.0;       // 53
    double insertionRotation = 0.0;  // 54
    std::string userText;            // 1
    Handle dimensionStyle;
    Handle block;  // the anonymous block that holds the picture
    friend bool operator==(const DimensionBody&, const DimensionBody&) = default;
};

// VIEWPORT (24). Status flags (90): bit 16 (0x10000) hides the border.
struct ViewportBody {
    Point3 centre;  // paper space
    double width = 0.0;
    double height = 0.0;
    int16_t status = 0;  // 68: 0 off, 1 the paper-space viewport itself
    int16_t id = 0;      // 69
    Point3 viewTarget;
    Point3 viewDirection;
    double twistAngle = 0.0;
    double viewHeight = 0.0;
    double lensLength = 0.0;
    double frontClip = 0.0;
    double backClip = 0.0;
    double snapAngle = 0.0;
    Point2 viewCentre;
    Point2 snapBase;
    Point2 snapSpacing;
    Point2 gridSpacing;
    int16_t circleZoom = 0;
    HandleList frozenLayers;
    int32_t statusFlags = 0;
    std::string styleSheet;
    uint8_t renderMode = 0;
    int16_t ucsAtOrigin = 0;
    int16_t ucsPerViewport = 0;
    int16_t ucsIcon = 0;
    Point3 ucsOrigin;
    Point3 ucsXAxis;
    Point3 ucsYAxis;
    double ucsElevation = 0.0;
    int16_t ucsOrthographicType = 0;
    Handle clipBoundary;
    Handle viewportEntityHeader;
    Handle namedUcs;
    Handle baseUcs;
    friend bool operator==(const ViewportBody&, const ViewportBody&) = default;
};

// MTEXT (28). The contents are the whole text, however a file splits it.
struct MtextBody {
    Point3 insertion;
    Point3 xDirection;
    double referenceWidth = 0.0;
    double textHeight = 0.0;
    uint8_t attachment = 0;        // 1..9
    uint8_t drawingDirection = 0;
    double extentsHeight = 0.0;
    double extentsWidth = 0.0;
    int16_t lineSpacingStyle = 0;
    double lineSpacingFactor = 0.0;
    std::string text;
    Handle style;
    friend bool operator==(const MtextBody&, const MtextBody&) = default;
};

// LEADER (29).
struct LeaderBody {
    std::vector<Point3> points;
    int16_t annotationType = 0;  // 73: 0 text, 1 tolerance, 2 block, 3 none
    uint8_t pathType = 0;        // 72: 0 straight, 1 spline
    uint8_t arrowheadOn = 0;     // 71
    uint8_t hookLineOnXDirection = 0;  // 74
    uint8_t hookLine = 0;        // 75
    int16_t byBlockColour = 0;   // 77
    double textHeight = 0.0;     // 40 (box height)
    double textWidth = 0.0;      // 41 (box width)
    Point3 horizontalDirection;  // 211
    Point3 blockOffset;          // 212
    Point3 annotationOffset;     // 213, the end-point projection of DWG
    Handle annotation;           // 340
    Handle dimensionStyle;
    friend bool operator==(const LeaderBody&, const LeaderBody&) = default;
};

// TOLERANCE (30).
struct ToleranceBody {
    Point3 insertion;
    Point3 xDirection;
    double textHeight = 0.0;
    std::string text;
    Handle dimensionStyle;
    friend bool operator==(const ToleranceBody&, const ToleranceBody&) = default;
};

// MLINE (31). Flags: 1 has vertices, 2 closed, 4 start caps suppressed, 8 end caps suppressed.
struct MlineBody {
    double scale = 0.0;
    uint8_t justification = 0;
    Point3 basePoint;
    int16_t flags = 0;
    uint8_t lineCount = 0;  // lines of the style
    std::vector<MlineVertex> vertices;
    Handle style;
    friend bool operator==(const MlineBody&, const MlineBody&) = default;
};

// LWPOLYLINE (class). Flags: 4 constant width, 16 bulges present, 32 widths present, 256
// continuous linetype, 512 closed.
// Its vertices come from the node pools: a drawing can hold hundreds of thousands of them.
using LwpolylineVertices = std::vector<LwpolylineVertex, PooledAllocator<LwpolylineVertex>>;

struct LwpolylineBody {
    int16_t flags = 0;
    double constantWidth = 0.0;
    double elevation = 0.0;
    LwpolylineVertices vertices;
    friend bool operator==(const LwpolylineBody&, const LwpolylineBody&) = default;
};

inline constexpr int16_t kLwpolylineConstantWidth = 4;
inline constexpr int16_t kLwpolylineHasBulges = 16;
inline constexpr int16_t kLwpolylineHasWidths = 32;
inline constexpr int16_t kLwpolylineContinuousLinetype = 256;
inline constexpr int16_t kLwpolylineClosed = 512;

// HATCH (class).
struct HatchBody {
    double elevation = 0.0;
    std::string patternName;
    int16_t solidFill = 0;
    int16_t associative = 0;
    std::vector<HatchPath> paths;
    int16_t style = 0;        // 75
    int16_t patternType = 0;  // 76
    double patternAngle = 0.0;
    double patternScale = 0.0;
    int16_t patternDouble = 0;
    std::vector<HatchPatternLine> patternLines;
    double pixelSize = 0.0;
    std::vector<Point2> seedPoints;
    friend bool operator==(const HatchBody&, const HatchBody&) = default;
};

// IMAGE and WIPEOUT (classes). A rectangular clip boundary (type 1) keeps its two corners as
// the two clip vertices; a polygonal one keeps its vertices with the first repeated at the end.
struct RasterImageBody {
    int32_t classVersion = 0;
    Point3 insertion;
    Point3 uVector;
    Point3 vVector;
    Point2 size;  // pixels
    int16_t displayProperties = 0;  // 4: use the clip boundary
    int16_t clipping = 0;
    uint8_t brightness = 0;
    uint8_t contrast = 0;
    uint8_t fade = 0;
    int16_t clipBoundaryType = 0;
    std::vector<Point2> clipVertices;
    Handle imageDefinition;
    Handle imageDefinitionReactor;
    OwnedStream graphics;  // proxy graphics a DWG file gave the entity
    OwnedStream picture;   // the picture the host supplied for display
    friend bool operator==(const RasterImageBody&, const RasterImageBody&) = default;
};

// OLE2FRAME (class).
struct Ole2FrameBody {
    int16_t oleVersion = 0;
    int16_t oleType = 0;
    int16_t mode = 0;
    uint8_t trailingByte = 0;
    Point3 upperLeft;
    Point3 lowerRight;
    OwnedStream data;
    friend bool operator==(const Ole2FrameBody&, const Ole2FrameBody&) = default;
};

// RTEXT (class). Flags: 1 the contents name a file, 2 the text is not MTEXT-like.
struct RtextBody {
    Point3 insertion;
    double rotation = 0.0;
    double height = 0.0;
    int16_t flags = 0;
    std::string contents;
    Handle style;
    OwnedStream graphics;
    friend bool operator==(const RtextBody&, const RtextBody&) = default;
};

// ARCALIGNEDTEXT (class). The settings are the 16-bit values of DXF groups 70 to 79 and 280
// in that order.
struct ArcAlignedTextBody {
    std::string text;
    std::string fontName;
    std::string bigFontName;
    Handle style;
    Point3 centre;
    double radius = 0.0;
    double widthFactor = 0.0;
    double textSize = 0.0;
    double characterSpacing = 0.0;
    double offsetFromArc = 0.0;
    double rightOffset = 0.0;
    double leftOffset = 0.0;
    double startAngle = 0.0;
    double endAngle = 0.0;
    std::array<int16_t, 11> settings{};
    int32_t colour = 0;
    Handle arc;
    OwnedStream graphics;
    friend bool operator==(const ArcAlignedTextBody&, const ArcAlignedTextBody&) = default;
};

// Any other class-based entity, kept as the file gave it: a proxy (500 in DXF) or an entity of
// a class without a reader of its own (498), with its data bits, its references to other
// objects and its proxy graphics.
struct ProxyEntityBody {
    uint16_t classNumber = 0;  // the class whose data this is (498 kept the proxied class)
    int32_t proxyClassId = 0;
    int32_t version = 0;
    int16_t dataFormat = 0;
    uint32_t dataBitCount = 0;
    OwnedStream data;  // MSB first
    std::vector<ObjectReference> references;
    OwnedStream graphics;
    OwnedStream satText;  // ACIS data of a class that carries it
    friend bool operator==(const ProxyEntityBody&, const ProxyEntityBody&) = default;
};

} // namespace tracemill
