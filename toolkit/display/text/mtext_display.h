// MTEXT in the display: the layout (mtext_layout.h) measured, then drawn with the shape
// interpreter through the per-viewport glyph matrices of each character.
#pragma once

#include <cstdint>

#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct MtextBody;

// Draws the MTEXT through `transform` (the list's coordinates to the world) in the colour given
// (BYLAYER and BYBLOCK colour codes of the text take the two others). With `interpretCodes` 0
// the text's format codes are not read (only line feeds and tabs). The measuring pass writes
// the block's width and height into the body's extents. A `frameMargin` of 0 or more draws a
// frame that far around the block (the framed annotation of a leader). 1; 0 when the glyph
// matrices cannot be made (error 260, error callback 2).
int genDrawMText(Drawing* drawing, MtextBody& body, const Matrix4& transform, int16_t colour, int16_t byLayerColour,
                 int16_t byBlockColour, uint8_t interpretCodes, double frameMargin = -1.0);

// The measuring pass alone: the block's width and height into the body's extents (0 for a
// blank text).
void genMeasureMText(Drawing* drawing, MtextBody& body, const Matrix4& transform);

} // namespace tracemill
