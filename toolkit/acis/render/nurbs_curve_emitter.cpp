#include "toolkit/acis/render/nurbs_curve_emitter.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "toolkit/acis/geometry/bspline_basis.h"
#include "toolkit/acis/render/gl_output.h"

namespace tracemill {

int64_t emitterSegmentCount(int order, int controlPoints, int32_t segmentsPerSpan) {
    const int64_t b = std::max(controlPoints - 1, 0);
    int64_t segments = b * order;
    // A negative count would make the steps run backwards without end: it takes the default.
    if (order == 3 && segmentsPerSpan > 0) segments = int64_t(segmentsPerSpan) * b / 2;
    else if (order > 3 && segmentsPerSpan > 0) segments = int64_t(segmentsPerSpan) * b;
    return std::clamp<int64_t>(segments, 0, kMostEmitterSegments);
}

void NURBSCurveEmitter(GlOutput& output, std::span<const float> knots, std::span<const HomogeneousPoint> controlPoints,
                       int order) {
    const int64_t n = int64_t(knots.size()) - order;
    if (knots.empty() || order < 1 || n < 1 || n > int64_t(controlPoints.size())) return;
    if (n > std::numeric_limits<int>::max() / 4) return;
    const c_BSplineBasisFcns basis(int(n - 1), order, knots.data());
    const int64_t segments = emitterSegmentCount(order, int(n), output.segmentsPerSpan());
    std::vector<double> weights, points, values;
    try {
        weights.resize(size_t(n));
        points.resize(size_t(3 * n));
        values.resize(size_t(order));
    } catch (const std::bad_alloc&) {
        return;
    }
    for (int64_t i = 0; i < n; ++i) {
        const HomogeneousPoint& h = controlPoints[size_t(i)];
        const float w = h[3];
        weights[size_t(i)] = w;
        for (int c = 0; c < 3; ++c) points[size_t(3 * i + c)] = w != 0.0f ? float(h[size_t(c)] / w) : h[size_t(c)];
    }
    const double first = knots.front(), last = knots.back();
    const double step = segments > 0 ? (last - first) / double(segments) : 0.0;
    std::vector<double> all;  // the rational basis over every control point, where needed
    output.begin(GlOutput::kStrip);
    for (int64_t s = 0; s <= segments; ++s) {
        // The steps are counted, so that the strip ends exactly at the last knot.
        const double t = s == segments ? last : first + double(s) * step;
        double x = 0.0, y = 0.0, z = 0.0;
        const int span = basis.Evaluate(t, std::span<double>(values));
        if (span >= 0) {
            // The k basis functions that do not vanish at t.
            double sum = 0.0;
            for (int j = 0; j < order; ++j) {
                const size_t i = size_t(span - order + 1 + j);
                const double r = values[size_t(j)] * weights[i];
                x += r * points[3 * i];
                y += r * points[3 * i + 1];
                z += r * points[3 * i + 2];
                sum += r;
            }
            if (sum == 0.0) continue;
            x /= sum;
            y /= sum;
            z /= sum;
        } else {
            // Outside the knots' inner range (or over knots that do not ascend): the rational
            // basis over all control points.
            if (all.empty()) all.resize(size_t(n));
            if (rationalBasis(order, t, int(n), knots, weights, all) != 0) continue;
            for (size_t i = 0; i < size_t(n); ++i) {
                x += all[i] * points[3 * i];
                y += all[i] * points[3 * i + 1];
                z += all[i] * points[3 * i + 2];
            }
        }
        output.vertex(x, y, z);
    }
    output.end();
}

} // namespace tracemill
