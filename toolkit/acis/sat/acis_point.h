// acis_Point ("point"): a position, and the model box that the points of one parse span.
#pragma once

#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/sat/acis_entity.h"

namespace tracemill {

// The box of the points read: x, y and z each from -1 to 1 until the first point, which sets
// the box to itself; every later point widens it.
struct ModelBox {
    bool hasPoint = false;
    // x minimum, x maximum, y minimum, y maximum, z minimum, z maximum.
    double bounds[6] = {-1.0, 1.0, -1.0, 1.0, -1.0, 1.0};

    void add(const aPoint& p);
};

class acis_Point final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Point; }

    acis_Point() : acis_Entity(AcisKind::Point) {}

    const aPoint& position() const { return mPosition; }

    // x, y and z; the point joins the parser's model box.
    void readFields(satParser& parser) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    aPoint mPosition;
};

} // namespace tracemill
