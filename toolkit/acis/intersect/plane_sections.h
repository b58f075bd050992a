// Closed-form kernels between a plane, cylinder, sphere or cone and a plane, line or circle:
// the plane sections of the quadrics (which give curve items), the line of two planes, and the
// line and circle routines of curve-surface intersection. Every kernel empties the list first
// and returns an IntersectionCode.
#pragma once

#include "toolkit/acis/intersect/intersection_list.h"

namespace tracemill {

int intersectPlanePlane(const PlaneRecord& a, const PlaneRecord& b, IntersectionList& list);

int sectionPlaneSphere(const PlaneRecord& plane, const SphereRecord& sphere, IntersectionList& list);
int sectionPlaneCylinder(const PlaneRecord& plane, const CylinderRecord& cylinder, IntersectionList& list);
int sectionPlaneCone(const PlaneRecord& plane, const ConeRecord& cone, IntersectionList& list);

int intersectLinePlane(const LineRecord& line, const PlaneRecord& plane, IntersectionList& list);
int intersectLineSphere(const LineRecord& line, const SphereRecord& sphere, IntersectionList& list);
int intersectLineCylinder(const LineRecord& line, const CylinderRecord& cylinder, IntersectionList& list);
int intersectLineCone(const LineRecord& line, const ConeRecord& cone, IntersectionList& list);

int intersectCirclePlane(const CircleRecord& circle, const PlaneRecord& plane, IntersectionList& list);
int intersectCircleSphere(const CircleRecord& circle, const SphereRecord& sphere, IntersectionList& list);
int intersectCircleCylinder(const CircleRecord& circle, const CylinderRecord& cylinder, IntersectionList& list);
int intersectCircleCone(const CircleRecord& circle, const ConeRecord& cone, IntersectionList& list);

// The axial distance (X - apex) . axis; azimuth = the angle of X about the axis from the
// cone's first radial axis (0 on the axis), taken on the nappe of X.
double projectOntoConeFrame(const ConeRecord& cone, const aPoint& x, double& azimuth);
// The outward normal direction of the cone at X: -1 at the apex's height (the first radial
// axis is given), 1 on the nappe behind the apex, 2 on the nappe in front.
int coneNormalDirection(const ConeRecord& cone, const aPoint& x, aVector& normal);

} // namespace tracemill
