// The class-based entities of R13 to 2000 DWG files that the toolkit knows (LWPOLYLINE,
// HATCH, IMAGE, WIPEOUT, OLE2FRAME, ARCALIGNEDTEXT, RTEXT) and the proxy form that keeps any
// other, one layout each for the reader and the writer (dwg13_field_io.h).
#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/read/dwg13_entity_layouts.h"
#include "toolkit/read/sanitize_double.h"

namespace tracemill {

namespace dwg13 {

// A count the reader cuts to what the data left can hold, at `bitsEach` bits per element.
template <class Io> uint32_t boundedCount(Io& io, uint32_t count, unsigned bitsEach) {
    if constexpr (Io::kReading) return uint32_t(std::min<uint64_t>(count, io.bits().bitsLeft() / bitsEach));
    return count;
}

// A real stored as text, written with six decimals as the format's writer does.
template <class Io> void realAsText(Io& io, double& value) {
    std::string text;
    if constexpr (!Io::kReading) {
        char buffer[64];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
        text.assign(buffer, written.ptr);
    }
    io.t(text, kDwgNameLimit);
    if constexpr (Io::kReading) {
        size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos) start = text.size();
        const char* first = text.data() + start;
        if (first != text.data() + text.size() && *first == '+') ++first;
        value = 0.0;
        std::from_chars(first, text.data() + text.size(), value);
    }
}

} // namespace dwg13

// LWPOLYLINE. The flag word says which optional values follow (4 constant width, 8 elevation,
// 2 thickness, 1 extrusion, 16 bulges, 32 widths); the writer derives those bits from the
// values. 2000 stores each point after the first against the one before.
template <class Io> void dwg13LwpolylineEntity(Io& io, EntityHeader& h, LwpolylineBody& b, Dwg13EntityCommon& c) {
    int16_t flags = b.flags;
    if constexpr (!Io::kReading) {
        flags = int16_t(b.flags & ~(0x01 | 0x02 | 0x04 | 0x08));
        if (b.constantWidth >= 1e-10) flags |= 0x04;
        if (std::fabs(b.elevation) >= 1e-10) flags |= 0x08;
        if (std::fabs(h.thickness) >= 1e-10) flags |= 0x02;
        if (std::fabs(h.extrusion.x) >= 1e-10 || std::fabs(h.extrusion.y) >= 1e-10 ||
            std::fabs(h.extrusion.z - 1.0) >= 1e-10)
            flags |= 0x01;
    }
    io.bs(flags);
    if (flags & 0x04) io.bd(b.constantWidth);
    if (flags & 0x08) io.bd(b.elevation);
    if (flags & 0x02) io.bd(h.thickness);
    if (flags & 0x01) io.ext(h.extrusion);
    // The bits that only say which of these values the file holds are not kept: the values
    // themselves are.
    if constexpr (Io::kReading) b.flags = int16_t(flags & ~(0x01 | 0x02 | 0x08));
    uint32_t count = uint32_t(b.vertices.size());
    uint32_t bulges = (flags & kLwpolylineHasBulges) ? count : 0;
    uint32_t widths = (flags & kLwpolylineHasWidths) ? count : 0;
    io.bl(count);
    if (flags & kLwpolylineHasBulges) io.bl(bulges);
    if (flags & kLwpolylineHasWidths) io.bl(widths);
    if constexpr (Io::kReading) b.vertices.assign(dwg13::boundedCount(io, count, 16), LwpolylineVertex{});
    for (size_t i = 0; i < b.vertices.size(); ++i) {
        Point2& p = b.vertices[i].point;
        if (i == 0 || !io.isR2000()) {
            io.rd2(p);
        } else {
            io.dd(p.x, b.vertices[i - 1].point.x);
            io.dd(p.y, b.vertices[i - 1].point.y);
        }
    }
    // Bulges and widths beyond the points are read and passed over.
    double passedOver = 0.0;
    for (uint32_t i = 0; i < bulges && !io.overrun(); ++i)
        io.bd(i < b.vertices.size() ? b.vertices[i].bulge : passedOver);
    for (uint32_t i = 0; i < widths && !io.overrun(); ++i) {
        io.bd(i < b.vertices.size() ? b.vertices[i].startWidth : passedOver);
        io.bd(i < b.vertices.size() ? b.vertices[i].endWidth : passedOver);
    }
    dwg13::commonHandlesOnly(io, h, c);
}

namespace dwg13 {

template <class Io> void hatchEdge(Io& io, HatchEdge& edge, uint8_t type) {
    switch (type) {
    case 1: {
        if constexpr (Io::kReading) edge = HatchLineEdge{};
        auto& e = std::get<HatchLineEdge>(edge);
        io.rd2(e.start);
        io.rd2(e.end);
        break;
    }
    case 2: {
        if constexpr (Io::kReading) edge = HatchArcEdge{};
        auto& e = std::get<HatchArcEdge>(edge);
        io.rd2(e.centre);
        io.bd(e.radius);
        io.bd(e.startAngle);
        io.bd(e.endAngle);
        io.b(e.counterClockwise);
        break;
    }
    case 3: {
        if constexpr (Io::kReading) edge = HatchEllipseEdge{};
        auto& e = std::get<HatchEllipseEdge>(edge);
        io.rd2(e.centre);
        io.rd2(e.majorAxisEnd);
        io.bd(e.axisRatio);
        io.bd(e.startParameter);
        io.bd(e.endParameter);
        io.b(e.counterClockwise);
        break;
    }
    default: {
        if constexpr (Io::kReading) edge = HatchSplineEdge{};
        auto& e = std::get<HatchSplineEdge>(edge);
        io.bl(e.degree);
        io.b(e.rational);
        io.b(e.periodic);
        uint32_t knots = uint32_t(e.knots.size());
        uint32_t points = uint32_t(e.controlPoints.size());
        io.bl(knots);
        io.bl(points);
        if constexpr (Io::kReading) {
            e.knots.assign(boundedCount(io, knots, 2), 0.0);
            e.controlPoints.assign(boundedCount(io, points, 128), HatchSplineControlPoint{});
        }
        for (double& knot : e.knots)
            io.bd(knot);
        for (HatchSplineControlPoint& point : e.controlPoints) {
            io.rd2(point.point);
            if (e.rational) io.bd(point.weight);
        }
        break;
    }
    }
}

template <class Io> void hatchPath(Io& io, HatchPath& path) {
    io.bl(path.flags);
    if (path.isPolyline()) {
        io.b(path.hasBulges);
        io.b(path.closed);
        uint32_t count = uint32_t(path.vertices.size());
        io.bl(count);
        if constexpr (Io::kReading) path.vertices.assign(boundedCount(io, count, 128), HatchPolylineVertex{});
        for (HatchPolylineVertex& vertex : path.vertices) {
            io.rd2(vertex.point);
            if (path.hasBulges) io.bd(vertex.bulge);
        }
    } else {
        uint32_t count = uint32_t(path.edges.size());
        io.bl(count);
        if constexpr (Io::kReading) path.edges.assign(boundedCount(io, count, 8), HatchEdge{});
        for (HatchEdge& edge : path.edges) {
            uint8_t type = uint8_t(hatchEdgeType(edge));
            io.rc(type);
            hatchEdge(io, edge, type);
        }
    }
    uint32_t objects = uint32_t(path.boundaryObjects.size());
    io.bl(objects);
    if constexpr (Io::kReading) path.boundaryObjects.assign(boundedCount(io, objects, 8), Handle());
}

} // namespace dwg13

// HATCH: the boundary paths with the count of the objects each was made from (their handles
// follow the common handles), the pattern unless the fill is solid, a pixel size when a path
// asks for it, and the seed points.
template <class Io> void dwg13HatchEntity(Io& io, EntityHeader& h, HatchBody& b, Dwg13EntityCommon& c) {
    io.bd(b.elevation);
    io.ext(h.extrusion);
    io.t(b.patternName, kDwgNameLimit);
    io.b(b.solidFill);
    io.b(b.associative);
    uint32_t count = uint32_t(b.paths.size());
    io.bl(count);
    if constexpr (Io::kReading) b.paths.clear();
    bool pixelSize = false;
    for (uint32_t i = 0; i < count && !io.overrun(); ++i) {
        if constexpr (Io::kReading) b.paths.emplace_back();
        dwg13::hatchPath(io, b.paths[i]);
        if (b.paths[i].flags & kHatchPathNeedsPixelSize) pixelSize = true;
    }
    io.bs(b.style);
    io.bs(b.patternType);
    if (!b.solidFill) {
        io.bd(b.patternAngle);
        io.bd(b.patternScale);
        io.b(b.patternDouble);
        uint16_t lines = uint16_t(b.patternLines.size());
        io.bs(lines);
        if constexpr (Io::kReading) b.patternLines.assign(dwg13::boundedCount(io, lines, 10), HatchPatternLine{});
        for (HatchPatternLine& line : b.patternLines) {
            io.bd(line.angle);
            io.bd(line.base.x);
            io.bd(line.base.y);
            io.bd(line.offset.x);
            io.bd(line.offset.y);
            uint16_t dashes = uint16_t(line.dashes.size());
            io.bs(dashes);
            if constexpr (Io::kReading) line.dashes.assign(dwg13::boundedCount(io, dashes, 2), 0.0);
            for (double& dash : line.dashes)
                io.bd(dash);
        }
    }
    if (pixelSize) io.bd(b.pixelSize);
    uint32_t seeds = uint32_t(b.seedPoints.size());
    io.bl(seeds);
    if constexpr (Io::kReading) b.seedPoints.assign(dwg13::boundedCount(io, seeds, 128), Point2{});
    for (Point2& seed : b.seedPoints)
        io.rd2(seed);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    for (HatchPath& path : b.paths)
        for (Handle& object : path.boundaryObjects)
            io.h(object, dwg13::kSoftPointer);
}

// IMAGE and WIPEOUT. A rectangular clip boundary (type 1) is two corners (a body with fewer
// writes zeros for the missing ones); a polygon is kept with its first vertex repeated at the
// end, which the file leaves out: the writer leaves out a last vertex only when it repeats the
// first, so a polygon read from elsewhere loses no vertex, and one without vertices is BL 0.
template <class Io> void dwg13RasterImageEntity(Io& io, EntityHeader& h, RasterImageBody& b, Dwg13EntityCommon& c) {
    io.bl(b.classVersion);
    io.bd3(b.insertion);
    io.bd3(b.uVector);
    io.bd3(b.vVector);
    io.rd2(b.size);
    io.bs(b.displayProperties);
    io.b(b.clipping);
    io.rc(b.brightness);
    io.rc(b.contrast);
    io.rc(b.fade);
    io.bs(b.clipBoundaryType);
    if (b.clipBoundaryType == 1) {
        if constexpr (Io::kReading) b.clipVertices.assign(2, Point2{});
        std::array<Point2, 2> corners{};
        for (size_t i = 0; i < corners.size() && i < b.clipVertices.size(); ++i) corners[i] = b.clipVertices[i];
        io.rd2(corners[0]);
        io.rd2(corners[1]);
        if constexpr (Io::kReading) b.clipVertices.assign(corners.begin(), corners.end());
    } else {
        uint32_t count = 0;
        if constexpr (!Io::kReading) {
            count = uint32_t(b.clipVertices.size());
            const bool closed = count > 1 && b.clipVertices.front() == b.clipVertices.back();
            if (closed) --count;
        }
        io.bl(count);
        if constexpr (Io::kReading) b.clipVertices.assign(dwg13::boundedCount(io, count, 128), Point2{});
        for (uint32_t i = 0; i < count && i < b.clipVertices.size(); ++i)
            io.rd2(b.clipVertices[i]);
        if constexpr (Io::kReading) {
            if (!b.clipVertices.empty()) b.clipVertices.push_back(b.clipVertices.front());
        }
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.imageDefinition, dwg13::kHardPointer);
    io.h(b.imageDefinitionReactor, dwg13::kHardOwner);
}

// OLE2FRAME. The corners of the frame lie in the embedded data's own header (bytes 2-25 and
// 50-73).
template <class Io> void dwg13Ole2FrameEntity(Io& io, EntityHeader& h, Ole2FrameBody& b, Dwg13EntityCommon& c) {
    io.bs(b.oleType);
    if (io.isR2000()) io.bs(b.mode);
    io.blBytes(b.data);
    if (io.isR2000()) {
        io.rc(b.trailingByte);
    } else if constexpr (Io::kReading) {
        b.trailingByte = 1;
    }
    if constexpr (Io::kReading) {
        const std::span<const uint8_t> data = b.data.bytes();
        auto corner = [&](size_t at, Point3& out) {
            if (data.size() < at + 24) return;
            out.x = SanitizeDouble(data.data() + at);
            out.y = SanitizeDouble(data.data() + at + 8);
            out.z = SanitizeDouble(data.data() + at + 16);
        };
        corner(2, b.upperLeft);
        corner(50, b.lowerRight);
    }
    dwg13::commonHandlesOnly(io, h, c);
}

// ARCALIGNEDTEXT. Several reals are stored as text; the text style's name is stored beside
// its handle. The eleven settings are DXF groups 77, 78, 79, 74, 75, 76, 72, 70, 280, 73, 71
// in the file; the body keeps them as 70 to 79 and 280.
template <class Io>
void dwg13ArcAlignedTextEntity(Io& io, EntityHeader& h, ArcAlignedTextBody& b, Dwg13EntityCommon& c,
                               std::string& styleName) {
    dwg13::realAsText(io, b.textSize);
    dwg13::realAsText(io, b.widthFactor);
    dwg13::realAsText(io, b.characterSpacing);
    io.t(styleName, kDwgNameLimit);
    io.t(b.fontName, kDwgNameLimit);
    io.t(b.bigFontName, kDwgNameLimit);
    io.t(b.text, kDwgLongTextLimit);
    dwg13::realAsText(io, b.offsetFromArc);
    dwg13::realAsText(io, b.rightOffset);
    dwg13::realAsText(io, b.leftOffset);
    io.bd3(b.centre);
    io.bd(b.radius);
    io.bd(b.startAngle);
    io.bd(b.endAngle);
    io.ext(h.extrusion);
    io.bl(b.colour);
    static constexpr std::array<size_t, 11> kFileOrder = {7, 8, 9, 4, 5, 6, 2, 0, 10, 3, 1};
    for (size_t at : kFileOrder)
        io.bs(b.settings[at]);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.style, dwg13::kSoftPointer);
}

// RTEXT.
template <class Io> void dwg13RtextEntity(Io& io, EntityHeader& h, RtextBody& b, Dwg13EntityCommon& c) {
    io.bd3(b.insertion);
    io.ext(h.extrusion);
    io.bd(b.rotation);
    io.bd(b.height);
    io.bs(b.flags);
    io.t(b.contents, kDwgLongTextLimit);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.style, dwg13::kSoftPointer);
}

// The head of a generic proxy entity (498): the class it stands for and, in 2000, its version
// and whether its data has the class's own form (`originalForm`).
template <class Io> void dwg13ProxyEntityHead(Io& io, ProxyEntityBody& b, uint8_t& originalForm) {
    if (io.isR2000()) {
        io.bl(b.proxyClassId);
        io.bl(b.version);
        io.b(originalForm);
    } else {
        int32_t proxyType = 498;
        io.bl(proxyType);
        io.bl(b.proxyClassId);
        originalForm = 1;
    }
}

// Any other class-based entity: the data bits up to the handles, the common handles and every
// handle reference after them.
template <class Io> void dwg13ProxyEntityData(Io& io, EntityHeader& h, ProxyEntityBody& b, Dwg13EntityCommon& c) {
    io.restBits(b.dataBitCount, b.data);
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    dwg13::remainingReferences(io, b.references);
}

} // namespace tracemill
