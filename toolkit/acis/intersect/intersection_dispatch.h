// The record-level entry points: the kernel that suits a pair of old-style records.
#pragma once

#include "toolkit/acis/intersect/intersection_list.h"

namespace tracemill {

// Two curve records (lines, circles, ellipses, parabolas, hyperbolas). A null record or a pair
// without a kernel (two of ellipse, parabola, hyperbola) gives 1 and leaves the list alone.
int intersectCurveCurve(const OldStyleRecord& a, const OldStyleRecord& b, IntersectionList& list);

// A line or circle record against a plane, cylinder, sphere or cone record; anything else
// gives 1 and leaves the list alone.
int intersectCurveSurface(const OldStyleRecord& curve, const OldStyleRecord& surface, IntersectionList& list);

// Two surface records: two planes give their line, a plane and a sphere, cylinder or cone the
// section curves; anything else gives 1 and leaves the list alone.
int intersectSurfaceSurface(const OldStyleRecord& a, const OldStyleRecord& b, IntersectionList& list);

} // namespace tracemill
