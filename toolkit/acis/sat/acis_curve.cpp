#include "toolkit/acis/sat/acis_curve.h"

#include <ostream>

#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

void acis_Curve::readRange(satParser& parser) {
    if (parser.version() >= 106) mRange = parser.readInterval();
}

void acis_Curve::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    out << ' ' << typeName() << ' ';
    mRange.print(out);
}

} // namespace tracemill
