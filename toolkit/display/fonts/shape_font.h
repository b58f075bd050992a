// A loaded font as text drawing uses it: a shape font, a unifont, a big font or a TrueType
// face found by the host. The two built-in fonts are ShapeFonts over the initialisation data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "toolkit/core/true_type_lookup.h"

namespace tracemill {

// Kind bits of a font.
inline constexpr uint8_t kFontKindShapes127Or248 = 0x01;  // index of exactly two shapes, numbered
                                                          // 127 or 248 (replaces all other bits)
inline constexpr uint8_t kFontKindShapes10 = 0x02;        // shape font 1.0
inline constexpr uint8_t kFontKindShapes11 = 0x04;        // shape font 1.1; the built-in fonts
inline constexpr uint8_t kFontKindBigFont = 0x08;
inline constexpr uint8_t kFontKindUnifont = 0x10;
inline constexpr uint8_t kFontKindTrueType = 0x20;
inline constexpr uint8_t kFontKindBuiltinGdt = 0x40;
inline constexpr uint8_t kFontKindSimplex6 = 0x80;

// One shape of a shape font or unifont: its number and the file offset of its bytes.
struct ShapeIndexEntry {
    uint16_t number = 0;
    uint32_t offset = 0;
    friend bool operator==(const ShapeIndexEntry&, const ShapeIndexEntry&) = default;
};

// A lead-byte range of a big font.
struct BigFontRange {
    uint16_t first = 0;
    uint16_t last = 0;
};

// One index slot of a big font: a double-byte code and the offset of its shape from
// dataStart (24 bits).
struct BigFontSlot {
    uint16_t code = 0;
    uint32_t offset = 0;
};

// Page size in which shape fonts and unifonts are held.
inline constexpr uint32_t kShapeFontPageSize = 8192;

// One page of a shape font's file: bytes the font owns, or bytes held elsewhere (the
// built-in fonts point into the system context's copy of the initialisation data).
struct ShapeFontPage {
    int32_t fileOffset = 0;
    std::vector<uint8_t> storage;
    std::span<const uint8_t> external;

    std::span<const uint8_t> bytes() const {
        return storage.empty() ? external : std::span<const uint8_t>(storage);
    }
};

struct ShapeFont {
    std::string path;           // resolved path, upper-cased
    std::string request;        // the requested name after normalisation
    TrueTypeLookup trueType;    // TrueType fonts: the host's answer
    uint8_t kind = 0;           // kFontKind... bits
    int16_t above = 0;          // height above the baseline in shape units
    int16_t below = 0;          // depth below the baseline
    uint16_t firstShape = 0;
    uint16_t lastShape = 0;
    int16_t shapeCount = 0;     // index entries in the file
    int16_t modes = 0;          // modes byte of the font-information shape
    uint8_t bigHeight = 0;      // big fonts: cell height
    uint8_t bigWidth = 0;       // big fonts: cell width
    uint16_t bigIndexSize = 0;  // big fonts: index slots
    std::vector<BigFontRange> ranges;
    int32_t dataStart = 0;      // big fonts: file offset of the first byte after the index
    std::vector<BigFontSlot> bigIndex;
    std::vector<ShapeIndexEntry> index;  // shape fonts and unifonts, in file order
    uint16_t cursorPage = 0;    // read cursor of the shape bytes
    uint16_t cursorOffset = 0;
    uint32_t cursorStream = 0;  // big fonts: read cursor in the big-font stream
    std::vector<ShapeFontPage> pages;
    // The big-font stream and its reader come with the shape-font file reader.
};

} // namespace tracemill
