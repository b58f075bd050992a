// The field tables of the DXF entity bodies: which group code fills which field of each kind.
// Groups that build lists (vertices, knots, paths, texts split over several groups) are read
// by the entity reader itself (dxf_entities.cpp).
#pragma once

#include <span>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/read/dxf_fields.h"

namespace tracemill {

std::span<const DxfField<LineBody>> dxfLineFields();
std::span<const DxfField<PointBody>> dxfPointFields();
std::span<const DxfField<CircleBody>> dxfCircleFields();
std::span<const DxfField<ArcBody>> dxfArcFields();
std::span<const DxfField<InfiniteLineBody>> dxfInfiniteLineFields();
std::span<const DxfField<ShapeBody>> dxfShapeFields();
std::span<const DxfField<EllipseBody>> dxfEllipseFields();
std::span<const DxfField<SplineBody>> dxfSplineFields();
std::span<const DxfField<TextBody>> dxfTextFields();
std::span<const DxfField<AttributeBody>> dxfAttributeFields();
std::span<const DxfField<AttributeDefinitionBody>> dxfAttributeDefinitionFields();
std::span<const DxfField<SolidBody>> dxfSolidFields();
std::span<const DxfField<FaceBody>> dxfFaceFields();
std::span<const DxfField<BlockBeginBody>> dxfBlockBeginFields();
std::span<const DxfField<InsertBody>> dxfInsertFields();
std::span<const DxfField<PolylineBody>> dxfPolylineFields();
std::span<const DxfField<VertexBody>> dxfVertexFields();
std::span<const DxfField<DimensionBody>> dxfDimensionFields();
std::span<const DxfField<ViewportBody>> dxfViewportFields();
std::span<const DxfField<MtextBody>> dxfMtextFields();
std::span<const DxfField<LeaderBody>> dxfLeaderFields();
std::span<const DxfField<ToleranceBody>> dxfToleranceFields();
std::span<const DxfField<MlineBody>> dxfMlineFields();
std::span<const DxfField<RasterImageBody>> dxfRasterImageFields();
std::span<const DxfField<Ole2FrameBody>> dxfOle2FrameFields();
std::span<const DxfField<RtextBody>> dxfRtextFields();
std::span<const DxfField<ArcAlignedTextBody>> dxfArcAlignedTextFields();

} // namespace tracemill
