// Finding the shape of a character in a loaded font and reading its bytes: what the glyph
// output (the shape interpreter) and the linetype generator use.
//
// genFindShape leaves the cursor of the font it returns on the shape's bytes: the shape's
// NUL-terminated name first, then its drawing codes. genNextShapeByte reads them one at a
// time; the interpreter saves the cursor with genGetShapeCursor before it runs a subshape and
// restores it with genSetShapeCursor afterwards.
#pragma once

#include <cstdint>

#include "toolkit/core/fonts/shape_font.h"

namespace tracemill {

struct Drawing;

// Flags of genFindShape.
inline constexpr uint16_t kFindShapeConvertCode = 0x01;  // a unifont converts the code from the
                                                         // drawing's DWGCODEPAGE to Unicode first
inline constexpr uint16_t kFindShapeAlwaysBigFont = 0x02;  // search the big font even when the
                                                           // code lies in no lead-byte range

// The font whose cursor now stands on the bytes of the character's shape, or null.
// - A TrueType primary font is returned at once (it has no shapes).
// - A big font is searched when the code is in one of its lead-byte ranges (a code below
//   0xDE counts as in range whenever the font has a range) or with kFindShapeAlwaysBigFont:
//   from the slot the code hashes to, on to the last slot and round from slot 0.
// - Otherwise the primary font is searched for the code, then for '?', then for ' '.
ShapeFont* genFindShape(Drawing* drawing, ShapeFont* primary, ShapeFont* bigFont, uint16_t code,
                        uint16_t flags);

// The next byte of the current shape, the cursor advanced; 0 (end of shape) past the end of
// the font's bytes.
uint8_t genNextShapeByte(ShapeFont& font);

ShapeCursor genGetShapeCursor(const ShapeFont& font);
// Restores a cursor taken from the same font; 1.
int genSetShapeCursor(ShapeFont& font, ShapeCursor cursor);

// -1, 0 or 1 as a's shape number is below, equal to or above b's (unsigned).
int genCompareShapeNumbers(const ShapeIndexEntry& a, const ShapeIndexEntry& b);

// Builds the font's sorted copy of its index (by shape number; entries of one number keep
// their file order, so the first in the file is found). 0 when memory is exhausted.
int genSortShapeIndex(ShapeFont& font);

} // namespace tracemill
