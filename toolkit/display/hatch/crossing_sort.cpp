#include "toolkit/display/hatch/crossing_sort.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tracemill {
namespace {

// Up to this many crossings are sorted in place by insertion; more through an index sort.
constexpr int32_t kInsertionSortLimit = 24;

} // namespace

void genSortCrossings(Point2* points, int32_t count, int32_t* tags, int axis, bool ascending) {
    if (!points || count < 2) return;
    auto key = [axis](const Point2& p) { return axis == 0 ? p.x : p.y; };
    auto before = [ascending](double a, double b) { return ascending ? a < b : a > b; };
    if (count <= kInsertionSortLimit) {
        for (int32_t i = 1; i < count; ++i) {
            for (int32_t j = i; j > 0 && before(key(points[j]), key(points[j - 1])); --j) {
                std::swap(points[j], points[j - 1]);
                if (tags) std::swap(tags[j], tags[j - 1]);
            }
        }
        return;
    }
    std::vector<std::pair<Point2, int32_t>> items(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) items[size_t(i)] = {points[i], tags ? tags[i] : 0};
    std::stable_sort(items.begin(), items.end(),
                     [&](const auto& a, const auto& b) { return before(key(a.first), key(b.first)); });
    for (int32_t i = 0; i < count; ++i) {
        points[i] = items[size_t(i)].first;
        if (tags) tags[i] = items[size_t(i)].second;
    }
}

} // namespace tracemill
