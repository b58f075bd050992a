// BoundingBox: an axis-aligned box that grows by the points added to it; empty until the first.
#pragma once

#include <algorithm>

#include "toolkit/acis/geometry/point_vector.h"

namespace tracemill {

struct BoundingBox {
    bool set = false;
    aPoint low;
    aPoint high;

    void add(const aPoint& p) {
        if (!set) {
            low = high = p;
            set = true;
            return;
        }
        low = aPoint(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = aPoint(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    void add(const BoundingBox& other) {
        if (!other.set) return;
        add(other.low);
        add(other.high);
    }
    // The point lies in the box grown by `slack` on every side, bounds included; false for an
    // empty box.
    bool contains(const aPoint& p, double slack = 0.0) const {
        return set && low.x - slack <= p.x && p.x <= high.x + slack && low.y - slack <= p.y &&
               p.y <= high.y + slack && low.z - slack <= p.z && p.z <= high.z + slack;
    }
};

} // namespace tracemill
