#include "toolkit/acis/geometry/point_vector.h"

#include <cmath>
#include <ostream>

#include "toolkit/acis/geometry/geometry_tolerances.h"

namespace tracemill {

aVector::aVector(const aPoint& p) : x(p.component(0)), y(p.component(1)), z(p.component(2)) {}

double aVector::length() const { return std::sqrt(lengthSquared()); }

double aVector::normalize() {
    const double l = length();
    if (l <= geometryTolerances().BasicDistanceTol) return l;
    x /= l;
    y /= l;
    z /= l;
    return l;
}

double aVector::unitVector(aVector& out) const {
    out = *this;
    return out.normalize();
}

double aVector::component(int index) const {
    switch (index) {
    case 0: return x;
    case 1: return y;
    case 2: return z;
    default: return 0.0;
    }
}

void aVector::snapToAxes(double t) {
    for (double* c : {&x, &y, &z}) {
        if (std::fabs(*c) < t) {
            *c = 0.0;
        } else if (std::fabs(1.0 - std::fabs(*c)) < t) {
            *c = *c > 0.0 ? 1.0 : -1.0;
        }
    }
}

aVector aVector::perpendicular() const {
    const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    if (ax < ay && ax <= az) return ay <= az ? aVector(0.0, -z, y) : aVector(0.0, z, -y);
    if (ay <= az) {
        return (ax <= az && ax >= geometryTolerances().BasicDistanceTol) ? aVector(-z, 0.0, x)
                                                                          : aVector(z, 0.0, -x);
    }
    return ax <= ay ? aVector(-y, x, 0.0) : aVector(y, -x, 0.0);
}

void aVector::decompose(const aVector& a, aVector& parallel, aVector& perpendicularPart) const {
    parallel = a.dot(*this) * *this;
    perpendicularPart = a - parallel;
}

bool aVector::parallelTo(const aVector& a, const aVector& b) {
    aVector ua = a, ub = b;
    ua.normalize();
    ub.normalize();
    return std::fabs(1.0 - std::fabs(ua.dot(ub))) < geometryTolerances().BasicUnitTol;
}

void aVector::completeFrame(aVector& u, aVector& v, aVector& w) {
    const double tol = geometryTolerances().BasicDistanceTol;
    if (w.normalize() < tol) {
        u = kXAxis;
        v = kYAxis;
        w = kZAxis;
        return;
    }
    aVector parallel, across;
    w.decompose(u, parallel, across);
    if (across.unitVector(u) < tol) {
        u = w.perpendicular();
        u.normalize();
    }
    v = w.cross(u);
    v.normalize();
}

std::ostream& operator<<(std::ostream& out, const aVector& v) {
    return out << '(' << v.x << ',' << v.y << ',' << v.z << ')';
}

aPoint aPoint::fromHomogeneous(const float (&xyzw)[4]) {
    aPoint p(xyzw[0], xyzw[1], xyzw[2]);
    const double w = xyzw[3];
    if (std::fabs(w) > geometryTolerances().BasicDistanceTol) {
        p.x = double(xyzw[0]) / w;
        p.y = double(xyzw[1]) / w;
        p.z = double(xyzw[2]) / w;
    }
    return p;
}

void aPoint::toHomogeneous(double w, float (&xyzw)[4]) const {
    xyzw[0] = float(w * x);
    xyzw[1] = float(w * y);
    xyzw[2] = float(w * z);
    xyzw[3] = float(w);
}

double aPoint::component(int index) const {
    switch (index) {
    case -1: return 1.0;
    case 0: return x;
    case 1: return y;
    case 2: return z;
    default: return 0.0;
    }
}

double aPoint::distanceSquared(const aPoint& other) const { return (*this - other).lengthSquared(); }

double aPoint::distance(const aPoint& other) const { return std::sqrt(distanceSquared(other)); }

bool aPoint::coincident(const aPoint& other) const { return distance(other) < geometryTolerances().coincTol; }

void aPoint::addUnique(const aPoint& p, std::span<aPoint> array, int& count) {
    if (count < 0 || size_t(count) >= array.size()) return;
    for (int i = 0; i < count; ++i) {
        if (p.coincident(array[size_t(i)])) return;
    }
    array[size_t(count++)] = p;
}

double aPoint::getCoincidenceTolerance() { return geometryTolerances().coincTol; }

void aPoint::setCoincidenceTolerance(double tolerance) {
    if (tolerance >= 0.0) geometryTolerances().coincTol = tolerance;
}

std::ostream& operator<<(std::ostream& out, const aPoint& p) {
    return out << '(' << p.x << ',' << p.y << ',' << p.z << ')';
}

bool isFinite(const aVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool isFinite(const aPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

} // namespace tracemill
