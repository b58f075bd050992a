// Hatch patterns: the boundary segmenters, the crossings of a pattern line with the paths, the
// spans each hatch style keeps and the dashes cut from them (genHatchPatternPieces, judged
// piece by piece), and whole HATCH entities drawn through the recording hook set, judged as a
// picture: the strokes the host receives are rasterised on a 200 x 200 grid and every pixel of
// a hatch line must be covered exactly where the expected region is.
#include "toolkit/display/hatch/pattern_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "../display_fixture.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/display/hatch/crossing_sort.h"
#include "toolkit/display/hatch/hatch_boundary.h"
#include "toolkit/display/hatch/hatch_display.h"

namespace tracemill {
namespace {

constexpr double kHatchTestPi = std::numbers::pi;
constexpr int kHatchGrid = 200;

struct Piece {
    Point2 from;
    Point2 to;
};

HatchSegments closedLoop(const std::vector<Point2>& points) {
    HatchSegments path;
    for (size_t i = 0; i < points.size(); ++i) path.push_back({points[i], points[(i + 1) % points.size()]});
    return path;
}

HatchSegments hatchSquare(double x0, double y0, double x1, double y1) {
    return closedLoop({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

HatchPatternLine patternLine(double angle, Point2 base, Point2 offset, std::vector<double> dashes = {}) {
    HatchPatternLine line;
    line.angle = angle;
    line.base = base;
    line.offset = offset;
    line.dashes = std::move(dashes);
    return line;
}

std::vector<Piece> piecesOf(const std::vector<HatchSegments>& paths, const std::vector<uint8_t>& flags,
                            const std::vector<HatchPatternLine>& lines, int16_t style) {
    std::vector<Piece> pieces;
    genHatchPatternPieces(paths, flags, lines, style, [&](const Point2& a, const Point2& b) { pieces.push_back({a, b}); });
    return pieces;
}

// The pieces on the horizontal line at y, as "x0-x1" from left to right (rounded to 1e-6).
std::string spansAt(const std::vector<Piece>& pieces, double y) {
    std::vector<std::pair<double, double>> spans;
    for (const Piece& p : pieces)
        if (std::fabs(p.from.y - y) < 1e-9 && std::fabs(p.to.y - y) < 1e-9)
            spans.push_back({std::min(p.from.x, p.to.x), std::max(p.from.x, p.to.x)});
    std::sort(spans.begin(), spans.end());
    std::string text;
    auto round = [](double v) {
        std::ostringstream out;
        out << std::round(v * 1e6) / 1e6 + 0.0;
        return out.str();
    };
    for (const auto& [a, b] : spans) text += (text.empty() ? "" : " ") + round(a) + "-" + round(b);
    return text;
}

TEST(HatchPattern, SpansEachStyleKeeps) {
    const HatchSegments outer = hatchSquare(0, 0, 200, 200), middle = hatchSquare(40, 40, 160, 160),
                        inner = hatchSquare(80, 80, 120, 120);
    // A horizontal family through y = 100 (base point on it, 30 apart).
    const std::vector<HatchPatternLine> flat = {patternLine(0.0, {0, 100}, {0, 30})};
    // A stray line edge crossing the square: its crossing is the third, and dropped.
    const HatchSegments stray = {{{50, -10}, {50, 210}}};
    const HatchSegments diamond = closedLoop({{100, 0}, {200, 100}, {100, 200}, {0, 100}});
    const struct {
        const char* name;
        std::vector<HatchSegments> paths;
        std::vector<uint8_t> flags;
        int16_t style;
        std::string expected;  // the spans on y = 100
    } cases[] = {
        {"nested loops, style 0: ring and innermost", {outer, middle, inner}, {0, 0, 0}, kHatchStyleNormal,
         "0-40 80-120 160-200"},
        {"nested loops, style 1: the outer ring only", {outer, middle, inner}, {0, 0, 0}, kHatchStyleOuter,
         "0-40 160-200"},
        {"nested loops, style 2: everything inside the outer loop", {outer, middle, inner}, {0, 0, 0},
         kHatchStyleIgnore, "0-40 40-80 80-120 120-160 160-200"},
        {"a text box inside an island is left out under style 0", {outer, middle, inner},
         {0, 0, uint8_t(kHatchPathTextBox)}, kHatchStyleNormal, "0-40 160-200"},
        {"a text box alone draws nothing", {inner}, {uint8_t(kHatchPathTextBox)}, kHatchStyleNormal, ""},
        {"three crossings: the last found is dropped, one span drawn", {outer, stray}, {0, 0}, kHatchStyleNormal,
         "0-200"},
        {"a line through two vertices crosses twice, not four times", {diamond}, {0}, kHatchStyleNormal, "0-200"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(spansAt(piecesOf(c.paths, c.flags, flat, c.style), 100.0), c.expected);
    }
    // The family's line through the diamond's top vertex touches it once: nothing is drawn.
    const std::vector<HatchPatternLine> throughTop = {patternLine(0.0, {0, 200}, {0, 50})};
    EXPECT_EQ(spansAt(piecesOf({diamond}, {0}, throughTop, kHatchStyleNormal), 200.0), "");
}

TEST(HatchPattern, DashesRunFromTheFamilysPoint) {
    const std::vector<HatchSegments> paths = {hatchSquare(2, 1, 52, 29)};
    const struct {
        const char* name;
        HatchPatternLine line;
        std::string expected;  // the spans on y = 10
    } cases[] = {
        {"dash 5, gap 5 from x = 0", patternLine(0.0, {0, 0}, {0, 10}, {5, -5}), "2-5 10-15 20-25 30-35 40-45 50-52"},
        {"the pattern moved on by 3", patternLine(0.0, {3, 0}, {0, 10}, {5, -5}), "3-8 13-18 23-28 33-38 43-48"},
        {"a base point far to the right: the phase counts backwards", patternLine(0.0, {1003, 0}, {0, 10}, {5, -5}),
         "3-8 13-18 23-28 33-38 43-48"},
        {"dots", patternLine(0.0, {0, 0}, {0, 10}, {0, -10}), "10-10 20-20 30-30 40-40 50-50"},
        {"lines drawn leftwards keep the same dashes", patternLine(kHatchTestPi, {0, 0}, {0, 10}, {5, -5}),
         "5-10 15-20 25-30 35-40 45-50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(spansAt(piecesOf(paths, {0}, {c.line}, kHatchStyleNormal), 10.0), c.expected);
    }
}

TEST(HatchPattern, VerticalLinesAreSortedAlongTheirDirection) {
    const std::vector<HatchSegments> paths = {hatchSquare(0, 0, 100, 100)};
    for (const double angle : {kHatchTestPi / 2, 3 * kHatchTestPi / 2}) {
        SCOPED_TRACE(angle);
        const std::vector<Piece> pieces =
            piecesOf(paths, {0}, {patternLine(angle, {50, 0}, {40, 0}, {30, -10})}, kHatchStyleNormal);
        std::vector<Piece> onLine;
        for (const Piece& p : pieces)
            if (std::fabs(p.from.x - 50) < 1e-9) onLine.push_back(p);
        ASSERT_EQ(onLine.size(), 3u);
        const bool up = angle < kHatchTestPi;
        // Each dash runs the line's way, and the first starts at the loop's near end.
        for (const Piece& p : onLine) EXPECT_EQ(p.to.y > p.from.y, up);
        EXPECT_DOUBLE_EQ(onLine.front().from.y, up ? 0.0 : 100.0);
        // Up from y = 0: dash 0-30 first; down, the pattern that starts at y = 0 stands 20 into
        // its 40 at y = 100: the last 10 of the dash first.
        EXPECT_DOUBLE_EQ(onLine.front().to.y, up ? 30.0 : 90.0);
    }
}

TEST(HatchPattern, DegeneratePatternLinesEndAtOnce) {
    const std::vector<HatchSegments> paths = {hatchSquare(0, 0, 100, 100)};
    EXPECT_TRUE(piecesOf(paths, {0}, {patternLine(0.0, {0, 0}, {5, 0})}, 0).empty()) << "spacing 0";
    EXPECT_TRUE(piecesOf(paths, {0}, {patternLine(0.0, {0, 0}, {0, 5}, {0, 0})}, 0).empty()) << "dashes sum to 0";
    EXPECT_TRUE(piecesOf(paths, {0}, {patternLine(NAN, {0, 0}, {0, 5})}, 0).empty()) << "angle not a number";

    // Spacing 1e-9 over a box of 1e6: capped, and over at once.
    const auto start = std::chrono::steady_clock::now();
    const std::vector<Piece> many =
        piecesOf({hatchSquare(0, 0, 1e6, 1e6)}, {0}, {patternLine(0.0, {0, 0}, {0, 1e-9})}, kHatchStyleNormal);
    EXPECT_LE(many.size(), size_t(2 * kHatchLinesPerSweep));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // Dashes of 1e-9 on a line 1e6 long: capped per line.
    const std::vector<Piece> dashes = piecesOf({hatchSquare(0, 0, 1e6, 1e6)}, {0},
                                               {patternLine(0.0, {0, 0}, {0, 4e5}, {1e-9, -1e-9})}, 0);
    EXPECT_LE(dashes.size(), size_t(3 * kHatchDashesPerLine));
}

TEST(HatchPattern, CrossingSort) {
    const struct {
        const char* name;
        int axis;
        bool ascending;
        int count;
    } cases[] = {
        {"x ascending, few", 0, true, 7},  {"x descending, few", 0, false, 7},
        {"y ascending, many", 1, true, 90}, {"y descending, many", 1, false, 90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Point2> points;
        std::vector<int32_t> tags;
        for (int i = 0; i < c.count; ++i) {
            const double key = double((i * 37) % 11);  // repeated keys
            points.push_back(c.axis == 0 ? Point2{key, double(i)} : Point2{double(i), key});
            tags.push_back(i);
        }
        genSortCrossings(points.data(), int32_t(points.size()), tags.data(), c.axis, c.ascending);
        for (int i = 0; i < c.count; ++i) {
            const Point2& p = points[size_t(i)];
            EXPECT_EQ(c.axis == 0 ? p.y : p.x, double(tags[size_t(i)])) << "tags move with their points";
            if (i == 0) continue;
            const Point2& q = points[size_t(i - 1)];
            const double a = c.axis == 0 ? q.x : q.y, b = c.axis == 0 ? p.x : p.y;
            EXPECT_TRUE(c.ascending ? a <= b : a >= b);
            if (a == b) {
                EXPECT_LT(tags[size_t(i - 1)], tags[size_t(i)]) << "equal keys keep their order";
            }
        }
    }
}

TEST(HatchBoundary, CurvesAndAngles) {
    // A clockwise arc edge from 0 to pi/2 runs from 4 pi back to 3.5 pi: below the x axis.
    HatchPath path;
    path.edges.push_back(HatchArcEdge{{0, 0}, 10.0, 0.0, kHatchTestPi / 2, 0});
    HatchSegments segments;
    genHatchPathSegments(nullptr, path, 10, nullptr, segments);
    ASSERT_FALSE(segments.empty());
    EXPECT_NEAR(segments.front().start.x, 10.0, 1e-9);
    EXPECT_NEAR(segments.front().start.y, 0.0, 1e-9);
    EXPECT_NEAR(segments.back().end.x, 0.0, 1e-9);
    EXPECT_NEAR(segments.back().end.y, -10.0, 1e-9);
    for (const HatchSegment& s : segments) EXPECT_LE(s.end.y, 1e-9);

    // A counter-clockwise arc whose end is below its start goes on a whole turn.
    segments.clear();
    path.edges = {HatchArcEdge{{0, 0}, 10.0, kHatchTestPi / 2, 0.0, 1}};
    genHatchPathSegments(nullptr, path, 10, nullptr, segments);
    ASSERT_FALSE(segments.empty());
    EXPECT_NEAR(segments.back().end.x, 10.0, 1e-9);
    EXPECT_TRUE(std::any_of(segments.begin(), segments.end(), [](const HatchSegment& s) { return s.end.x < -9.9; }));

    // Bulge 1 from (0, 0) to (2, 0): the half circle below the chord; bulge 0 one segment.
    segments.clear();
    genHatchBulgeSegment(nullptr, {0, 0}, {2, 0}, 1.0, 10, segments);
    ASSERT_EQ(segments.size() % 2, 0u);
    EXPECT_NEAR(segments[segments.size() / 2].start.y, -1.0, 1e-9);
    segments.clear();
    genHatchBulgeSegment(nullptr, {0, 0}, {2, 0}, 0.0, 10, segments);
    EXPECT_EQ(segments, (HatchSegments{{{0, 0}, {2, 0}}}));

    // Angles and turns.
    const struct {
        Point2 a, b;
        double angle;
    } angles[] = {
        {{0, 0}, {1, 0}, 0.0},       {{0, 0}, {0, 1}, kHatchTestPi / 2},     {{0, 0}, {0, -1}, -kHatchTestPi / 2},
        {{0, 0}, {0, 0}, -kHatchTestPi / 2},  {{0, 0}, {-1, 0}, -kHatchTestPi},       {{0, 0}, {-1, 1}, 3 * kHatchTestPi / 4},
        {{0, 0}, {-1, -1}, -3 * kHatchTestPi / 4},
    };
    for (const auto& c : angles) EXPECT_NEAR(genSegmentAngle(c.a, c.b), c.angle, 1e-12) << c.b.x << "," << c.b.y;
    EXPECT_NEAR(genTurnAngle({0, 0}, {1, 0}, {1, 1}), kHatchTestPi / 2, 1e-12);
    EXPECT_NEAR(genTurnAngle({0, 0}, {1, 0}, {1, -1}), -kHatchTestPi / 2, 1e-12);
    EXPECT_NEAR(genTurnAngle({0, 1}, {0, 0}, {-1, 0.001}), -(kHatchTestPi / 2 + 0.001), 1e-6) << "brought into -pi..pi";
}

// --- Whole hatches as pictures -----------------------------------------------------------------

// Marks the pixels each stroke passes through (sampled every tenth of a unit).
std::vector<int> strokeCoverage(const std::vector<std::string>& lines) {
    std::vector<int> cover(kHatchGrid * kHatchGrid, 0);
    Point2 pen{0, 0};
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string kind;
        double x = 0, y = 0;
        in >> kind >> x >> y;
        if (kind == "lineTo") {
            const double length = std::hypot(x - pen.x, y - pen.y);
            const int steps = std::max(1, int(length * 10));
            for (int i = 0; i <= steps; ++i) {
                const int column = int(std::floor(pen.x + (x - pen.x) * i / steps));
                const int row = int(std::floor(pen.y + (y - pen.y) * i / steps));
                if (column >= 0 && column < kHatchGrid && row >= 0 && row < kHatchGrid)
                    cover[size_t(row * kHatchGrid + column)] = 1;
            }
        }
        pen = {x, y};
    }
    return cover;
}

class HatchPicture : public test::DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        matrices = beginSquareGrid(kHatchGrid, dbClassHatch(drawing->classes));
    }
    std::vector<std::string> draw(const HatchBody& hatch) {
        recorder.clear();
        EntityHeader header;
        EXPECT_EQ(genDrawHatch(drawing, header, hatch, matrices.data(), nullptr), 1);
        std::vector<std::string> found;
        for (const std::string& line : recorder.lines())
            if (line != "refresh" && !line.starts_with("color")) found.push_back(line);
        return found;
    }
    // On the hatch lines (world y = 10, 20, ... 190, each on the device row it lands on), each
    // pixel is covered exactly when its centre lies inside; pixels within 1.5 units of the
    // boundary are not judged. No other row is covered.
    void expectLines(const std::vector<std::string>& lines, const std::function<bool(Point2)>& inside,
                     const std::function<double(Point2)>& boundaryDistance) {
        const std::vector<int> cover = strokeCoverage(lines);
        auto rowCovered = [&](int row) {
            return std::any_of(cover.begin() + row * kHatchGrid, cover.begin() + (row + 1) * kHatchGrid,
                               [](int c) { return c != 0; });
        };
        std::vector<bool> judged(kHatchGrid, false);
        int wrong = 0, covered = 0;
        for (int y = 10; y < kHatchGrid && wrong < 5; y += 10) {
            int row = y;
            for (int r : {y, y + 1, y - 1})
                if (rowCovered(r)) {
                    row = r;
                    break;
                }
            judged[size_t(row)] = true;
            for (int column = 0; column < kHatchGrid && wrong < 5; ++column) {
                const Point2 p{column + 0.5, double(y)};
                const int actual = cover[size_t(row * kHatchGrid + column)];
                covered += actual;
                if (actual == (inside(p) ? 1 : 0) || boundaryDistance(p) < 1.5) continue;
                ++wrong;
                ADD_FAILURE() << "pixel " << column << "," << row << " (line y " << y << ") covered " << actual;
            }
        }
        for (int row = 0; row < kHatchGrid; ++row)
            if (!judged[size_t(row)] && rowCovered(row)) ADD_FAILURE() << "row " << row << " is off the hatch lines";
        EXPECT_GT(covered, 0);
    }
    std::vector<Matrix4> matrices;
};

HatchPath polylinePath(const std::vector<Point2>& points, uint32_t flags = 0) {
    HatchPath path;
    path.flags = kHatchPathPolyline | flags;
    path.closed = 1;
    for (const Point2& p : points) path.vertices.push_back({p, 0.0});
    return path;
}

HatchBody patternHatch(std::vector<HatchPath> paths, int16_t style = kHatchStyleNormal) {
    HatchBody hatch;
    hatch.paths = std::move(paths);
    hatch.style = style;
    // Horizontal lines at y = 0, 10, 20, ...
    hatch.patternLines = {patternLine(0.0, {0, 0}, {0, 10})};
    return hatch;
}

TEST_F(HatchPicture, TextBoxesSolidAndPatterned) {
    const HatchPath box = polylinePath({{80, 80}, {120, 80}, {120, 120}, {80, 120}}, kHatchPathTextBox);
    HatchBody solid = patternHatch({box});
    solid.solidFill = 1;
    EXPECT_TRUE(draw(solid).empty()) << "a solid hatch leaves its text box out";
    EXPECT_TRUE(draw(patternHatch({box})).empty()) << "a pattern goes around its text box";

    const HatchPath outer = polylinePath({{20, 20}, {180, 20}, {180, 180}, {20, 180}});
    auto inBox = [](Point2 p, double a, double b) { return p.x > a && p.x < b && p.y > a && p.y < b; };
    auto nearEdges = [](Point2 p) {
        double d = 1e9;
        for (double e : {20.0, 180.0, 80.0, 120.0}) d = std::min({d, std::fabs(p.x - e), std::fabs(p.y - e)});
        return d;
    };
    expectLines(draw(patternHatch({outer, box})), [&](Point2 p) { return inBox(p, 20, 180) && !inBox(p, 80, 120); },
                nearEdges);
    solid = patternHatch({outer, box});
    solid.solidFill = 1;
    const std::vector<std::string> filled = draw(solid);
    ASSERT_FALSE(filled.empty());
    for (const std::string& line : filled) EXPECT_TRUE(line.starts_with("polygon")) << "no hole for the text box";
}

TEST_F(HatchPicture, EllipseAndSplineEdges) {
    // A full ellipse about (100, 100), semi-axes 80 and 40 (the major axis along y).
    HatchPath ellipse;
    ellipse.edges.push_back(HatchEllipseEdge{{100, 100}, {0, 80}, 0.5, 0.0, 2 * kHatchTestPi, 1});
    auto inEllipse = [](Point2 p) {
        const double u = (p.x - 100) / 40, v = (p.y - 100) / 80;
        return u * u + v * v < 1;
    };
    auto ellipseDistance = [](Point2 p) {
        const double u = (p.x - 100) / 40, v = (p.y - 100) / 80;
        return std::fabs(std::sqrt(u * u + v * v) - 1) * 40;
    };
    expectLines(draw(patternHatch({ellipse})), inEllipse, ellipseDistance);

    // A triangle whose two sides are a spline of degree 1 and whose base is a line edge.
    HatchPath triangle;
    HatchSplineEdge spline;
    spline.degree = 1;
    spline.knots = {0, 0, 1, 2, 2};
    spline.controlPoints = {{{20, 20}, 1}, {{100, 180}, 1}, {{180, 20}, 1}};
    triangle.edges.push_back(spline);
    triangle.edges.push_back(HatchLineEdge{{180, 20}, {20, 20}});
    auto inTriangle = [](Point2 p) { return p.y > 20 && p.y < 180 && std::fabs(p.x - 100) < (180 - p.y) / 2; };
    auto triangleDistance = [](Point2 p) {
        return std::min(std::fabs(p.y - 20), std::fabs(std::fabs(p.x - 100) - (180 - p.y) / 2) * 0.89);
    };
    expectLines(draw(patternHatch({triangle})), inTriangle, triangleDistance);

    // Solid and pattern over the same paths: the fill covers what the lines cover.
    HatchBody solid = patternHatch({triangle});
    solid.solidFill = 1;
    const std::vector<std::string> filled = draw(solid);
    ASSERT_FALSE(filled.empty());
    for (const std::string& line : filled) EXPECT_TRUE(line.starts_with("polygon")) << line;
}

} // namespace
} // namespace tracemill
