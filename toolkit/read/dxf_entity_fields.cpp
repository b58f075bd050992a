#include "toolkit/read/dxf_entity_fields.h"
#include <cmath>

namespace tracemill {
namespace {

// A point's x, y and z groups.
#define DXF_POINT3(code, field) \
    DXF_FIELD(code, r.field.x = g.real), DXF_FIELD(code + 10, r.field.y = g.real), DXF_FIELD(code + 20, r.field.z = g.real)
#define DXF_POINT2(code, field) DXF_FIELD(code, r.field.x = g.real), DXF_FIELD(code + 10, r.field.y = g.real)

namespace line {
using R = LineBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.start.x = g.real), DXF_FIELD(11, r.end.x = g.real),   DXF_FIELD(20, r.start.y = g.real),
    DXF_FIELD(21, r.end.y = g.real),   DXF_FIELD(30, r.start.z = g.real), DXF_FIELD(31, r.end.z = g.real),
};
} // namespace line

namespace point {
using R = PointBody;
constexpr DxfField<R> kFields[] = {DXF_POINT3(10, point), DXF_FIELD(50, r.xAxisAngle = dxfAngle(g))};
} // namespace point

namespace circle {
using R = CircleBody;
constexpr DxfField<R> kFields[] = {DXF_FIELD(10, r.centre.x = g.real), DXF_FIELD(20, r.centre.y = g.real),
                                   DXF_FIELD(30, r.centre.z = g.real), DXF_FIELD(40, r.radius = g.real)};
} // namespace circle

namespace arc {
using R = ArcBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.centre.x = g.real),          DXF_FIELD(20, r.centre.y = g.real),
    DXF_FIELD(30, r.centre.z = g.real),          DXF_FIELD(40, r.radius = g.real),
    DXF_FIELD(50, r.startAngle = dxfAngle(g)),   DXF_FIELD(51, r.endAngle = dxfAngle(g)),
};
} // namespace arc

namespace infinite {
using R = InfiniteLineBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.basePoint.x = g.real), DXF_FIELD(11, r.direction.x = g.real),
    DXF_FIELD(20, r.basePoint.y = g.real), DXF_FIELD(21, r.direction.y = g.real),
    DXF_FIELD(30, r.basePoint.z = g.real), DXF_FIELD(31, r.direction.z = g.real),
};
} // namespace infinite

namespace shape {
using R = ShapeBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.insertion.x = g.real),       DXF_FIELD(20, r.insertion.y = g.real),
    DXF_FIELD(30, r.insertion.z = g.real),       DXF_FIELD(40, r.size = g.real),
    DXF_FIELD(41, r.widthFactor = g.real),       DXF_FIELD(50, r.rotation = dxfAngle(g)),
    DXF_FIELD(51, r.obliqueAngle = dxfAngle(g)),
};
} // namespace shape

namespace ellipse {
using R = EllipseBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.centre.x = g.real),        DXF_FIELD(11, r.majorAxis.x = g.real),
    DXF_FIELD(20, r.centre.y = g.real),        DXF_FIELD(21, r.majorAxis.y = g.real),
    DXF_FIELD(30, r.centre.z = g.real),        DXF_FIELD(31, r.majorAxis.z = g.real),
    DXF_FIELD(40, r.axisRatio = g.real),       DXF_FIELD(41, r.startParameter = g.real),
    DXF_FIELD(42, r.endParameter = g.real),
};
} // namespace ellipse

namespace spline {
using R = SplineBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(12, r.startTangent.x = g.real), DXF_FIELD(13, r.endTangent.x = g.real),
    DXF_FIELD(22, r.startTangent.y = g.real), DXF_FIELD(23, r.endTangent.y = g.real),
    DXF_FIELD(32, r.startTangent.z = g.real), DXF_FIELD(33, r.endTangent.z = g.real),
    DXF_FIELD(42, r.knotTolerance = g.real),  DXF_FIELD(43, r.controlTolerance = g.real),
    DXF_FIELD(44, r.fitTolerance = g.real),   DXF_FIELD(70, r.flags = g.shortValue),
    DXF_FIELD(71, r.degree = g.shortValue),
};
} // namespace spline

// TEXT, ATTRIB and ATTDEF share their text fields.
#define DXF_TEXT_FIELDS_HEAD                                                                                \
    DXF_FIELD(1, r.text = g.text)
#define DXF_TEXT_FIELDS_POINTS                                                                             \
    DXF_FIELD(10, r.insertion.x = g.real), DXF_FIELD(11, r.alignment.x = g.real),                          \
        DXF_FIELD(20, r.insertion.y = g.real), DXF_FIELD(21, r.alignment.y = g.real),                      \
        DXF_FIELD(30, r.insertion.z = g.real), DXF_FIELD(40, r.height = g.real),                           \
        DXF_FIELD(41, r.widthFactor = g.real), DXF_FIELD(50, r.rotation = dxfAngle(g)),                    \
        DXF_FIELD(51, r.obliqueAngle = dxfAngle(g))

namespace text {
using R = TextBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT_FIELDS_HEAD,
    DXF_TEXT_FIELDS_POINTS,
    DXF_FIELD(71, r.generation = dxfByte(g)),
    DXF_FIELD(72, r.horizontalAlign = dxfByte(g)),
    DXF_FIELD(73, r.verticalAlign = dxfByte(g)),
};
} // namespace text

namespace attrib {
using R = AttributeBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT_FIELDS_HEAD,
    DXF_FIELD(2, r.tag = g.text),
    DXF_TEXT_FIELDS_POINTS,
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(71, r.generation = dxfByte(g)),
    DXF_FIELD(72, r.horizontalAlign = dxfByte(g)),
    DXF_FIELD(73, r.fieldLength = g.shortValue),
    DXF_FIELD(74, r.verticalAlign = dxfByte(g)),
};
} // namespace attrib

namespace attdef {
using R = AttributeDefinitionBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT_FIELDS_HEAD,
    DXF_FIELD(2, r.tag = g.text),
    DXF_FIELD(3, r.prompt = g.text),
    DXF_TEXT_FIELDS_POINTS,
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(71, r.generation = dxfByte(g)),
    DXF_FIELD(72, r.horizontalAlign = dxfByte(g)),
    DXF_FIELD(73, r.fieldLength = g.shortValue),
    DXF_FIELD(74, r.verticalAlign = dxfByte(g)),
};
} // namespace attdef

#define DXF_CORNERS                                                                                          \
    DXF_FIELD(10, r.corners[0].x = g.real), DXF_FIELD(11, r.corners[1].x = g.real),                          \
        DXF_FIELD(12, r.corners[2].x = g.real), DXF_FIELD(13, r.corners[3].x = g.real),                      \
        DXF_FIELD(20, r.corners[0].y = g.real), DXF_FIELD(21, r.corners[1].y = g.real),                      \
        DXF_FIELD(22, r.corners[2].y = g.real), DXF_FIELD(23, r.corners[3].y = g.real),                      \
        DXF_FIELD(30, r.corners[0].z = g.real), DXF_FIELD(31, r.corners[1].z = g.real),                      \
        DXF_FIELD(32, r.corners[2].z = g.real), DXF_FIELD(33, r.corners[3].z = g.real)

namespace solid {
using R = SolidBody;
constexpr DxfField<R> kFields[] = {DXF_CORNERS};
} // namespace solid

namespace face {
using R = FaceBody;
constexpr DxfField<R> kFields[] = {DXF_CORNERS, DXF_FIELD(70, r.invisibleEdges = g.shortValue)};
} // namespace face

namespace blockbegin {
using R = BlockBeginBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(1, r.xrefPath = g.text),      DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(10, r.basePoint.x = g.real),  DXF_FIELD(20, r.basePoint.y = g.real),
    DXF_FIELD(30, r.basePoint.z = g.real),
};
} // namespace blockbegin

namespace insert {
using R = InsertBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.insertion.x = g.real),      DXF_FIELD(20, r.insertion.y = g.real),
    DXF_FIELD(30, r.insertion.z = g.real),      DXF_FIELD(41, r.scale.x = g.real),
    DXF_FIELD(42, r.scale.y = g.real),          DXF_FIELD(43, r.scale.z = g.real),
    DXF_FIELD(44, r.columnSpacing = g.real),    DXF_FIELD(45, r.rowSpacing = g.real),
    DXF_FIELD(50, r.rotation = dxfAngle(g)),    DXF_FIELD(66, r.attributesFollow = g.shortValue),
    DXF_FIELD(70, r.columnCount = g.shortValue), DXF_FIELD(71, r.rowCount = g.shortValue),
};
} // namespace insert

namespace polyline {
using R = PolylineBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(30, r.elevation = g.real),       DXF_FIELD(40, r.defaultStartWidth = g.real),
    DXF_FIELD(41, r.defaultEndWidth = g.real), DXF_FIELD(70, r.flags = g.shortValue),
    DXF_FIELD(71, r.meshM = g.shortValue),     DXF_FIELD(72, r.meshN = g.shortValue),
    DXF_FIELD(73, r.densityM = g.shortValue),  DXF_FIELD(74, r.densityN = g.shortValue),
    DXF_FIELD(75, r.curveType = g.shortValue),
};
} // namespace polyline

// The face indexes of a polyface face record (71-74) are counted as they come.
namespace vertex {
using R = VertexBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.point.x = g.real),
    DXF_FIELD(20, r.point.y = g.real),
    DXF_FIELD(30, r.point.z = g.real),
    DXF_FIELD(40, r.startWidth = g.real; r.hasStartWidth = 1),
    DXF_FIELD(41, r.endWidth = g.real; r.hasEndWidth = 1),
    DXF_FIELD(42, r.bulge = g.real),
    DXF_FIELD(50, r.tangentDirection = dxfAngle(g)),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(71, r.faceVertices[0] = g.shortValue; ++r.faceVertexCount),
    DXF_FIELD(72, r.faceVertices[1] = g.shortValue; ++r.faceVertexCount),
    DXF_FIELD(73, r.faceVertices[2] = g.shortValue; ++r.faceVertexCount),
    DXF_FIELD(74, r.faceVertices[3] = g.shortValue; ++r.faceVertexCount),
};
} // namespace vertex

// A clone insertion point (12) given marks the dimension.
namespace dimension {
using R = DimensionBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(1, r.userText = g.text),
    DXF_FIELD(10, r.definitionPoint.x = g.real),
    DXF_FIELD(11, r.textMidpoint.x = g.real),
    DXF_FIELD(12, r.cloneInsertionPoint.x = g.real; r.hasCloneInsertion = 1),
    DXF_FIELD(13, r.point13.x = g.real),
    DXF_FIELD(14, r.point14.x = g.real),
    DXF_FIELD(15, r.point15.x = g.real),
    DXF_FIELD(16, r.point16.x = g.real),
    DXF_FIELD(20, r.definitionPoint.y = g.real),
    DXF_FIELD(21, r.textMidpoint.y = g.real),
    DXF_FIELD(22, r.cloneInsertionPoint.y = g.real; r.hasCloneInsertion = 1),
    DXF_FIELD(23, r.point13.y = g.real),
    DXF_FIELD(24, r.point14.y = g.real),
    DXF_FIELD(25, r.point15.y = g.real),
    DXF_FIELD(26, r.point16.y = g.real),
    DXF_FIELD(30, r.definitionPoint.z = g.real),
    DXF_FIELD(31, r.textMidpoint.z = g.real),
    DXF_FIELD(32, r.cloneInsertionPoint.z = g.real; r.hasCloneInsertion = 1),
    DXF_FIELD(33, r.point13.z = g.real),
    DXF_FIELD(34, r.point14.z = g.real),
    DXF_FIELD(35, r.point15.z = g.real),
    DXF_FIELD(36, r.point16.z = g.real),
    DXF_FIELD(40, r.leaderLength = g.real),
    DXF_FIELD(41, r.lineSpacingFactor = g.real),
    DXF_FIELD(42, r.actualMeasurement = g.real),
    DXF_FIELD(50, r.rotation = dxfAngle(g)),
    DXF_FIELD(51, r.horizontalDirection = dxfAngle(g)),
    DXF_FIELD(52, r.extensionLineRotation = dxfAngle(g)),
    DXF_FIELD(53, r.textRotation = dxfAngle(g)),
    DXF_FIELD(54, r.insertionRotation = dxfAngle(g)),
    DXF_FIELD(70, r.typeFlags = dxfByte(g)),
    DXF_FIELD(71, r.attachment = g.shortValue),
    DXF_FIELD(72, r.lineSpacingStyle = g.shortValue),
};
} // namespace dimension

namespace viewport {
using R = ViewportBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(1, r.styleSheet = g.text),
    DXF_FIELD(10, r.centre.x = g.real),
    DXF_FIELD(12, r.viewCentre.x = g.real),
    DXF_FIELD(13, r.snapBase.x = g.real),
    DXF_FIELD(14, r.snapSpacing.x = g.real),
    DXF_FIELD(15, r.gridSpacing.x = g.real),
    DXF_FIELD(16, r.viewDirection.x = g.real),
    DXF_FIELD(17, r.viewTarget.x = g.real),
    DXF_FIELD(20, r.centre.y = g.real),
    DXF_FIELD(22, r.viewCentre.y = g.real),
    DXF_FIELD(23, r.snapBase.y = g.real),
    DXF_FIELD(24, r.snapSpacing.y = g.real),
    DXF_FIELD(25, r.gridSpacing.y = g.real),
    DXF_FIELD(26, r.viewDirection.y = g.real),
    DXF_FIELD(27, r.viewTarget.y = g.real),
    DXF_FIELD(30, r.centre.z = g.real),
    DXF_FIELD(36, r.viewDirection.z = g.real),
    DXF_FIELD(37, r.viewTarget.z = g.real),
    DXF_FIELD(40, r.width = g.real),
    DXF_FIELD(41, r.height = g.real),
    DXF_FIELD(42, r.lensLength = g.real),
    DXF_FIELD(43, r.frontClip = g.real),
    DXF_FIELD(44, r.backClip = g.real),
    DXF_FIELD(45, r.viewHeight = g.real),
    DXF_FIELD(50, r.snapAngle = dxfAngle(g)),
    DXF_FIELD(51, r.twistAngle = dxfAngle(g)),
    DXF_FIELD(68, r.status = g.shortValue),
    DXF_FIELD(69, r.id = g.shortValue),
    DXF_FIELD(71, r.ucsPerViewport = g.shortValue),
    DXF_FIELD(72, r.circleZoom = g.shortValue),
    DXF_FIELD(74, r.ucsAtOrigin = g.shortValue),
    DXF_FIELD(79, r.ucsOrthographicType = g.shortValue),
    DXF_FIELD(90, r.statusFlags = g.longValue),
    DXF_FIELD(110, r.ucsOrigin.x = g.real),
    DXF_FIELD(111, r.ucsXAxis.x = g.real),
    DXF_FIELD(112, r.ucsYAxis.x = g.real),
    DXF_FIELD(120, r.ucsOrigin.y = g.real),
    DXF_FIELD(121, r.ucsXAxis.y = g.real),
    DXF_FIELD(122, r.ucsYAxis.y = g.real),
    DXF_FIELD(130, r.ucsOrigin.z = g.real),
    DXF_FIELD(131, r.ucsXAxis.z = g.real),
    DXF_FIELD(132, r.ucsYAxis.z = g.real),
    DXF_FIELD(146, r.ucsElevation = g.real),
    DXF_FIELD(281, r.renderMode = dxfByte(g)),
    DXF_FIELD(340, r.clipBoundary = g.handle),
    DXF_FIELD(341, r.frozenLayers.push_back(g.handle)),
    DXF_FIELD(345, r.namedUcs = g.handle),
    DXF_FIELD(346, r.baseUcs = g.handle),
};
} // namespace viewport

namespace mtext {
using R = MtextBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.insertion.x = g.real),      DXF_FIELD(11, r.xDirection.x = g.real),
    DXF_FIELD(20, r.insertion.y = g.real),      DXF_FIELD(21, r.xDirection.y = g.real),
    DXF_FIELD(30, r.insertion.z = g.real),      DXF_FIELD(31, r.xDirection.z = g.real),
    DXF_FIELD(40, r.textHeight = g.real),       DXF_FIELD(41, r.referenceWidth = g.real),
    DXF_FIELD(42, r.extentsWidth = g.real),     DXF_FIELD(43, r.extentsHeight = g.real),
    DXF_FIELD(44, r.lineSpacingFactor = g.real),
    // The rotation angle stands for the x direction when a file gives no direction.
    DXF_FIELD(50, r.xDirection = (Point3{std::cos(dxfAngle(g)), std::sin(dxfAngle(g)), 0.0})),
    DXF_FIELD(71, r.attachment = dxfByte(g)),
    DXF_FIELD(72, r.drawingDirection = dxfByte(g)), DXF_FIELD(73, r.lineSpacingStyle = g.shortValue),
};
} // namespace mtext

namespace leader {
using R = LeaderBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(40, r.textHeight = g.real),
    DXF_FIELD(41, r.textWidth = g.real),
    DXF_FIELD(71, r.arrowheadOn = dxfByte(g)),
    DXF_FIELD(72, r.pathType = dxfByte(g)),
    DXF_FIELD(73, r.annotationType = g.shortValue),
    DXF_FIELD(74, r.hookLineOnXDirection = dxfByte(g)),
    DXF_FIELD(75, r.hookLine = dxfByte(g)),
    DXF_FIELD(77, r.byBlockColour = g.shortValue),
    DXF_FIELD(211, r.horizontalDirection.x = g.real),
    DXF_FIELD(212, r.blockOffset.x = g.real),
    DXF_FIELD(213, r.annotationOffset.x = g.real),
    DXF_FIELD(221, r.horizontalDirection.y = g.real),
    DXF_FIELD(222, r.blockOffset.y = g.real),
    DXF_FIELD(223, r.annotationOffset.y = g.real),
    DXF_FIELD(231, r.horizontalDirection.z = g.real),
    DXF_FIELD(232, r.blockOffset.z = g.real),
    DXF_FIELD(233, r.annotationOffset.z = g.real),
    DXF_FIELD(340, r.annotation = g.handle),
};
} // namespace leader

namespace tolerance {
using R = ToleranceBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(1, r.text = g.text),           DXF_FIELD(10, r.insertion.x = g.real),
    DXF_FIELD(11, r.xDirection.x = g.real),  DXF_FIELD(20, r.insertion.y = g.real),
    DXF_FIELD(21, r.xDirection.y = g.real),  DXF_FIELD(30, r.insertion.z = g.real),
    DXF_FIELD(31, r.xDirection.z = g.real),  DXF_FIELD(40, r.textHeight = g.real),
};
} // namespace tolerance

namespace mline {
using R = MlineBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.basePoint.x = g.real),      DXF_FIELD(20, r.basePoint.y = g.real),
    DXF_FIELD(30, r.basePoint.z = g.real),      DXF_FIELD(40, r.scale = g.real),
    DXF_FIELD(70, r.justification = dxfByte(g)), DXF_FIELD(71, r.flags = g.shortValue),
    DXF_FIELD(73, r.lineCount = dxfByte(g)),    DXF_FIELD(340, r.style = g.handle),
};
} // namespace mline

// Clip boundary vertices (14/24) are read by the entity reader.
namespace image {
using R = RasterImageBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.insertion.x = g.real),
    DXF_FIELD(11, r.uVector.x = g.real),
    DXF_FIELD(12, r.vVector.x = g.real),
    DXF_FIELD(13, r.size.x = g.real),
    DXF_FIELD(20, r.insertion.y = g.real),
    DXF_FIELD(21, r.uVector.y = g.real),
    DXF_FIELD(22, r.vVector.y = g.real),
    DXF_FIELD(23, r.size.y = g.real),
    DXF_FIELD(30, r.insertion.z = g.real),
    DXF_FIELD(31, r.uVector.z = g.real),
    DXF_FIELD(32, r.vVector.z = g.real),
    DXF_FIELD(70, r.displayProperties = g.shortValue),
    DXF_FIELD(71, r.clipBoundaryType = g.shortValue),
    DXF_FIELD(90, r.classVersion = g.longValue),
    DXF_FIELD(280, r.clipping = g.shortValue),
    DXF_FIELD(281, r.brightness = dxfByte(g)),
    DXF_FIELD(282, r.contrast = dxfByte(g)),
    DXF_FIELD(283, r.fade = dxfByte(g)),
    DXF_FIELD(340, r.imageDefinition = g.handle),
    DXF_FIELD(360, r.imageDefinitionReactor = g.handle),
};
} // namespace image

namespace ole {
using R = Ole2FrameBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(10, r.upperLeft.x = g.real),  DXF_FIELD(11, r.lowerRight.x = g.real),
    DXF_FIELD(20, r.upperLeft.y = g.real),  DXF_FIELD(21, r.lowerRight.y = g.real),
    DXF_FIELD(30, r.upperLeft.z = g.real),  DXF_FIELD(31, r.lowerRight.z = g.real),
    DXF_FIELD(70, r.oleVersion = g.shortValue), DXF_FIELD(71, r.oleType = g.shortValue),
    DXF_FIELD(72, r.mode = g.shortValue),
};
} // namespace ole

namespace rtext {
using R = RtextBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(1, r.contents = g.text),      DXF_FIELD(10, r.insertion.x = g.real),
    DXF_FIELD(20, r.insertion.y = g.real),  DXF_FIELD(30, r.insertion.z = g.real),
    DXF_FIELD(40, r.height = g.real),       DXF_FIELD(50, r.rotation = dxfAngle(g)),
    DXF_FIELD(70, r.flags = g.shortValue),
};
} // namespace rtext

namespace arctext {
using R = ArcAlignedTextBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(1, r.text = g.text),
    DXF_FIELD(2, r.fontName = g.text),
    DXF_FIELD(3, r.bigFontName = g.text),
    DXF_FIELD(10, r.centre.x = g.real),
    DXF_FIELD(20, r.centre.y = g.real),
    DXF_FIELD(30, r.centre.z = g.real),
    DXF_FIELD(40, r.radius = g.real),
    DXF_FIELD(41, r.widthFactor = g.real),
    DXF_FIELD(42, r.textSize = g.real),
    DXF_FIELD(43, r.characterSpacing = g.real),
    DXF_FIELD(44, r.offsetFromArc = g.real),
    DXF_FIELD(45, r.rightOffset = g.real),
    DXF_FIELD(46, r.leftOffset = g.real),
    DXF_FIELD(50, r.startAngle = g.real),
    DXF_FIELD(51, r.endAngle = g.real),
    DXF_FIELD(70, r.settings[0] = g.shortValue),
    DXF_FIELD(71, r.settings[1] = g.shortValue),
    DXF_FIELD(72, r.settings[2] = g.shortValue),
    DXF_FIELD(73, r.settings[3] = g.shortValue),
    DXF_FIELD(74, r.settings[4] = g.shortValue),
    DXF_FIELD(75, r.settings[5] = g.shortValue),
    DXF_FIELD(76, r.settings[6] = g.shortValue),
    DXF_FIELD(77, r.settings[7] = g.shortValue),
    DXF_FIELD(78, r.settings[8] = g.shortValue),
    DXF_FIELD(79, r.settings[9] = g.shortValue),
    DXF_FIELD(90, r.colour = g.longValue),
    DXF_FIELD(280, r.settings[10] = g.shortValue),
    DXF_FIELD(330, r.arc = g.handle),
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
