// The bodies of entity records of DWG files before R13, one layout per kind, shared by the
// reader and the writer (the field streams: dwg12_field_reader.h). The record head and the
// common fields before the body are the entity reader's (dwg12_entity_reader.h).
//
// Kinds are the record's kind byte, which is also the toolkit's entity code: 1 LINE, 2 POINT,
// 3 CIRCLE, 4 SHAPE, 7 TEXT, 8 ARC, 9 TRACE, 11 SOLID, 12 BLOCK, 13 ENDBLK, 14 INSERT,
// 15 ATTDEF, 16 ATTRIB, 17 SEQEND, 18 jump, 19 POLYLINE, 20 VERTEX, 21 3DLINE (read as a LINE),
// 22 3DFACE, 23 DIMENSION, 24 VIEWPORT. Option bits announce optional fields; the option
// word's high byte is written opts2 in the comments. Version gates: "from 3" means "AC1006" and
// later, "from 4" "AC1009".
#pragma once

#include <cmath>
#include <cstdint>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/read/dwg12_header_layout.h"

namespace tracemill {

// The longest texts of the fields.
inline constexpr size_t kDwg12TextValueLimit = 2048;
inline constexpr size_t kDwg12AttributeValueLimit = 2049;
inline constexpr size_t kDwg12TagLimit = 513;
inline constexpr size_t kDwg12BlockNameLimit = 512;
inline constexpr size_t kDwg12DimensionTextLimit = 1024;

// A width factor beyond this is taken as 1.
inline constexpr double kDwg12MaxWidthFactor = 100.0;
// An INSERT scale nearer 0 than this is taken as 1.
inline constexpr double kDwg12ScaleEpsilon = 1e-12;

// Vertex option bit of a polyface face record ("AC1009"): the vertex has no point but up to
// four vertex indexes.
inline constexpr uint32_t kDwg12VertexFaceRecord = 0x4000;
// The INSERT flag (entity flags 0x80) that attributes and a SEQEND follow.
inline constexpr uint8_t kDwg12AttributesFollow = 0x80;

// Kinds whose z values stand in their own fields from "AC1006" on: they carry no elevation in
// the head, whose flag 0x04 marks them flat (all z 0, left out) instead.
inline bool dbDwg12ZInOwnFields(uint16_t kind) {
    return kind == kEntityLine || kind == kEntityPoint || kind == kEntityLine3d || kind == kEntityFace3d;
}

// The table records an entity names by position; -1 names none.
struct Dwg12EntityRefs {
    int32_t layer = 0;
    int32_t linetype = kDwg12LinetypeByLayer;
    int32_t textStyle = -1; // TEXT, ATTDEF, ATTRIB, SHAPE
    int32_t block = -1;     // INSERT, DIMENSION
    int32_t dimStyle = -1;  // DIMENSION ("AC1009")
};

// The optional fields of TEXT, ATTDEF and ATTRIB, from the option bit `first` on, each later
// field's bit the previous one's doubled.
template <class Io> void dwg12TextOptions(Io& io, TextFields& text, uint32_t first, int32_t& styleIndex) {
    io.opt(first, text.rotation, 0.0);
    io.opt(first << 1, text.widthFactor, 1.0);
    if constexpr (Io::kReading) {
        if (std::fabs(text.widthFactor) > kDwg12MaxWidthFactor) text.widthFactor = 1.0;
    }
    io.opt(first << 2, text.obliqueAngle, 0.0);
    io.optU8(first << 3, styleIndex, int32_t(0));
    io.optU8(first << 4, text.generation, uint8_t(0));
    io.optU8(first << 5, text.horizontalAlign, uint8_t(0));
    io.opt2(first << 6, text.alignment);
    if (io.version() >= 3) io.ext(first << 7);
    if (io.version() >= 4) io.optU8(first << 8, text.verticalAlign, uint8_t(0));
}

template <class Io> void dwg12LineBody(Io& io, LineBody& line) {
    io.rd2(line.start);
    io.z(line.start);
    io.zUnlessFlat(line.start);
    io.rd2(line.end);
    io.z(line.end);
    io.zUnlessFlat(line.end);
    if (io.version() >= 3) io.ext(0x01);
}

template <class Io> void dwg12PointBody(Io& io, PointBody& point) {
    io.rd2(point.point);
    io.z(point.point);
    if (io.version() < 3) return;
    io.zUnlessFlat(point.point);
    io.ext(0x01);
    io.opt(0x02, point.xAxisAngle, 0.0);
}

template <class Io> void dwg12CircleBody(Io& io, CircleBody& circle) {
    io.rd2(circle.centre);
    io.z(circle.centre);
    io.rd(circle.radius);
    if constexpr (Io::kReading) {
        if (circle.radius < 0.0) circle.radius = 0.0;
    }
    if (io.version() >= 3) io.ext(0x01);
}

// SHAPE. The text style of the shape file is always there (writers set its option bit 0x02).
template <class Io> void dwg12ShapeBody(Io& io, ShapeBody& shape, int32_t& styleIndex) {
    io.rd2(shape.insertion);
    io.rd(shape.size);
    io.z(shape.insertion);
    uint8_t number = uint8_t(shape.shapeNumber);
    io.u8(number);
    if constexpr (Io::kReading) shape.shapeNumber = number;
    io.opt(0x01, shape.rotation, 0.0);
    io.announce(0x02);
    io.u8(styleIndex);
    io.opt(0x04, shape.widthFactor, 1.0);
    io.opt(0x08, shape.obliqueAngle, 0.0);
    if (io.version() >= 3) io.ext(0x10);
}

template <class Io> void dwg12TextBody(Io& io, TextBody& text, int32_t& styleIndex) {
    io.rd2(text.insertion);
    io.z(text.insertion);
    io.rd(text.height);
    io.text(text.text, kDwg12TextValueLimit);
    dwg12TextOptions(io, text, 0x01, styleIndex);
}

template <class Io> void dwg12ArcBody(Io& io, ArcBody& arc) {
    io.rd2(arc.centre);
    io.z(arc.centre);
    io.rd(arc.radius);
    if constexpr (Io::kReading) {
        if (arc.radius < 0.0) arc.radius = 0.0;
    }
    io.rd(arc.startAngle);
    io.rd(arc.endAngle);
    if (io.version() >= 3) io.ext(0x01);
}

// TRACE and SOLID.
template <class Io> void dwg12SolidBody(Io& io, SolidBody& solid) {
    for (Point3& corner : solid.corners) {
        io.rd2(corner);
        io.z(corner);
    }
    if (io.version() >= 3) io.ext(0x01);
}

// BLOCK: the base point, whose z is the elevation before "AC1006" and an optional field of its
// own from it; "AC1009" also names the block and its external-reference path.
template <class Io> void dwg12BlockBody(Io& io, BlockBeginBody& block) {
    if constexpr (Io::kReading) {
        block.name.clear();
        block.xrefPath.clear();
    }
    if (io.version() < 3) io.z(block.basePoint);
    io.rd2(block.basePoint);
    if (io.version() >= 3) io.opt(0x01, block.basePoint.z, 0.0);
    if (io.version() >= 4) {
        if (io.has(0x02)) io.text(block.xrefPath, kDwg12BlockNameLimit);
        if (io.has(0x04)) io.text(block.name, kDwg12BlockNameLimit);
    }
}

template <class Io> void dwg12InsertBody(Io& io, InsertBody& insert, int32_t& blockIndex) {
    io.i16(blockIndex);
    io.rd2(insert.insertion);
    io.z(insert.insertion);
    io.entityFlag(kDwg12AttributesFollow, insert.attributesFollow);
    io.opt(0x01, insert.scale.x, 1.0);
    io.opt(0x02, insert.scale.y, 1.0);
    io.opt(0x04, insert.rotation, 0.0);
    io.opt(0x08, insert.scale.z, 1.0);
    io.optI16(0x10, insert.columnCount, int16_t(1));
    io.optI16(0x20, insert.rowCount, int16_t(1));
    io.opt(0x40, insert.columnSpacing, 0.0);
    io.opt(0x80, insert.rowSpacing, 0.0);
    if constexpr (Io::kReading) {
        if (insert.rowCount == 0) insert.rowCount = 1;
        for (double* scale : {&insert.scale.x, &insert.scale.y, &insert.scale.z}) {
            if (std::fabs(*scale) < kDwg12ScaleEpsilon) *scale = 1.0;
        }
    }
    if (io.version() >= 3) io.ext(0x100);
}

template <class Io>
void dwg12AttributeDefinitionBody(Io& io, AttributeDefinitionBody& attdef, int32_t& styleIndex) {
    io.rd2(attdef.insertion);
    io.z(attdef.insertion);
    io.rd(attdef.height);
    io.text(attdef.text, kDwg12TagLimit);
    io.text(attdef.prompt, kDwg12TagLimit);
    io.text(attdef.tag, kDwg12TagLimit);
    io.u8(attdef.flags);
    io.optU8(0x01, attdef.fieldLength, int16_t(0));
    dwg12TextOptions(io, attdef, 0x02, styleIndex);
}

template <class Io> void dwg12AttributeBody(Io& io, AttributeBody& attrib, int32_t& styleIndex) {
    io.rd2(attrib.insertion);
    io.z(attrib.insertion);
    io.rd(attrib.height);
    io.text(attrib.text, kDwg12AttributeValueLimit);
    io.text(attrib.tag, kDwg12TagLimit);
    io.u8(attrib.flags);
    io.optU8(0x01, attrib.fieldLength, int16_t(0));
    dwg12TextOptions(io, attrib, 0x02, styleIndex);
}

// SEQEND: the offset of the INSERT or POLYLINE that opened the sequence.
template <class Io> void dwg12SequenceEndBody(Io& io, uint32_t& openerOffset) {
    io.u32(openerOffset);
}

template <class Io> void dwg12PolylineBody(Io& io, PolylineBody& polyline) {
    io.optU8(0x01, polyline.flags, int16_t(0));
    io.opt(0x02, polyline.defaultStartWidth, 0.0);
    io.opt(0x04, polyline.defaultEndWidth, 0.0);
    io.z(polyline.elevation);
    if constexpr (Io::kReading) {
        if (polyline.flags & 0x08) polyline.defaultStartWidth = polyline.defaultEndWidth = 0.0;
    }
    if (io.version() < 3) return;
    io.ext(0x08);
    io.optI16(0x10, polyline.meshM, int16_t(0));
    io.optI16(0x20, polyline.meshN, int16_t(0));
    io.optI16(0x40, polyline.densityM, int16_t(0));
    io.optI16(0x80, polyline.densityN, int16_t(0));
    io.optI16(0x100, polyline.curveType, int16_t(0));
}

// VERTEX. An "AC1009" face record of a polyface mesh carries vertex indexes instead of a point
// and an extrusion.
template <class Io> void dwg12VertexBody(Io& io, VertexBody& vertex) {
    const bool face = io.version() >= 4 && io.has(kDwg12VertexFaceRecord);
    io.z(vertex.point);
    if (!face) io.rd2(vertex.point);
    io.optFlagged(0x01, vertex.startWidth, vertex.hasStartWidth);
    io.optFlagged(0x02, vertex.endWidth, vertex.hasEndWidth);
    io.opt(0x04, vertex.bulge, 0.0);
    io.optU8(0x08, vertex.flags, uint8_t(0));
    io.opt(0x10, vertex.tangentDirection, 0.0);
    if (io.version() == 3) io.ext(0x20);
    if (io.version() < 4) return;
    if (!face) {
        io.ext(0x20);
        return;
    }
    int16_t count = 0;
    for (int i = 0; i < 4; ++i) {
        const uint32_t bit = 0x20u << i;
        if (!io.has(bit)) continue;
        io.i16(vertex.faceVertices[size_t(count)]);
        ++count;
    }
    if constexpr (Io::kReading) vertex.faceVertexCount = count;
}

// 3DLINE: nothing in "AC1002"; a LINE's fields from "AC1006"; before, the two z values are
// optional.
template <class Io> void dwg12Line3dBody(Io& io, LineBody& line) {
    if (io.version() == 0) return;
    if (io.version() >= 3) {
        io.rd2(line.start);
        io.zUnlessFlat(line.start);
        io.rd2(line.end);
        io.zUnlessFlat(line.end);
        io.ext(0x01);
        return;
    }
    io.rd2(line.start);
    io.opt(0x01, line.start.z, 0.0);
    io.rd2(line.end);
    io.opt(0x02, line.end.z, 0.0);
}

// 3DFACE: four corners with z values (0 by default).
template <class Io> void dwg12FaceBody(Io& io, FaceBody& face) {
    if (io.version() == 0) return;
    if (io.version() >= 3) {
        for (Point3& corner : face.corners) {
            io.rd2(corner);
            io.zUnlessFlat(corner);
        }
        io.optI16(0x01, face.invisibleEdges, int16_t(0));
        return;
    }
    uint32_t bit = 0x01;
    for (Point3& corner : face.corners) {
        io.rd2(corner);
        io.opt(bit, corner.z, 0.0);
        bit <<= 1;
    }
}

// DIMENSION. Points 13, 14 and 15 carry a z from "AC1006"; the text midpoint's z is the
// dimension's elevation.
template <class Io>
void dwg12DimensionBody(Io& io, DimensionBody& dim, int32_t& blockIndex, int32_t& styleIndex) {
    if (io.version() == 0) return;
    const bool z = io.version() >= 3;
    io.i16(blockIndex);
    io.rd2(dim.definitionPoint);
    if (z) io.rd(dim.definitionPoint.z);
    io.rd2(dim.textMidpoint);
    io.z(dim.textMidpoint);
    io.opt2(0x01, dim.cloneInsertionPoint, dim.hasCloneInsertion);
    io.optU8(0x02, dim.typeFlags, uint8_t(0));
    if (io.has(0x04)) io.text(dim.userText, kDwg12DimensionTextLimit);
    uint32_t bit = 0x08;
    for (Point3* point : {&dim.point13, &dim.point14, &dim.point15}) {
        if (io.has(bit)) {
            io.rd2(*point);
            if (z) io.rd(point->z);
        }
        bit <<= 1;
    }
    if (io.has(0x40)) io.rd2(dim.point16);
    io.opt(0x80, dim.leaderLength, 0.0);
    io.opt(0x100, dim.rotation, 0.0);
    if (io.version() == 3) {
        io.opt(0x2000, dim.horizontalDirection, 0.0);
        io.ext(0x4000);
        return;
    }
    if (io.version() < 4) return;
    io.opt(0x200, dim.extensionLineRotation, 0.0);
    io.opt(0x400, dim.textRotation, 0.0);
    double dropped = 0.0;
    io.opt(0x800, dropped, 0.0);
    io.opt(0x1000, dim.insertionRotation, 0.0);
    io.opt(0x2000, dim.horizontalDirection, 0.0);
    io.ext(0x4000);
    io.optI16(0x8000, styleIndex, int32_t(-1));
}

// VIEWPORT ("AC1009"): centre, size and the viewport's number.
template <class Io> void dwg12ViewportBody(Io& io, ViewportBody& viewport) {
    if (io.version() < 4) return;
    io.rd3(viewport.centre);
    io.rd(viewport.width);
    io.rd(viewport.height);
    io.i16(viewport.id);
}

// The body of a record of `kind` (1 to 24 but 5, 6, 10 and 18; 21, the 3DLINE, into a LINE's
// body): `body` holds the kind's body. `openerOffset` is the SEQEND's offset of the record
// that opened its sequence. ENDBLK has no body.
template <class Io>
void dwg12EntityBody(Io& io, uint8_t kind, EntityBody& body, Dwg12EntityRefs& refs, uint32_t& openerOffset) {
    switch (kind) {
    case kEntityLine:
        dwg12LineBody(io, body.as<LineBody>());
        break;
    case kEntityLine3d:
        dwg12Line3dBody(io, body.as<LineBody>());
        break;
    case kEntityPoint:
        dwg12PointBody(io, body.as<PointBody>());
        break;
    case kEntityCircle:
        dwg12CircleBody(io, body.as<CircleBody>());
        break;
    case kEntityShape:
        dwg12ShapeBody(io, body.as<ShapeBody>(), refs.textStyle);
        break;
    case kEntityText:
        dwg12TextBody(io, body.as<TextBody>(), refs.textStyle);
        break;
    case kEntityArc:
        dwg12ArcBody(io, body.as<ArcBody>());
        break;
    case kEntityTrace:
    case kEntitySolid:
        dwg12SolidBody(io, body.as<SolidBody>());
        break;
    case kEntityBlock:
        dwg12BlockBody(io, body.as<BlockBeginBody>());
        break;
    case kEntityInsert:
        dwg12InsertBody(io, body.as<InsertBody>(), refs.block);
        break;
    case kEntityAttributeDefinition:
        dwg12AttributeDefinitionBody(io, body.as<AttributeDefinitionBody>(), refs.textStyle);
        break;
    case kEntityAttribute:
        dwg12AttributeBody(io, body.as<AttributeBody>(), refs.textStyle);
        break;
    case kEntitySequenceEnd:
        dwg12SequenceEndBody(io, openerOffset);
        break;
    case kEntityPolyline:
        dwg12PolylineBody(io, body.as<PolylineBody>());
        break;
    case kEntityVertex:
        dwg12VertexBody(io, body.as<VertexBody>());
        break;
    case kEntityFace3d:
        dwg12FaceBody(io, body.as<FaceBody>());
        break;
    case kEntityDimension:
        dwg12DimensionBody(io, body.as<DimensionBody>(), refs.block, refs.dimStyle);
        break;
    case kEntityViewport:
        dwg12ViewportBody(io, body.as<ViewportBody>());
        break;
    default:
        break; // ENDBLK: nothing
    }
}

} // namespace tracemill
