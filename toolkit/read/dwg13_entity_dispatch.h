// Which layout an entity of an R13-2000 DWG file has: by its fixed DWG type, or by the kind of
// its class. One dispatch for the reader (which makes the body of the layout) and the writer
// (which writes the entity's own body).
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/class_list.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/read/dwg13_class_entity_layouts.h"
#include "toolkit/read/dwg13_dimension_layouts.h"
#include "toolkit/read/dwg13_entity_layouts.h"

namespace tracemill {

// What some layouts take beyond the entity: the sub-entity handles and the values a POLYLINE
// hands its vertices, the values of an R13/R14 LEADER and the gap of an R13/R14 TOLERANCE that
// 2000 dropped, the text style name of an ARCALIGNEDTEXT, a VIEWPORT's entity header.
struct Dwg13EntityExtras {
    Dwg13EntityContext context;
    Dwg13LeaderExtras leader;
    double toleranceGap = 0.0;
    std::string styleName;
    Handle viewportEntityHeader;
};

namespace dwg13 {

// The body a layout fills: made when reading, the entity's own when writing (null when the
// entity holds another body).
template <class B, class Io> B* entityBody(EntityBody& body) {
    if constexpr (Io::kReading)
        return &body.emplace<B>();
    else
        return body.getIf<B>();
}

} // namespace dwg13

// The layout of an entity of a fixed DWG type; false for a type that has none and, when
// writing, for a body of another kind. A writer's `probe` only asks whether the body is the
// type's (nothing is written).
template <class Io>
bool dwg13FixedEntity(Io& io, uint16_t type, EntityHeader& h, EntityBody& body, Dwg13EntityCommon& c,
                      Dwg13EntityExtras& x, bool probe = false) {
    using dwg13::entityBody;
#define TRACEMILL_ENTITY(BODY, CALL)                                                                                   \
    if (BODY* b = entityBody<BODY, Io>(body)) {                                                                        \
        if (!probe) CALL;                                                                                              \
        return true;                                                                                                   \
    }                                                                                                                  \
    return false;
    switch (type) {
    case kDwgText:
        TRACEMILL_ENTITY(TextBody, dwg13TextEntity(io, h, *b, c))
    case kDwgAttribute:
        TRACEMILL_ENTITY(AttributeBody, dwg13AttributeEntity(io, h, *b, c))
    case kDwgAttributeDefinition:
        TRACEMILL_ENTITY(AttributeDefinitionBody, dwg13AttributeDefinitionEntity(io, h, *b, c))
    case kDwgBlock:
        TRACEMILL_ENTITY(BlockBeginBody, dwg13BlockEntity(io, h, *b, c))
    case kDwgEndBlock:
    case kDwgSequenceEnd:
        if constexpr (Io::kReading) body.emplace<std::monostate>();
        if (!probe) dwg13::commonHandlesOnly(io, h, c);
        return true;
    case kDwgInsert:
    case kDwgMinsert:
        TRACEMILL_ENTITY(InsertBody, dwg13InsertEntity(io, h, *b, c, x.context, type == kDwgMinsert))
    case kDwgVertex2d:
        TRACEMILL_ENTITY(VertexBody, dwg13Vertex2dEntity(io, h, *b, c, x.context))
    case kDwgVertex3d:
    case kDwgVertexMesh:
    case kDwgVertexPface:
        TRACEMILL_ENTITY(VertexBody, dwg13Vertex3dEntity(io, h, *b, c))
    case kDwgVertexPfaceFace:
        TRACEMILL_ENTITY(VertexBody, dwg13FaceRecordEntity(io, h, *b, c))
    case kDwgPolyline2d:
        TRACEMILL_ENTITY(PolylineBody, dwg13Polyline2dEntity(io, h, *b, c, x.context))
    case kDwgPolyline3d:
        TRACEMILL_ENTITY(PolylineBody, dwg13Polyline3dEntity(io, h, *b, c, x.context))
    case kDwgPolylinePface:
        TRACEMILL_ENTITY(PolylineBody, dwg13PolylinePfaceEntity(io, h, *b, c, x.context))
    case kDwgPolylineMesh:
        TRACEMILL_ENTITY(PolylineBody, dwg13PolylineMeshEntity(io, h, *b, c, x.context))
    case kDwgArc:
        TRACEMILL_ENTITY(ArcBody, dwg13ArcEntity(io, h, *b, c))
    case kDwgCircle:
        TRACEMILL_ENTITY(CircleBody, dwg13CircleEntity(io, h, *b, c))
    case kDwgLine:
        TRACEMILL_ENTITY(LineBody, dwg13LineEntity(io, h, *b, c))
    case kDwgDimensionOrdinate:
    case kDwgDimensionLinear:
    case kDwgDimensionAligned:
    case kDwgDimensionAngular3Point:
    case kDwgDimensionAngular2Line:
    case kDwgDimensionRadius:
    case kDwgDimensionDiameter:
        TRACEMILL_ENTITY(DimensionBody, dwg13DimensionEntity(io, h, *b, c, type))
    case kDwgPoint:
        TRACEMILL_ENTITY(PointBody, dwg13PointEntity(io, h, *b, c))
    case kDwgFace3d:
        TRACEMILL_ENTITY(FaceBody, dwg13Face3dEntity(io, h, *b, c))
    case kDwgSolid:
    case kDwgTrace:
        TRACEMILL_ENTITY(SolidBody, dwg13SolidEntity(io, h, *b, c))
    case kDwgShape:
        TRACEMILL_ENTITY(ShapeBody, dwg13ShapeEntity(io, h, *b, c))
    case kDwgViewport:
        TRACEMILL_ENTITY(ViewportBody, dwg13ViewportEntity(io, h, *b, c, x.viewportEntityHeader))
    case kDwgEllipse:
        TRACEMILL_ENTITY(EllipseBody, dwg13EllipseEntity(io, h, *b, c))
    case kDwgSpline:
        TRACEMILL_ENTITY(SplineBody, dwg13SplineEntity(io, h, *b, c))
    case kDwgRegion:
    case kDwgSolid3d:
    case kDwgBody:
        TRACEMILL_ENTITY(AcisBody, dwg13AcisEntity(io, h, *b, c))
    case kDwgRay:
    case kDwgXline:
        TRACEMILL_ENTITY(InfiniteLineBody, dwg13InfiniteLineEntity(io, h, *b, c))
    case kDwgMtext:
        TRACEMILL_ENTITY(MtextBody, dwg13MtextEntity(io, h, *b, c))
    case kDwgLeader:
        TRACEMILL_ENTITY(LeaderBody, dwg13LeaderEntity(io, h, *b, c, x.leader))
    case kDwgTolerance:
        TRACEMILL_ENTITY(ToleranceBody, dwg13ToleranceEntity(io, h, *b, c, x.toleranceGap))
    case kDwgMline:
        TRACEMILL_ENTITY(MlineBody, dwg13MlineEntity(io, h, *b, c))
    default:
        return false;
    }
}

// The layout of a class-based entity of a kind the toolkit knows; false for another kind and,
// when writing, for a body of another kind (`probe` as above).
template <class Io>
bool dwg13ClassEntity(Io& io, ClassKind kind, EntityHeader& h, EntityBody& body, Dwg13EntityCommon& c,
                      Dwg13EntityExtras& x, bool probe = false) {
    using dwg13::entityBody;
    switch (kind) {
    case ClassKind::Lwpolyline:
        TRACEMILL_ENTITY(LwpolylineBody, dwg13LwpolylineEntity(io, h, *b, c))
    case ClassKind::Hatch:
        TRACEMILL_ENTITY(HatchBody, dwg13HatchEntity(io, h, *b, c))
    case ClassKind::Image:
    case ClassKind::Wipeout:
        TRACEMILL_ENTITY(RasterImageBody, dwg13RasterImageEntity(io, h, *b, c))
    case ClassKind::Ole2Frame:
        TRACEMILL_ENTITY(Ole2FrameBody, dwg13Ole2FrameEntity(io, h, *b, c))
    case ClassKind::Rtext:
        TRACEMILL_ENTITY(RtextBody, dwg13RtextEntity(io, h, *b, c))
    case ClassKind::ArcAlignedText:
        TRACEMILL_ENTITY(ArcAlignedTextBody, dwg13ArcAlignedTextEntity(io, h, *b, c, x.styleName))
    default:
        return false;
    }
#undef TRACEMILL_ENTITY
}

} // namespace tracemill
