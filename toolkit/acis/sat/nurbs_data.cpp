#include "toolkit/acis/sat/nurbs_data.h"

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <string_view>
#include <vector>

#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {
namespace {

// Fewest characters a number takes in the text with the blank after it.
constexpr int64_t kShortestNumber = 2;

[[noreturn]] void badData(satParser& parser) { parser.syntaxError("Bad NURBS data"); }

float toFloat(double value) { return float(std::clamp(value, double(-FLT_MAX), double(FLT_MAX))); }

// The knots of one direction, expanded by multiplicity; the first and last get one more than
// written. Fails as bad data when they would need more control points than the text holds.
std::vector<float> readKnots(satParser& parser, int32_t distinct, int32_t degree, int dimension,
                             int64_t otherPoints) {
    if (distinct < 1 || degree < 0 || int64_t(distinct) * 2 * kShortestNumber > int64_t(parser.remaining()))
        badData(parser);
    std::vector<double> values(size_t(distinct), 0.0);
    std::vector<int32_t> multiplicities(size_t(distinct), 0);
    int64_t expanded = 2;
    for (size_t i = 0; i < values.size(); ++i) {
        if (!parser.readDouble(values[i]) || !parser.readInteger(multiplicities[i])) return {};
        if (multiplicities[i] < 1) badData(parser);
        expanded += multiplicities[i];
    }
    // The control points follow the knots: as many as the expanded knots less the order, and
    // at least the order itself.
    const int64_t points = expanded - int64_t(degree) - 1;
    const int64_t pointText = otherPoints * dimension * kShortestNumber;
    if (points < int64_t(degree) + 1 || points > int64_t(parser.remaining()) / pointText) badData(parser);
    std::vector<float> knots;
    knots.reserve(size_t(expanded));
    for (size_t i = 0; i < values.size(); ++i) {
        const int32_t count = multiplicities[i] + ((i == 0 || i + 1 == values.size()) ? 1 : 0);
        knots.insert(knots.end(), size_t(count), toFloat(values[i]));
    }
    if (values.size() == 1) knots.push_back(toFloat(values[0]));  // first and last at once
    return knots;
}

bool readControlPoint(satParser& parser, int dimension, bool rational, HomogeneousPoint& point) {
    double xyzw[4] = {0.0, 0.0, 0.0, 1.0};
    if (!parser.readDoubles(xyzw, dimension)) return false;
    if (rational && !parser.readDouble(xyzw[3])) return false;
    const double w = xyzw[3];
    point = {toFloat(w * xyzw[0]), toFloat(w * xyzw[1]), toFloat(w * xyzw[2]), toFloat(w)};
    return true;
}

} // namespace

std::unique_ptr<c_NURBSCurve> satReadNurbsCurve(satParser& parser, int dimension) {
    const std::string_view kind = parser.readWord();
    if (kind == "nullbs" || !parser.ok()) return nullptr;
    const bool rational = kind == "nurbs";
    int32_t degree = 0, distinct = 0;
    parser.readInteger(degree);
    parser.readWord();  // closure
    if (!parser.readInteger(distinct)) return nullptr;
    const int coordinates = dimension + (rational ? 1 : 0);
    const std::vector<float> knots = readKnots(parser, distinct, degree, coordinates, 1);
    if (knots.empty()) return nullptr;
    std::vector<HomogeneousPoint> points(knots.size() - size_t(degree) - 1);
    for (HomogeneousPoint& point : points) {
        if (!readControlPoint(parser, dimension, rational, point)) return nullptr;
    }
    return std::make_unique<c_NURBSCurve>(points, knots);
}

std::unique_ptr<c_NURBSSurface> satReadNurbsSurface(satParser& parser) {
    const std::string_view kind = parser.readWord();
    if (kind == "nullbs" || !parser.ok()) return nullptr;
    const bool rational = kind != "nubs";
    int32_t uDegree = 0, vDegree = 0, uDistinct = 0, vDistinct = 0;
    parser.readInteger(uDegree);
    parser.readInteger(vDegree);
    if (rational) parser.readWord();
    for (int i = 0; i < 4; ++i) parser.readWord();  // closure and singularity in u and v
    parser.readInteger(uDistinct);
    if (!parser.readInteger(vDistinct)) return nullptr;
    const int coordinates = 3 + (rational ? 1 : 0);
    // The u knots are held against the text alone; the v knots then against the u points.
    const std::vector<float> uKnots = readKnots(parser, uDistinct, uDegree, coordinates, 1);
    if (uKnots.empty()) return nullptr;
    const int64_t nu = int64_t(uKnots.size()) - uDegree - 1;
    const std::vector<float> vKnots = readKnots(parser, vDistinct, vDegree, coordinates, nu);
    if (vKnots.empty()) return nullptr;
    const int64_t nv = int64_t(vKnots.size()) - vDegree - 1;
    std::vector<HomogeneousPoint> net(size_t(nu * nv));
    for (HomogeneousPoint& point : net) {
        if (!readControlPoint(parser, 3, rational, point)) return nullptr;
    }
    return std::make_unique<c_NURBSSurface>(net, int(nu), int(nv), uKnots, vKnots);
}

} // namespace tracemill
