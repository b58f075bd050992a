#include "toolkit/acis/intersect/old_style_record.h"

#include <cmath>

namespace tracemill {
namespace {

bool finite(const aPoint& p) { return isFinite(p); }
bool finite(const aVector& v) { return isFinite(v); }
bool finite(double d) { return std::isfinite(d); }

template <typename... T> bool allFinite(const T&... values) { return (finite(values) && ...); }

struct FiniteTest {
    bool operator()(std::monostate) const { return false; }
    bool operator()(const LineRecord& r) const { return allFinite(r.point, r.direction); }
    bool operator()(const CircleRecord& r) const { return allFinite(r.centre, r.u, r.v, r.normal, r.radius); }
    bool operator()(const EllipseRecord& r) const {
        return allFinite(r.centre, r.major, r.minor, r.normal, r.a, r.b);
    }
    bool operator()(const ParabolaRecord& r) const {
        return allFinite(r.vertex, r.tangent, r.axis, r.normal, r.focal);
    }
    bool operator()(const HyperbolaRecord& r) const {
        return allFinite(r.centre, r.transverse, r.conjugate, r.normal, r.a, r.b);
    }
    bool operator()(const PlaneRecord& r) const { return allFinite(r.point, r.normal); }
    bool operator()(const CylinderRecord& r) const {
        return allFinite(r.axisPoint, r.u, r.v, r.axis, r.radius);
    }
    bool operator()(const SphereRecord& r) const { return allFinite(r.centre, r.radius); }
    bool operator()(const ConeRecord& r) const {
        return allFinite(r.apex, r.u, r.v, r.axis, r.halfAngle, r.tanHalfAngle, r.cosHalfAngle);
    }
};

} // namespace

RecordKind recordKind(const OldStyleRecord& record) {
    static constexpr RecordKind kinds[] = {RecordKind::None,      RecordKind::Line,     RecordKind::Circle,
                                           RecordKind::Ellipse,   RecordKind::Parabola, RecordKind::Hyperbola,
                                           RecordKind::Plane,     RecordKind::Cylinder, RecordKind::Sphere,
                                           RecordKind::Cone};
    return kinds[record.index()];
}

ConeRecord makeConeRecord(const aPoint& apex, const aVector& u, const aVector& v, const aVector& axis,
                          double halfAngle) {
    return {apex, u, v, axis, halfAngle, std::tan(halfAngle), std::cos(halfAngle)};
}

bool isFinite(const OldStyleRecord& record) { return std::visit(FiniteTest{}, record); }

} // namespace tracemill
