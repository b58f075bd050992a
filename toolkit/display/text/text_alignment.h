// Where a justified single-line text starts: its insertion point moved so that the measured
// string lies justified about the alignment point, or, for "aligned" and "fit" texts, its
// height or width factor rescaled so that the string spans from the insertion point to the
// alignment point.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/point.h"

namespace tracemill {

struct Drawing;
struct StyleRecord;
struct TextParameters;

// For horizontal alignment 3 (aligned) and 5 (fit) the height (3) or the width factor (5) is
// multiplied by the distance of the two points over the measured width; for the others the
// insertion point becomes the alignment point moved back so that the measured ink box is
// centred on it or ends at it (centre, right, middle) and by its descent, half height or height (bottom, middle, top; "middle"
// centres on the measured box), turned about the alignment point by the rotation. A text of
// alignment 0 and 0 is left as it is, and so is everything else when the string measures
// nothing. 1; 0 when a font cannot be found (error 296 or 297, nothing changed).
int genTextAlignPoint(Drawing* drawing, const char* text, Point2& insertion, TextParameters& params,
                      std::string_view fontFile, std::string_view bigFontFile);

// The same with the fonts the style draws with (its TrueType data, and the built-in font in
// place of a missing one): the string is measured as it will be drawn.
int genTextAlignPoint(Drawing* drawing, const char* text, Point2& insertion, TextParameters& params,
                      const StyleRecord& style);

// The distance of two points.
double genPointDistance(const Point2& a, const Point2& b);

// Turns the point counter-clockwise about the centre by the angle (radians).
void genRotatePointAbout(Point2& point, const Point2& centre, double angle);

} // namespace tracemill
