// The pattern of a HATCH: for every pattern line a family of parallel lines, offset from one
// another by the line's offset, is laid over the box of the boundary from its centre outwards;
// each line is cut where it crosses the boundary paths, the spans inside (by the hatch style)
// are kept and cut into the line's dashes, and every dash is drawn as a line.
//
// The dashes run from the family's reference point: the stepped base point of each line is
// where its pattern starts, so that the dashes of neighbouring lines keep their stagger.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/hatch_segments.h"
#include "toolkit/display/hatch/solid_fill.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;

// A family of one pattern line draws at most this many lines on either side of the boundary's
// centre (a spacing far below the boundary's size would otherwise ask for millions), and one
// line at most this many elements of its dashes and gaps.
inline constexpr int32_t kHatchLinesPerSweep = 50000;
inline constexpr int32_t kHatchDashesPerLine = 100000;

// The line a boundary segment lies on: y = slope x + intercept, or vertical (|dx| < 1e-7).
struct HatchLineEquation {
    bool vertical = false;
    double slope = 0.0;
    double intercept = 0.0;
};

// One line of a family: a point on it, its direction (cosine, sine), and, unless vertical, its
// slope and intercept.
struct HatchLine {
    Point2 point;
    double cosine = 1.0;
    double sine = 0.0;
    bool vertical = false;
    double slope = 0.0;
    double intercept = 0.0;
};

// Receives each drawn piece of a pattern (a dot is a piece from a point to itself).
using HatchPieceSink = std::function<void(const Point2& from, const Point2& to)>;

// The equation of each segment of the path, in order; the end points widen `box`.
void genHatchSegmentEquations(const HatchSegments& path, std::vector<HatchLineEquation>& out, FillBox& box);

// Whether a pattern line of that angle (radians) is vertical: (angle - pi/2) / pi lies within
// 1e-6 of a whole number.
bool genIsVerticalAngle(double angle);

// Whether the line meets the box (its bounds included).
bool genHatchLineHitsBox(const HatchLine& line, const FillBox& box);

// Where the line crosses the segment: 1 with the point in `out`, or 0. A crossing within 1e-6
// of the segment's start in both coordinates is not counted, and one within 1e-6 of its end is
// counted even when rounding puts it just beyond: a vertex shared by two segments counts once,
// at the end of the earlier one. A vertical line and a vertical segment never cross.
int genIntersectHatchSegment(const HatchSegment& segment, const HatchLineEquation& equation, const HatchLine& line,
                             Point2& out);

// Draws the spans of one line between its crossings, sorted along the line, each with the
// index of its path. Style 0 takes the pairs (0, 1), (2, 3) ... and leaves out what lies
// inside a text box (a path with flag 0x08); style 1 the intervals inside exactly one path,
// style 2 those inside any. Without dashes a span is one piece; with dashes (lengths: above 0
// a dash, below 0 a gap, 0 a dot; `patternLength` their sum of magnitudes) the pattern runs
// from the line's point along its direction.
void genHatchDrawLineSpans(const HatchLine& line, const std::vector<Point2>& crossings,
                           const std::vector<int32_t>& paths, int16_t style, const std::vector<uint8_t>& pathFlags,
                           const std::vector<double>& dashes, double patternLength, const HatchPieceSink& sink);

// The pieces of the whole pattern over the paths (with their flags' low bytes). A pattern
// line whose lines have no spacing, or whose dashes sum to no length, is passed over.
void genHatchPatternPieces(const std::vector<HatchSegments>& paths, const std::vector<uint8_t>& pathFlags,
                           const std::vector<HatchPatternLine>& lines, int16_t style, const HatchPieceSink& sink);

// The pattern of a HATCH in the display: each piece at z = elevation, drawn in every viewport
// the entity is drawn in, or with the entity's linetype when that has dashes (a run of its
// own per piece). `matrices` are the per-viewport world-to-device matrices.
void genHatchPatternFill(Drawing* drawing, const Matrix4* matrices, const std::vector<HatchSegments>& paths,
                         const std::vector<uint8_t>& pathFlags, const std::vector<HatchPatternLine>& lines,
                         int16_t style, double elevation, const LinetypeRecord* linetype);

} // namespace tracemill
