#include "toolkit/core/view_navigation.h"

namespace tracemill {
namespace {

Point3 xyz(const Point4& p) { return {p.x, p.y, p.z}; }

void setXyz(Point4& p, const Point3& v) {
    p.x = v.x;
    p.y = v.y;
    p.z = v.z;
}

// Turns one vector of the view about an axis through the target.
void turn(ViewBlock& view, Point4& vector, const Point3& axis, double angle) {
    Point3 v = xyz(vector);
    dbRotateAboutAxis(v, xyz(view.target), axis, angle);
    setXyz(vector, v);
    view.target.w = 1.0;
}

} // namespace

void dbRotateAboutAxis(Point3& vector, const Point3& point, const Point3& axis, double angle) {
    Point3 p{vector.x + point.x, vector.y + point.y, vector.z + point.z};
    genRotateAboutAxis(p, point, axis, -angle);
    vector = genNormalized({p.x - point.x, p.y - point.y, p.z - point.z});
}

void dbViewPan(ViewBlock& view, double dx, double dy) {
    const Point3 up = xyz(view.up);
    const Point3 right = genNormalized(genCross(up, xyz(view.direction)));
    view.target.x += dx * right.x + dy * up.x;
    view.target.y += dx * right.y + dy * up.y;
    view.target.z += dx * right.z + dy * up.z;
    view.target.w = 1.0;
}

void dbViewOrbitHorizontal(ViewBlock& view, double angle) { turn(view, view.direction, xyz(view.up), angle); }

void dbViewOrbitVertical(ViewBlock& view, double angle) {
    const Point3 right = genCross(xyz(view.up), xyz(view.direction));
    turn(view, view.direction, right, angle);
    const Point3 direction = xyz(view.direction);
    // The old up projected onto the plane of the new direction; normalised, so that a pan
    // after an orbit moves by the distance asked.
    setXyz(view.up, genNormalized(genCross(genCross(direction, xyz(view.up)), direction)));
}

void dbViewRoll(ViewBlock& view, double angle) { turn(view, view.up, xyz(view.direction), angle); }

} // namespace tracemill
