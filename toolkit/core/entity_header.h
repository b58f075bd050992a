// The header every entity carries in front of its type body.
#pragma once

#include <cstdint>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/point.h"

namespace tracemill {

// Colours: 0 BYBLOCK, 1..255 an index, 256 BYLAYER.
inline constexpr int16_t kColourByBlock = 0;
inline constexpr int16_t kColourByLayer = 256;

// Lineweights in hundredths of a millimetre, or one of these codes.
inline constexpr int16_t kLineweightByLayer = -1;
inline constexpr int16_t kLineweightByBlock = -2;
inline constexpr int16_t kLineweightDefault = -3;

// Bits of the entity flags.
inline constexpr uint8_t kEntityInPaperSpace = 0x01;
inline constexpr uint8_t kEntityHasExtrusion = 0x02;  // the extrusion is not (0, 0, 1)
inline constexpr uint8_t kEntityInvisible = 0x04;
inline constexpr uint8_t kEntityAltCurveResolution = 0x10;
inline constexpr uint8_t kEntityPlotStyleByBlock = 0x20;
inline constexpr uint8_t kEntityPlotStyleByLayer = 0x40;

// The small fields come first, together, so that the header has no padding: a large drawing
// holds a million of them.
struct EntityHeader {
    uint16_t type = 0;  // an EntityType, or a class number
    int16_t colour = kColourByLayer;
    int16_t lineweight = kLineweightByLayer;
    uint8_t flags = 0;
    uint32_t xdataSize = 0;  // bytes of extended data as the reader collected them
    Handle handle;
    Handle layer;
    Handle linetype;
    Handle extensionDictionary;
    Handle plotStyle;
    double thickness = 0.0;
    Point3 extrusion{0.0, 0.0, 1.0};
    double linetypeScale = 1.0;
    OwnedStream xdata;       // XDataItems
    HandleList reactors;
    friend bool operator==(const EntityHeader&, const EntityHeader&) = default;
};

} // namespace tracemill
