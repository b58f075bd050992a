// The DXF entities that came with R13 (DIMENSION and VIEWPORT of every version too) and the
// class-based entities: their type names and their type parts.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/write/dxf/dxf_entity_parts.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// The group-0 name of an entity: the kind's name, the class's DXF name for the class-based
// kinds the writer knows and for stored class data (498), else "ACAD_ZOMBIE_ENTITY" at
// "AC1012" and "ACAD_PROXY_ENTITY" from "AC1014".
std::string_view wrDxfEntityTypeName(const Drawing& drawing, int16_t versionIndex, const EntityRecord& entity);

// The type part of DIMENSION, VIEWPORT, REGION, 3DSOLID, BODY, RAY, XLINE, MTEXT, LEADER,
// ELLIPSE, SPLINE, TOLERANCE, MLINE and of every class-based entity.
int DxfModernEntityWriter(const Drawing& drawing, OutputContext& output, const EntityRecord& entity,
                          DxfEntityParts& parts);

// Whether an entity of kind 498 keeps its class's DXF groups (read from a DXF file) rather
// than the bits of a DWG record, which only a proxy entity can carry.
bool wrHasStoredGroupData(const Drawing& drawing, const EntityRecord& entity);

// The angle of an elliptic hatch edge's parameter: atan2(ratio x sin t, cos t).
double wrHatchEllipseAngle(double parameter, double axisRatio);

// The settings of a viewport that files before "AC1015" carry as "ACAD" "MVIEW" extended data.
int wrDxfViewportXData(const Drawing& drawing, OutputContext& output, const ViewportBody& viewport);

} // namespace tracemill
