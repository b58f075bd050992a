// The NURBS approximations in subtype data: a curve (2D or 3D) or a surface, as a word that
// says whether there is one and whether it is rational, the degrees, the knots as pairs of a
// value and a multiplicity (the first and last knot one more than written) and the control
// points, each x, y (z) and for rational data a weight.
//
// Counts are held against the text: data that claims more knots or control points than the
// rest of the text can hold, or fewer control points than the order, is the syntax error
// "Bad NURBS data", so that no count sizes an allocation beyond what the text could fill.
#pragma once

#include <memory>

namespace tracemill {

class c_NURBSCurve;
class c_NURBSSurface;
class satParser;

// "nullbs" gives none, "nurbs" rational data, any other word non-rational data; then the
// degree, a closure word, the number of distinct knots, the knots and the control points.
std::unique_ptr<c_NURBSCurve> satReadNurbsCurve(satParser& parser, int dimension);

// "nullbs" gives none, "nubs" non-rational data, any other word rational data; then the u and
// v degrees, for rational data a word, four closure and singularity words, the numbers of
// distinct u and v knots, the u knots, the v knots and the control points, u running fastest.
std::unique_ptr<c_NURBSSurface> satReadNurbsSurface(satParser& parser);

} // namespace tracemill
