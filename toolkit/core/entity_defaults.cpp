// The defaults of a new entity.
#include <numbers>

#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/record_lookup.h"

namespace tracemill {
namespace {

void setTextDefaults(const Drawing& drawing, TextFields& text) {
    text.height = 1.0;
    text.widthFactor = 1.0;
    text.style = dbFirstRecordHandle(drawing.styles);
}

EntityBody classBody(const Drawing& drawing, uint16_t type) {
    ClassKind kind;
    if (!dbClassKindByNumber(drawing.classes, type, kind) || !dbClassKindIsEntity(kind)) {
        ProxyEntityBody proxy;
        proxy.classNumber = type;
        return proxy;
    }
    switch (kind) {
    case ClassKind::Lwpolyline:
        return LwpolylineBody{};
    case ClassKind::Hatch:
        return HatchBody{};
    case ClassKind::Image:
    case ClassKind::Wipeout: {
        RasterImageBody image;
        image.uVector = {1.0, 0.0, 0.0};
        image.vVector = {0.0, 1.0, 0.0};
        return image;
    }
    case ClassKind::Ole2Frame:
        return Ole2FrameBody{};
    case ClassKind::Rtext: {
        RtextBody rtext;
        rtext.height = 0.2;
        return rtext;
    }
    case ClassKind::ArcAlignedText: {
        ArcAlignedTextBody text;
        text.textSize = 0.2;
        text.widthFactor = 1.0;
        text.radius = 1.0;
        text.colour = 256;
        return text;
    }
    default:
        return ProxyEntityBody{};
    }
}

} // namespace

EntityBody dbDefaultEntityBody(const Drawing& drawing, uint16_t type) {
    if (dbIsClassNumber(type)) return classBody(drawing, type);
    switch (type) {
    case kEntityLine:
    case kEntityLine3d:
        return LineBody{};
    case kEntityPoint:
        return PointBody{};
    case kEntityCircle: {
        CircleBody circle;
        circle.radius = 1.0;
        return circle;
    }
    case kEntityShape: {
        ShapeBody shape;
        shape.size = 1.0;
        shape.widthFactor = 1.0;
        return shape;
    }
    case kEntityEllipse:
        return EllipseBody{};
    case kEntitySpline:
        return SplineBody{};
    case kEntityText: {
        TextBody text;
        setTextDefaults(drawing, text);
        return text;
    }
    case kEntityAttributeDefinition: {
        AttributeDefinitionBody text;
        setTextDefaults(drawing, text);
        return text;
    }
    case kEntityAttribute: {
        AttributeBody text;
        setTextDefaults(drawing, text);
        return text;
    }
    case kEntityArc: {
        ArcBody arc;
        arc.radius = 1.0;
        arc.endAngle = 2.0 * std::numbers::pi;
        return arc;
    }
    case kEntityTrace:
    case kEntitySolid: {
        SolidBody solid;
        solid.corners = {Point3{0, 0, 0}, Point3{0, 1, 0}, Point3{1, 0, 0}, Point3{1, 1, 0}};
        return solid;
    }
    case kEntityRegion:
    case kEntitySolid3d:
    case kEntityBody:
        return AcisBody{};
    case kEntityBlock:
        return BlockBeginBody{};
    case kEntityInsert: {
        InsertBody insert;
        insert.scale = {1.0, 1.0, 1.0};
        insert.columnCount = 1;
        insert.rowCount = 1;
        return insert;
    }
    case kEntityPolyline:
        return PolylineBody{};
    case kEntityVertex:
        return VertexBody{};
    case kEntityFace3d:
        return FaceBody{};
    case kEntityDimension:
        return DimensionBody{};
    case kEntityViewport: {
        ViewportBody viewport;
        viewport.viewDirection = {0.0, 0.0, 1.0};
        viewport.lensLength = 50.0;
        viewport.circleZoom = 100;
        viewport.ucsXAxis = {1.0, 0.0, 0.0};
        viewport.ucsYAxis = {0.0, 1.0, 0.0};
        return viewport;
    }
    case kEntityRay:
    case kEntityXline: {
        InfiniteLineBody line;
        line.direction = {1.0, 0.0, 0.0};
        return line;
    }
    case kEntityMtext:
        return MtextBody{};
    case kEntityLeader:
        return LeaderBody{};
    case kEntityTolerance:
        return ToleranceBody{};
    case kEntityMline:
        return MlineBody{};
    default:
        return EntityBody{};  // ENDBLK, SEQEND and codes that name no entity
    }
}

int dbInitEntity(Drawing* drawing, EntityHeader& header, EntityBody* body) {
    const uint16_t type = header.type;
    header = EntityHeader{};
    header.type = type;
    if (drawing) {
        header.layer = dbFirstRecordHandle(drawing->layers);
        header.linetype = drawing->handles.byLayerLinetype;
    }
    if (body) *body = drawing ? dbDefaultEntityBody(*drawing, type) : EntityBody{};
    return 1;
}

int dbInitEntity(Drawing* drawing, EntityRecord& entity) {
    return dbInitEntity(drawing, entity.header, &entity.body);
}

} // namespace tracemill
