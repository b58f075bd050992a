// The data every entity of an R13 to 2000 DWG file carries: the common fields after the
// object prologue and the common handle references after the type's fields, one layout for the
// reader and the writer (dwg13_field_io.h).
#pragma once

#include <cstdint>

#include "toolkit/core/entity_header.h"
#include "toolkit/core/handle.h"
#include "toolkit/read/dwg13_common_layout.h"
#include "toolkit/read/dwg_lineweight.h"

namespace tracemill {

// Entity modes: where the entity belongs.
inline constexpr uint8_t kDwgEntityInBlock = 0; // the owner follows among the handles
inline constexpr uint8_t kDwgEntityInPaperSpace = 1;
inline constexpr uint8_t kDwgEntityInModelSpace = 2;

// 2000 linetype and plot-style flags.
inline constexpr uint8_t kDwgByLayer = 0;
inline constexpr uint8_t kDwgByBlock = 1;
inline constexpr uint8_t kDwgContinuous = 2; // the linetype CONTINUOUS, the default plot style
inline constexpr uint8_t kDwgByHandle = 3;

// What the common data says about the handles that follow, and the handles that are not kept
// in the header: the owner and the chain links.
struct Dwg13EntityCommon {
    uint8_t mode = kDwgEntityInBlock;
    uint32_t reactorCount = 0;
    uint8_t linetypeByLayer = 0; // R13/R14
    uint8_t noLinks = 0;         // previous and next are own - 1 and own + 1
    uint8_t linetypeFlags = kDwgByLayer;
    uint8_t plotStyleFlags = kDwgByLayer;
    Handle owner;
    Handle previous;
    Handle next;
    // The drawing's linetypes that the flags name.
    Handle byLayerLinetype;
    Handle byBlockLinetype;
    Handle continuousLinetype;
    // Set when the data ended before the layer handle (the layer is then null).
    bool dataEnded = false;
};

// The common fields, after the prologue.
template <class Io> void dwg13EntityCommonData(Io& io, EntityHeader& h, Dwg13EntityCommon& c) {
    io.bb(c.mode);
    if constexpr (!Io::kReading) c.reactorCount = uint32_t(h.reactors.size());
    io.bl(c.reactorCount);
    if (!io.isR2000()) io.b(c.linetypeByLayer);
    io.b(c.noLinks);
    io.bs(h.colour);
    io.bd(h.linetypeScale);
    if (io.isR2000()) {
        io.bb(c.linetypeFlags);
        io.bb(c.plotStyleFlags);
    }
    int16_t invisible = (h.flags & kEntityInvisible) ? 1 : 0;
    io.bs(invisible);
    if constexpr (Io::kReading) {
        if (invisible & 1) h.flags |= kEntityInvisible;
    }
    if (io.isR2000()) {
        uint8_t index = uint8_t(rdLineweightToIndex(h.lineweight));
        io.rc(index);
        if constexpr (Io::kReading) h.lineweight = rdLineweightFromIndex(index);
    }
}

namespace dwg13 {

// The previous and next entity of the chain, unless the entity says they are its neighbours
// by handle.
template <class Io> void chainLinks(Io& io, Dwg13EntityCommon& c) {
    if (c.noLinks) {
        if constexpr (Io::kReading) {
            c.previous = Handle(io.ownHandle().value - 1);
            c.next = Handle(io.ownHandle().value + 1);
        }
        return;
    }
    io.rel(c.previous, kSoftPointer);
    io.rel(c.next, kSoftPointer);
}

} // namespace dwg13

// The common handle references, after the type's fields (the caller has marked the handle
// stream).
template <class Io> void dwg13EntityCommonHandles(Io& io, EntityHeader& h, Dwg13EntityCommon& c) {
    using namespace dwg13;
    if (c.mode == kDwgEntityInBlock) io.rel(c.owner, kHardOwner);
    handleList(io, h.reactors, c.reactorCount, kSoftPointer);
    io.h(h.extensionDictionary, kHardOwner);
    if (!io.isR2000()) {
        io.h(h.layer, kHardPointer);
        if (c.linetypeByLayer) {
            if constexpr (Io::kReading) h.linetype = c.byLayerLinetype;
        } else {
            io.h(h.linetype, kHardPointer);
        }
        chainLinks(io, c);
        return;
    }
    chainLinks(io, c);
    // A record cut short of its layer keeps a null layer; a linetype or plot style it would
    // have named by handle is then taken as BYLAYER.
    if constexpr (Io::kReading) c.dataEnded = io.handleBitsLeft() < 8;
    if (c.dataEnded) {
        h.layer = Handle();
    } else {
        io.h(h.layer, kHardPointer);
    }
    switch (c.linetypeFlags) {
    case kDwgByBlock:
        if constexpr (Io::kReading) h.linetype = c.byBlockLinetype;
        break;
    case kDwgContinuous:
        if constexpr (Io::kReading) h.linetype = c.continuousLinetype;
        break;
    case kDwgByHandle:
        if (!c.dataEnded) {
            io.h(h.linetype, kHardPointer);
            break;
        }
        [[fallthrough]];
    default:
        if constexpr (Io::kReading) h.linetype = c.byLayerLinetype;
        break;
    }
    switch (c.plotStyleFlags) {
    case kDwgByBlock:
        break;
    case kDwgContinuous:
        if constexpr (Io::kReading) h.flags |= kEntityPlotStyleByBlock;
        break;
    case kDwgByHandle:
        if (!c.dataEnded) {
            io.h(h.plotStyle, kHardPointer);
            break;
        }
        [[fallthrough]];
    default:
        if constexpr (Io::kReading) h.flags |= kEntityPlotStyleByLayer;
        break;
    }
}

} // namespace tracemill
