#include "toolkit/display/hatch/crossing_sort.h"

#include <utility>

namespace tracemill {

void genSortCrossings(Point2* points, int32_t count, int16_t* tags, int axis, bool ascending) {
    auto key = [axis](const Point2& p) { return axis == 0 ? p.x : p.y; };
    for (int32_t i = 0; i < count; ++i) {
        for (int32_t j = i + 1; j < count; ++j) {
            const double a = key(points[i]);
            const double b = key(points[j]);
            if (ascending ? b < a : b > a) {
                std::swap(points[i], points[j]);
                if (tags) std::swap(tags[i], tags[j]);
            }
        }
    }
}

} // namespace tracemill
