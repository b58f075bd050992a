// The binary encoding of a Computer Graphics Metafile as the CGM device writes it: command
// headers (class, element id, parameter length, with the long form for 31 bytes and more),
// 16-bit integers high byte first, short strings and direct colours. The device writes with
// these definitions and the tests read its files back with them.
#pragma once

#include <cstdint>

namespace tracemill::render::cgm {

// Element class and id of a command header.
struct ElementId {
    uint8_t elementClass;
    uint8_t id;
};

inline constexpr ElementId kBeginMetafile{0, 1};
inline constexpr ElementId kEndMetafile{0, 2};
inline constexpr ElementId kBeginPicture{0, 3};
inline constexpr ElementId kBeginPictureBody{0, 4};
inline constexpr ElementId kEndPicture{0, 5};
inline constexpr ElementId kMetafileVersion{1, 1};
inline constexpr ElementId kMetafileDescription{1, 2};
inline constexpr ElementId kMetafileElementList{1, 11};
inline constexpr ElementId kColourSelectionMode{2, 2};
inline constexpr ElementId kLineWidthSpecificationMode{2, 3};
inline constexpr ElementId kEdgeWidthSpecificationMode{2, 5};
inline constexpr ElementId kVdcExtent{2, 6};
inline constexpr ElementId kPolyline{4, 1};
inline constexpr ElementId kPolygon{4, 7};
inline constexpr ElementId kLineType{5, 2};
inline constexpr ElementId kLineWidth{5, 3};
inline constexpr ElementId kLineColour{5, 4};
inline constexpr ElementId kInteriorStyle{5, 22};
inline constexpr ElementId kFillColour{5, 23};
inline constexpr ElementId kEdgeType{5, 27};
inline constexpr ElementId kEdgeWidth{5, 28};
inline constexpr ElementId kEdgeColour{5, 29};
inline constexpr ElementId kEdgeVisibility{5, 30};

// A parameter length of this value in the header marks the long form: the length follows
// in a word of its own.
inline constexpr uint16_t kLongFormLength = 31;
// In the long form's length word: more partitions of the element follow.
inline constexpr uint16_t kPartitionFlag = 0x8000;
// The most bytes one partition holds (15 bits).
inline constexpr uint16_t kMaxPartitionLength = 0x7FFF;
// A point of integer VDC: x and y, 16 bits each.
inline constexpr uint16_t kPointSize = 4;
// The most points one partition holds.
inline constexpr uint32_t kMaxPointsPerPartition = kMaxPartitionLength / kPointSize;
// The longest string of the short form (its count byte).
inline constexpr uint8_t kMaxShortString = 254;

constexpr uint16_t CommandHeader(ElementId element, uint16_t length) {
    return uint16_t((element.elementClass << 12) | (element.id << 5) | (length & 0x1F));
}
constexpr ElementId ElementOf(uint16_t header) { return {uint8_t(header >> 12), uint8_t((header >> 5) & 0x7F)}; }
constexpr uint16_t ShortLengthOf(uint16_t header) { return header & 0x1F; }
constexpr bool operator==(ElementId a, ElementId b) { return a.elementClass == b.elementClass && a.id == b.id; }

} // namespace tracemill::render::cgm
