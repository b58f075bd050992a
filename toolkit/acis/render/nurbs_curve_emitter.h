// NURBSCurveEmitter: draws a rational B-spline curve through a GlOutput as one strip of points
// evaluated at even parameter steps; the number of steps follows the output's segmentsPerSpan.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/acis/geometry/nurbs_curve.h"

namespace tracemill {

class GlOutput;

// The most segments one curve is drawn with, whatever the settings ask for.
inline constexpr int64_t kMostEmitterSegments = 1 << 20;

// The segments of a curve of `controlPoints` points of `order` drawn with `segmentsPerSpan`
// (b = controlPoints - 1): segmentsPerSpan b / 2 for order 3 and segmentsPerSpan > 0,
// segmentsPerSpan b for a higher order and segmentsPerSpan > 0, else b times the order; never
// negative, at most kMostEmitterSegments.
int64_t emitterSegmentCount(int order, int controlPoints, int32_t segmentsPerSpan);

// The curve of `order` over `knots` (knots.size() - order control points, taken from the front
// of `controlPoints`) as begin(3), S + 1 vertices at S even steps from the first knot to the
// last, the last exactly at the last knot, and end(); S from emitterSegmentCount with the
// output's segmentsPerSpan. Each vertex is the rational combination of the control points
// (divided by their weights in single precision). Nothing is drawn without knots, without a
// control point, with fewer control points than the knots call for, or when memory for the
// work arrays runs out.
void NURBSCurveEmitter(GlOutput& output, std::span<const float> knots, std::span<const HomogeneousPoint> controlPoints,
                       int order);

} // namespace tracemill
