// MLINE: the elements along the vertices, their breaks, the closing segment of a closed
// multiline, the fills between elements, miters and caps. A view of 10 device units per
// drawing unit; multilines run along the x axis, their elements offset along y.
#include "toolkit/display/mline_drawer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "entity_drawing_fixture.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_record.h"

namespace tracemill {
namespace {

using test::Stroke;

class MlineTest : public test::EntityDrawingTest {
protected:
    void SetUp() override {
        EntityDrawingTest::SetUp();
        start(kEntityMline, 10.0);
    }
    Handle styleOf(int16_t flags, std::vector<double> offsets) {
        MlineStyleBody style;
        style.name = "S" + std::to_string(++styles_);
        style.flags = flags;
        style.fillColour = 2;
        int16_t colour = 1;
        for (double offset : offsets) style.elements.push_back({offset, colour++, kMlineLinetypeByLayer});
        return addObject(kObjectMlineStyle, std::move(style));
    }
    // A multiline through the points with its elements at the offsets (the parameters of each
    // vertex: the offset along the miter, 0 along the segment), miters straight up.
    MlineBody mlineThrough(Handle style, const std::vector<Point2>& points, const std::vector<double>& offsets) const {
        MlineBody body;
        body.style = style;
        body.scale = 20.0;  // in the parameters already: it must not move the elements again
        body.flags = 1;
        for (size_t i = 0; i < points.size(); ++i) {
            MlineVertex v;
            v.position = {points[i].x, points[i].y, 0};
            const Point2& next = points[std::min(i + 1, points.size() - 1)];
            const Point2& from = i + 1 < points.size() ? points[i] : points[i - 1];
            const double dx = next.x - from.x, dy = next.y - from.y, length = std::hypot(dx, dy);
            v.direction = {dx / length, dy / length, 0};
            v.miter = {0, 1, 0};
            for (double offset : offsets) v.elements.push_back({{offset, 0.0}, {}});
            body.vertices.push_back(v);
        }
        return body;
    }
    std::set<Stroke> draw(const MlineBody& body) {
        restart();
        EXPECT_EQ(genDrawMline(drawing, EntityHeader{}, body, pass()), 1);
        return strokes();
    }

    int styles_ = 0;
};

TEST_F(MlineTest, ElementsRunFromVertexToVertex) {
    const Handle plain = styleOf(0, {0.5, -0.5});
    const std::vector<Point2> path{{1, 5}, {4, 5}, {7, 5}};
    EXPECT_EQ(draw(mlineThrough(plain, path, {0.5, -0.5})),
              (std::set<Stroke>{stroke({1, 5.5, 0}, {4, 5.5, 0}), stroke({4, 5.5, 0}, {7, 5.5, 0}),
                                stroke({1, 4.5, 0}, {4, 4.5, 0}), stroke({4, 4.5, 0}, {7, 4.5, 0})}));
    // Each element in its own colour.
    std::vector<std::string> colours = recorder.linesOf("color");
    EXPECT_NE(std::find(colours.begin(), colours.end(), "color 1"), colours.end());
    EXPECT_NE(std::find(colours.begin(), colours.end(), "color 2"), colours.end());

    // A closed multiline comes back to its first vertex.
    MlineBody closed = mlineThrough(plain, {{1, 2}, {5, 2}, {5, 6}}, {0.0});
    closed.flags = 3;
    const std::set<Stroke> ring = draw(closed);
    EXPECT_TRUE(ring.count(stroke({5, 6, 0}, {1, 2, 0}))) << "the closing segment";
    EXPECT_EQ(ring.size(), 3u);

    // Further parameters break an element: drawn to 1 along the segment, not drawn to 2, drawn
    // on into the next vertex.
    MlineBody broken = mlineThrough(plain, path, {0.5});
    broken.vertices[0].elements[0].segment = {0.5, 0.0, 1.0, 2.0};
    EXPECT_EQ(draw(broken), (std::set<Stroke>{stroke({1, 5.5, 0}, {2, 5.5, 0}), stroke({3, 5.5, 0}, {4, 5.5, 0}),
                                             stroke({4, 5.5, 0}, {7, 5.5, 0})}));

    // A vertex that holds fewer elements than the style: what is there, and no more.
    MlineBody short_ = mlineThrough(plain, path, {0.5, -0.5});
    short_.vertices[1].elements.pop_back();
    EXPECT_EQ(draw(short_), (std::set<Stroke>{stroke({1, 5.5, 0}, {4, 5.5, 0}), stroke({4, 5.5, 0}, {7, 5.5, 0})}));
}

TEST_F(MlineTest, MitersSquareCapsAndFill) {
    const std::vector<Point2> path{{1, 5}, {4, 5}, {7, 5}};
    const std::set<Stroke> elements = {stroke({1, 5.5, 0}, {4, 5.5, 0}), stroke({4, 5.5, 0}, {7, 5.5, 0}),
                                       stroke({1, 4.5, 0}, {4, 4.5, 0}), stroke({4, 4.5, 0}, {7, 4.5, 0})};
    const std::set<Stroke> miter = {stroke({4, 5.5, 0}, {4, 4.5, 0})};
    const std::set<Stroke> caps = {stroke({1, 5.5, 0}, {1, 4.5, 0}), stroke({7, 5.5, 0}, {7, 4.5, 0})};
    auto join = [](std::set<Stroke> a, const std::set<Stroke>& b) {
        a.insert(b.begin(), b.end());
        return a;
    };
    const struct {
        const char* name;
        int16_t flags;
        std::set<Stroke> expected;
        size_t fills;
    } cases[] = {
        {"miters", kMlineStyleMiters, join(elements, miter), 0},
        {"square caps", kMlineStyleStartSquare | kMlineStyleEndSquare, join(elements, caps), 0},
        {"fill between the elements", kMlineStyleFill, elements, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(draw(mlineThrough(styleOf(c.flags, {0.5, -0.5}), path, {0.5, -0.5})), c.expected) << c.name;
        EXPECT_EQ(fills().size(), c.fills) << c.name;
        if (c.fills) {
            EXPECT_EQ(recorder.lines().front(), "color 2") << "the fill colour first";
        }
    }
}

// Round caps are half circles between the outermost elements, inner arcs join the pairs
// within; a closed multiline has neither, its square caps stay.
TEST_F(MlineTest, RoundCapsAndInnerArcs) {
    const int16_t arcs = kMlineStyleStartRound | kMlineStyleEndRound | kMlineStyleStartInnerArcs |
                         kMlineStyleEndInnerArcs;
    const std::vector<double> offsets{1.5, 0.5, -0.5, -1.5};
    const std::vector<Point2> path{{3, 5}, {7, 5}};
    const std::set<Stroke> none = draw(mlineThrough(styleOf(0, offsets), path, offsets));
    const std::set<Stroke> outer =
        draw(mlineThrough(styleOf(kMlineStyleStartRound | kMlineStyleEndRound, offsets), path, offsets));
    const std::set<Stroke> all = draw(mlineThrough(styleOf(arcs, offsets), path, offsets));
    EXPECT_EQ(none.size(), 4u);
    EXPECT_GE(outer.size(), none.size() + 2 * 4) << "two half circles of chords";
    EXPECT_GT(all.size(), outer.size()) << "and the inner arcs";
    // Every chord of a cap lies behind the start or beyond the end.
    const int start = device({3, 0, 0}).first, end = device({7, 0, 0}).first;
    for (const Stroke& s : all) {
        if (none.count(s)) continue;
        for (const test::DevicePair& p : {s.first, s.second}) EXPECT_TRUE(p.first <= start || p.first >= end);
    }

    MlineBody closed = mlineThrough(styleOf(arcs | kMlineStyleStartSquare | kMlineStyleEndSquare, offsets),
                                    {{3, 5}, {7, 5}, {5, 8}}, offsets);
    closed.flags = 3;
    const std::set<Stroke> ring = draw(closed);
    EXPECT_EQ(ring.size(), 3u * 4u + 2u) << "the elements of three segments and two square caps, no arcs";
}

} // namespace
} // namespace tracemill
