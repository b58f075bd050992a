// An entity as the database hands it out and takes it in: its header and its typed body.
#pragma once

#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/record_body.h"
#include "toolkit/core/record_list.h"
#include "toolkit/core/stored_record.h"

namespace tracemill {

// The body of an entity; empty (std::monostate) for ENDBLK, SEQEND and kinds without a body.
using EntityBody =
    RecordBody<LineBody, PointBody, CircleBody, ArcBody, InfiniteLineBody, PolylineBody, LwpolylineBody,
               ShapeBody, EllipseBody, SplineBody, TextBody, AttributeBody, AttributeDefinitionBody,
               SolidBody, FaceBody, AcisBody, BlockBeginBody, InsertBody, VertexBody, DimensionBody,
               ViewportBody, MtextBody, LeaderBody, ToleranceBody, MlineBody, HatchBody, RasterImageBody,
               Ole2FrameBody, RtextBody, ArcAlignedTextBody, ProxyEntityBody>;

// Small bodies sit inline: a LINE must not pay for the largest body.
static_assert(sizeof(EntityBody) <= kInlineBodyLimit + 8, "entity bodies above the inline limit are boxed");

// An entity: `header`, `body`, and `bodyAs<T>()` for the body of a known kind.
struct EntityRecord : TypedRecord<EntityHeader, EntityBody> {
    friend bool operator==(const EntityRecord&, const EntityRecord&) = default;
};

using EntityNode = StoredRecord<EntityRecord>;
using EntityList = RecordList<EntityNode>;

} // namespace tracemill
