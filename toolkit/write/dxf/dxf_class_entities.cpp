#include "toolkit/write/dxf/dxf_class_entities.h"

#include <cmath>
#include <string>

#include "toolkit/core/dim_arrow_settings.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dxf_entity_fields.h"
#include "toolkit/write/dxf/dxf_field_output.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"
#include "toolkit/write/dxf/dxf_stored_groups.h"
#include "toolkit/write/viewport_mview.h"

namespace tracemill {
namespace {

bool isZero(const Point3& p) { return p.x == 0.0 && p.y == 0.0 && p.z == 0.0; }

// Whether the entity's own extended data already holds the "ACAD" "MVIEW" settings (a viewport
// read from a file before 2000 keeps them): then they are written as they are, not twice.
bool hasMviewXData(const Drawing& drawing, const OwnedStream& xdata) {
    if (!xdata) return false;
    OpenStream* in = dbStreamOpenRead(xdata.get());
    if (!in) return false;
    XDataItem item;
    bool acad = false;
    bool found = false;
    while (!found && dbReadXDataItem(in, item)) {
        if (item.code == 1001) {
            std::string name;
            acad = wrAppIdNameByHandle(drawing, item.handle, name) && dbEqualsNoCase(name, "ACAD");
        } else if (acad && item.code == 1000) {
            found = item.text == "MVIEW";
            acad = false;
        }
    }
    dbStreamCloseRead(in);
    return found;
}

class ModernWriter {
public:
    ModernWriter(const Drawing& drawing, OutputContext& output, const EntityRecord& entity, DxfEntityParts& parts)
        : d_(drawing), o_(output), e_(entity), h_(entity.header), v_(output.versionIndex), p_(parts) {}

    int run();

private:
    bool r13() const { return v_ >= kVersionAC1012; }
    int subclass(std::string_view marker) { return !r13() || wrDxfString(o_, 100, marker); }
    int extrusion() { return v_ < kVersionAC1006 || p_.extrusion(h_); }
    int normal() { return wrDxfPoint3dFull(o_, 210, h_.extrusion); }
    bool notZero(double value) const { return std::fabs(value) >= o_.numbers.zeroThreshold; }
    bool angleNotZero(double radians) const { return std::fabs(radians) >= o_.numbers.angleTolerance; }
    int angleIfNotZero(int code, double radians) { return !angleNotZero(radians) || wrDxfAngle(o_, code, radians); }
    int realIfNotZero(int code, double value) { return !notZero(value) || wrDxfDouble(o_, code, value); }
    int shortIfNotZero(int code, int16_t value) { return value == 0 || wrDxfInt16(o_, code, value); }
    int styleName(Handle style) { return p_.styleName(style); }
    int dimStyleName(int code, Handle handle, bool skipUnnamed);
    int codePage() const { return o_.header.dwgcodepage; }

    int dimension();
    int viewport();
    int acis();
    int infiniteLine(std::string_view marker);
    int mtext();
    int leader();
    int ellipse();
    int spline();
    int tolerance();
    int mline();
    int classEntity(ClassKind kind);
    int lwpolyline();
    int hatch();
    int image(bool wipeout);
    int ole2frame();
    int rtext();
    int arcAlignedText();
    int proxy();
    int storedClassData();

    const Drawing& d_;
    OutputContext& o_;
    const EntityRecord& e_;
    const EntityHeader& h_;
    int16_t v_;
    DxfEntityParts& p_;
};

int ModernWriter::dimStyleName(int code, Handle handle, bool skipUnnamed) {
    std::string name;
    if (!wrDimStyleNameByHandle(d_, handle, name)) return 0;
    if (skipUnnamed && (name.empty() || name == "*UNNAMED")) return 1;
    return wrDxfSymbolName(d_, o_, code, name, wrRecordPosition(o_, handle), wrSymbolNameLimit());
}

int ModernWriter::dimension() {
    const auto* bp = e_.body.getIf<DimensionBody>();
    if (!bp) return 1;
    const DimensionBody& b = *bp;
    const int type = b.typeFlags & 7;
    std::string block;
    if (!b.block.isNull() && !wrBlockNameByHandle(d_, o_, b.block, block)) return 0;
    if (!subclass("AcDbDimension") ||
        !wrDxfSymbolName(d_, o_, 2, block, wrRecordPosition(o_, b.block), wrSymbolNameLimit()) ||
        !p_.point(10, b.definitionPoint) || !wrDxfDouble(o_, 11, b.textMidpoint.x) ||
        !wrDxfDouble(o_, 21, b.textMidpoint.y)) {
        return 0;
    }
    if (v_ >= kVersionAC1006 && !wrDxfDouble(o_, 31, b.textMidpoint.z)) return 0;
    if (b.hasCloneInsertion && !p_.point(12, b.cloneInsertionPoint)) return 0;
    if (!shortIfNotZero(70, b.typeFlags)) return 0;
    if (v_ >= kVersionAC1015 &&
        (!wrDxfInt16(o_, 71, b.attachment) || !wrDxfInt16(o_, 72, b.lineSpacingStyle) ||
         !wrDxfDouble(o_, 41, b.lineSpacingFactor) || !wrDxfDouble(o_, 42, b.actualMeasurement))) {
        return 0;
    }
    auto typedPoints = [&]() {
        if (type == 0 || type == 1 || type == 2 || type == 5 || type == 6) {
            if (!p_.point(13, b.point13) || !p_.point(14, b.point14)) return 0;
        }
        if (type >= 2 && type <= 5 && !p_.point(15, b.point15)) return 0;
        if (type == 2 && !p_.point(16, b.point16)) return 0;
        if ((type == 3 || type == 4) && !wrDxfDouble(o_, 40, b.leaderLength)) return 0;
        return angleIfNotZero(50, b.rotation);
    };
    if (r13()) {
        if (!angleIfNotZero(51, b.horizontalDirection) || !extrusion() ||
            !angleIfNotZero(52, b.extensionLineRotation) || !angleIfNotZero(53, b.textRotation) ||
            !angleIfNotZero(54, b.insertionRotation)) {
            return 0;
        }
        if (!b.userText.empty() && !wrDxfEscapedString(o_, 1, b.userText, codePage())) return 0;
        if (!dimStyleName(3, b.dimensionStyle, true)) return 0;
        static constexpr const char* kMarkers[] = {
            "AcDbAlignedDimension", "AcDbAlignedDimension",        "AcDb2LineAngularDimension",
            "AcDbDiametricDimension", "AcDbRadialDimension",       "AcDb3PointAngularDimension",
            "AcDbOrdinateDimension", "AcDbAlignedDimension"};
        if (!wrDxfString(o_, 100, kMarkers[type]) || !typedPoints()) return 0;
        return type != 0 || wrDxfString(o_, 100, "AcDbRotatedDimension");
    }
    if (!b.userText.empty() && !wrDxfEscapedString(o_, 1, b.userText, codePage())) return 0;
    if (!typedPoints()) return 0;
    if (v_ >= kVersionAC1009 &&
        (!angleIfNotZero(52, b.extensionLineRotation) || !angleIfNotZero(53, b.textRotation))) {
        return 0;
    }
    if (v_ >= kVersionAC1006 && (!angleIfNotZero(51, b.horizontalDirection) || !extrusion())) return 0;
    return v_ < kVersionAC1009 || dimStyleName(3, b.dimensionStyle, true);
}

int ModernWriter::viewport() {
    const auto* bp = e_.body.getIf<ViewportBody>();
    if (!bp || v_ < kVersionAC1009) return 1;
    const ViewportBody& b = *bp;
    if (!subclass("AcDbViewport")) return 0;
    if (!r13() && !wrDxfInt16(o_, 68, b.status)) return 0;
    if (!p_.point(10, b.centre) || !wrDxfDouble(o_, 40, b.width) || !wrDxfDouble(o_, 41, b.height)) return 0;
    // The id (69) is kept in every version that has the entity.
    if (r13() ? (!wrDxfInt16(o_, 68, b.status) || !wrDxfInt16(o_, 69, b.id)) : !wrDxfInt16(o_, 69, b.id)) return 0;
    if (v_ < kVersionAC1015) return hasMviewXData(d_, h_.xdata) || wrDxfViewportXData(d_, o_, b);
    const auto t = dxfViewportFields();
    if (!wrDxfFields(o_, t, b, {12, 22, 13, 23, 14, 24, 15, 25, 16, 26, 36, 17, 27, 37, 42, 43, 44, 45, 50, 51, 72}))
        return 0;
    for (Handle layer : b.frozenLayers) {
        if (!wrDxfHandle(o_, 341, layer)) return 0;
    }
    if (!wrDxfFields(o_, t, b, {90, 340, 1, 281, 71, 74})) return 0;
    return wrDxfPoint3dFull(o_, 110, b.ucsOrigin) && wrDxfPoint3dFull(o_, 111, b.ucsXAxis) &&
           wrDxfPoint3dFull(o_, 112, b.ucsYAxis) && wrDxfFields(o_, t, b, {345, 346, 79, 146});
}

int ModernWriter::acis() {
    const auto* bp = e_.body.getIf<AcisBody>();
    if (!subclass("AcDbModelerGeometry") || !wrDxfInt16(o_, 70, 1)) return 0;
    if (bp && bp->satText && !DxfAcisDataWriter(o_, bp->satText, codePage())) return 0;
    return extrusion();
}

int ModernWriter::infiniteLine(std::string_view marker) {
    const auto* bp = e_.body.getIf<InfiniteLineBody>();
    if (!bp) return 1;
    return subclass(marker) && p_.pointR12(10, bp->basePoint) && wrDxfPoint3dFull(o_, 11, bp->direction);
}

int ModernWriter::mtext() {
    const auto* bp = e_.body.getIf<MtextBody>();
    if (!bp) return 1;
    const MtextBody& b = *bp;
    const auto t = dxfMtextFields();
    if (!subclass("AcDbMText") || !p_.point(10, b.insertion) || !wrDxfFields(o_, t, b, {40, 41, 71, 72}) ||
        !DxfMTextContentsWriter(o_, b.text, codePage()) || !styleName(b.style) || !extrusion()) {
        return 0;
    }
    if (!(b.xDirection.x == 1.0 && b.xDirection.y == 0.0 && b.xDirection.z == 0.0) && !p_.point(11, b.xDirection))
        return 0;
    return v_ < kVersionAC1015 || wrDxfFields(o_, t, b, {73, 44});
}

int ModernWriter::leader() {
    const auto* bp = e_.body.getIf<LeaderBody>();
    if (!bp) return 1;
    const LeaderBody& b = *bp;
    const auto t = dxfLeaderFields();
    if (!subclass("AcDbLeader") || !dimStyleName(3, b.dimensionStyle, false)) return 0;
    if (b.arrowheadOn != 1 && !wrDxfInt16(o_, 71, b.arrowheadOn)) return 0;
    if (!shortIfNotZero(72, b.pathType) || !wrDxfFields(o_, t, b, {73, 74, 75, 40}) ||
        !realIfNotZero(41, b.textWidth)) {
        return 0;
    }
    const bool hook = b.hookLine && !b.points.empty();
    if (!wrDxfInt16(o_, 76, int16_t(b.points.size() + (hook ? 1 : 0)))) return 0;
    for (size_t i = 0; i < b.points.size(); ++i) {
        if (hook && i + 1 == b.points.size()) {
            DimArrowSettings settings;
            dbGetDimArrowSettings(const_cast<Drawing*>(&d_), h_, settings, b.dimensionStyle);
            const double size = settings.arrowSize * settings.scale * (b.hookLineOnXDirection ? 1.0 : -1.0);
            const Point3& last = b.points.back();
            const Point3 extra{last.x + b.horizontalDirection.x * size, last.y + b.horizontalDirection.y * size,
                               last.z + b.horizontalDirection.z * size};
            if (!p_.pointR12(10, extra)) return 0;
        }
        if (!p_.pointR12(10, b.points[i])) return 0;
    }
    if (!wrDxfField(o_, t, b, 77)) return 0;
    if (!b.annotation.isNull() && !wrDxfHandle(o_, 340, b.annotation)) return 0;
    if (!isZero(b.horizontalDirection) && !p_.point3d(211, b.horizontalDirection)) return 0;
    if (!isZero(b.blockOffset) && !p_.point3d(212, b.blockOffset)) return 0;
    if (!isZero(b.annotationOffset) && !p_.point3d(213, b.annotationOffset)) return 0;
    return extrusion();
}

int ModernWriter::ellipse() {
    const auto* bp = e_.body.getIf<EllipseBody>();
    if (!bp) return 1;
    const EllipseBody& b = *bp;
    return subclass("AcDbEllipse") && p_.pointR12(10, b.centre) && wrDxfPoint3dFull(o_, 11, b.majorAxis) &&
           normal() && wrDxfDouble(o_, 40, b.axisRatio) && wrDxfDoubleFull(o_, 41, b.startParameter) &&
           wrDxfDoubleFull(o_, 42, b.endParameter);
}

int ModernWriter::spline() {
    const auto* bp = e_.body.getIf<SplineBody>();
    if (!bp) return 1;
    const SplineBody& b = *bp;
    const SplineData& data = b.data;
    if (!subclass("AcDbSpline") || !normal() || !wrDxfInt16(o_, 70, b.flags) || !wrDxfInt16(o_, 71, b.degree) ||
        !wrDxfInt16(o_, 72, int16_t(data.knots.size())) || !wrDxfInt16(o_, 73, int16_t(data.controlPoints.size())) ||
        !wrDxfInt16(o_, 74, int16_t(data.fitPoints.size()))) {
        return 0;
    }
    if (!data.knots.empty() && !wrDxfDouble(o_, 42, b.knotTolerance)) return 0;
    if (!data.controlPoints.empty() && !wrDxfDouble(o_, 43, b.controlTolerance)) return 0;
    if (!data.fitPoints.empty() && !wrDxfDouble(o_, 44, b.fitTolerance)) return 0;
    if (!isZero(b.startTangent) && !p_.point3d(12, b.startTangent)) return 0;
    if (!isZero(b.endTangent) && !p_.point3d(13, b.endTangent)) return 0;
    for (double knot : data.knots) {
        if (!wrDxfDouble(o_, 40, knot)) return 0;
    }
    const bool rational = (b.flags & 4) != 0;
    for (size_t i = 0; i < data.controlPoints.size(); ++i) {
        if (!p_.point3d(10, data.controlPoints[i])) return 0;
        if (rational && !wrDxfDouble(o_, 41, i < data.weights.size() ? data.weights[i] : 1.0)) return 0;
    }
    for (const Point3& fit : data.fitPoints) {
        if (!p_.point3d(11, fit)) return 0;
    }
    return 1;
}

int ModernWriter::tolerance() {
    const auto* bp = e_.body.getIf<ToleranceBody>();
    if (!bp) return 1;
    const ToleranceBody& b = *bp;
    std::string text = b.text;
    std::erase(text, '\n');
    if (!subclass("AcDbFcf") || !dimStyleName(3, b.dimensionStyle, false) || !p_.point(10, b.insertion) ||
        !wrDxfString(o_, 1, text) || !extrusion()) {
        return 0;
    }
    const bool plain = b.xDirection.x == 1.0 && b.xDirection.y == 0.0 && b.xDirection.z == 0.0;
    return plain || p_.point(11, b.xDirection);
}

int ModernWriter::mline() {
    const auto* bp = e_.body.getIf<MlineBody>();
    if (!bp) return 1;
    const MlineBody& b = *bp;
    std::string style;
    if (const ObjectRecord* object = dbFindStoredObject(const_cast<Drawing*>(&d_), b.style)) {
        if (const auto* body = object->body.getIf<MlineStyleBody>()) style = body->name;
    }
    if (!subclass("AcDbMline") || !wrDxfSymbolName(d_, o_, 2, style, 0, wrSymbolNameLimit()) ||
        !wrDxfHandle(o_, 340, b.style) || !wrDxfDouble(o_, 40, b.scale) || !wrDxfInt16(o_, 70, b.justification) ||
        !wrDxfInt16(o_, 71, b.flags) || !wrDxfInt16(o_, 72, int16_t(b.vertices.size())) ||
        !wrDxfInt16(o_, 73, b.lineCount) || !wrDxfPoint3dFull(o_, 10, b.basePoint) || !extrusion()) {
        return 0;
    }
    for (const MlineVertex& vertex : b.vertices) {
        if (!p_.point3d(11, vertex.position) || !p_.point3d(12, vertex.direction) || !p_.point3d(13, vertex.miter))
            return 0;
        for (const MlineElementParameters& element : vertex.elements) {
            if (!wrDxfInt16(o_, 74, int16_t(element.segment.size()))) return 0;
            for (double value : element.segment) {
                if (!wrDxfDouble(o_, 41, value)) return 0;
            }
            if (!wrDxfInt16(o_, 75, int16_t(element.areaFill.size()))) return 0;
            for (double value : element.areaFill) {
                if (!wrDxfDouble(o_, 42, value)) return 0;
            }
        }
    }
    return 1;
}

int ModernWriter::lwpolyline() {
    const auto* bp = e_.body.getIf<LwpolylineBody>();
    if (!bp) return 1;
    const LwpolylineBody& b = *bp;
    int16_t flags = 0;
    if (b.flags & kLwpolylineClosed) flags |= 1;
    if (b.flags & kLwpolylineContinuousLinetype) flags |= 128;
    if (!wrDxfString(o_, 100, "AcDbPolyline") || !wrDxfInt32(o_, 90, int32_t(b.vertices.size())) ||
        !wrDxfInt16(o_, 70, flags) || !realIfNotZero(43, b.constantWidth) || !realIfNotZero(38, b.elevation) ||
        !realIfNotZero(39, h_.thickness)) {
        return 0;
    }
    for (const LwpolylineVertex& vertex : b.vertices) {
        if (!wrDxfDouble(o_, 10, vertex.point.x) || !wrDxfDouble(o_, 20, vertex.point.y)) return 0;
        if ((b.flags & kLwpolylineHasWidths) &&
            (!wrDxfDouble(o_, 40, vertex.startWidth) || !wrDxfDouble(o_, 41, vertex.endWidth))) {
            return 0;
        }
        if ((b.flags & kLwpolylineHasBulges) && vertex.bulge != 0.0 && !wrDxfDouble(o_, 42, vertex.bulge)) return 0;
    }
    return p_.extrusion(h_);
}

int ModernWriter::hatch() {
    const auto* bp = e_.body.getIf<HatchBody>();
    if (!bp) return 1;
    const HatchBody& b = *bp;
    auto full2 = [&](int code, const Point2& p) { return wrDxfPoint2dFull(o_, code, p); };
    if (!wrDxfString(o_, 100, "AcDbHatch") || !wrDxfPoint3dFull(o_, 10, Point3{0.0, 0.0, b.elevation}) ||
        !normal() || !wrDxfString(o_, 2, b.patternName) || !wrDxfInt16(o_, 70, b.solidFill) ||
        !wrDxfInt16(o_, 71, b.associative) || !wrDxfInt32(o_, 91, int32_t(b.paths.size()))) {
        return 0;
    }
    bool pixelSize = false;
    for (const HatchPath& path : b.paths) {
        if (path.flags & kHatchPathNeedsPixelSize) pixelSize = true;
        if (!wrDxfInt32(o_, 92, int32_t(path.flags))) return 0;
        if (path.isPolyline()) {
            if (!wrDxfInt16(o_, 72, path.hasBulges) || !wrDxfInt16(o_, 73, path.closed) ||
                !wrDxfInt32(o_, 93, int32_t(path.vertices.size()))) {
                return 0;
            }
            for (const HatchPolylineVertex& vertex : path.vertices) {
                if (!full2(10, vertex.point)) return 0;
                if (path.hasBulges && !wrDxfDoubleFull(o_, 42, vertex.bulge)) return 0;
            }
        } else {
            if (!wrDxfInt32(o_, 93, int32_t(path.edges.size()))) return 0;
            for (const HatchEdge& edge : path.edges) {
                if (!wrDxfInt16(o_, 72, int16_t(hatchEdgeType(edge)))) return 0;
                int ok = 1;
                if (const auto* line = std::get_if<HatchLineEdge>(&edge)) {
                    ok = full2(10, line->start) && full2(11, line->end);
                } else if (const auto* arc = std::get_if<HatchArcEdge>(&edge)) {
                    ok = full2(10, arc->centre) && wrDxfDoubleFull(o_, 40, arc->radius) &&
                         wrDxfAngle(o_, 50, arc->startAngle) && wrDxfAngle(o_, 51, arc->endAngle) &&
                         wrDxfInt16(o_, 73, arc->counterClockwise);
                } else if (const auto* ellipse = std::get_if<HatchEllipseEdge>(&edge)) {
                    ok = full2(10, ellipse->centre) && full2(11, ellipse->majorAxisEnd) &&
                         wrDxfDoubleFull(o_, 40, ellipse->axisRatio) &&
                         wrDxfAngle(o_, 50, wrHatchEllipseAngle(ellipse->startParameter, ellipse->axisRatio)) &&
                         wrDxfAngle(o_, 51, wrHatchEllipseAngle(ellipse->endParameter, ellipse->axisRatio)) &&
                         wrDxfInt16(o_, 73, ellipse->counterClockwise);
                } else if (const auto* spline = std::get_if<HatchSplineEdge>(&edge)) {
                    ok = wrDxfInt32(o_, 94, spline->degree) && wrDxfInt16(o_, 73, spline->rational) &&
                         wrDxfInt16(o_, 74, spline->periodic) && wrDxfInt32(o_, 95, int32_t(spline->knots.size())) &&
                         wrDxfInt32(o_, 96, int32_t(spline->controlPoints.size()));
                    for (size_t i = 0; ok && i < spline->knots.size(); ++i) ok = wrDxfDoubleFull(o_, 40, spline->knots[i]);
                    for (size_t i = 0; ok && i < spline->controlPoints.size(); ++i) {
                        ok = full2(10, spline->controlPoints[i].point) &&
                             (!spline->rational || wrDxfDoubleFull(o_, 42, spline->controlPoints[i].weight));
                    }
                }
                if (!ok) return 0;
            }
        }
        if (!wrDxfInt32(o_, 97, int32_t(path.boundaryObjects.size()))) return 0;
        for (Handle object : path.boundaryObjects) {
            if (!wrDxfHandle(o_, 330, object)) return 0;
        }
    }
    if (!wrDxfInt16(o_, 75, b.style) || !wrDxfInt16(o_, 76, b.patternType)) return 0;
    if (!b.solidFill) {
        if (!wrDxfAngle(o_, 52, b.patternAngle) || !wrDxfDoubleFull(o_, 41, b.patternScale) ||
            !wrDxfInt16(o_, 77, b.patternDouble) || !wrDxfInt16(o_, 78, int16_t(b.patternLines.size()))) {
            return 0;
        }
        for (const HatchPatternLine& line : b.patternLines) {
            if (!wrDxfAngle(o_, 53, line.angle) || !wrDxfDoubleFull(o_, 43, line.base.x) ||
                !wrDxfDoubleFull(o_, 44, line.base.y) || !wrDxfDoubleFull(o_, 45, line.offset.x) ||
                !wrDxfDoubleFull(o_, 46, line.offset.y) || !wrDxfInt16(o_, 79, int16_t(line.dashes.size()))) {
                return 0;
            }
            for (double dash : line.dashes) {
                if (!wrDxfDoubleFull(o_, 49, dash)) return 0;
            }
        }
    }
    if (pixelSize && !wrDxfDoubleFull(o_, 47, b.pixelSize)) return 0;
    if (!wrDxfInt32(o_, 98, int32_t(b.seedPoints.size()))) return 0;
    for (const Point2& seed : b.seedPoints) {
        if (!full2(10, seed)) return 0;
    }
    return 1;
}

int ModernWriter::image(bool wipeout) {
    const auto* bp = e_.body.getIf<RasterImageBody>();
    if (!bp) return 1;
    const RasterImageBody& b = *bp;
    if (!DxfGraphicsGroups(o_, b.graphics) || !wrDxfString(o_, 100, wipeout ? "AcDbWipeout" : "AcDbRasterImage") ||
        !wrDxfInt32(o_, 90, b.classVersion) || !p_.point3d(10, b.insertion) || !p_.point3d(11, b.uVector) ||
        !p_.point3d(12, b.vVector) || !p_.point2d(13, Point3{b.size.x, b.size.y, 0.0})) {
        return 0;
    }
    const int references = wipeout ? wrDxfString(o_, 340, "0") : wrDxfHandle(o_, 340, b.imageDefinition);
    if (!references || !wrDxfInt16(o_, 70, b.displayProperties) || !wrDxfInt16(o_, 280, b.clipping) ||
        !wrDxfInt16(o_, 281, b.brightness) || !wrDxfInt16(o_, 282, b.contrast) || !wrDxfInt16(o_, 283, b.fade)) {
        return 0;
    }
    if (!(wipeout ? wrDxfString(o_, 360, "0") : wrDxfHandle(o_, 360, b.imageDefinitionReactor))) return 0;
    if (!wrDxfInt16(o_, 71, b.clipBoundaryType) || !wrDxfInt32(o_, 91, int32_t(b.clipVertices.size()))) return 0;
    for (const Point2& vertex : b.clipVertices) {
        if (!wrDxfDouble(o_, 14, vertex.x) || !wrDxfDouble(o_, 24, vertex.y)) return 0;
    }
    return 1;
}

// The OLE type (71) and tile mode (72) keep the values the drawing holds.
int ModernWriter::ole2frame() {
    const auto* bp = e_.body.getIf<Ole2FrameBody>();
    if (!bp) return 1;
    const Ole2FrameBody& b = *bp;
    const auto t = dxfOle2FrameFields();
    const std::span<const uint8_t> data = b.data.bytes();
    return wrDxfString(o_, 100, "AcDbOle2Frame") && wrDxfField(o_, t, b, 70) && p_.pointR12(10, b.upperLeft) &&
           p_.pointR12(11, b.lowerRight) && wrDxfFields(o_, t, b, {71, 72}) &&
           wrDxfInt32(o_, 90, int32_t(data.size())) && wrDxfBinaryChunks(o_, 310, data, 127) &&
           wrDxfString(o_, 1, "OLE");
}

// The contents (1) follow the flags, so that an RTEXT keeps its text.
int ModernWriter::rtext() {
    const auto* bp = e_.body.getIf<RtextBody>();
    if (!bp) return 1;
    const RtextBody& b = *bp;
    std::string style;
    wrStyleNameByHandle(d_, b.style, style);
    return DxfGraphicsGroups(o_, b.graphics) && wrDxfString(o_, 100, "RText") && p_.point3d(10, b.insertion) &&
           normal() && wrDxfAngle(o_, 50, b.rotation) && wrDxfDouble(o_, 40, b.height) &&
           wrDxfSymbolName(d_, o_, 7, style, wrRecordPosition(o_, b.style), wrSymbolNameLimit()) &&
           wrDxfInt16(o_, 70, b.flags) && wrDxfEscapedString(o_, 1, b.contents, codePage());
}

int ModernWriter::arcAlignedText() {
    const auto* bp = e_.body.getIf<ArcAlignedTextBody>();
    if (!bp) return 1;
    const ArcAlignedTextBody& b = *bp;
    const auto t = dxfArcAlignedTextFields();
    std::string style;
    wrStyleNameByHandle(d_, b.style, style);
    return DxfGraphicsGroups(o_, b.graphics) && wrDxfString(o_, 100, "AcDbArcAlignedText") &&
           wrDxfFields(o_, t, b, {1, 2, 3}) &&
           wrDxfSymbolName(d_, o_, 7, style, wrRecordPosition(o_, b.style), wrSymbolNameLimit()) &&
           p_.point3d(10, b.centre) && wrDxfFields(o_, t, b, {40, 41, 42, 43, 44, 45, 46, 50, 51}) &&
           wrDxfFields(o_, t, b, {70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 90}) && normal() &&
           wrDxfFields(o_, t, b, {280, 330});
}

int ModernWriter::proxy() {
    const auto* bp = e_.body.getIf<ProxyEntityBody>();
    const ProxyEntityBody empty;
    const ProxyEntityBody& b = bp ? *bp : empty;
    const uint16_t classNumber = b.classNumber != 0 ? b.classNumber : h_.type;
    if (!wrDxfString(o_, 100, v_ == kVersionAC1012 ? "AcDbZombieEntity" : "AcDbProxyEntity") ||
        !wrDxfInt32(o_, 90, kEntityOfClassData) || !wrDxfInt32(o_, 91, classNumber)) {
        return 0;
    }
    if (v_ >= kVersionAC1015 && (!wrDxfInt32(o_, 95, b.version) || !wrDxfInt16(o_, 70, b.dataFormat))) return 0;
    return DxfGraphicsGroups(o_, b.graphics, 92, true) && wrDxfInt32(o_, 93, int32_t(b.dataBitCount)) &&
           wrDxfBinaryChunks(o_, 310, b.data.bytes(), 127) && DxfObjectIdListWriter(o_, b.references) &&
           wrDxfInt32(o_, 94, 0);
}

int ModernWriter::storedClassData() {
    const auto* bp = e_.body.getIf<ProxyEntityBody>();
    if (!bp) return 1;
    return DxfGraphicsGroups(o_, bp->graphics) && (!bp->data || DxfGroupsFromBitData(o_, bp->data, bp->references));
}

int ModernWriter::classEntity(ClassKind kind) {
    switch (kind) {
    case ClassKind::Lwpolyline: return lwpolyline();
    case ClassKind::Hatch: return hatch();
    case ClassKind::Image: return image(false);
    case ClassKind::Wipeout: return image(true);
    case ClassKind::Ole2Frame: return ole2frame();
    case ClassKind::Rtext: return rtext();
    case ClassKind::ArcAlignedText: return arcAlignedText();
    default: return proxy();
    }
}

int ModernWriter::run() {
    switch (h_.type) {
    case kEntityDimension: return dimension();
    case kEntityViewport: return viewport();
    case kEntityRegion:
    case kEntitySolid3d:
    case kEntityBody: return r13() ? acis() : 1;
    case kEntityRay: return infiniteLine("AcDbRay");
    case kEntityXline: return infiniteLine("AcDbXline");
    case kEntityMtext: return mtext();
    case kEntityLeader: return leader();
    case kEntityEllipse: return ellipse();
    case kEntitySpline: return spline();
    case kEntityTolerance: return tolerance();
    case kEntityMline: return mline();
    default: break;
    }
    if (h_.type < kEntityOfClassData) return 1;
    if (h_.type == kEntityOfClassData) return wrHasStoredGroupData(d_, e_) ? storedClassData() : proxy();
    ClassKind kind;
    if (dbClassKindByNumber(d_.classes, h_.type, kind) && dbClassKindIsEntity(kind)) return classEntity(kind);
    return proxy();
}

} // namespace

bool wrHasStoredGroupData(const Drawing& drawing, const EntityRecord& entity) {
    const auto* proxy = entity.body.getIf<ProxyEntityBody>();
    // A proxy read from a file carries its proxy class id (90); class data read as groups has none.
    return entity.header.type == kEntityOfClassData && proxy && drawing.sourceFormat != SourceFormat::Dwg &&
           proxy->proxyClassId == 0 && proxy->classNumber != 0 &&
           dbClassNameByNumber(drawing.classes, proxy->classNumber);
}

double wrHatchEllipseAngle(double parameter, double axisRatio) {
    return std::atan2(axisRatio * std::sin(parameter), std::cos(parameter));
}

int wrDxfViewportXData(const Drawing& drawing, OutputContext& output, const ViewportBody& b) {
    for (const XDataItem& item : wrViewportMviewItems(b, Handle())) {
        int ok = 1;
        switch (item.code) {
        case 1001: ok = wrDxfString(output, 1001, "ACAD"); break;
        case 1000: ok = wrDxfString(output, 1000, item.text); break;
        case 1002: ok = wrDxfChar(output, 1002, item.brace ? '}' : '{'); break;
        case 1010:
            ok = wrDxfDouble(output, 1010, item.point.x) && wrDxfDouble(output, 1020, item.point.y) &&
                 wrDxfDouble(output, 1030, item.point.z);
            break;
        case 1040: ok = wrDxfDouble(output, 1040, item.real); break;
        case 1070: ok = wrDxfInt16(output, 1070, item.int16); break;
        case 1003: {
            std::string name;
            if (!wrLayerNameByHandle(drawing, item.handle, name)) break;
            const int16_t forceZ = output.numbers.forceZ;
            output.numbers.forceZ = 1;
            ok = wrDxfSymbolName(drawing, output, 1003, name, wrRecordPosition(output, item.handle),
                                 wrSymbolNameLimit());
            output.numbers.forceZ = forceZ;
            break;
        }
        default: break;
        }
        if (!ok) return 0;
    }
    return 1;
}

std::string_view wrDxfEntityTypeName(const Drawing& drawing, int16_t versionIndex, const EntityRecord& entity) {
    const uint16_t type = entity.header.type;
    if (type < kEntityOfClassData) return dbEntityTypeName(type);
    if (type == kEntityOfClassData) {
        if (wrHasStoredGroupData(drawing, entity)) {
            return *dbClassNameByNumber(drawing.classes, entity.body.as<ProxyEntityBody>().classNumber);
        }
    } else {
        ClassKind kind;
        if (dbClassKindByNumber(drawing.classes, type, kind) && dbClassKindIsEntity(kind))
            return dbClassKindDxfName(kind);
    }
    return versionIndex == kVersionAC1012 ? "ACAD_ZOMBIE_ENTITY" : "ACAD_PROXY_ENTITY";
}

int DxfModernEntityWriter(const Drawing& drawing, OutputContext& output, const EntityRecord& entity,
                          DxfEntityParts& parts) {
    ModernWriter writer(drawing, output, entity, parts);
    return writer.run();
}

} // namespace tracemill
