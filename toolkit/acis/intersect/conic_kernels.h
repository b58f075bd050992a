// Line, circle and conic intersection kernels: the curve-curve routines and the coplanar
// routines that the circle-surface kernels call for each section curve. Every kernel empties
// the list first and returns an IntersectionCode.
#pragma once

#include "toolkit/acis/intersect/intersection_list.h"

namespace tracemill {

// On-curve tests; each also requires the point to lie in the curve's plane (isOnPlane).
bool isOnCircle(const aPoint& x, const CircleRecord& circle);
bool isOnEllipse(const aPoint& x, const EllipseRecord& ellipse);
bool isOnHyperbola(const aPoint& x, const HyperbolaRecord& hyperbola);
bool isOnParabola(const aPoint& x, const ParabolaRecord& parabola);

void ellipseFoci(const EllipseRecord& ellipse, aPoint& f1, aPoint& f2);
void hyperbolaFoci(const HyperbolaRecord& hyperbola, aPoint& f1, aPoint& f2);
double squaredDistancePointLine(const aPoint& x, const aPoint& p, const aVector& d);
double distancePointLine(const aPoint& x, const aPoint& p, const aVector& d);

// Points of the conics at their parameters.
aPoint ellipsePoint(const EllipseRecord& e, double theta);
aPoint hyperbolaPoint(const HyperbolaRecord& h, double theta);
aPoint parabolaPoint(const ParabolaRecord& p, double s);

// Both curves in one plane.
int coplanarLineLine(const LineRecord& a, const LineRecord& b, IntersectionList& list);
int coplanarLineCircle(const LineRecord& line, const CircleRecord& circle, IntersectionList& list);
int coplanarLineEllipse(const LineRecord& line, const EllipseRecord& ellipse, IntersectionList& list);
int coplanarLineHyperbola(const LineRecord& line, const HyperbolaRecord& hyperbola, IntersectionList& list);
int coplanarLineParabola(const LineRecord& line, const ParabolaRecord& parabola, IntersectionList& list);
int coplanarCircleCircle(const CircleRecord& a, const CircleRecord& b, IntersectionList& list);
int coplanarCircleEllipse(const CircleRecord& circle, const EllipseRecord& ellipse, IntersectionList& list);
int coplanarCircleHyperbola(const CircleRecord& circle, const HyperbolaRecord& hyperbola, IntersectionList& list);
int coplanarCircleParabola(const CircleRecord& circle, const ParabolaRecord& parabola, IntersectionList& list);

// General position.
int intersectLineLine(const LineRecord& a, const LineRecord& b, IntersectionList& list);
int intersectLineCircle(const LineRecord& line, const CircleRecord& circle, IntersectionList& list);
int intersectLineEllipse(const LineRecord& line, const EllipseRecord& ellipse, IntersectionList& list);
int intersectLineParabola(const LineRecord& line, const ParabolaRecord& parabola, IntersectionList& list);
int intersectLineHyperbola(const LineRecord& line, const HyperbolaRecord& hyperbola, IntersectionList& list);
int intersectCircleCircle(const CircleRecord& a, const CircleRecord& b, IntersectionList& list);
int intersectCircleEllipse(const CircleRecord& circle, const EllipseRecord& ellipse, IntersectionList& list);
int intersectCircleParabola(const CircleRecord& circle, const ParabolaRecord& parabola, IntersectionList& list);
int intersectCircleHyperbola(const CircleRecord& circle, const HyperbolaRecord& hyperbola, IntersectionList& list);

} // namespace tracemill
