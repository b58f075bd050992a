// The three shape-file formats the toolkit reads, as far as it uses them. All numbers are
// little-endian; every format starts with a text line:
//
//   header       24 bytes, then one byte at a time while the last byte read is not 0x1A, up
//                to 41 bytes in all; its text (up to its first NUL) names the kind, tested in
//                this order: "bigfont" (big font), "unifont 1.0" (unifont), "1.0" (shape font
//                1.0), "1.1" (shape font 1.1); none of them: not a font
//
//   shape font   u16 firstShape, u16 lastShape, u16 count n, n x {u16 number, u16 length},
//                then the shapes' bytes in index order (each shape's offset is the end of the
//                index plus the lengths of the shapes before it)
//   unifont      u16 count n, then n x {u16 number, u16 length, length bytes}
//   big font     u16 (unused), u16 index size m, u16 range count r, r x {u16 first lead
//                byte, u16 last lead byte}, m x {u16 code, u16 length, u32 file offset}
//                (code 0 with offset 0: an empty slot), then the shape data
//
// Each shape's bytes start with its NUL-terminated name. Shape 0 (for a big font the slot of
// code 0 with a non-zero offset) is the font information: name, NUL, then above, below and
// modes (big fonts: height, b1, b2, b3).
//
// The readers work on the whole file in memory, so every count and offset is checked against
// the file's size: an index that does not fit into the file is damage, and a shape whose
// bytes run past the end reads as ending there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "toolkit/core/fonts/shape_font.h"

namespace tracemill {

// Error numbers (each with the error callback 2).
inline constexpr int kErrorShapeIndexNoMemory = 267;    // the index of a shape font or unifont
inline constexpr int kErrorShapePairsNoMemory = 268;    // the index pairs read from the file
inline constexpr int kErrorBigFontIndexNoMemory = 270;  // the index of a big font

// Results of the readers besides 1 (read) and 0 (no memory).
inline constexpr int kShapeFileDamaged = -1;   // a count or the index runs past the file's end
inline constexpr int kShapeFileNotAFont = -2;  // the header names no kind the caller accepts

// Length of the fixed part of the header, and the most the header may take.
inline constexpr size_t kShapeFileHeaderStart = 24;
inline constexpr size_t kShapeFileHeaderMax = 41;

// A shape file in memory and the read position.
struct ShapeFileInput {
    std::span<const uint8_t> file;
    size_t position = 0;
};

// Reads a font from the file's bytes held in font.storage: the header (its kind must meet
// acceptMask), the counts and index, and the font information (shape fonts and unifonts:
// above, below, modes; big fonts: bigHeight, 0 taken as 8, bigWidth and modes). A big font
// keeps only its data in storage. 1, 0 (no memory), kShapeFileNotAFont or kShapeFileDamaged.
int genLoadShapeFile(ShapeFont& font, uint16_t acceptMask);

// Reads the header text and sets the font's kind bits: 1 when the kind is recognised, 0 when
// the text names no kind (or the file is shorter than 24 bytes).
int genReadShapeFileHeader(ShapeFileInput& input, ShapeFont& font);

// Shape fonts: firstShape, lastShape and the count; unifonts: the count alone. 1, or
// kShapeFileDamaged when the file ends first.
int genReadShapeCounts(ShapeFileInput& input, ShapeFont& font);

// The index of a shape font or unifont (after genReadShapeCounts), in file order, with its
// sorted copy. infoOffset gets the file offset of shape 0 (for a unifont: of the first entry
// when it is shape 0), -1 when there is none. A shape font whose index holds exactly two
// entries numbered 127 or 248 gets the kind 1. A unifont keeps the entries whose heads lie
// inside the file. 1, 0 (no memory: 267 or 268) or kShapeFileDamaged (the index of a shape
// font does not fit into the file).
int genReadShapeIndex(ShapeFont& font, ShapeFileInput& input, int32_t& infoOffset);

// Big fonts: the unused word, the index size and every lead-byte range. 1, 0 (no memory) or
// kShapeFileDamaged.
int genReadBigFontHeader(ShapeFileInput& input, ShapeFont& font);

// Big fonts (after genReadBigFontHeader): dataStart and the slots, each offset made relative
// to dataStart (an offset outside the data becomes kBigFontSlotOutside, which reads as an
// empty shape). infoOffset gets the file offset of the font-information slot, -1 when there
// is none. 1, 0 (no memory: 270) or kShapeFileDamaged (the index does not fit into the file).
int genReadBigFontIndex(ShapeFont& font, ShapeFileInput& input, int32_t& infoOffset);

inline constexpr uint32_t kBigFontSlotOutside = 0xFFFFFFFF;

} // namespace tracemill
