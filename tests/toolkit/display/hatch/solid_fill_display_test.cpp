// Solid fills as the display draws them: genHatchSolidFill and genFillGlyphLoops through the
// recording hook set, judged as a picture. The view maps world to device one to one on a
// 200 x 200 device; every polygon and triangle strip the host receives is rasterised at the
// pixel centres and each pixel must be covered exactly as often as the expected region says.
#include "toolkit/display/hatch/solid_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../display_fixture.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/hatch/glyph_fill.h"

namespace tracemill {
namespace {

constexpr int kGrid = 200;

HatchSegments closedPath(const std::vector<Point2>& points) {
    HatchSegments path;
    for (size_t i = 0; i < points.size(); ++i) path.push_back({points[i], points[(i + 1) % points.size()]});
    return path;
}

HatchSegments box(double x0, double y0, double x1, double y1) {
    return closedPath({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

bool evenOddInside(const std::vector<Point2>& v, Point2 p) {
    bool inside = false;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++)
        if ((v[i].y > p.y) != (v[j].y > p.y) && p.x < (v[j].x - v[i].x) * (p.y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
            inside = !inside;
    return inside;
}

double pointToSegment(Point2 p, Point2 a, Point2 b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

std::vector<Point2> parsePoints(std::istringstream& in) {
    std::vector<Point2> points;
    std::string word;
    while (in >> word) {
        if (word == "|") break;
        const size_t comma = word.find(',');
        points.push_back({std::stod(word.substr(0, comma)), std::stod(word.substr(comma + 1))});
    }
    return points;
}

// Coverage of each pixel by the recorded fills: polygons and poly-polygons (even-odd over
// their rings) and the triangles of triangle strips.
std::vector<int> coverageOf(const std::vector<std::string>& lines) {
    std::vector<int> cover(kGrid * kGrid, 0);
    auto add = [&](const std::vector<std::vector<Point2>>& rings) {
        for (int row = 0; row < kGrid; ++row)
            for (int column = 0; column < kGrid; ++column) {
                const Point2 p{column + 0.5, row + 0.5};
                bool inside = false;
                for (const auto& ring : rings)
                    if (ring.size() >= 3) inside ^= evenOddInside(ring, p);
                cover[size_t(row * kGrid + column)] += inside;
            }
    };
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string kind;
        in >> kind;
        if (kind == "polygon") {
            add({parsePoints(in)});
        } else if (kind == "polyPolygon") {
            std::vector<std::vector<Point2>> rings;
            while (in) rings.push_back(parsePoints(in));
            add(rings);
        } else if (kind == "triangleStrip") {
            const std::vector<Point2> strip = parsePoints(in);
            for (size_t i = 0; i + 2 < strip.size(); ++i) add({{strip[i], strip[i + 1], strip[i + 2]}});
        }
    }
    return cover;
}

// Compares the coverage with the expected region; pixels whose centres lie within one device
// unit of a boundary are not judged (device points are integers).
void expectPicture(const std::vector<std::string>& lines, const std::vector<HatchSegments>& boundaries,
                   const std::function<bool(Point2)>& inside) {
    const std::vector<int> cover = coverageOf(lines);
    int wrong = 0;
    for (int row = 0; row < kGrid && wrong < 5; ++row)
        for (int column = 0; column < kGrid && wrong < 5; ++column) {
            const Point2 p{column + 0.5, row + 0.5};
            const int expected = inside(p) ? 1 : 0;
            const int actual = cover[size_t(row * kGrid + column)];
            if (actual == expected) continue;
            bool nearBoundary = false;
            for (const HatchSegments& path : boundaries)
                for (const HatchSegment& s : path) nearBoundary |= pointToSegment(p, s.start, s.end) < 1.0;
            if (nearBoundary) continue;
            ++wrong;
            ADD_FAILURE() << "pixel " << p.x << "," << p.y << " covered " << actual << " times, expected " << expected;
        }
}

bool within(Point2 p, double x0, double y0, double x1, double y1) { return p.x > x0 && p.x < x1 && p.y > y0 && p.y < y1; }

class SolidFillDisplay : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        matrices = beginSquareGrid(kGrid, dbClassHatch(drawing->classes));
    }
    // The fills the host received (refreshes left out).
    std::vector<std::string> fills() const {
        std::vector<std::string> found;
        for (const std::string& line : recorder.lines())
            if (line != "refresh") found.push_back(line);
        return found;
    }
    std::vector<std::string> hatch(std::vector<HatchSegments> paths, int16_t style) {
        recorder.clear();
        genHatchSolidFill(drawing, matrices.data(), paths, style, 0.0);
        return fills();
    }
    std::vector<std::string> glyph(const std::vector<HatchSegments>& loops) {
        recorder.clear();
        genFillGlyphLoops(drawing, matrices.data(), loops);
        return fills();
    }
    std::vector<Matrix4> matrices;
};

TEST_F(SolidFillDisplay, HatchPathsAsTheHostSeesThem) {
    const HatchSegments outer = box(20, 20, 180, 180), middle = box(60, 60, 140, 140), inner = box(90, 90, 110, 110);
    auto nested = [](int style) {
        return [style](Point2 p) {
            const bool inOuter = within(p, 20, 20, 180, 180), inMiddle = within(p, 60, 60, 140, 140),
                       inInner = within(p, 90, 90, 110, 110);
            if (style == 2) return inOuter;
            if (style == 1) return inOuter && !inMiddle;
            return (inOuter && !inMiddle) || inInner;
        };
    };
    HatchSegments gap1 = box(20, 20, 180, 180), gap2 = box(20, 20, 180, 180);
    gap1.back().end.y += 1e-5;
    gap2.back().end.y += 2e-5;
    // A triangle inside the square that touches its corner (20, 20).
    const HatchSegments touching = closedPath({{20, 20}, {100, 60}, {60, 100}});
    // A comb of 220 teeth: 1,760 edge events, sorted through runs.
    std::vector<Point2> comb{{10, 10}, {190, 10}};
    for (int k = 0; k < 220; ++k) {
        const double y = 10 + 0.8 * k;
        comb.push_back({190, y + 0.4});
        comb.push_back({100, y + 0.4});
        comb.push_back({100, y + 0.8});
    }
    comb.push_back({10, 186});
    const HatchSegments combPath = closedPath(comb);
    const HatchSegments diamond = closedPath({{100, 10}, {190, 100}, {100, 190}, {10, 100}});

    const struct {
        const char* name;
        std::vector<HatchSegments> paths;
        int16_t style;
        std::function<bool(Point2)> inside;
    } cases[] = {
        {"closure within 1e-5: filled", {gap1}, kHatchStyleNormal, [](Point2 p) { return within(p, 20, 20, 180, 180); }},
        {"closure 2e-5 away: not filled", {gap2}, kHatchStyleNormal, [](Point2) { return false; }},
        {"vertical edges dropped, the square still full", {box(30, 40, 170, 160)}, kHatchStyleNormal,
         [](Point2 p) { return within(p, 30, 40, 170, 160); }},
        {"three nested loops, style 0", {outer, middle, inner}, kHatchStyleNormal, nested(0)},
        {"three nested loops, style 1", {outer, middle, inner}, kHatchStyleOuter, nested(1)},
        {"three nested loops, style 2", {outer, middle, inner}, kHatchStyleIgnore, nested(2)},
        {"an island touching its loop is dropped (style 0)", {outer, touching}, kHatchStyleNormal,
         [](Point2 p) { return within(p, 20, 20, 180, 180); }},
        {"an island touching its loop is dropped (style 1)", {outer, touching}, kHatchStyleOuter,
         [](Point2 p) { return within(p, 20, 20, 180, 180); }},
        {"807 and more events through runs", {combPath}, kHatchStyleNormal,
         [&](Point2 p) { return evenOddInside(comb, p); }},
        {"sloped edges", {diamond}, kHatchStyleNormal,
         [](Point2 p) { return std::fabs(p.x - 100) + std::fabs(p.y - 100) < 90; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> lines = hatch(c.paths, c.style);
        for (const std::string& line : lines) EXPECT_TRUE(line.starts_with("polygon")) << line;
        expectPicture(lines, c.paths, c.inside);
    }
}

TEST_F(SolidFillDisplay, GlyphLoopsWithAndWithoutThePolyPolygonHook) {
    // A ring: outer square, inner square as a hole, and a separate dot.
    const std::vector<HatchSegments> loops = {box(40, 40, 160, 160), box(80, 80, 120, 120), box(170, 20, 190, 40)};
    auto ring = [](Point2 p) {
        return (within(p, 40, 40, 160, 160) && !within(p, 80, 80, 120, 120)) || within(p, 170, 20, 190, 40);
    };
    std::vector<std::string> lines = glyph(loops);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("polyPolygon")) << "one call with the loops apart: " << lines[0];
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '|'), 2);
    expectPicture(lines, loops, ring);

    // Without the host's hook the loops are bridged into one polygon, which goes out as
    // triangles: the bridges there and back cancel, the hole stays a hole.
    dbSetPolyPolygonHook(nullptr);
    lines = glyph(loops);
    ASSERT_GT(lines.size(), 1u);
    for (const std::string& line : lines) EXPECT_TRUE(line.starts_with("polygon")) << line;
    expectPicture(lines, loops, ring);

    EXPECT_TRUE(glyph({{}, {}}).empty()) << "loops without segments fill nothing";
}

} // namespace
} // namespace tracemill
