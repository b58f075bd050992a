// Arrowheads: the built-in shapes by kind, with the points each is drawn through and where the
// line's end goes; the arrowhead of a block name (none, other case, oblique, closed, a block of
// its own) and the arrow that does not fit its line. A view of 100 device units per drawing
// unit.
#include "toolkit/display/arrowheads.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "entity_drawing_fixture.h"
#include "toolkit/core/dim_arrow_settings.h"
#include "toolkit/core/entity_types.h"

namespace tracemill {
namespace {

using test::Stroke;

constexpr double kDevicePerUnit = 100.0;
constexpr double kOpen90 = 2.777777;

class ArrowheadTest : public test::EntityDrawingTest {
protected:
    void SetUp() override {
        EntityDrawingTest::SetUp();
        start(kEntityLeader, kDevicePerUnit);
    }
    std::set<Stroke> strokesThrough(const std::vector<std::pair<Point3, Point3>>& segments) const {
        std::set<Stroke> out;
        for (const auto& [a, b] : segments) out.insert(stroke(a, b));
        return out;
    }
    void expectAt(const Point3& actual, const Point3& expected, const std::string& name) const {
        EXPECT_NEAR(actual.x, expected.x, 1e-9) << name;
        EXPECT_NEAR(actual.y, expected.y, 1e-9) << name;
    }
};

// Tip (0.2, 0.5) pointing left along the line from (0.9, 0.5); half size 0.06, so s = 0.12 and
// the wings lie s / 6 = 0.02 to either side.
TEST_F(ArrowheadTest, BuiltInShapesAreDrawnThroughTheirPoints) {
    const Point3 tip{0.2, 0.5, 0.0}, other{0.9, 0.5, 0.0};
    const Point3 base{0.32, 0.5, 0.0}, wing1{0.32, 0.52, 0.0}, wing2{0.32, 0.48, 0.0};
    const Point3 open90{0.2 + 0.12 * kOpen90 / 3.0, 0.5, 0.0};
    const Point3 open90a{open90.x, 0.5 + 0.12 * kOpen90 / 6.0, 0.0}, open90b{open90.x, 0.5 - 0.12 * kOpen90 / 6.0, 0.0};
    const Point3 tick1{0.26, 0.56, 0.0}, tick2{0.14, 0.44, 0.0};
    const struct {
        const char* name;
        int16_t kind;
        bool trim;
        std::vector<std::pair<Point3, Point3>> strokes;
        bool filled;
        Point3 tipAfter;
    } cases[] = {
        {"default: closed and filled", kArrowDefault, false, {{tip, wing1}, {wing1, wing2}, {wing2, tip}}, true, base},
        {"closed", kArrowClosed, false, {{tip, wing1}, {wing1, wing2}, {wing2, tip}}, false, base},
        {"open keeps the line end", kArrowOpen, false, {{tip, wing1}, {wing2, tip}}, false, tip},
        {"open trimmed", kArrowOpen, true, {{tip, wing1}, {wing2, tip}}, false, base},
        {"open 90", kArrowOpen90, false, {{tip, open90a}, {open90b, tip}}, false, tip},
        {"open 90 trimmed", kArrowOpen90, true, {{tip, open90a}, {open90b, tip}}, false, open90},
        {"none", kArrowNone, true, {}, false, tip},
        {"oblique: one tick through the tip", kArrowOblique, true, {{tip, tick1}, {tick1, tick2}, {tick2, tip}}, false, tip},
        {"any other name", kArrowOther, true, {}, false, tip},
    };
    for (const auto& c : cases) {
        restart();
        Point3 moved = tip;
        genDrawArrowShape(drawing, c.kind, moved, other, {0, 0, 1}, matrices.data(), nullptr, 0.06, c.trim);
        EXPECT_EQ(strokes(), strokesThrough(c.strokes)) << c.name;
        ASSERT_EQ(fills().size(), c.filled ? 1u : 0u) << c.name;
        if (c.filled) {
            const std::vector<test::DevicePair> points = test::fillPointsOf(fills()[0]);
            EXPECT_EQ(std::set<test::DevicePair>(points.begin(), points.end()),
                      (std::set<test::DevicePair>{device(tip), device(wing1), device(wing2)}))
                << c.name;
        }
        expectAt(moved, c.tipAfter, c.name);
    }
}

// Dot and origin: a circle of radius s / 2 about tip + s / 2, of 4 x curve resolution chords
// through the tip; the dot fills each chord's triangle with the tip.
TEST_F(ArrowheadTest, DotAndOriginAreCirclesThroughTheTip) {
    const Point3 tip{0.2, 0.5, 0.0}, other{0.9, 0.5, 0.0}, centre{0.26, 0.5, 0.0};
    for (const int16_t kind : {kArrowDot, kArrowOrigin}) {
        restart();
        Point3 moved = tip;
        genDrawArrowShape(drawing, kind, moved, other, {0, 0, 1}, matrices.data(), nullptr, 0.06, false);
        const std::set<Stroke> chords = strokes();
        EXPECT_EQ(chords.size(), size_t(4 * gOutputHookTable->curveResolution)) << kind;
        const test::DevicePair c = device(centre);
        bool throughTip = false;
        for (const Stroke& s : chords) {
            for (const test::DevicePair& p : {s.first, s.second}) {
                EXPECT_NEAR(std::hypot(p.first - c.first, p.second - c.second), 6.0, 1.0) << kind;
                throughTip = throughTip || p == device(tip);
            }
        }
        EXPECT_TRUE(throughTip) << kind;
        // A triangle whose device points all share x or y is not sent: a few next to the tip.
        if (kind == kArrowDot) EXPECT_GE(fills().size() + 4, chords.size());
        else EXPECT_TRUE(fills().empty());
        expectAt(moved, centre, std::to_string(kind));
    }
}

// The arrowhead of a block name on a line from the tip to the other end: what is drawn (line
// strokes and fills) and where the line's end goes.
TEST_F(ArrowheadTest, ArrowheadsByBlockName) {
    const Handle none = addBlock("_NONE");
    const Handle lowerNone = addBlock("_none");
    const Handle oblique = addBlock("_OBLIQUE");
    const Handle closed = addBlock("_CLOSED");
    const struct {
        const char* name;
        Handle block;
        double length;  // of the line
        bool trim;
        size_t strokes;
        size_t fills;
        double moved;  // how far the tip moves along the line
    } cases[] = {
        {"half size 0.09 on a line of 0.35: does not fit", Handle(), 0.35, false, 0, 0, 0.0},
        {"half size 0.09 on a line of 0.36: fits", Handle(), 0.36, false, 3, 1, 0.18},
        {"_NONE draws nothing and keeps the end", none, 0.5, false, 0, 0, 0.0},
        {"_NONE trimmed moves the end by the half size", none, 0.5, true, 0, 0, 0.09},
        {"_none is the built-in none", lowerNone, 0.5, false, 0, 0, 0.0},
        {"_OBLIQUE keeps the line end", oblique, 0.5, false, 3, 0, 0.0},
        {"_CLOSED moves the end back by the full size", closed, 0.5, false, 3, 0, 0.18},
    };
    for (const auto& c : cases) {
        restart();
        const Point3 other{0.1 + c.length, 0.5, 0.0};
        Point3 tip{0.1, 0.5, 0.0};
        genDrawArrowhead(drawing, EntityHeader{}, tip, other, pass(), c.block, 0.09, 3, c.trim);
        EXPECT_EQ(strokes().size(), c.strokes) << c.name;
        EXPECT_EQ(fills().size(), c.fills) << c.name;
        EXPECT_NEAR(tip.x, 0.1 + c.moved, 1e-12) << c.name;
        EXPECT_EQ(tip.y, 0.5) << c.name;
        EXPECT_EQ(recorder.linesOf("color").back(), "color 3") << c.name << ": the colour given is sent last";
    }
}

// A block of its own is inserted at the tip, turned along the line and scaled by the full size;
// the line then starts a full size back, and the entity is drawn as itself again afterwards.
TEST_F(ArrowheadTest, ABlockArrowIsInsertedAlongTheLine) {
    const Handle arrow = addBlock("MYARROW");
    EntityRecord shaft = lineFrom({-1, 0, 0}, {0, 0, 0});
    EntityRecord barb = lineFrom({-1, 0.5, 0}, {0, 0, 0});
    add(shaft, dbGetBlockEntityList(drawing, arrow));
    add(barb, dbGetBlockEntityList(drawing, arrow));
    // The line runs from the tip to the right: the block's -x points right.
    const Point3 other{0.7, 0.5, 0.0};
    Point3 tip{0.3, 0.5, 0.0};
    genDrawArrowhead(drawing, EntityHeader{}, tip, other, pass(), arrow, 0.09, 3, false);
    EXPECT_EQ(strokes(), (std::set<Stroke>{stroke({0.48, 0.5, 0}, {0.3, 0.5, 0}), stroke({0.48, 0.41, 0}, {0.3, 0.5, 0})}));
    EXPECT_NEAR(tip.x, 0.48, 1e-12);
    EXPECT_EQ(context().entity.kind, kEntityLeader);
}

} // namespace
} // namespace tracemill
