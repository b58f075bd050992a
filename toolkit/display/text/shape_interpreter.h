// The interpreter of shape definitions: the bytes of one character of a shape font, unifont
// or big font (vector bytes in 16 directions and the codes 0 to 14: pen up and down, scale
// factors, a position stack, subshapes, displacements, octant arcs, fractional arcs and
// bulge arcs) become calls of the system context's shape line and shape arc outputs; a
// TrueType character goes to its glyph routine. It never draws by itself, and it can grow an
// extents box (a measurement).
//
// Units are shape units; the caller's outputs and the extents matrix take them further.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/display/text/text_extents.h"

namespace tracemill {

struct Drawing;
struct Matrix4;
struct ShapeFont;
struct ShapeTextState;

// Subshapes nested deeper than this (a shape that calls itself, directly or through others)
// end the shape that calls them.
inline constexpr int kMaxSubshapeDepth = 16;

// Runs the shape of character `code`, whose bytes the font's cursor stands on (genFindShape
// put it there; a TrueType font has no bytes and gets the glyph routine):
// - the shape starts at state.pen and leaves its end there;
// - every move with the pen down goes into `extents` (through `matrix`, null: identity) and,
//   while the shape pen state is on (state.drawFlag with the pen down), to the system
//   context's shape line output; every arc goes to its shape arc output, pen up or down;
// - with decoration flags, over- and underlines are drawn along the advance at 1.2 and -0.2
//   times state.above (vertical text: beside the advance, 0.13 times state.above left of it);
// - the system context's extentsTakeAdvance switch puts the advance itself into the extents.
// Reading stops at the end code, at the end of the font's bytes, and where an operand would
// lie beyond them.
void ShapeInterpreter(Drawing* drawing, uint16_t code, ShapeFont& font, ShapeTextState& state,
                      uint8_t decorationFlags, TextExtents* extents, const Matrix4* matrix);

// The measuring arc output: chords of the arc (64 to the full turn, the count rounded down;
// none for a shorter arc) go into the extents when there are extents. The pen is not looked
// at.
void genExtentsArc(Drawing* drawing, const Point3& centre, double start, double end, double radius, void* hostWord,
                   uint8_t penState, uint8_t penDown, TextExtents* extents, const Matrix4* matrix);

// Empties the system context's shape position stack: what a text does before its first
// character.
void genResetShapePositionStack();

} // namespace tracemill
