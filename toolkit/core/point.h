// Plain 2D and 3D points of doubles, as the drawing database stores them.
#pragma once

namespace tracemill {

struct Point2 {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const Point2&, const Point2&) = default;
};

struct Point3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    friend bool operator==(const Point3&, const Point3&) = default;
};

} // namespace tracemill
