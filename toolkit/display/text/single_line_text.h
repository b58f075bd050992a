// Single-line text in the display: TEXT, ATTRIB, ATTDEF and the text of proxy graphics, drawn
// from their geometry and text style through the glyph output (genDrawShapeText) with the
// per-viewport glyph matrices; a simplified rectangle or baseline under QTEXTMODE and below
// the minimum height.
#pragma once

#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct StyleRecord;
struct TextFields;

// An oblique angle above this (about 85 degrees) draws nothing.
inline constexpr double kMaxTextOblique = 1.4835;
// A font file of this extension draws at this part of the height.
inline constexpr double kPfbHeightFactor = 0.5;

// Draws the text (its insertion point, height, rotation, width factor, oblique angle and
// generation flags; the alignment point of "fit" text) in the style, through `transform` (the
// list's coordinates to the world); the current entity's extrusion (display context) places
// it in its plane. A text lower than `minimumHeight` draws as its baseline. 1; 0 when the
// glyph matrices cannot be made (error 258, error callback 2).
int genDrawText(Drawing* drawing, const TextFields& text, const StyleRecord& style, const Matrix4& transform,
                double minimumHeight);

// The number of characters of a text as the simplified drawing counts them: "\U+XXXX",
// "\M+nXXXX" and the double-byte characters of the code page count once.
int genTextCharacterCount(const char* text, int codePage);

} // namespace tracemill
