#include "toolkit/acis/sat/acis_point.h"

#include <algorithm>
#include <ostream>

#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

void ModelBox::add(const aPoint& p) {
    const double xyz[3] = {p.x, p.y, p.z};
    for (int axis = 0; axis < 3; ++axis) {
        double& low = bounds[2 * axis];
        double& high = bounds[2 * axis + 1];
        low = hasPoint ? std::min(low, xyz[axis]) : xyz[axis];
        high = hasPoint ? std::max(high, xyz[axis]) : xyz[axis];
    }
    hasPoint = true;
}

void acis_Point::readFields(satParser& parser) {
    if (parser.readPoint(mPosition)) parser.modelBox().add(mPosition);
}

void acis_Point::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    out << ' ' << mPosition;
}

} // namespace tracemill
