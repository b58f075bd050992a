#include "toolkit/acis/sat/acis_transform.h"

#include <ostream>

#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

acis_Transform::acis_Transform() : acis_Entity(AcisKind::Transform), mMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

void acis_Transform::readFields(satParser& parser) {
    double values[13] = {};
    parser.readDoubles(values, 13);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) mMatrix[size_t(4 * row + column)] = values[3 * row + column];
        mMatrix[size_t(4 * row + 3)] = 0.0;
    }
    for (int column = 0; column < 4; ++column) mMatrix[size_t(12 + column)] = values[9 + column];
    const std::string_view rotate = parser.readWord();
    mRotate = rotate == "1" || rotate == "rotate";
    const std::string_view reflect = parser.readWord();
    mReflect = reflect == "1" || reflect == "reflect";
    const std::string_view shear = parser.readWord();
    mShear = shear == "1" || shear == "shear";
}

void acis_Transform::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    for (double value : mMatrix) out << ' ' << value;
    out << ' ' << mRotate << ' ' << mReflect << ' ' << mShear;
}

} // namespace tracemill
