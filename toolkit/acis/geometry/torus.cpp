#include "toolkit/acis/geometry/torus.h"

#include <cmath>
#include <numbers>
#include <ostream>

#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;

bool trace() { return traceSwitches().torus; }

} // namespace

c_Torus::c_Torus() : mU(kXAxis), mV(kYAxis), mW(kZAxis), mR(2.0), mMinor(1.0) {}

c_Torus::c_Torus(const aPoint& c, const aVector& u, const aVector& w, double majorRadius, double minorRadius)
    : mC(c), mU(u), mW(w), mR(majorRadius), mMinor(minorRadius) {
    aVector::completeFrame(mU, mV, mW);
    if (!std::isfinite(mR) || !std::isfinite(mMinor)) {
        mR = 2.0;
        mMinor = 1.0;
    }
    if (mMinor < 0.0) {
        mMinor = -mMinor;
        mInsideOut = true;
    }
    if (mR < 0.0) {
        mR = -mR;
        mType = Lemon;
    } else if (mR < mMinor) {
        mType = Apple;
    }
}

double c_Torus::maxMinorAngle() const { return mMinor >= mR && mMinor > 0.0 ? kPi - std::acos(mR / mMinor) : kPi; }

c_Circle c_Torus::majorCircle(double theta) const {
    const double limit = maxMinorAngle();
    if (limit < kPi - 0.001) {
        if (theta >= limit) {
            if (trace()) kernelDiagnostics() << "c_Torus::majorCircle: theta too large.\n";
            theta = limit - 0.02;
        } else if (theta <= -limit) {
            if (trace()) kernelDiagnostics() << "c_Torus::majorCircle: theta too small.\n";
            theta = 0.02 - limit;
        }
    }
    return c_Circle(mC + (mMinor * std::sin(theta)) * mW, mU, mW, mR + mMinor * std::cos(theta));
}

c_Circle c_Torus::minorCircle(double phi) const {
    const aVector e = std::cos(phi) * mU + std::sin(phi) * mV;
    return c_Circle(mC + mR * e, e, e.cross(mW), mMinor);
}

int c_Torus::generateCircles(int n, CurveArray& curves) const {
    if (n < 1) return 0;
    if (mType == Lemon && trace()) kernelDiagnostics() << "WARNING: 'lemon' in c_Torus::generateCircles\n";
    const double limit = maxMinorAngle();
    double start = 0.21784, step = 2.0 * kPi / n;
    if (std::fabs(kPi - limit) >= 0.001) {
        const double reach = limit - limit / n;
        start = -reach;
        step = 2.0 * reach / n;
    }
    for (int i = 0; i < n; ++i) {
        curves.push_back(std::make_unique<c_Circle>(majorCircle(start + i * step)));
        curves.push_back(std::make_unique<c_Circle>(minorCircle(0.38714 + i * 2.0 * kPi / n)));
    }
    return 2 * n;
}

void c_Torus::print(std::ostream& out) const {
    static const char* const types[] = {"doughnut", "apple", "lemon"};
    out << className() << "( " << mC << " , " << mU << " , " << mV << " , " << mW << " , " << mR << " , " << mMinor
        << " , " << (mInsideOut ? "infinite volume" : "compact") << " , "
        << (mType >= 0 && mType <= 2 ? types[mType] : "BAD TORUS TYPE") << " )";
}

int c_Torus::intersect(const c_Curve& curve, IntersectionList&) const {
    if (trace()) {
        kernelDiagnostics() << "----> c_Torus::intersect(";
        curve.print(kernelDiagnostics());
        kernelDiagnostics() << ") called\n";
    }
    return 1;
}

int c_Torus::intersectCircle(const c_Circle& circle, IntersectionList& items) const { return intersect(circle, items); }

aVector c_Torus::radialDirection(const aPoint& p) const {
    aVector e = p - mC;
    e = e - e.dot(mW) * mW;
    if (e.length() < 1e-12) return mU;
    return e / e.length();
}

aVector c_Torus::normalAt(const aPoint& p) const {
    aVector n = p - (mC + mR * radialDirection(p));
    n.normalize();
    return mInsideOut ? -n : n;
}

int c_Torus::curvesThrough(const aPoint& p, CurveArray& curves, int) const {
    const aPoint foot = mC + ((p - mC).dot(mW)) * mW;
    const aVector e = radialDirection(p);
    curves.push_back(std::make_unique<c_Circle>(foot, e, mW, p.distance(foot)));
    curves.push_back(std::make_unique<c_Circle>(mC + mR * e, e, e.cross(mW), mMinor));
    return 2;
}

} // namespace tracemill
