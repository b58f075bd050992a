// A loaded font as text drawing uses it: a shape font, a unifont, a big font or a TrueType
// face found by the host. The two built-in fonts are ShapeFonts over the initialisation data.
//
// What a text drawer needs of a font:
// - `kind` says what it is (kFontKind... bits); a TrueType font (kFontKindTrueType) has no
//   shapes: its face is `trueType`, as the host's font finder answered, and its glyphs come
//   from the host's glyph outline hook;
// - `above` is the height of capitals in shape units (1000 for TrueType), so a text height
//   divided by it is the drawing scale of the font; a big font's scale is height / bigHeight;
// - the shape of a character is found with genFindShape (shape_access.h), which leaves the
//   font's cursor on the shape's bytes; genNextShapeByte reads them one at a time.
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

// A lead-byte range of a big font: double-byte codes whose high byte lies in first..last.
struct BigFontRange {
    uint16_t first = 0;
    uint16_t last = 0;
    friend bool operator==(const BigFontRange&, const BigFontRange&) = default;
};

// One index slot of a big font: a double-byte code and the offset of its shape from
// dataStart. Code 0 with offset 0 is an empty slot.
struct BigFontSlot {
    uint16_t code = 0;
    uint32_t offset = 0;
    friend bool operator==(const BigFontSlot&, const BigFontSlot&) = default;
};

// Where the next shape byte is read: an offset into the font's shape bytes.
struct ShapeCursor {
    uint32_t offset = 0;
    friend bool operator==(const ShapeCursor&, const ShapeCursor&) = default;
};

struct ShapeFont {
    std::string path;           // resolved path, upper-cased (TrueType: what the lookup found)
    std::string request;        // the requested name after normalisation
    TrueTypeLookup trueType;    // TrueType fonts: the host's answer
    int32_t requestedParams = 0;  // TrueType fonts: the parameters asked for (the host may
                                  // answer with others, e.g. bold for a face only bold exists of)
    uint8_t kind = 0;           // kFontKind... bits
    int16_t above = 0;          // height above the baseline in shape units
    int16_t below = 0;          // depth below the baseline
    uint16_t firstShape = 0;    // shape fonts: lowest and highest shape number
    uint16_t lastShape = 0;
    uint16_t shapeCount = 0;    // index entries the file announces
    int16_t modes = 0;          // modes byte of the font-information shape
    uint8_t bigHeight = 0;      // big fonts: cell height (0 in the file is taken as 8)
    uint8_t bigWidth = 0;       // big fonts: cell width
    uint16_t bigIndexSize = 0;  // big fonts: index slots
    std::vector<BigFontRange> ranges;  // big fonts: every lead-byte range of the file
    uint32_t dataStart = 0;     // big fonts: file offset of the first byte after the index
    std::vector<BigFontSlot> bigIndex;
    std::vector<ShapeIndexEntry> index;        // shape fonts and unifonts, in file order
    std::vector<ShapeIndexEntry> sortedIndex;  // the same by shape number: what lookups search
    ShapeCursor cursor;

    // The shape bytes: for shape fonts and unifonts the whole file (index offsets are file
    // offsets), for big fonts the file from dataStart on (slot offsets count from there).
    // A font read from a file owns them; the built-in fonts point into the system context's
    // copy of the initialisation data.
    std::vector<uint8_t> storage;
    std::span<const uint8_t> external;

    std::span<const uint8_t> shapeBytes() const {
        return external.empty() ? std::span<const uint8_t>(storage) : external;
    }
};

} // namespace tracemill
