// The layout of a Windows metafile: an optional 22-byte placeable header (key, handle, bounding
// box, units per inch, reserved, checksum), the 18-byte metafile header, then records of
// 16-bit words: size in words (u32), function (u16), parameters. Shared by the player and the
// writer of the tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tracemill::ole {

inline constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr size_t kPlaceableHeaderSize = 22;
inline constexpr size_t kPlaceableBounds = 6;  // left, top, right, bottom (i16 each)

inline constexpr size_t kMetaHeaderSize = 18;
inline constexpr size_t kMetaHeaderWords = 9;     // the header's own size field
inline constexpr size_t kMetaHeaderObjects = 10;  // u16: entries of the object table
inline constexpr size_t kRecordHeaderSize = 6;    // size (u32 words) and function (u16)

// Record functions.
inline constexpr uint16_t kMetaEof = 0x0000;
inline constexpr uint16_t kMetaSetPolyFillMode = 0x0106;
inline constexpr uint16_t kMetaSetWindowOrg = 0x020B;
inline constexpr uint16_t kMetaSetWindowExt = 0x020C;
inline constexpr uint16_t kMetaLineTo = 0x0213;
inline constexpr uint16_t kMetaMoveTo = 0x0214;
inline constexpr uint16_t kMetaSelectObject = 0x012D;
inline constexpr uint16_t kMetaDeleteObject = 0x01F0;
inline constexpr uint16_t kMetaCreatePenIndirect = 0x02FA;
inline constexpr uint16_t kMetaCreateBrushIndirect = 0x02FC;
inline constexpr uint16_t kMetaPolygon = 0x0324;
inline constexpr uint16_t kMetaPolyline = 0x0325;
inline constexpr uint16_t kMetaPolyPolygon = 0x0538;
inline constexpr uint16_t kMetaRectangle = 0x041B;
inline constexpr uint16_t kMetaEllipse = 0x0418;
inline constexpr uint16_t kMetaDibBitBlt = 0x0940;
inline constexpr uint16_t kMetaDibStretchBlt = 0x0B41;
inline constexpr uint16_t kMetaStretchDib = 0x0F43;
// Records that make objects the player does not draw with; each still takes its table entry.
inline constexpr uint16_t kMetaCreatePalette = 0x00F7;
inline constexpr uint16_t kMetaCreatePatternBrush = 0x01F9;
inline constexpr uint16_t kMetaDibCreatePatternBrush = 0x0142;
inline constexpr uint16_t kMetaCreateFontIndirect = 0x02FB;
inline constexpr uint16_t kMetaCreateRegion = 0x06FF;

// Pen and brush styles.
inline constexpr uint16_t kMetaPenNull = 5;
inline constexpr uint16_t kMetaBrushNull = 1;

// Raster operations of the bitmap records.
inline constexpr uint32_t kMetaSrcCopy = 0x00CC0020;
inline constexpr uint32_t kMetaSrcAnd = 0x008800C6;
inline constexpr uint32_t kMetaSrcPaint = 0x00EE0086;
inline constexpr uint32_t kMetaSrcInvert = 0x00660046;
inline constexpr uint32_t kMetaNotSrcCopy = 0x00330008;

} // namespace tracemill::ole
