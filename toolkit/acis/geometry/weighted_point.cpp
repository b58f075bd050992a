#include "toolkit/acis/geometry/weighted_point.h"

#include <cmath>

namespace tracemill {

double c_WeightedPoint::component(int index) const {
    switch (index) {
    case -1: return w;
    case 0: return wx;
    case 1: return wy;
    case 2: return wz;
    default: return 0.0;
    }
}

bool c_WeightedPoint::toPoint(aPoint& p) const {
    const aPoint divided(wx / w, wy / w, wz / w);
    if (w == 0.0 || !isFinite(divided)) {
        p = aPoint(wx, wy, wz);
        return false;
    }
    p = divided;
    return true;
}

aPoint c_WeightedPoint::toPoint() const {
    aPoint p;
    toPoint(p);
    return p;
}

void c_WeightedPoint::toFloats(float (&xyzw)[4]) const {
    xyzw[0] = float(wx);
    xyzw[1] = float(wy);
    xyzw[2] = float(wz);
    xyzw[3] = float(w);
}

} // namespace tracemill
