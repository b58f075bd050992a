// SPLINE entities (and spline leaders) as chords: a spline of control points, with or without
// weights and knots, evaluated span by span with de Boor's algorithm; a spline of fit points
// alone first made into the cubic B-spline through them (centripetal parameters, parabolic end
// conditions). Each curve is one run of the display context's segment counter, so that the
// linetype's pattern runs along the whole curve; with a chord list the chords are collected
// instead of drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct SplineBody;

// Error numbers (each with the error callback 2): the spline's working arrays; the work
// arrays of the fit-point interpolation.
inline constexpr int kErrorSplineNoMemory = 29;
inline constexpr int kErrorFitInterpolationNoMemory = 274;

// Chords per knot span when the caller asks for fewer than one.
inline constexpr int kDefaultSegmentsPerSpan = 10;

// Where the chords of a curve go: to the linetype drawer (the drawing's display context, the
// per-viewport matrices and the linetype, null for continuous) with the curve's run number,
// or, with `chords`, appended to it as two points each (start, end) and not drawn.
struct SplineChordOutput {
    Drawing* drawing = nullptr;
    const Matrix4* matrices = nullptr;
    const LinetypeRecord* linetype = nullptr;
    std::vector<Point2>* chords = nullptr;
    uint32_t run = 0;
};

// Draws the spline (or collects its chords in `chords`). A spline with fit points and neither
// knots nor control points is interpolated through its fit points (`fitPoints`, when given,
// in place of the record's), points equal to the one before them dropped, and drawn as a
// cubic; any other spline is drawn from its control points and knots (a clamped uniform knot
// vector when it has none), rational when flag 4 is set. Segments per span below 1 mean 10.
// Data that make no B-spline (a knot count other than control points + degree + 1, no more
// control points than the degree, decreasing knots, weights that are not all positive, a
// degree below 1) draw the control polygon instead. 1; 0 with error 29 or 274 when memory
// runs out (nothing drawn).
int genDrawSpline(Drawing* drawing, const SplineBody& spline, const Matrix4* matrices, const LinetypeRecord* linetype,
                  const std::vector<Point3>* fitPoints, int segmentsPerSpan, std::vector<Point2>* chords);

// The chord generators over a control layout: layout[i + 1] is control point i, layout[0] a
// point before the first (its copy) and the last two entries copies of the last, so that each
// knot span k (from degree - 1 to spanCount + degree - 2, spans of zero length skipped) reads
// layout[k - degree + 1 .. k + 1] and knots[k - degree + 1 .. k + degree]; spans that would
// read beyond the arrays are not drawn. Each span gives `segments` chords. 1.
int genTessellateBSpline(int degree, int spanCount, const std::vector<Point3>& layout, const std::vector<double>& knots,
                         int segments, SplineChordOutput& out);
int genTessellateRationalBSpline(int degree, int spanCount, const std::vector<Point3>& layout,
                                 const std::vector<double>& weights, const std::vector<double>& knots, int segments,
                                 SplineChordOutput& out);

// The degree-1 case: a chord from each of the first spanCount points to the next.
void genDrawControlPolygon(const std::vector<Point3>& points, int spanCount, SplineChordOutput& out);

// The curve point at t on knot span k (layout and knots as above; `scratch` holds degree + 1
// points, and `scratchWeights` as many weights).
Point3 genDeBoor(int degree, const Point3* layout, const double* knots, double t, int span, Point3* scratch);
Point3 genDeBoorRational(int degree, const Point3* layout, const double* weights, const double* knots, double t,
                         int span, Point3* scratch, double* scratchWeights);

// The cubic B-spline through the fit points F0..Fn (n >= 1): the centripetal parameters u0..un
// and the n + 3 control points P0 = F0, P1, ..., Pn+1, Pn+2 = Fn of the clamped curve with
// knots u0 (four times), u1, ..., un-1, un (four times). 1; 0 with error 274 when memory runs
// out; -1 when the parameters do not grow (points too close, or too far apart, for the
// numbers to tell them apart), with nothing in the outputs. The curve's end directions are
// the stored start and end tangents where they are given (not zero): the second and the
// next-to-last control points lie on them, a third of the end chord from the end; an end
// without a tangent takes the parabola through its three fit points.
int genInterpolateFitPoints(const std::vector<Point3>& fit, std::vector<double>& parameters,
                            std::vector<Point3>& controls, const Point3& startTangent = {},
                            const Point3& endTangent = {});

} // namespace tracemill
