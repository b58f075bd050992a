#include "toolkit/acis/geometry/interval.h"

#include <ostream>

namespace tracemill {

void c_Interval::print(std::ostream& out) const {
    if (mHasLower) {
        out << "F " << mLower << ' ';
    } else {
        out << "I ";
    }
    if (mHasUpper) {
        out << "F " << mUpper << ' ';
    } else {
        out << "I ";
    }
}

} // namespace tracemill
