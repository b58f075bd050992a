// Where two lines meet: the intersection of the lines through two pairs of points, the test
// whether two segments cross, and the corner where two unbounded edges meet. Wide pieces of
// lines and polylines are joined with them.
#pragma once

#include "toolkit/core/point.h"

namespace tracemill {

// The intersection of the lines a1-a2 and b1-b2: the point and its parameters along a (0 at
// a1, 1 at a2) and along b. Lines that are not parallel always meet (1). Parallel lines meet
// only where an end of one coincides with an end of the other (1, with parameters 0 or 1);
// otherwise 0.
int genLineIntersection(const Point2& a1, const Point2& a2, const Point2& b1, const Point2& b2, Point2& point,
                        double& ta, double& tb);

// 1 when the segments a1-a2 and b1-b2 cross (both parameters within [-1e-12, 1 + 1e-12]).
int genSegmentsCross(const Point2& a1, const Point2& a2, const Point2& b1, const Point2& b2);

// The point where the unbounded lines a1-a2 and b1-b2 meet; 0 when they do not.
int genLinesMeet(const Point2& a1, const Point2& a2, const Point2& b1, const Point2& b2, Point2& point);

} // namespace tracemill
