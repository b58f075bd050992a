#include "toolkit/acis/sat/acis_analytic_curves.h"

#include <cmath>
#include <numbers>

#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

aVector acis_Straight::tangentAt(double /*t*/) const { return mLine.direction(); }

void acis_Straight::readFields(satParser& parser) {
    aPoint root;
    aVector direction;
    parser.readPoint(root);
    parser.readVector(direction);
    mLine = c_Line(root, direction);
    readRange(parser);
}

acis_Ellipse::acis_Ellipse() : acis_Curve(AcisKind::EllipseCurve), mEllipse(kOrigin, kXAxis, kZAxis, 1.0, 1.0) {}

bool acis_Ellipse::planeOf(c_Plane& plane) const {
    plane = c_Plane(mEllipse.centre(), mNormal);
    return true;
}

double acis_Ellipse::maxParam() const { return std::numbers::pi; }
double acis_Ellipse::minParam() const { return -std::numbers::pi; }

void acis_Ellipse::readFields(satParser& parser) {
    aPoint centre;
    parser.readPoint(centre);
    parser.readVector(mNormal);
    parser.readVector(mMajorAxis);
    parser.readDouble(mRatio);
    const double a = mMajorAxis.length();
    mEllipse = c_Ellipse(centre, mMajorAxis, mNormal, a, a * std::fabs(mRatio));
    readRange(parser);
}

} // namespace tracemill
