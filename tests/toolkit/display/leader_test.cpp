// LEADER: the straight path with its arrowhead, hook and underline, the spline path, the scale
// of a leader whose style scales to the sheet, and the frame a leader asks around its text. A
// view of 10 device units per drawing unit; the leader's style has an arrow of size 1.
#include "toolkit/display/leader_drawer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "entity_drawing_fixture.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_types.h"

namespace tracemill {
namespace {

using test::Stroke;

class LeaderTest : public test::EntityDrawingTest {
protected:
    void SetUp() override {
        EntityDrawingTest::SetUp();
        start(kEntityLeader, 10.0);
        DimStyleRecord record;
        record.name = "LEADERS";
        record.dimscale = 1.0;
        record.dimasz = 1.0;
        record.dimgap = 0.5;
        style = addDimStyle(record);
    }
    LeaderBody leaderThrough(std::vector<Point3> points) const {
        LeaderBody body;
        body.points = std::move(points);
        body.dimensionStyle = style;
        body.arrowheadOn = 1;
        body.horizontalDirection = {1, 0, 0};
        return body;
    }
    std::set<Stroke> draw(const LeaderBody& body) {
        restart();
        EXPECT_EQ(genDrawLeader(drawing, EntityHeader{}, body, pass()), 1);
        return strokes();
    }
    void changeStyle(void (*change)(DimStyleRecord&)) {
        DimStyleRecord record;
        ASSERT_EQ(dbGetDimStyleByHandle(drawing, style, record), 1);
        change(record);
        ASSERT_EQ(dbPutDimStyle(drawing, record), 1);
    }

    Handle style;
};

// The closed, filled arrow at (1, 1) pointing from (4, 5): its base one unit back along the
// line, at (1.6, 1.8), where the line starts.
TEST_F(LeaderTest, StraightPathsWithHookAndUnderline) {
    const Point3 a{1, 1, 0}, b{4, 5, 0}, c{6, 5, 0};
    const Point3 base{1.6, 1.8, 0}, wing1{1.6 - 0.8 / 6, 1.8 + 0.6 / 6, 0}, wing2{1.6 + 0.8 / 6, 1.8 - 0.6 / 6, 0};
    const std::set<Stroke> arrow = {stroke(a, wing1), stroke(wing1, wing2), stroke(wing2, a)};
    auto with = [&](std::set<Stroke> lines) {
        lines.insert(arrow.begin(), arrow.end());
        return lines;
    };
    const struct {
        const char* name;
        void (*setUp)(LeaderBody&);
        std::set<Stroke> expected;
    } cases[] = {
        {"straight", [](LeaderBody&) {}, with({stroke(base, b), stroke(b, c)})},
        {"without its arrowhead the line starts at the first vertex", [](LeaderBody& l) { l.arrowheadOn = 0; },
         {stroke(a, b), stroke(b, c)}},
        {"a hook of one arrow size against the horizontal direction", [](LeaderBody& l) { l.hookLine = 1; },
         with({stroke(base, b), stroke(b, {5, 5, 0}), stroke({5, 5, 0}, c)})},
        {"a hook along it", [](LeaderBody& l) { l.hookLine = 1, l.hookLineOnXDirection = 1; },
         with({stroke(base, b), stroke(b, {7, 5, 0}), stroke({7, 5, 0}, c)})},
    };
    for (const auto& k : cases) {
        LeaderBody body = leaderThrough({a, b, c});
        k.setUp(body);
        EXPECT_EQ(draw(body), k.expected) << k.name;
    }

    // With the text above the line (DIMTAD) an MTEXT annotation is underlined from the last
    // vertex by the gap and its width, away from the hook; other annotations are not.
    changeStyle([](DimStyleRecord& s) { s.dimtad = 1; });
    LeaderBody underlined = leaderThrough({a, b, c});
    underlined.textWidth = 2.0;
    EXPECT_EQ(draw(underlined), with({stroke(base, b), stroke(b, c), stroke(c, {8.5, 5, 0})}));
    underlined.hookLineOnXDirection = 1;
    EXPECT_EQ(draw(underlined), with({stroke(base, b), stroke(b, c), stroke(c, {3.5, 5, 0})}));
    underlined.annotationType = 1;
    EXPECT_EQ(draw(underlined), with({stroke(base, b), stroke(b, c)}));
}

// Three vertices and more make a curve through them, starting at the trimmed arrow's base.
TEST_F(LeaderTest, ASplinePathIsACurveThroughItsVertices) {
    LeaderBody bent = leaderThrough({{1, 1, 0}, {4, 5, 0}, {6, 5, 0}});
    bent.pathType = 1;
    const std::set<Stroke> three = draw(bent);
    EXPECT_GT(three.size(), 3u + 10u) << "three vertices: the arrow and the chords of a curve";
    EXPECT_FALSE(three.count(stroke({4, 5, 0}, {6, 5, 0}))) << "no straight segment between the vertices";

    LeaderBody body = leaderThrough({{1, 1, 0}, {3, 4, 0}, {6, 4, 0}, {8, 6, 0}});
    body.pathType = 1;
    const std::set<Stroke> drawn = draw(body);
    EXPECT_GT(drawn.size(), 3u + 10u) << "the arrow and the chords of a curve";
    const test::DevicePair start = device({1.6, 1.8, 0}), end = device({8, 6, 0});
    const auto touches = [&](const test::DevicePair& p) {
        return std::any_of(drawn.begin(), drawn.end(), [&](const Stroke& s) { return s.first == p || s.second == p; });
    };
    EXPECT_TRUE(touches(start)) << "the curve starts at the arrow's base";
    EXPECT_TRUE(touches(end));
    EXPECT_FALSE(drawn.count(stroke({3, 4, 0}, {6, 4, 0}))) << "no straight segment between the vertices";
}

TEST_F(LeaderTest, AStyleThatScalesToTheSheetScalesByTheViewport) {
    EXPECT_EQ(genLeaderScale(drawing, EntityHeader{}, 2.5), 2.5);
    EXPECT_EQ(genLeaderScale(drawing, EntityHeader{}, 0.0), 1.0) << "model space shown alone";

    // A sheet of 4 device units per unit whose viewport shows model space at 18.
    clearModelSpace();
    drawing->header->tilemode = 0;
    add(viewportOf(1, {50, 50, 0}, 100, 100, 100, {5, 5}), drawing->paperSpace);
    add(viewportOf(2, {50, 50, 0}, 45, 45, 10, {5, 5}), drawing->paperSpace);
    begin(nullptr, HostRect{0, 0, 400, 400}, squareView());
    context().paperSpaceWithViewports = 1;
    EXPECT_NEAR(genLeaderScale(drawing, EntityHeader{}, 0.0), 4.0 / 18.0, 1e-12);
    EntityHeader paper;
    paper.flags = kEntityInPaperSpace;
    EXPECT_EQ(genLeaderScale(drawing, paper, 0.0), 1.0) << "a leader on the sheet";
}

// A negative gap frames the leader's MTEXT once, |gap| around it; the next MTEXT is not framed.
TEST_F(LeaderTest, ANegativeGapFramesTheAnnotation) {
    auto strokesWithGap = [&](double gap) {
        clearModelSpace();
        DimStyleRecord record;
        EXPECT_EQ(dbGetDimStyleByHandle(drawing, style, record), 1);
        record.dimgap = gap;
        EXPECT_EQ(dbPutDimStyle(drawing, record), 1);
        EntityRecord text = entity(kEntityMtext);
        MtextBody& mtext = text.bodyAs<MtextBody>();
        mtext.insertion = {5, 5, 0};
        mtext.xDirection = {1, 0, 0};
        mtext.textHeight = 1.0;
        mtext.attachment = 1;
        mtext.text = "AB";
        EntityRecord second = text;
        second.header.handle = dbNewHandle(*drawing);
        second.bodyAs<MtextBody>().insertion = {5, 2, 0};
        EntityRecord leader = entity(kEntityLeader);
        leader.bodyAs<LeaderBody>() = leaderThrough({{1, 1, 0}, {4, 5, 0}});
        leader.bodyAs<LeaderBody>().annotation = text.header.handle;
        add(leader);
        add(text);
        add(second);
        return drawStrokes();
    };
    const std::vector<std::string> plainLines = strokesWithGap(0.25);
    const std::vector<std::string> framedLines = strokesWithGap(-0.25);
    const std::set<Stroke> plain = test::strokesOf(plainLines), framed = test::strokesOf(framedLines);
    std::vector<Stroke> frame;
    std::set_difference(framed.begin(), framed.end(), plain.begin(), plain.end(), std::back_inserter(frame));
    ASSERT_EQ(frame.size(), 4u) << "one rectangle";
    // The frame encloses the first text with 2.5 device units to spare.
    int minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
    for (const Stroke& s : frame) {
        for (const test::DevicePair& p : {s.first, s.second}) {
            minX = std::min(minX, p.first), maxX = std::max(maxX, p.first);
            minY = std::min(minY, p.second), maxY = std::max(maxY, p.second);
        }
    }
    // The first text's strokes: right of x = 5, between y = 3.5 and y = 7.
    const int y0 = device({0, 3.5, 0}).second, y1 = device({0, 7, 0}).second;
    for (const Stroke& s : plain) {
        for (const test::DevicePair& p : {s.first, s.second}) {
            if (p.second < std::min(y0, y1) || p.second > std::max(y0, y1) || p.first < device({5, 0, 0}).first) continue;
            EXPECT_GE(p.first - minX, 2) << "left";
            EXPECT_GE(maxX - p.first, 2) << "right";
            EXPECT_GE(p.second - minY, 2) << "bottom";
            EXPECT_GE(maxY - p.second, 2) << "top";
        }
    }
    EXPECT_TRUE(context().framedAnnotation.isNull()) << "the frame is drawn once";
}

} // namespace
} // namespace tracemill
