#include "toolkit/read/dxf_entity_fields.h"
#include <cmath>

namespace tracemill {
namespace {

// A point's x, y and z groups.
#define DXF_POINT3(code, field) \
    DXF_REAL(code, r.field.x), DXF_REAL(code + 10, r.field.y), DXF_REAL(code + 20, r.field.z)
#define DXF_POINT2(code, field) DXF_REAL(code, r.field.x), DXF_REAL(code + 10, r.field.y)

namespace line {
using R = LineBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.start.x), DXF_REAL(11, r.end.x),   DXF_REAL(20, r.start.y),
    DXF_REAL(21, r.end.y),   DXF_REAL(30, r.start.z), DXF_REAL(31, r.end.z),
};
} // namespace line

namespace point {
using R = PointBody;
constexpr DxfField<R> kFields[] = {DXF_POINT3(10, point), DXF_ANGLE(50, r.xAxisAngle)};
} // namespace point

namespace circle {
using R = CircleBody;
constexpr DxfField<R> kFields[] = {DXF_REAL(10, r.centre.x), DXF_REAL(20, r.centre.y),
                                   DXF_REAL(30, r.centre.z), DXF_REAL(40, r.radius)};
} // namespace circle

namespace arc {
using R = ArcBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.centre.x),          DXF_REAL(20, r.centre.y),
    DXF_REAL(30, r.centre.z),          DXF_REAL(40, r.radius),
    DXF_ANGLE(50, r.startAngle),   DXF_ANGLE(51, r.endAngle),
};
} // namespace arc

namespace infinite {
using R = InfiniteLineBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.basePoint.x), DXF_REAL(11, r.direction.x),
    DXF_REAL(20, r.basePoint.y), DXF_REAL(21, r.direction.y),
    DXF_REAL(30, r.basePoint.z), DXF_REAL(31, r.direction.z),
};
} // namespace infinite

namespace shape {
using R = ShapeBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.insertion.x),       DXF_REAL(20, r.insertion.y),
    DXF_REAL(30, r.insertion.z),       DXF_REAL(40, r.size),
    DXF_REAL(41, r.widthFactor),       DXF_ANGLE(50, r.rotation),
    DXF_ANGLE(51, r.obliqueAngle),
};
} // namespace shape

namespace ellipse {
using R = EllipseBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.centre.x),        DXF_REAL(11, r.majorAxis.x),
    DXF_REAL(20, r.centre.y),        DXF_REAL(21, r.majorAxis.y),
    DXF_REAL(30, r.centre.z),        DXF_REAL(31, r.majorAxis.z),
    DXF_REAL(40, r.axisRatio),       DXF_REAL(41, r.startParameter),
    DXF_REAL(42, r.endParameter),
};
} // namespace ellipse

namespace spline {
using R = SplineBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(12, r.startTangent.x), DXF_REAL(13, r.endTangent.x),
    DXF_REAL(22, r.startTangent.y), DXF_REAL(23, r.endTangent.y),
    DXF_REAL(32, r.startTangent.z), DXF_REAL(33, r.endTangent.z),
    DXF_REAL(42, r.knotTolerance),  DXF_REAL(43, r.controlTolerance),
    DXF_REAL(44, r.fitTolerance),   DXF_SHORT(70, r.flags),
    DXF_SHORT(71, r.degree),
};
} // namespace spline

// TEXT, ATTRIB and ATTDEF share their text fields.
#define DXF_TEXT_FIELDS_HEAD                                                                                \
    DXF_TEXT(1, r.text)
#define DXF_TEXT_FIELDS_POINTS                                                                             \
    DXF_REAL(10, r.insertion.x), DXF_REAL(11, r.alignment.x),                          \
        DXF_REAL(20, r.insertion.y), DXF_REAL(21, r.alignment.y),                      \
        DXF_REAL(30, r.insertion.z), DXF_REAL(40, r.height),                           \
        DXF_REAL(41, r.widthFactor), DXF_ANGLE(50, r.rotation),                    \
        DXF_ANGLE(51, r.obliqueAngle)

namespace text {
using R = TextBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT_FIELDS_HEAD,
    DXF_TEXT_FIELDS_POINTS,
    DXF_BYTE(71, r.generation),
    DXF_BYTE(72, r.horizontalAlign),
    DXF_BYTE(73, r.verticalAlign),
};
} // namespace text

namespace attrib {
using R = AttributeBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT_FIELDS_HEAD,
    DXF_TEXT(2, r.tag),
    DXF_TEXT_FIELDS_POINTS,
    DXF_BYTE(70, r.flags),
    DXF_BYTE(71, r.generation),
    DXF_BYTE(72, r.horizontalAlign),
    DXF_SHORT(73, r.fieldLength),
    DXF_BYTE(74, r.verticalAlign),
};
} // namespace attrib

namespace attdef {
using R = AttributeDefinitionBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT_FIELDS_HEAD,
    DXF_TEXT(2, r.tag),
    DXF_TEXT(3, r.prompt),
    DXF_TEXT_FIELDS_POINTS,
    DXF_BYTE(70, r.flags),
    DXF_BYTE(71, r.generation),
    DXF_BYTE(72, r.horizontalAlign),
    DXF_SHORT(73, r.fieldLength),
    DXF_BYTE(74, r.verticalAlign),
};
} // namespace attdef

#define DXF_CORNERS                                                                                          \
    DXF_REAL(10, r.corners[0].x), DXF_REAL(11, r.corners[1].x),                          \
        DXF_REAL(12, r.corners[2].x), DXF_REAL(13, r.corners[3].x),                      \
        DXF_REAL(20, r.corners[0].y), DXF_REAL(21, r.corners[1].y),                      \
        DXF_REAL(22, r.corners[2].y), DXF_REAL(23, r.corners[3].y),                      \
        DXF_REAL(30, r.corners[0].z), DXF_REAL(31, r.corners[1].z),                      \
        DXF_REAL(32, r.corners[2].z), DXF_REAL(33, r.corners[3].z)

namespace solid {
using R = SolidBody;
constexpr DxfField<R> kFields[] = {DXF_CORNERS};
} // namespace solid

namespace face {
using R = FaceBody;
constexpr DxfField<R> kFields[] = {DXF_CORNERS, DXF_SHORT(70, r.invisibleEdges)};
} // namespace face

namespace blockbegin {
using R = BlockBeginBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(1, r.xrefPath),      DXF_TEXT(2, r.name),
    DXF_REAL(10, r.basePoint.x),  DXF_REAL(20, r.basePoint.y),
    DXF_REAL(30, r.basePoint.z),
};
} // namespace blockbegin

namespace insert {
using R = InsertBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.insertion.x),      DXF_REAL(20, r.insertion.y),
    DXF_REAL(30, r.insertion.z),      DXF_REAL(41, r.scale.x),
    DXF_REAL(42, r.scale.y),          DXF_REAL(43, r.scale.z),
    DXF_REAL(44, r.columnSpacing),    DXF_REAL(45, r.rowSpacing),
    DXF_ANGLE(50, r.rotation),    DXF_SHORT(66, r.attributesFollow),
    DXF_SHORT(70, r.columnCount), DXF_SHORT(71, r.rowCount),
};
} // namespace insert

namespace polyline {
using R = PolylineBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(30, r.elevation),       DXF_REAL(40, r.defaultStartWidth),
    DXF_REAL(41, r.defaultEndWidth), DXF_SHORT(70, r.flags),
    DXF_SHORT(71, r.meshM),     DXF_SHORT(72, r.meshN),
    DXF_SHORT(73, r.densityM),  DXF_SHORT(74, r.densityN),
    DXF_SHORT(75, r.curveType),
};
} // namespace polyline

// The face indexes of a polyface face record (71-74) are counted as they come.
namespace vertex {
using R = VertexBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.point.x),
    DXF_REAL(20, r.point.y),
    DXF_REAL(30, r.point.z),
    DXF_FIELD_RW(40, r.startWidth = g.real; r.hasStartWidth = 1, g.real = r.startWidth),
    DXF_FIELD_RW(41, r.endWidth = g.real; r.hasEndWidth = 1, g.real = r.endWidth),
    DXF_REAL(42, r.bulge),
    DXF_ANGLE(50, r.tangentDirection),
    DXF_BYTE(70, r.flags),
    DXF_FIELD_RW(71, r.faceVertices[0] = g.shortValue; ++r.faceVertexCount, g.shortValue = r.faceVertices[0]),
    DXF_FIELD_RW(72, r.faceVertices[1] = g.shortValue; ++r.faceVertexCount, g.shortValue = r.faceVertices[1]),
    DXF_FIELD_RW(73, r.faceVertices[2] = g.shortValue; ++r.faceVertexCount, g.shortValue = r.faceVertices[2]),
    DXF_FIELD_RW(74, r.faceVertices[3] = g.shortValue; ++r.faceVertexCount, g.shortValue = r.faceVertices[3]),
};
} // namespace vertex

// A clone insertion point (12) given marks the dimension.
namespace dimension {
using R = DimensionBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(1, r.userText),
    DXF_REAL(10, r.definitionPoint.x),
    DXF_REAL(11, r.textMidpoint.x),
    DXF_FIELD_RW(12, r.cloneInsertionPoint.x = g.real; r.hasCloneInsertion = 1, g.real = r.cloneInsertionPoint.x),
    DXF_REAL(13, r.point13.x),
    DXF_REAL(14, r.point14.x),
    DXF_REAL(15, r.point15.x),
    DXF_REAL(16, r.point16.x),
    DXF_REAL(20, r.definitionPoint.y),
    DXF_REAL(21, r.textMidpoint.y),
    DXF_FIELD_RW(22, r.cloneInsertionPoint.y = g.real; r.hasCloneInsertion = 1, g.real = r.cloneInsertionPoint.y),
    DXF_REAL(23, r.point13.y),
    DXF_REAL(24, r.point14.y),
    DXF_REAL(25, r.point15.y),
    DXF_REAL(26, r.point16.y),
    DXF_REAL(30, r.definitionPoint.z),
    DXF_REAL(31, r.textMidpoint.z),
    DXF_FIELD_RW(32, r.cloneInsertionPoint.z = g.real; r.hasCloneInsertion = 1, g.real = r.cloneInsertionPoint.z),
    DXF_REAL(33, r.point13.z),
    DXF_REAL(34, r.point14.z),
    DXF_REAL(35, r.point15.z),
    DXF_REAL(36, r.point16.z),
    DXF_REAL(40, r.leaderLength),
    DXF_REAL(41, r.lineSpacingFactor),
    DXF_REAL(42, r.actualMeasurement),
    DXF_ANGLE(50, r.rotation),
    DXF_ANGLE(51, r.horizontalDirection),
    DXF_ANGLE(52, r.extensionLineRotation),
    DXF_ANGLE(53, r.textRotation),
    DXF_ANGLE(54, r.insertionRotation),
    DXF_BYTE(70, r.typeFlags),
    DXF_SHORT(71, r.attachment),
    DXF_SHORT(72, r.lineSpacingStyle),
};
} // namespace dimension

namespace viewport {
using R = ViewportBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(1, r.styleSheet),
    DXF_REAL(10, r.centre.x),
    DXF_REAL(12, r.viewCentre.x),
    DXF_REAL(13, r.snapBase.x),
    DXF_REAL(14, r.snapSpacing.x),
    DXF_REAL(15, r.gridSpacing.x),
    DXF_REAL(16, r.viewDirection.x),
    DXF_REAL(17, r.viewTarget.x),
    DXF_REAL(20, r.centre.y),
    DXF_REAL(22, r.viewCentre.y),
    DXF_REAL(23, r.snapBase.y),
    DXF_REAL(24, r.snapSpacing.y),
    DXF_REAL(25, r.gridSpacing.y),
    DXF_REAL(26, r.viewDirection.y),
    DXF_REAL(27, r.viewTarget.y),
    DXF_REAL(30, r.centre.z),
    DXF_REAL(36, r.viewDirection.z),
    DXF_REAL(37, r.viewTarget.z),
    DXF_REAL(40, r.width),
    DXF_REAL(41, r.height),
    DXF_REAL(42, r.lensLength),
    DXF_REAL(43, r.frontClip),
    DXF_REAL(44, r.backClip),
    DXF_REAL(45, r.viewHeight),
    DXF_ANGLE(50, r.snapAngle),
    DXF_ANGLE(51, r.twistAngle),
    DXF_SHORT(68, r.status),
    DXF_SHORT(69, r.id),
    DXF_SHORT(71, r.ucsPerViewport),
    DXF_SHORT(72, r.circleZoom),
    DXF_SHORT(74, r.ucsAtOrigin),
    DXF_SHORT(79, r.ucsOrthographicType),
    DXF_LONG(90, r.statusFlags),
    DXF_REAL(110, r.ucsOrigin.x),
    DXF_REAL(111, r.ucsXAxis.x),
    DXF_REAL(112, r.ucsYAxis.x),
    DXF_REAL(120, r.ucsOrigin.y),
    DXF_REAL(121, r.ucsXAxis.y),
    DXF_REAL(122, r.ucsYAxis.y),
    DXF_REAL(130, r.ucsOrigin.z),
    DXF_REAL(131, r.ucsXAxis.z),
    DXF_REAL(132, r.ucsYAxis.z),
    DXF_REAL(146, r.ucsElevation),
    DXF_BYTE(281, r.renderMode),
    DXF_HANDLE(340, r.clipBoundary),
    DXF_FIELD(341, r.frozenLayers.push_back(g.handle)),
    DXF_HANDLE(345, r.namedUcs),
    DXF_HANDLE(346, r.baseUcs),
};
} // namespace viewport

namespace mtext {
using R = MtextBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.insertion.x),      DXF_REAL(11, r.xDirection.x),
    DXF_REAL(20, r.insertion.y),      DXF_REAL(21, r.xDirection.y),
    DXF_REAL(30, r.insertion.z),      DXF_REAL(31, r.xDirection.z),
    DXF_REAL(40, r.textHeight),       DXF_REAL(41, r.referenceWidth),
    DXF_REAL(42, r.extentsWidth),     DXF_REAL(43, r.extentsHeight),
    DXF_REAL(44, r.lineSpacingFactor),
    // The rotation angle stands for the x direction when a file gives no direction.
    DXF_FIELD(50, r.xDirection = (Point3{std::cos(dxfAngle(g)), std::sin(dxfAngle(g)), 0.0})),
    DXF_BYTE(71, r.attachment),
    DXF_BYTE(72, r.drawingDirection), DXF_SHORT(73, r.lineSpacingStyle),
};
} // namespace mtext

namespace leader {
using R = LeaderBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(40, r.textHeight),
    DXF_REAL(41, r.textWidth),
    DXF_BYTE(71, r.arrowheadOn),
    DXF_BYTE(72, r.pathType),
    DXF_SHORT(73, r.annotationType),
    DXF_BYTE(74, r.hookLineOnXDirection),
    DXF_BYTE(75, r.hookLine),
    DXF_SHORT(77, r.byBlockColour),
    DXF_REAL(211, r.horizontalDirection.x),
    DXF_REAL(212, r.blockOffset.x),
    DXF_REAL(213, r.annotationOffset.x),
    DXF_REAL(221, r.horizontalDirection.y),
    DXF_REAL(222, r.blockOffset.y),
    DXF_REAL(223, r.annotationOffset.y),
    DXF_REAL(231, r.horizontalDirection.z),
    DXF_REAL(232, r.blockOffset.z),
    DXF_REAL(233, r.annotationOffset.z),
    DXF_HANDLE(340, r.annotation),
};
} // namespace leader

namespace tolerance {
using R = ToleranceBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(1, r.text),           DXF_REAL(10, r.insertion.x),
    DXF_REAL(11, r.xDirection.x),  DXF_REAL(20, r.insertion.y),
    DXF_REAL(21, r.xDirection.y),  DXF_REAL(30, r.insertion.z),
    DXF_REAL(31, r.xDirection.z),  DXF_REAL(40, r.textHeight),
};
} // namespace tolerance

namespace mline {
using R = MlineBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.basePoint.x),      DXF_REAL(20, r.basePoint.y),
    DXF_REAL(30, r.basePoint.z),      DXF_REAL(40, r.scale),
    DXF_BYTE(70, r.justification), DXF_SHORT(71, r.flags),
    DXF_BYTE(73, r.lineCount),    DXF_HANDLE(340, r.style),
};
} // namespace mline

// Clip boundary vertices (14/24) are read by the entity reader.
namespace image {
using R = RasterImageBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.insertion.x),
    DXF_REAL(11, r.uVector.x),
    DXF_REAL(12, r.vVector.x),
    DXF_REAL(13, r.size.x),
    DXF_REAL(20, r.insertion.y),
    DXF_REAL(21, r.uVector.y),
    DXF_REAL(22, r.vVector.y),
    DXF_REAL(23, r.size.y),
    DXF_REAL(30, r.insertion.z),
    DXF_REAL(31, r.uVector.z),
    DXF_REAL(32, r.vVector.z),
    DXF_SHORT(70, r.displayProperties),
    DXF_SHORT(71, r.clipBoundaryType),
    DXF_LONG(90, r.classVersion),
    DXF_SHORT(280, r.clipping),
    DXF_BYTE(281, r.brightness),
    DXF_BYTE(282, r.contrast),
    DXF_BYTE(283, r.fade),
    DXF_HANDLE(340, r.imageDefinition),
    DXF_HANDLE(360, r.imageDefinitionReactor),
};
} // namespace image

namespace ole {
using R = Ole2FrameBody;
constexpr DxfField<R> kFields[] = {
    DXF_REAL(10, r.upperLeft.x),  DXF_REAL(11, r.lowerRight.x),
    DXF_REAL(20, r.upperLeft.y),  DXF_REAL(21, r.lowerRight.y),
    DXF_REAL(30, r.upperLeft.z),  DXF_REAL(31, r.lowerRight.z),
    DXF_SHORT(70, r.oleVersion), DXF_SHORT(71, r.oleType),
    DXF_SHORT(72, r.mode),
};
} // namespace ole

namespace rtext {
using R = RtextBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(1, r.contents),      DXF_REAL(10, r.insertion.x),
    DXF_REAL(20, r.insertion.y),  DXF_REAL(30, r.insertion.z),
    DXF_REAL(40, r.height),       DXF_ANGLE(50, r.rotation),
    DXF_SHORT(70, r.flags),
};
} // namespace rtext

namespace arctext {
using R = ArcAlignedTextBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(1, r.text),
    DXF_TEXT(2, r.fontName),
    DXF_TEXT(3, r.bigFontName),
    DXF_REAL(10, r.centre.x),
    DXF_REAL(20, r.centre.y),
    DXF_REAL(30, r.centre.z),
    DXF_REAL(40, r.radius),
    DXF_REAL(41, r.widthFactor),
    DXF_REAL(42, r.textSize),
    DXF_REAL(43, r.characterSpacing),
    DXF_REAL(44, r.offsetFromArc),
    DXF_REAL(45, r.rightOffset),
    DXF_REAL(46, r.leftOffset),
    DXF_REAL(50, r.startAngle),
    DXF_REAL(51, r.endAngle),
    DXF_SHORT(70, r.settings[0]),
    DXF_SHORT(71, r.settings[1]),
    DXF_SHORT(72, r.settings[2]),
    DXF_SHORT(73, r.settings[3]),
    DXF_SHORT(74, r.settings[4]),
    DXF_SHORT(75, r.settings[5]),
    DXF_SHORT(76, r.settings[6]),
    DXF_SHORT(77, r.settings[7]),
    DXF_SHORT(78, r.settings[8]),
    DXF_SHORT(79, r.settings[9]),
    DXF_LONG(90, r.colour),
    DXF_SHORT(280, r.settings[10]),
    DXF_HANDLE(330, r.arc),
};
} // namespace arctext

static_assert(dxfFieldsSorted<LineBody>(line::kFields));
static_assert(dxfFieldsSorted<PointBody>(point::kFields));
static_assert(dxfFieldsSorted<CircleBody>(circle::kFields));
static_assert(dxfFieldsSorted<ArcBody>(arc::kFields));
static_assert(dxfFieldsSorted<InfiniteLineBody>(infinite::kFields));
static_assert(dxfFieldsSorted<ShapeBody>(shape::kFields));
static_assert(dxfFieldsSorted<EllipseBody>(ellipse::kFields));
static_assert(dxfFieldsSorted<SplineBody>(spline::kFields));
static_assert(dxfFieldsSorted<TextBody>(text::kFields));
static_assert(dxfFieldsSorted<AttributeBody>(attrib::kFields));
static_assert(dxfFieldsSorted<AttributeDefinitionBody>(attdef::kFields));
static_assert(dxfFieldsSorted<SolidBody>(solid::kFields));
static_assert(dxfFieldsSorted<FaceBody>(face::kFields));
static_assert(dxfFieldsSorted<BlockBeginBody>(blockbegin::kFields));
static_assert(dxfFieldsSorted<InsertBody>(insert::kFields));
static_assert(dxfFieldsSorted<PolylineBody>(polyline::kFields));
static_assert(dxfFieldsSorted<VertexBody>(vertex::kFields));
static_assert(dxfFieldsSorted<DimensionBody>(dimension::kFields));
static_assert(dxfFieldsSorted<ViewportBody>(viewport::kFields));
static_assert(dxfFieldsSorted<MtextBody>(mtext::kFields));
static_assert(dxfFieldsSorted<LeaderBody>(leader::kFields));
static_assert(dxfFieldsSorted<ToleranceBody>(tolerance::kFields));
static_assert(dxfFieldsSorted<MlineBody>(mline::kFields));
static_assert(dxfFieldsSorted<RasterImageBody>(image::kFields));
static_assert(dxfFieldsSorted<Ole2FrameBody>(ole::kFields));
static_assert(dxfFieldsSorted<RtextBody>(rtext::kFields));
static_assert(dxfFieldsSorted<ArcAlignedTextBody>(arctext::kFields));

} // namespace

std::span<const DxfField<LineBody>> dxfLineFields() { return line::kFields; }
std::span<const DxfField<PointBody>> dxfPointFields() { return point::kFields; }
std::span<const DxfField<CircleBody>> dxfCircleFields() { return circle::kFields; }
std::span<const DxfField<ArcBody>> dxfArcFields() { return arc::kFields; }
std::span<const DxfField<InfiniteLineBody>> dxfInfiniteLineFields() { return infinite::kFields; }
std::span<const DxfField<ShapeBody>> dxfShapeFields() { return shape::kFields; }
std::span<const DxfField<EllipseBody>> dxfEllipseFields() { return ellipse::kFields; }
std::span<const DxfField<SplineBody>> dxfSplineFields() { return spline::kFields; }
std::span<const DxfField<TextBody>> dxfTextFields() { return text::kFields; }
std::span<const DxfField<AttributeBody>> dxfAttributeFields() { return attrib::kFields; }
std::span<const DxfField<AttributeDefinitionBody>> dxfAttributeDefinitionFields() { return attdef::kFields; }
std::span<const DxfField<SolidBody>> dxfSolidFields() { return solid::kFields; }
std::span<const DxfField<FaceBody>> dxfFaceFields() { return face::kFields; }
std::span<const DxfField<BlockBeginBody>> dxfBlockBeginFields() { return blockbegin::kFields; }
std::span<const DxfField<InsertBody>> dxfInsertFields() { return insert::kFields; }
std::span<const DxfField<PolylineBody>> dxfPolylineFields() { return polyline::kFields; }
std::span<const DxfField<VertexBody>> dxfVertexFields() { return vertex::kFields; }
std::span<const DxfField<DimensionBody>> dxfDimensionFields() { return dimension::kFields; }
std::span<const DxfField<ViewportBody>> dxfViewportFields() { return viewport::kFields; }
std::span<const DxfField<MtextBody>> dxfMtextFields() { return mtext::kFields; }
std::span<const DxfField<LeaderBody>> dxfLeaderFields() { return leader::kFields; }
std::span<const DxfField<ToleranceBody>> dxfToleranceFields() { return tolerance::kFields; }
std::span<const DxfField<MlineBody>> dxfMlineFields() { return mline::kFields; }
std::span<const DxfField<RasterImageBody>> dxfRasterImageFields() { return image::kFields; }
std::span<const DxfField<Ole2FrameBody>> dxfOle2FrameFields() { return ole::kFields; }
std::span<const DxfField<RtextBody>> dxfRtextFields() { return rtext::kFields; }
std::span<const DxfField<ArcAlignedTextBody>> dxfArcAlignedTextFields() { return arctext::kFields; }

} // namespace tracemill
