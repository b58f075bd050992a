// The entities of R13 to 2000 DWG files with a fixed object type, one layout per type for the
// reader and the writer (dwg13_field_io.h). Every layout reads the type's fields after the
// common data (dwg13_entity_common.h), marks the handle stream, reads the common handles and
// then the type's own references. R13 and R14 (index 5 and 6) differ from 2000 (index 7) in the
// compact forms 2000 uses for thickness (BT), extrusion (BE), points and text fields.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/read/dwg13_entity_common.h"

namespace tracemill {

// Fixed object types of entities.
enum Dwg13EntityType : uint16_t {
    kDwgText = 1,
    kDwgAttribute = 2,
    kDwgAttributeDefinition = 3,
    kDwgBlock = 4,
    kDwgEndBlock = 5,
    kDwgSequenceEnd = 6,
    kDwgInsert = 7,
    kDwgMinsert = 8,
    kDwgVertex2d = 10,
    kDwgVertex3d = 11,
    kDwgVertexMesh = 12,
    kDwgVertexPface = 13,
    kDwgVertexPfaceFace = 14,
    kDwgPolyline2d = 15,
    kDwgPolyline3d = 16,
    kDwgArc = 17,
    kDwgCircle = 18,
    kDwgLine = 19,
    kDwgDimensionOrdinate = 20,
    kDwgDimensionLinear = 21,
    kDwgDimensionAligned = 22,
    kDwgDimensionAngular3Point = 23,
    kDwgDimensionAngular2Line = 24,
    kDwgDimensionRadius = 25,
    kDwgDimensionDiameter = 26,
    kDwgPoint = 27,
    kDwgFace3d = 28,
    kDwgPolylinePface = 29,
    kDwgPolylineMesh = 30,
    kDwgSolid = 31,
    kDwgTrace = 32,
    kDwgShape = 33,
    kDwgViewport = 34,
    kDwgEllipse = 35,
    kDwgSpline = 36,
    kDwgRegion = 37,
    kDwgSolid3d = 38,
    kDwgBody = 39,
    kDwgRay = 40,
    kDwgXline = 41,
    kDwgMtext = 44,
    kDwgLeader = 45,
    kDwgTolerance = 46,
    kDwgMline = 47,
};

// What a layout needs beyond the entity itself: the sub-entity handles of a POLYLINE or an
// INSERT with attributes, and the values a POLYLINE hands to its 2D vertices.
struct Dwg13EntityContext {
    Handle firstChild;
    Handle lastChild;
    Handle sequenceEnd;
    double polylineElevation = 0.0;
    double polylineStartWidth = 0.0;
    double polylineEndWidth = 0.0;
};

namespace dwg13 {

// Thickness and extrusion: R13 and R14 store BD and 3BD, 2000 the compact BT and BE.
template <class Io> void thickness(Io& io, EntityHeader& h) {
    if (io.isR2000())
        io.bt(h.thickness);
    else
        io.bd(h.thickness);
}
template <class Io> void extrusion(Io& io, EntityHeader& h) {
    if (io.isR2000())
        io.be(h.extrusion);
    else
        io.ext(h.extrusion);
}

// The common handles and nothing else.
template <class Io> void commonHandlesOnly(Io& io, EntityHeader& h, Dwg13EntityCommon& c) {
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
}

// The sub-entity references of a POLYLINE or an INSERT with attributes.
template <class Io> void childHandles(Io& io, Dwg13EntityContext& x) {
    io.h(x.firstChild, kSoftPointer);
    io.h(x.lastChild, kSoftPointer);
    io.h(x.sequenceEnd, kHardOwner);
}

// The fields TEXT, ATTRIB and ATTDEF share, up to their vertical alignment. 2000 leaves out
// the fields its data flags mark as default.
template <class Io> void textFields(Io& io, EntityHeader& h, TextFields& t, size_t textLimit) {
    if (!io.isR2000()) {
        io.bd(t.insertion.z);
        io.rd2(t.insertion);
        io.rd2(t.alignment);
        io.ext(h.extrusion);
        io.bd(h.thickness);
        io.bd(t.obliqueAngle);
        io.bd(t.rotation);
        io.bd(t.height);
        io.bd(t.widthFactor);
        io.t(t.text, textLimit);
        io.bs(t.generation);
        io.bs(t.horizontalAlign);
        io.bs(t.verticalAlign);
        return;
    }
    uint8_t flags = 0;
    if constexpr (Io::kReading) {
        t.insertion.z = 0.0;
        t.alignment = Point2{};
        t.obliqueAngle = t.rotation = 0.0;
        t.widthFactor = 1.0;
        t.generation = t.horizontalAlign = t.verticalAlign = 0;
    } else {
        flags = uint8_t((t.insertion.z == 0.0 ? 0x01 : 0) | (t.alignment == Point2{} ? 0x02 : 0) |
                        (t.obliqueAngle == 0.0 ? 0x04 : 0) | (t.rotation == 0.0 ? 0x08 : 0) |
                        (t.widthFactor == 1.0 ? 0x10 : 0) | (t.generation == 0 ? 0x20 : 0) |
                        (t.horizontalAlign == 0 ? 0x40 : 0) | (t.verticalAlign == 0 ? 0x80 : 0));
    }
    io.rc(flags);
    if (!(flags & 0x01)) io.rd(t.insertion.z);
    io.rd2(t.insertion);
    if (!(flags & 0x02)) {
        io.dd(t.alignment.x, t.insertion.x);
        io.dd(t.alignment.y, t.insertion.y);
    }
    io.be(h.extrusion);
    io.bt(h.thickness);
    if (!(flags & 0x04)) io.rd(t.obliqueAngle);
    if (!(flags & 0x08)) io.rd(t.rotation);
    io.rd(t.height);
    if (!(flags & 0x10)) io.rd(t.widthFactor);
    io.t(t.text, textLimit);
    if (!(flags & 0x20)) io.bs(t.generation);
    if (!(flags & 0x40)) io.bs(t.horizontalAlign);
    if (!(flags & 0x80)) io.bs(t.verticalAlign);
}

// A point of three doubles with defaults (3DD).
template <class Io> void point3dd(Io& io, Point3& p, const Point3& defaults) {
    io.dd(p.x, defaults.x);
    io.dd(p.y, defaults.y);
    io.dd(p.z, defaults.z);
}

} // namespace dwg13

// TEXT (1).
template <class Io> void dwg13TextEntity(Io& io, EntityHeader& h, TextBody& b, Dwg13EntityCommon& c) {
    dwg13::textFields(io, h, b, kDwgTextValueLimit);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.style, dwg13::kHardPointer);
}

// ATTRIB (2).
template <class Io> void dwg13AttributeEntity(Io& io, EntityHeader& h, AttributeBody& b, Dwg13EntityCommon& c) {
    dwg13::textFields(io, h, b, kDwgTextValueLimit + 1);
    io.t(b.tag, kDwgNameLimit + 1);
    io.bs(b.fieldLength);
    io.rc(b.flags);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.style, dwg13::kHardPointer);
}

// ATTDEF (3).
template <class Io>
void dwg13AttributeDefinitionEntity(Io& io, EntityHeader& h, AttributeDefinitionBody& b, Dwg13EntityCommon& c) {
    dwg13::textFields(io, h, b, kDwgNameLimit + 1);
    io.t(b.tag, kDwgNameLimit + 1);
    io.bs(b.fieldLength);
    io.rc(b.flags);
    io.t(b.prompt, kDwgNameLimit + 1);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.style, dwg13::kHardPointer);
}

// BLOCK (4): only the name; the base point and the external-reference path are the block
// record's.
template <class Io> void dwg13BlockEntity(Io& io, EntityHeader& h, BlockBeginBody& b, Dwg13EntityCommon& c) {
    io.t(b.name, kDwgNameLimit);
    dwg13::commonHandlesOnly(io, h, c);
}

// INSERT (7) and MINSERT (8). 2000 codes the scale in two bits: 3 (1, 1, 1); 2 one raw double
// for all three; 1 x = 1 and y, z against it; 0 x raw and y, z against it.
template <class Io>
void dwg13InsertEntity(Io& io, EntityHeader& h, InsertBody& b, Dwg13EntityCommon& c, Dwg13EntityContext& x,
                       bool minsert) {
    using namespace dwg13;
    io.bd3(b.insertion);
    if (io.isR2000()) {
        uint8_t code = 0;
        if constexpr (!Io::kReading) {
            const Point3& s = b.scale;
            code = s.x == 1.0 && s.y == 1.0 && s.z == 1.0 ? 3 : s.x == 1.0 ? 1 : s.x == s.y && s.x == s.z ? 2 : 0;
        }
        io.bb(code);
        switch (code) {
        case 3:
            if constexpr (Io::kReading) b.scale = Point3{1.0, 1.0, 1.0};
            break;
        case 2:
            io.rd(b.scale.x);
            if constexpr (Io::kReading) b.scale.y = b.scale.z = b.scale.x;
            break;
        case 1:
            if constexpr (Io::kReading) b.scale.x = 1.0;
            io.dd(b.scale.y, b.scale.x);
            io.dd(b.scale.z, b.scale.x);
            break;
        default:
            io.rd(b.scale.x);
            io.dd(b.scale.y, b.scale.x);
            io.dd(b.scale.z, b.scale.x);
            break;
        }
    } else {
        io.bd3(b.scale);
    }
    if constexpr (Io::kReading) {
        // A scale of (almost) zero would make the block vanish: it is read as 1.
        for (double* s : {&b.scale.x, &b.scale.y, &b.scale.z})
            if (std::fabs(*s) < 1e-12) *s = 1.0;
    }
    io.bd(b.rotation);
    io.ext(h.extrusion);
    io.b(b.attributesFollow);
    if (minsert) {
        io.bs(b.columnCount);
        io.bs(b.rowCount);
        io.bd(b.columnSpacing);
        io.bd(b.rowSpacing);
        if constexpr (Io::kReading) {
            if (b.columnCount == 0) b.columnCount = 1;
            if (b.rowCount == 0) b.rowCount = 1;
        }
    } else if constexpr (Io::kReading) {
        b.columnCount = b.rowCount = 1;
        b.columnSpacing = b.rowSpacing = 0.0;
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.block, kHardPointer);
    if (b.attributesFollow) {
        childHandles(io, x);
    } else if constexpr (Io::kReading) {
        x.firstChild = x.lastChild = x.sequenceEnd = Handle();
    }
}

// VERTEX 2D (10): the point's z is the POLYLINE's elevation. A negative start width stands for
// equal start and end widths. A width flag is set when the width differs from the POLYLINE's
// default.
template <class Io>
void dwg13Vertex2dEntity(Io& io, EntityHeader& h, VertexBody& b, Dwg13EntityCommon& c, const Dwg13EntityContext& x) {
    io.rc(b.flags);
    io.bd3(b.point);
    double start = b.startWidth;
    if constexpr (!Io::kReading) {
        if (b.startWidth == b.endWidth && b.startWidth != 0.0) start = -b.startWidth;
    }
    io.bd(start);
    if (start < 0.0) {
        if constexpr (Io::kReading) b.startWidth = b.endWidth = -start;
    } else {
        if constexpr (Io::kReading) b.startWidth = start;
        io.bd(b.endWidth);
    }
    io.bd(b.bulge);
    io.bd(b.tangentDirection);
    if constexpr (Io::kReading) {
        b.point.z = x.polylineElevation;
        b.hasStartWidth = b.startWidth != x.polylineStartWidth ? 1 : 0;
        b.hasEndWidth = b.endWidth != x.polylineEndWidth ? 1 : 0;
    }
    dwg13::commonHandlesOnly(io, h, c);
}

// VERTEX 3D (11), MESH (12) and PFACE (13).
template <class Io> void dwg13Vertex3dEntity(Io& io, EntityHeader& h, VertexBody& b, Dwg13EntityCommon& c) {
    io.rc(b.flags);
    io.bd3(b.point);
    dwg13::commonHandlesOnly(io, h, c);
}

// VERTEX PFACE FACE (14): four vertex indexes; the body counts the non-zero ones.
template <class Io> void dwg13FaceRecordEntity(Io& io, EntityHeader& h, VertexBody& b, Dwg13EntityCommon& c) {
    for (int16_t& index : b.faceVertices)
        io.bs(index);
    if constexpr (Io::kReading) {
        b.faceVertexCount = int16_t(std::count_if(b.faceVertices.begin(), b.faceVertices.end(),
                                                  [](int16_t index) { return index != 0; }));
        b.flags = 128;
    }
    dwg13::commonHandlesOnly(io, h, c);
}

// POLYLINE 2D (15). Flag 8 (3D) makes the default widths 0.
template <class Io>
void dwg13Polyline2dEntity(Io& io, EntityHeader& h, PolylineBody& b, Dwg13EntityCommon& c, Dwg13EntityContext& x) {
    io.bs(b.flags);
    io.bs(b.curveType);
    io.bd(b.defaultStartWidth);
    io.bd(b.defaultEndWidth);
    dwg13::thickness(io, h);
    io.bd(b.elevation);
    dwg13::extrusion(io, h);
    if constexpr (Io::kReading) {
        if (b.flags & 0x08) b.defaultStartWidth = b.defaultEndWidth = 0.0;
        x.polylineElevation = b.elevation;
        x.polylineStartWidth = b.defaultStartWidth;
        x.polylineEndWidth = b.defaultEndWidth;
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    dwg13::childHandles(io, x);
}

// POLYLINE 3D (16): spline flags (1 curve type 5, 2 curve type 6) and closed flags, kept with
// the 3D flag 8 (and 4 when a curve type is set).
template <class Io>
void dwg13Polyline3dEntity(Io& io, EntityHeader& h, PolylineBody& b, Dwg13EntityCommon& c, Dwg13EntityContext& x) {
    uint8_t spline = b.curveType == 5 ? 1 : b.curveType == 6 ? 2 : 0;
    uint8_t closed = uint8_t(b.flags & ~0x0C);
    io.rc(spline);
    io.rc(closed);
    if constexpr (Io::kReading) {
        b.curveType = (spline & 1) ? 5 : (spline & 2) ? 6 : 0;
        b.flags = int16_t(closed | 0x08 | (b.curveType ? 0x04 : 0));
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    dwg13::childHandles(io, x);
}

// POLYLINE PFACE (29): the vertex and face counts, kept in the mesh counts.
template <class Io>
void dwg13PolylinePfaceEntity(Io& io, EntityHeader& h, PolylineBody& b, Dwg13EntityCommon& c, Dwg13EntityContext& x) {
    io.bs(b.meshM);
    io.bs(b.meshN);
    if constexpr (Io::kReading) b.flags = 64;
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    dwg13::childHandles(io, x);
}

// POLYLINE MESH (30).
template <class Io>
void dwg13PolylineMeshEntity(Io& io, EntityHeader& h, PolylineBody& b, Dwg13EntityCommon& c, Dwg13EntityContext& x) {
    io.bs(b.flags);
    io.bs(b.curveType);
    io.bs(b.meshM);
    io.bs(b.meshN);
    io.bs(b.densityM);
    io.bs(b.densityN);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    dwg13::childHandles(io, x);
}

// ARC (17). A negative radius is read as 0.
template <class Io> void dwg13ArcEntity(Io& io, EntityHeader& h, ArcBody& b, Dwg13EntityCommon& c) {
    io.bd3(b.centre);
    io.bd(b.radius);
    if constexpr (Io::kReading) b.radius = std::max(b.radius, 0.0);
    dwg13::thickness(io, h);
    dwg13::extrusion(io, h);
    io.bd(b.startAngle);
    io.bd(b.endAngle);
    dwg13::commonHandlesOnly(io, h, c);
}

// CIRCLE (18).
template <class Io> void dwg13CircleEntity(Io& io, EntityHeader& h, CircleBody& b, Dwg13EntityCommon& c) {
    io.bd3(b.centre);
    io.bd(b.radius);
    dwg13::thickness(io, h);
    dwg13::extrusion(io, h);
    dwg13::commonHandlesOnly(io, h, c);
}

// LINE (19). 2000 stores the end against the start and leaves out both z when they are 0.
template <class Io> void dwg13LineEntity(Io& io, EntityHeader& h, LineBody& b, Dwg13EntityCommon& c) {
    if (!io.isR2000()) {
        io.bd3(b.start);
        io.bd3(b.end);
        io.bd(h.thickness);
        io.ext(h.extrusion);
        dwg13::commonHandlesOnly(io, h, c);
        return;
    }
    uint8_t flat = b.start.z == 0.0 && b.end.z == 0.0 ? 1 : 0;
    io.b(flat);
    io.rd(b.start.x);
    io.dd(b.end.x, b.start.x);
    io.rd(b.start.y);
    io.dd(b.end.y, b.start.y);
    if (!flat) {
        io.rd(b.start.z);
        io.dd(b.end.z, b.start.z);
    } else if constexpr (Io::kReading) {
        b.start.z = b.end.z = 0.0;
    }
    io.bt(h.thickness);
    io.be(h.extrusion);
    dwg13::commonHandlesOnly(io, h, c);
}

// POINT (27).
template <class Io> void dwg13PointEntity(Io& io, EntityHeader& h, PointBody& b, Dwg13EntityCommon& c) {
    io.bd3(b.point);
    dwg13::thickness(io, h);
    dwg13::extrusion(io, h);
    io.bd(b.xAxisAngle);
    dwg13::commonHandlesOnly(io, h, c);
}

// 3DFACE (28). 2000 stores each corner against the one before and leaves out zero flags.
template <class Io> void dwg13Face3dEntity(Io& io, EntityHeader& h, FaceBody& b, Dwg13EntityCommon& c) {
    if (!io.isR2000()) {
        for (Point3& corner : b.corners)
            io.bd3(corner);
        io.bs(b.invisibleEdges);
        dwg13::commonHandlesOnly(io, h, c);
        return;
    }
    uint8_t noFlags = b.invisibleEdges == 0 ? 1 : 0;
    uint8_t flat = b.corners[0].z == 0.0 ? 1 : 0;
    io.b(noFlags);
    io.b(flat);
    io.rd(b.corners[0].x);
    io.rd(b.corners[0].y);
    if (!flat) {
        io.rd(b.corners[0].z);
    } else if constexpr (Io::kReading) {
        b.corners[0].z = 0.0;
    }
    for (size_t i = 1; i < b.corners.size(); ++i)
        dwg13::point3dd(io, b.corners[i], b.corners[i - 1]);
    if (!noFlags) {
        io.bs(b.invisibleEdges);
    } else if constexpr (Io::kReading) {
        b.invisibleEdges = 0;
    }
    dwg13::commonHandlesOnly(io, h, c);
}

// SOLID (31) and TRACE (32): four corners at one elevation.
template <class Io> void dwg13SolidEntity(Io& io, EntityHeader& h, SolidBody& b, Dwg13EntityCommon& c) {
    dwg13::thickness(io, h);
    double elevation = b.corners[0].z;
    io.bd(elevation);
    for (Point3& corner : b.corners) {
        io.rd2(corner);
        if constexpr (Io::kReading) corner.z = elevation;
    }
    dwg13::extrusion(io, h);
    dwg13::commonHandlesOnly(io, h, c);
}

// SHAPE (33).
template <class Io> void dwg13ShapeEntity(Io& io, EntityHeader& h, ShapeBody& b, Dwg13EntityCommon& c) {
    io.bd3(b.insertion);
    io.bd(b.size);
    io.bd(b.rotation);
    io.bd(b.widthFactor);
    io.bd(b.obliqueAngle);
    io.bd(h.thickness);
    io.bs(b.shapeNumber);
    io.ext(h.extrusion);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.style, dwg13::kHardPointer);
}

// ELLIPSE (35).
template <class Io> void dwg13EllipseEntity(Io& io, EntityHeader& h, EllipseBody& b, Dwg13EntityCommon& c) {
    io.bd3(b.centre);
    io.bd3(b.majorAxis);
    io.ext(h.extrusion);
    io.bd(b.axisRatio);
    io.bd(b.startParameter);
    io.bd(b.endParameter);
    dwg13::commonHandlesOnly(io, h, c);
}

// REGION (37), 3DSOLID (38) and BODY (39): the ACIS data (dwg13_acis.h).
template <class Io> void dwg13AcisEntity(Io& io, EntityHeader& h, AcisBody& b, Dwg13EntityCommon& c) {
    io.acisData(b);
    dwg13::commonHandlesOnly(io, h, c);
}

// RAY (40) and XLINE (41).
template <class Io>
void dwg13InfiniteLineEntity(Io& io, EntityHeader& h, InfiniteLineBody& b, Dwg13EntityCommon& c) {
    io.bd3(b.basePoint);
    io.bd3(b.direction);
    dwg13::commonHandlesOnly(io, h, c);
}

// MTEXT (44). 2000 adds the line spacing (R13 and R14 files read as style 1, factor 1).
template <class Io> void dwg13MtextEntity(Io& io, EntityHeader& h, MtextBody& b, Dwg13EntityCommon& c) {
    io.bd3(b.insertion);
    io.ext(h.extrusion);
    io.bd3(b.xDirection);
    io.bd(b.referenceWidth);
    io.bd(b.textHeight);
    io.bs(b.attachment);
    io.bs(b.drawingDirection);
    io.bd(b.extentsHeight);
    io.bd(b.extentsWidth);
    io.t(b.text, 65535);
    if (io.isR2000()) {
        io.bs(b.lineSpacingStyle);
        io.bd(b.lineSpacingFactor);
        uint8_t unknown = 0;
        io.b(unknown);
    } else if constexpr (Io::kReading) {
        b.lineSpacingStyle = 1;
        b.lineSpacingFactor = 1.0;
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.style, dwg13::kHardPointer);
}

// TOLERANCE (46). R13 and R14 store a text height and the gap of the dimension style first
// (`gap`: read and passed over); 2000 none (height 0).
template <class Io>
void dwg13ToleranceEntity(Io& io, EntityHeader& h, ToleranceBody& b, Dwg13EntityCommon& c, double& gap) {
    if (!io.isR2000()) {
        int16_t unknown = 0;
        io.bs(unknown);
        io.bd(b.textHeight);
        io.bd(gap);
    } else if constexpr (Io::kReading) {
        b.textHeight = 0.0;
    }
    io.bd3(b.insertion);
    io.bd3(b.xDirection);
    io.ext(h.extrusion);
    io.t(b.text, kDwgLongTextLimit);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.dimensionStyle, dwg13::kHardPointer);
}

// MLINE (47): per vertex its point, direction and miter, and per line of the style the
// segment and area-fill parameters.
template <class Io> void dwg13MlineEntity(Io& io, EntityHeader& h, MlineBody& b, Dwg13EntityCommon& c) {
    io.bd(b.scale);
    io.rc(b.justification);
    io.bd3(b.basePoint);
    io.ext(h.extrusion);
    io.bs(b.flags);
    io.rc(b.lineCount);
    // The vertex count is a bit-long (a bit-short would turn 256 into its one-code form).
    uint32_t count = uint32_t(b.vertices.size());
    io.bl(count);
    if constexpr (Io::kReading) b.vertices.clear();
    for (uint32_t i = 0; i < count && !io.overrun(); ++i) {
        if constexpr (Io::kReading) b.vertices.emplace_back();
        MlineVertex& v = b.vertices[i];
        io.bd3(v.position);
        io.bd3(v.direction);
        io.bd3(v.miter);
        if constexpr (Io::kReading) v.elements.assign(b.lineCount, MlineElementParameters{});
        for (MlineElementParameters& element : v.elements) {
            for (std::vector<double>* values : {&element.segment, &element.areaFill}) {
                uint16_t n = uint16_t(values->size());
                io.bs(n);
                if constexpr (Io::kReading) values->assign(std::min<uint64_t>(n, io.bits().bitsLeft() / 2), 0.0);
                for (double& value : *values)
                    io.bd(value);
            }
        }
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.style, dwg13::kHardPointer);
}

// VIEWPORT (34). 2000 keeps the whole view of the viewport; R13 and R14 only its place and size
// (their view lies in its extended data). `headerRecord` is its viewport entity header.
template <class Io>
void dwg13ViewportEntity(Io& io, EntityHeader& h, ViewportBody& b, Dwg13EntityCommon& c, Handle& headerRecord) {
    io.bd3(b.centre);
    io.bd(b.width);
    io.bd(b.height);
    uint32_t frozenCount = uint32_t(b.frozenLayers.size());
    if (io.isR2000()) {
        io.bd3(b.viewTarget);
        io.bd3(b.viewDirection);
        io.bd(b.twistAngle);
        io.bd(b.viewHeight);
        io.bd(b.lensLength);
        io.bd(b.frontClip);
        io.bd(b.backClip);
        io.bd(b.snapAngle);
        io.rd2(b.viewCentre);
        io.rd2(b.snapBase);
        io.rd2(b.snapSpacing);
        io.rd2(b.gridSpacing);
        io.bs(b.circleZoom);
        io.bl(frozenCount);
        io.bl(b.statusFlags);
        io.t(b.styleSheet, kDwgNameLimit);
        io.rc(b.renderMode);
        io.b(b.ucsAtOrigin);
        io.b(b.ucsPerViewport);
        io.bd3(b.ucsOrigin);
        io.bd3(b.ucsXAxis);
        io.bd3(b.ucsYAxis);
        io.bd(b.ucsElevation);
        io.bs(b.ucsOrthographicType);
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    if (io.isR2000()) {
        dwg13::handleList(io, b.frozenLayers, frozenCount, dwg13::kHardPointer);
        io.h(b.clipBoundary, dwg13::kHardPointer);
    }
    io.h(headerRecord, dwg13::kHardPointer);
    if (io.isR2000()) {
        io.h(b.namedUcs, dwg13::kHardPointer);
        io.h(b.baseUcs, dwg13::kHardPointer);
    }
}

// SPLINE (36): scenario 1 keeps knots and control points, scenario 2 fit points. Weights follow
// the control points when the file says they are weighted.
template <class Io> void dwg13SplineEntity(Io& io, EntityHeader& h, SplineBody& b, Dwg13EntityCommon& c) {
    SplineData& d = b.data;
    int16_t scenario = d.fitPoints.empty() ? 1 : 2;
    io.bs(scenario);
    io.bs(b.degree);
    uint32_t knotCount = uint32_t(d.knots.size());
    uint32_t controlCount = uint32_t(d.controlPoints.size());
    uint32_t fitCount = uint32_t(d.fitPoints.size());
    uint8_t weighted = (b.flags & 0x04) ? 1 : 0;
    if (scenario == 2) {
        io.bd(b.fitTolerance);
        io.bd3(b.startTangent);
        io.bd3(b.endTangent);
        io.bl(fitCount);
        // The fit form holds no knots nor control points, whatever the spline keeps.
        knotCount = controlCount = 0;
        weighted = 0;
        if constexpr (Io::kReading) b.degree = 3;
    } else {
        dwg13::flagBit(io, b.flags, 0x04);
        dwg13::flagBit(io, b.flags, 0x01);
        dwg13::flagBit(io, b.flags, 0x02);
        io.bd(b.knotTolerance);
        io.bd(b.controlTolerance);
        io.bl(knotCount);
        io.bl(controlCount);
        io.b(weighted);
        if constexpr (Io::kReading) fitCount = 0;
    }
    if constexpr (Io::kReading) {
        // A count beyond what the data can hold is cut to it (a double takes at least 2 bits).
        const uint64_t room = io.bits().bitsLeft() / 2;
        d.knots.assign(std::min<uint64_t>(knotCount, room), 0.0);
        d.controlPoints.assign(std::min<uint64_t>(controlCount, room / 3), Point3{});
        d.weights.assign(weighted ? d.controlPoints.size() : 0, 1.0);
        d.fitPoints.assign(std::min<uint64_t>(fitCount, room / 3), Point3{});
    }
    for (size_t i = 0; i < knotCount && i < d.knots.size(); ++i)
        io.bd(d.knots[i]);
    for (size_t i = 0; i < controlCount && i < d.controlPoints.size(); ++i) {
        io.bd3(d.controlPoints[i]);
        if (!weighted) continue;
        double weight = i < d.weights.size() ? d.weights[i] : 1.0;
        io.bd(weight);
        if constexpr (Io::kReading) d.weights[i] = weight;
    }
    for (Point3& point : d.fitPoints)
        io.bd3(point);
    dwg13::commonHandlesOnly(io, h, c);
}

} // namespace tracemill
