// The symbol-table records of R13 to 2000 DWG files and their control objects, one layout per
// record kind for the reader and the writer (dwg13_field_io.h). Each layout takes the record,
// the reactor count of its prologue and the handles the record does not keep itself; between
// the fields and the handle references it marks the start of the handle stream
// (`io.handleStream()`).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "toolkit/core/entity_header.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/table_records.h"
#include "toolkit/read/dwg13_common_layout.h"
#include "toolkit/read/dwg13_header_layout.h"
#include "toolkit/read/dwg_lineweight.h"

namespace tracemill {

// Object types of the table records and their control objects.
inline constexpr uint16_t kDwgTypeBlockControl = 48;
inline constexpr uint16_t kDwgTypeBlockHeader = 49;
inline constexpr uint16_t kDwgTypeLayerControl = 50;
inline constexpr uint16_t kDwgTypeLayer = 51;
inline constexpr uint16_t kDwgTypeStyleControl = 52;
inline constexpr uint16_t kDwgTypeStyle = 53;
inline constexpr uint16_t kDwgTypeLinetypeControl = 56;
inline constexpr uint16_t kDwgTypeLinetype = 57;
inline constexpr uint16_t kDwgTypeViewControl = 60;
inline constexpr uint16_t kDwgTypeView = 61;
inline constexpr uint16_t kDwgTypeUcsControl = 62;
inline constexpr uint16_t kDwgTypeUcs = 63;
inline constexpr uint16_t kDwgTypeVportControl = 64;
inline constexpr uint16_t kDwgTypeVport = 65;
inline constexpr uint16_t kDwgTypeAppIdControl = 66;
inline constexpr uint16_t kDwgTypeAppId = 67;
inline constexpr uint16_t kDwgTypeDimStyleControl = 68;
inline constexpr uint16_t kDwgTypeDimStyle = 69;
inline constexpr uint16_t kDwgTypeViewportEntityHeaderControl = 70;
inline constexpr uint16_t kDwgTypeViewportEntityHeader = 71;

// A table-control object: the number of entries, their handles, and after them the records
// the control keeps apart (BLOCK: *MODEL_SPACE and *PAPER_SPACE; LTYPE: BYBLOCK and BYLAYER),
// which the reader collects while handle references are left.
struct Dwg13ControlObject {
    int32_t count = 0;
    uint8_t dimStyleByte = 0; // 2000 DIMSTYLE control
    Handle owner;
    HandleList reactors;
    Handle extensionDictionary;
    HandleList entries;
    HandleList extras;
};

template <class Io> void dwg13ControlObject(Io& io, Dwg13ControlObject& control, uint16_t type, uint32_t reactorCount) {
    using namespace dwg13;
    io.bl(control.count);
    if (io.isR2000() && type == kDwgTypeDimStyleControl) io.rc(control.dimStyleByte);
    io.handleStream();
    objectHandles(io, control.owner, control.reactors, reactorCount, control.extensionDictionary);
    handleList(io, control.entries, uint32_t(std::max(control.count, 0)), kSoftOwner);
    if constexpr (Io::kReading) {
        control.extras.clear();
        while (io.handleBitsLeft() >= 8 && control.extras.size() < 2) {
            Handle extra;
            io.h(extra, kHardOwner);
            if (io.overrun()) break;
            control.extras.push_back(extra);
        }
    } else {
        handleList(io, control.extras, uint32_t(control.extras.size()), kHardOwner);
    }
}

// LAYER (51). 2000 packs frozen, off, frozen in new viewports, locked, plotted and the
// lineweight into one short; R13 and R14 keep four bits. An off layer has a negative colour.
template <class Io> void dwg13LayerRecord(Io& io, LayerRecord& r, uint32_t reactorCount, Handle& xrefBlock) {
    using namespace dwg13;
    tableRecordHead(io, r);
    bool off = r.colour < 0;
    if (io.isR2000()) {
        uint16_t values = 0;
        if constexpr (!Io::kReading) {
            values = uint16_t((r.flags & kLayerFrozen ? 1 : 0) | (off ? 2 : 0) |
                              (r.flags & kLayerFrozenInNewViewports ? 4 : 0) | (r.flags & kLayerLocked ? 8 : 0) |
                              (r.plotFlag && !dbEqualsNoCase(r.name, "DefPoints") ? 16 : 0) |
                              (rdLineweightToIndex(r.lineweight) << 5));
        }
        io.bs(values);
        if constexpr (Io::kReading) {
            r.flags = uint8_t((r.flags & ~(kLayerFrozen | kLayerFrozenInNewViewports | kLayerLocked)) |
                              (values & 1 ? kLayerFrozen : 0) | (values & 4 ? kLayerFrozenInNewViewports : 0) |
                              (values & 8 ? kLayerLocked : 0));
            off = (values & 2) != 0;
            r.plotFlag = (values & 16) ? 1 : 0;
            r.lineweight = rdLineweightFromIndex((values >> 5) & 0x1F);
        }
    } else {
        if constexpr (Io::kReading) {
            r.lineweight = kLineweightDefault;
            r.plotFlag = 1;
        }
        flagBit(io, r.flags, kLayerFrozen);
        io.b(off);
        flagBit(io, r.flags, kLayerFrozenInNewViewports);
        flagBit(io, r.flags, kLayerLocked);
    }
    int16_t colour = int16_t(std::abs(r.colour));
    io.bs(colour);
    if constexpr (Io::kReading) r.colour = off ? int16_t(-colour) : colour;
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
    if (io.isR2000()) io.h(r.plotStyle, kHardPointer);
    io.h(r.linetype, kHardPointer);
}

// LTYPE (57). A text dash (shape flags 2) keeps the position of its text in the text area where
// other dashes keep a shape number. The text area is 256 bytes; the record keeps it without its
// trailing NULs.
template <class Io> void dwg13LinetypeRecord(Io& io, LinetypeRecord& r, uint32_t reactorCount, Handle& xrefBlock) {
    using namespace dwg13;
    tableRecordHead(io, r);
    io.t(r.description, kDwgNameLimit);
    io.bd(r.patternLength);
    io.rc(r.alignment);
    uint8_t dashCount = uint8_t(std::clamp<int>(r.dashCount, 0, kMaxLinetypeDashes));
    io.rc(dashCount);
    // A file may hold more dashes than a record keeps: they are read and passed over.
    LinetypeDash extra;
    for (int i = 0; i < dashCount; ++i) {
        LinetypeDash& dash = i < kMaxLinetypeDashes ? r.dashes[size_t(i)] : extra;
        int16_t shape = (dash.complexFlags & 2) ? int16_t(dash.textPosition) : dash.shapeNumber;
        io.bd(dash.length);
        io.bs(shape);
        io.rd(dash.offset.x);
        io.rd(dash.offset.y);
        io.bd(dash.scale);
        io.bd(dash.rotation);
        io.bs(dash.complexFlags);
        if constexpr (Io::kReading) {
            if (dash.complexFlags & 2) {
                dash.textPosition = uint16_t(shape);
                dash.shapeNumber = 0;
            } else {
                dash.shapeNumber = shape;
            }
        }
    }
    if constexpr (Io::kReading) r.dashCount = int16_t(std::min<int>(dashCount, kMaxLinetypeDashes));
    std::array<uint8_t, kLinetypeTextAreaSize> area{};
    if constexpr (!Io::kReading) std::copy_n(r.textArea.begin(), std::min(r.textArea.size(), area.size()), area.begin());
    io.bytes(area.data(), area.size());
    if constexpr (Io::kReading) {
        size_t used = area.size();
        while (used > 0 && area[used - 1] == 0)
            --used;
        r.textArea.assign(reinterpret_cast<const char*>(area.data()), used);
    }
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
    Handle passedOver;
    for (int i = 0; i < dashCount; ++i)
        io.h(i < kMaxLinetypeDashes ? r.dashes[size_t(i)].style : passedOver, kHardPointer);
}

// STYLE (53). The external-reference block of the handles is the record's own field.
template <class Io> void dwg13StyleRecord(Io& io, StyleRecord& r, uint32_t reactorCount) {
    using namespace dwg13;
    tableRecordHead(io, r);
    flagBit(io, r.flags, 0x01);
    flagBit(io, r.flags, 0x04);
    io.bd(r.fixedHeight);
    io.bd(r.widthFactor);
    io.bd(r.obliqueAngle);
    io.rc(r.generation);
    io.bd(r.lastHeight);
    io.t(r.fontFile, kDwgNameLimit);
    io.t(r.bigFontFile, kDwgNameLimit);
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, r.xrefBlock);
}

// UCS (63). `namedUcs` is the 2000 file's second UCS reference.
template <class Io>
void dwg13UcsRecord(Io& io, UcsRecord& r, uint32_t reactorCount, Handle& xrefBlock, Handle& namedUcs) {
    using namespace dwg13;
    tableRecordHead(io, r);
    io.bd3(r.origin);
    io.bd3(r.xAxis);
    io.bd3(r.yAxis);
    if (io.isR2000()) {
        io.bd(r.elevation);
        io.bs(r.orthographicTypeAlt);
        io.bs(r.orthographicType);
    }
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
    if (io.isR2000()) {
        io.h(r.baseUcs, kHardPointer);
        io.h(namedUcs, kHardPointer);
    }
}

namespace dwg13 {

// The view-mode bits of VIEW and VPORT records: perspective (1), front clip (2), back clip (4),
// then a bit that is 1 when the front clip is at the eye (0 sets 0x10).
template <class Io> void viewModeBits(Io& io, int16_t& mode) {
    flagBit(io, mode, 0x01);
    flagBit(io, mode, 0x02);
    flagBit(io, mode, 0x04);
    uint8_t atEye = (mode & 0x10) ? 0 : 1;
    io.b(atEye);
    if constexpr (Io::kReading) mode = int16_t(atEye ? (mode & ~0x10) : (mode | 0x10));
}

// The UCS a 2000 view or viewport keeps.
template <class Io> void viewUcs(Io& io, ViewUcs& ucs) {
    io.bd3(ucs.origin);
    io.bd3(ucs.xAxis);
    io.bd3(ucs.yAxis);
    io.bd(ucs.elevation);
    io.bs(ucs.orthographicType);
}

template <class Io> void defaultUcsAxes(ViewUcs& ucs) {
    if constexpr (Io::kReading) {
        ucs.xAxis = Point3{1.0, 0.0, 0.0};
        ucs.yAxis = Point3{0.0, 1.0, 0.0};
    }
}

} // namespace dwg13

// VIEW (61).
template <class Io> void dwg13ViewRecord(Io& io, ViewRecord& r, uint32_t reactorCount, Handle& xrefBlock) {
    using namespace dwg13;
    tableRecordHead(io, r);
    io.bd(r.height);
    io.bd(r.width);
    io.rd2(r.centre);
    io.bd3(r.target);
    io.bd3(r.direction);
    io.bd(r.twist);
    io.bd(r.lensLength);
    io.bd(r.frontClip);
    io.bd(r.backClip);
    viewModeBits(io, r.viewMode);
    if (io.isR2000()) io.rc(r.renderMode);
    flagBit(io, r.flags, 0x01);
    if (io.isR2000()) {
        io.b(r.hasUcs);
        if (r.hasUcs) viewUcs(io, r.ucs);
    } else {
        defaultUcsAxes<Io>(r.ucs);
    }
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
    if (io.isR2000() && r.hasUcs) {
        io.h(r.ucs.baseUcs, kHardPointer);
        io.h(r.ucs.namedUcs, kHardPointer);
    }
}

// VPORT (65). The file keeps the view width; the record keeps the aspect ratio width / height.
template <class Io> void dwg13VportRecord(Io& io, VportRecord& r, uint32_t reactorCount, Handle& xrefBlock) {
    using namespace dwg13;
    tableRecordHead(io, r);
    io.bd(r.height);
    double width = r.aspect * r.height;
    io.bd(width);
    if constexpr (Io::kReading) r.aspect = r.height != 0.0 ? width / r.height : 0.0;
    io.rd2(r.centre);
    io.bd3(r.target);
    io.bd3(r.direction);
    io.bd(r.twist);
    io.bd(r.lensLength);
    io.bd(r.frontClip);
    io.bd(r.backClip);
    viewModeBits(io, r.viewMode);
    if (io.isR2000()) io.rc(r.renderMode);
    io.rd2(r.lowerLeft);
    io.rd2(r.upperRight);
    flagBit(io, r.viewMode, 0x08);
    io.bs(r.circleZoom);
    io.b(r.fastZoom);
    flagBit(io, r.ucsIcon, 0x01);
    flagBit(io, r.ucsIcon, 0x02);
    io.b(r.gridOn);
    io.rd2(r.gridSpacing);
    io.b(r.snapOn);
    io.b(r.snapStyle);
    io.bs(r.snapIsoPair);
    io.bd(r.snapAngle);
    io.rd2(r.snapBase);
    io.rd2(r.snapSpacing);
    if (io.isR2000()) {
        uint8_t unknown = 0;
        io.b(unknown);
        io.b(r.ucsPerViewport);
        viewUcs(io, r.ucs);
    } else {
        defaultUcsAxes<Io>(r.ucs);
    }
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
    if (io.isR2000()) {
        io.h(r.ucs.baseUcs, kHardPointer);
        io.h(r.ucs.namedUcs, kHardPointer);
    }
}

// APPID (67): one byte after the head, except in the class-based form.
template <class Io>
void dwg13AppIdRecord(Io& io, AppIdRecord& r, uint32_t reactorCount, Handle& xrefBlock, bool classBased) {
    using namespace dwg13;
    tableRecordHead(io, r);
    uint8_t unknown = 0;
    if (!classBased) io.rc(unknown);
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
}

// The values of a DIMSTYLE record that it does not keep in its fields: the R13/R14 unit code and
// arrow block names, and the bit that follows the variables.
struct Dwg13DimStyleExtras {
    int16_t unit = 0;
    std::array<std::string, 3> arrowNames; // DIMBLK, DIMBLK1, DIMBLK2
    uint8_t trailingBit = 0;
};

// DIMSTYLE (69): the dimension variables in the header section's order.
template <class Io>
void dwg13DimStyleRecord(Io& io, DimStyleRecord& r, uint32_t reactorCount, Handle& xrefBlock, Dwg13DimStyleExtras& x) {
    using namespace dwg13;
    tableRecordHead(io, r);
    if (io.isR2000()) {
        dimensionVariables2000(io, r);
        io.bs(r.dimlwd);
        io.bs(r.dimlwe);
    } else {
        dimensionVariablesR13(io, r, x.unit, nullptr, x.arrowNames[0], x.arrowNames[1], x.arrowNames[2]);
    }
    io.b(x.trailingBit);
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
    io.h(r.dimtxsty, kHardPointer);
    if (io.isR2000()) {
        io.h(r.dimldrblk, kHardPointer);
        io.h(r.dimblk, kHardPointer);
        io.h(r.dimblk1, kHardPointer);
        io.h(r.dimblk2, kHardPointer);
    }
}

// The viewport entity header (71): a table-like record that links a VIEWPORT of paper space
// into the chain of viewports.
template <class Io>
void dwg13ViewportEntityHeaderRecord(Io& io, ViewportEntityHeaderRecord& r, uint32_t reactorCount, Handle& xrefBlock) {
    using namespace dwg13;
    tableRecordHead(io, r);
    io.b(r.on);
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
    io.h(r.viewport, kSoftPointer);
    io.h(r.next, kHardPointer);
}

// The entity handles of a block header: its BLOCK entity, the first and last entity of its
// chain (none for external references and overlays) and its ENDBLK entity.
struct Dwg13BlockLinks {
    Handle blockEntity;
    Handle firstEntity;
    Handle lastEntity;
    Handle endBlockEntity;
};

// BLOCK_HEADER (49): the block record. 2000 counts the INSERTs that reference the block with a
// run of non-zero bytes and lists their handles after the entity handles.
// `inserts` are the INSERTs that reference the block as the file lists them (the database
// keeps its own list, which it builds as INSERTs are added).
template <class Io>
void dwg13BlockHeaderRecord(Io& io, BlockRecord& r, uint32_t reactorCount, Handle& xrefBlock, Dwg13BlockLinks& links,
                            HandleList& inserts) {
    using namespace dwg13;
    tableRecordHead(io, r);
    flagBit(io, r.flags, kBlockAnonymous);
    flagBit(io, r.flags, 0x02);
    flagBit(io, r.flags, kBlockExternalReference);
    flagBit(io, r.flags, kBlockOverlay);
    if constexpr (Io::kReading) r.overlay = (r.flags & kBlockOverlay) ? 1 : 0;
    if (io.isR2000()) io.b(r.xrefDisabled);
    io.bd3(r.basePoint);
    io.t(r.xrefPath, kDwgNameLimit);
    uint32_t insertCount = uint32_t(inserts.size());
    if (io.isR2000()) {
        if constexpr (Io::kReading) {
            insertCount = 0;
            for (uint8_t more = 1; more && !io.overrun();) {
                io.rc(more);
                if (more) ++insertCount;
            }
        } else {
            for (uint32_t i = 0; i <= insertCount; ++i) {
                uint8_t more = i < insertCount ? 1 : 0;
                io.rc(more);
            }
        }
        io.t(r.description, kDwgLongTextLimit);
        io.blBytes(r.preview);
    }
    io.handleStream();
    tableRecordHandles(io, r, reactorCount, xrefBlock);
    io.h(links.blockEntity, kHardOwner);
    if (!(r.flags & (kBlockExternalReference | kBlockOverlay))) {
        io.h(links.firstEntity, kSoftPointer);
        io.h(links.lastEntity, kSoftPointer);
    } else if constexpr (Io::kReading) {
        links.firstEntity = links.lastEntity = Handle();
    }
    io.h(links.endBlockEntity, kHardOwner);
    if (io.isR2000()) {
        handleList(io, inserts, insertCount, kSoftPointer);
        io.h(r.layout, kHardPointer);
    }
}

} // namespace tracemill
