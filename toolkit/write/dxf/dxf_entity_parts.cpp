#include "toolkit/write/dxf/dxf_entity_parts.h"

#include "toolkit/core/entity_types.h"
#include "toolkit/core/version_index.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"
#include "toolkit/core/name_compare.h"

namespace tracemill {

int DxfEntityParts::point(int code, const Point3& p) {
    if (!wrDxfDouble(output_, code, p.x) || !wrDxfDouble(output_, code + 10, p.y)) return 0;
    if (output_.versionIndex < kVersionAC1006 || (p.z == 0.0 && !output_.numbers.forceZ)) return 1;
    return wrDxfDouble(output_, code + 20, p.z);
}

int DxfEntityParts::point2d(int code, const Point3& p) {
    return wrDxfDouble(output_, code, p.x) && wrDxfDouble(output_, code + 10, p.y);
}

int DxfEntityParts::point3d(int code, const Point3& p) {
    return point2d(code, p) && wrDxfDouble(output_, code + 20, p.z);
}

int DxfEntityParts::pointR12(int code, const Point3& p) {
    if (!point2d(code, p)) return 0;
    if (p.z == 0.0 && output_.versionIndex < kVersionAC1006) return 1;
    return wrDxfDouble(output_, code + 20, p.z);
}

int DxfEntityParts::extrusion(const EntityHeader& header) {
    if (!(header.flags & kEntityHasExtrusion)) return 1;
    return wrDxfPoint3dFull(output_, 210, header.extrusion);
}

int DxfEntityParts::styleName(Handle style) {
    DxfNameCache& cache = output_.styleName;
    if (!cache.valid || cache.handle != style) {
        std::string name;
        const std::string_view standard =
            output_.versionIndex >= kVersionAC1012 ? std::string_view(output_.defaultStyleName) : "Standard";
        if (style.isNull() || !wrStyleNameByHandle(drawing_, style, name) || dbEqualsNoCase(name, standard)) {
            name.clear();
        } else if (output_.versionIndex < kVersionAC1015) {
            name = wrConvertSymbolName(drawing_, &output_, name, wrRecordPosition(output_, style), wrSymbolNameLimit());
        }
        cache.name = std::move(name);
        cache.handle = style;
        cache.valid = true;
    }
    return cache.name.empty() || wrDxfString(output_, 7, cache.name);
}

double DxfEntityParts::elevation(const EntityRecord& entity) const {
    const EntityBody& body = entity.body;
    switch (entity.header.type) {
    case kEntityLine: { const auto* b = body.getIf<LineBody>(); return b ? b->start.z : 0.0; }
    case kEntityPoint: { const auto* b = body.getIf<PointBody>(); return b ? b->point.z : 0.0; }
    case kEntityCircle: { const auto* b = body.getIf<CircleBody>(); return b ? b->centre.z : 0.0; }
    case kEntityArc: { const auto* b = body.getIf<ArcBody>(); return b ? b->centre.z : 0.0; }
    case kEntityShape: { const auto* b = body.getIf<ShapeBody>(); return b ? b->insertion.z : 0.0; }
    case kEntityText: { const auto* b = body.getIf<TextBody>(); return b ? b->insertion.z : 0.0; }
    case kEntityAttributeDefinition: { const auto* b = body.getIf<AttributeDefinitionBody>(); return b ? b->insertion.z : 0.0; }
    case kEntityAttribute: { const auto* b = body.getIf<AttributeBody>(); return b ? b->insertion.z : 0.0; }
    case kEntityTrace:
    case kEntitySolid: { const auto* b = body.getIf<SolidBody>(); return b ? b->corners[0].z : 0.0; }
    case kEntityBlock: { const auto* b = body.getIf<BlockBeginBody>(); return b ? b->basePoint.z : 0.0; }
    case kEntityVertex: { const auto* b = body.getIf<VertexBody>(); return b ? b->point.z : 0.0; }
    case kEntityInsert: { const auto* b = body.getIf<InsertBody>(); return b ? b->insertion.z : 0.0; }
    case kEntityPolyline: { const auto* b = body.getIf<PolylineBody>(); return b ? b->elevation : 0.0; }
    case kEntityDimension: { const auto* b = body.getIf<DimensionBody>(); return b ? b->textMidpoint.z : 0.0; }
    default: return 0.0;
    }
}

} // namespace tracemill
