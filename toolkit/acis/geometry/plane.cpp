#include "toolkit/acis/geometry/plane.h"

#include <ostream>

#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {

c_Plane::c_Plane(const aPoint& point, const aVector& normal) : mPoint(point), mNormal(normal) { validateData(); }

c_Plane::c_Plane(const aPoint& p0, const aPoint& p1, const aPoint& p2) : mPoint(p0), mNormal((p1 - p0).cross(p2 - p0)) {
    validateData();
}

void c_Plane::validateData() {
    const double length = mNormal.normalize();
    const bool trace = traceSwitches().plane;
    if (trace) kernelDiagnostics() << "c_Plane::validateData: vectorLength=" << length << '\n';
    if (!(length >= 1e-6) || !isFinite(mNormal)) {
        if (trace) kernelDiagnostics() << "Attempt to create a plane with a zero normal vector.";
        mNormal = kZAxis;
    }
}

void c_Plane::print(std::ostream& out) const { out << className() << "( " << mPoint << " , " << mNormal << " )"; }

OldStyleRecord c_Plane::makeOldStyleEntity() const { return PlaneRecord{mPoint, mNormal}; }

aVector c_Plane::normalAt(const aPoint&) const { return mNormal; }

} // namespace tracemill
