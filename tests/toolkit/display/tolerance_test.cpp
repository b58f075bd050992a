// TOLERANCE frames: the text cut into rows and cells, the empty frame, the frame lines where
// the bands and the measured cells put them, in the style's colours and its overrides. A view
// of 10 device units per drawing unit.
#include "toolkit/display/tolerance_drawer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dimension_overrides.h"
#include "entity_drawing_fixture.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/display/text/mtext_display.h"

namespace tracemill {
namespace {

using test::Stroke;

TEST(ToleranceCells, RowsAtLineFeedsAndCaretsCellsAtSeparators) {
    using Rows = std::vector<std::vector<std::string>>;
    const struct {
        const char* text;
        bool caret;
        Rows rows;
    } cases[] = {
        {"A%%vB", true, {{"A", "B"}}},
        {"A%%VB%%v", true, {{"A", "B", ""}}},
        {"{\\Fgdt;r}%%v1%%v2%%v%%v%%v^J10", true, {{"{\\Fgdt;r}", "1", "2", "", "", ""}, {"10"}}},
        {"A^JB", false, {{"A^JB"}}},
        {"A\nB%%vC", false, {{"A"}, {"B", "C"}}},
        {"%%", true, {{"%%"}}},
        {"", true, {{""}}},
    };
    for (const auto& c : cases) EXPECT_EQ(genToleranceCells(c.text, c.caret), c.rows) << c.text;
}

class ToleranceTest : public test::EntityDrawingTest {
protected:
    void SetUp() override {
        EntityDrawingTest::SetUp();
        start(kEntityTolerance, 10.0);
        DimStyleRecord record;
        record.name = "FRAMES";
        record.dimscale = 1.0;
        record.dimtxt = 0.5;
        record.dimclrd = 1;
        record.dimclrt = 3;
        style = addDimStyle(record);
    }
    ToleranceBody frame(const std::string& text, double height) const {
        ToleranceBody body;
        body.insertion = {1, 8, 0};
        body.xDirection = {1, 0, 0};
        body.textHeight = height;
        body.text = text;
        body.dimensionStyle = style;
        return body;
    }
    // The strokes drawn in each colour.
    std::map<int, std::set<Stroke>> strokesByColour(const EntityHeader& header, const ToleranceBody& body) {
        restart();
        EXPECT_EQ(genDrawTolerance(drawing, header, body, pass()), 1);
        std::map<int, std::vector<std::string>> lines;
        int colour = -1;
        for (const std::string& line : recorder.lines()) {
            if (line.starts_with("color ")) colour = std::stoi(line.substr(6));
            else lines[colour].push_back(line);
        }
        std::map<int, std::set<Stroke>> out;
        for (const auto& [c, l] : lines) out[c] = test::strokesOf(l);
        return out;
    }
    // The width of a cell's text as the frame measures it.
    double widthOf(const std::string& cell, double height) {
        MtextBody text;
        text.textHeight = height;
        text.attachment = 1;
        text.xDirection = {1, 0, 0};
        text.text = cell;
        genMeasureMText(drawing, text, kIdentityMatrix4);
        return text.extentsWidth;
    }

    Handle style;
};

TEST_F(ToleranceTest, AnEmptyFrameDrawsNothing) {
    for (const char* text : {"%%v%%v%%v%%v%%v", "", "  "}) {
        restart();
        EXPECT_EQ(genDrawTolerance(drawing, EntityHeader{}, frame(text, 1.0), pass()), 1);
        EXPECT_TRUE(recorder.lines().empty()) << text;
    }
}

// Two rows of height 2H (H = 1) from H above the insertion point down; in a row the left edge,
// each cell H/2 + its width + H/2 wide and closed by a separator; the line between the rows as
// long as the wider row, the last row's bottom line as long as that row. Empty cells are not
// drawn. Frame lines in the dimension line colour, texts in the text colour.
TEST_F(ToleranceTest, FrameLinesWhereTheBandsAndCellsPutThem) {
    const double H = 1.0;
    const double a = widthOf("A", H), bc = widthOf("BC", H), d = widthOf("DEFGHIJK", H);
    const double row1 = H + a + H + bc, row2 = H + d;
    ASSERT_GT(row2, row1) << "the second row is the wider";
    const Point3 o{1, 8, 0};
    auto at = [&](double x, double y) { return Point3{o.x + x, o.y + y, 0}; };
    const std::set<Stroke> expected = {
        stroke(at(0, H), at(0, -H)),                     // row 1: left edge
        stroke(at(H + a, H), at(H + a, -H)),             // after "A"
        stroke(at(row1, H), at(row1, -H)),               // after "BC"
        stroke(at(0, H), at(row1, H)),                   // its top line
        stroke(at(0, -H), at(0, -3 * H)),                // row 2: left edge
        stroke(at(row2, -H), at(row2, -3 * H)),          // after "DEFGHIJK"
        stroke(at(0, -H), at(row2, -H)),                 // between the rows: the wider row's length
        stroke(at(0, -3 * H), at(row2, -3 * H)),         // the bottom line
    };
    std::map<int, std::set<Stroke>> drawn = strokesByColour(EntityHeader{}, frame("A%%vBC%%v%%v^JDEFGHIJK", H));
    EXPECT_EQ(drawn[1], expected);
    EXPECT_GT(drawn[3].size(), 6u) << "the letters";
    for (const Stroke& s : drawn[3]) {
        EXPECT_GT(s.first.second, device(at(0, -3 * H)).second - 1);
        EXPECT_LT(s.first.second, device(at(0, H)).second + 1);
    }

    // A frame whose entity holds no height takes the style's text height.
    drawn = strokesByColour(EntityHeader{}, frame("A", 0.0));
    EXPECT_TRUE(drawn[1].count(stroke(at(0, 0.5), at(0, -0.5)))) << "bands of twice DIMTXT";
}

// The "DSTYLE" overrides of the entity: text height (140), line and text colours (176, 178).
TEST_F(ToleranceTest, OverridesOfTheEntity) {
    Handle acad;
    ASSERT_EQ(dbFindAppIdHandle(drawing, "ACAD", acad), 1);
    const EntityHeader header = test::headerWithXData(
        {test::app(acad), test::text("DSTYLE"), test::brace(false), test::int16(140), test::real(2.0),
         test::int16(176), test::int16(5), test::int16(178), test::int16(6), test::brace(true)},
        kEntityTolerance);
    const std::map<int, std::set<Stroke>> drawn = strokesByColour(header, frame("X", 1.0));
    ASSERT_TRUE(drawn.count(5));
    ASSERT_TRUE(drawn.count(6));
    const Point3 top{1, 10, 0}, bottom{1, 6, 0};
    EXPECT_TRUE(drawn.at(5).count(stroke(top, bottom))) << "the left edge of a band of 2 x 2";
    EXPECT_FALSE(drawn.count(1));
}

} // namespace
} // namespace tracemill
