// The DIMENSION family (DWG types 20 to 26) and LEADER of R13 to 2000 DWG files, one layout
// each for the reader and the writer (dwg13_field_io.h).
#pragma once

#include <cstdint>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/read/dwg13_entity_layouts.h"

namespace tracemill {

// The dimension kind (the low three bits of the type flags) of each DWG dimension type.
inline uint8_t dwg13DimensionKind(uint16_t dwgType) {
    switch (dwgType) {
    case kDwgDimensionOrdinate:
        return 6;
    case kDwgDimensionLinear:
        return 0;
    case kDwgDimensionAligned:
        return 1;
    case kDwgDimensionAngular3Point:
        return 5;
    case kDwgDimensionAngular2Line:
        return 2;
    case kDwgDimensionRadius:
        return 4;
    default:
        return 3; // diameter
    }
}

// The DWG dimension type of a kind; kinds 0 and 7 are linear.
inline uint16_t dwg13DimensionType(uint8_t kind) {
    switch (kind & 7) {
    case 1:
        return kDwgDimensionAligned;
    case 2:
        return kDwgDimensionAngular2Line;
    case 3:
        return kDwgDimensionDiameter;
    case 4:
        return kDwgDimensionRadius;
    case 5:
        return kDwgDimensionAngular3Point;
    case 6:
        return kDwgDimensionOrdinate;
    default:
        return kDwgDimensionLinear;
    }
}

inline constexpr uint8_t kDimensionUserText = 0x80;
inline constexpr uint8_t kDimensionOrdinateX = 0x40;
// The dimension's block is its own (no other dimension refers to it): always so in files from
// R13 on, which therefore do not store the bit.
inline constexpr uint8_t kDimensionOwnBlock = 0x20;

// A DIMENSION of any of the seven types: the common fields, the type's points, the common
// handles, the dimension style and the anonymous block that holds the picture.
template <class Io>
void dwg13DimensionEntity(Io& io, EntityHeader& h, DimensionBody& b, Dwg13EntityCommon& c, uint16_t dwgType) {
    if constexpr (Io::kReading) {
        b.attachment = 5;
        b.lineSpacingStyle = 1;
        b.lineSpacingFactor = 1.6666666666666665;
    }
    io.ext(h.extrusion);
    io.rd2(b.textMidpoint);
    io.bd(b.textMidpoint.z);
    uint8_t position = (b.typeFlags & kDimensionUserText) ? 2 : 3;
    io.rc(position);
    io.t(b.userText, kDwgLongTextLimit);
    io.bd(b.textRotation);
    io.bd(b.horizontalDirection);
    Point3 insertionScale{1.0, 1.0, 1.0};
    io.bd3(insertionScale);
    io.bd(b.insertionRotation);
    if (io.isR2000()) {
        io.bs(b.attachment);
        io.bs(b.lineSpacingStyle);
        io.bd(b.lineSpacingFactor);
        io.bd(b.actualMeasurement);
    }
    io.rd2(b.cloneInsertionPoint);
    if constexpr (Io::kReading) {
        b.typeFlags =
            uint8_t(((position & 1) ? 0 : kDimensionUserText) | kDimensionOwnBlock | dwg13DimensionKind(dwgType));
        b.hasCloneInsertion = b.cloneInsertionPoint.x == 0.0 && b.cloneInsertionPoint.y == 0.0 &&
                                      b.textMidpoint.z == 0.0
                                  ? 0
                                  : 1;
    }
    switch (dwgType) {
    case kDwgDimensionOrdinate: {
        io.bd3(b.definitionPoint);
        io.bd3(b.point13);
        io.bd3(b.point14);
        uint8_t ordinate = (b.typeFlags & kDimensionOrdinateX) ? 1 : 0;
        io.rc(ordinate);
        if constexpr (Io::kReading) {
            if (ordinate & 1) b.typeFlags |= kDimensionOrdinateX;
        }
        break;
    }
    case kDwgDimensionLinear:
    case kDwgDimensionAligned:
        io.bd3(b.point13);
        io.bd3(b.point14);
        io.bd3(b.definitionPoint);
        io.bd(b.extensionLineRotation);
        if (dwgType == kDwgDimensionLinear) io.bd(b.rotation);
        break;
    case kDwgDimensionAngular3Point:
        io.bd3(b.definitionPoint);
        io.bd3(b.point13);
        io.bd3(b.point14);
        io.bd3(b.point15);
        break;
    case kDwgDimensionAngular2Line:
        io.rd2(b.point16);
        io.bd3(b.point13);
        io.bd3(b.point14);
        io.bd3(b.point15);
        io.bd3(b.definitionPoint);
        break;
    case kDwgDimensionRadius:
        io.bd3(b.definitionPoint);
        io.bd3(b.point15);
        io.bd(b.leaderLength);
        break;
    default: // diameter
        io.bd3(b.point15);
        io.bd3(b.definitionPoint);
        io.bd(b.leaderLength);
        break;
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.dimensionStyle, dwg13::kHardPointer);
    io.h(b.block, dwg13::kHardPointer);
}

// LEADER (45). The values of R13 and R14 that 2000 dropped (a gap, an arrow size, flags) are
// read and passed over; `settings` holds what the writer puts there.
struct Dwg13LeaderExtras {
    double gap = 0.0;
    int16_t dimensionValue = 0;
    double arrowSize = 0.0;
    int16_t lowWord = 0;
};

template <class Io>
void dwg13LeaderEntity(Io& io, EntityHeader& h, LeaderBody& b, Dwg13EntityCommon& c, Dwg13LeaderExtras& x) {
    uint8_t unknown = 0;
    io.b(unknown);
    io.bs(b.annotationType);
    io.bs(b.pathType);
    uint32_t count = uint32_t(b.points.size());
    io.bl(count);
    if constexpr (Io::kReading) b.points.assign(std::min<uint64_t>(count, io.bits().bitsLeft() / 6), Point3{});
    for (Point3& point : b.points)
        io.bd3(point);
    Point3 origin = b.points.empty() ? Point3{} : b.points.front();
    io.bd3(origin);
    io.ext(h.extrusion);
    io.bd3(b.horizontalDirection);
    io.bd3(b.blockOffset);
    if (!io.isR13()) io.bd3(b.annotationOffset);
    if (!io.isR2000()) io.bd(x.gap);
    io.bd(b.textHeight);
    io.bd(b.textWidth);
    io.b(b.hookLineOnXDirection);
    io.b(b.arrowheadOn);
    if (!io.isR2000()) {
        uint8_t zero = 0;
        io.bs(x.dimensionValue);
        io.bd(x.arrowSize);
        io.b(zero);
        io.b(zero);
        io.bs(x.lowWord);
        io.bs(b.byBlockColour);
        io.b(zero);
        io.b(zero);
    } else {
        int16_t unused = 0;
        uint8_t zero = 0;
        io.bs(unused);
        io.b(zero);
        io.b(zero);
    }
    io.handleStream();
    dwg13EntityCommonHandles(io, h, c);
    io.h(b.annotation, dwg13::kHardPointer);
    io.h(b.dimensionStyle, dwg13::kHardPointer);
}

} // namespace tracemill
