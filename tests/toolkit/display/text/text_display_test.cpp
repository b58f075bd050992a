// Single-line text and MTEXT drawn through the recording hook set. The view maps world (x, y)
// to device (10 x, 10 y) on a 100 x 100 device, so a tenth of a drawing unit is one device
// unit.
#include "toolkit/display/text/single_line_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../display_fixture.h"
#include "../recorded_strokes.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/text/mtext_display.h"
#include "toolkit/display/text/text_fonts.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {
namespace {

using test::Stroke;
using test::strokesOf;

struct DeviceBounds {
    int minX = 1 << 30, minY = 1 << 30, maxX = -(1 << 30), maxY = -(1 << 30);
};

DeviceBounds boundsOf(const std::set<Stroke>& strokes) {
    DeviceBounds b;
    for (const Stroke& s : strokes)
        for (const auto& p : {s.first, s.second}) {
            b.minX = std::min(b.minX, p.first);
            b.maxX = std::max(b.maxX, p.first);
            b.minY = std::min(b.minY, p.second);
            b.maxY = std::max(b.maxY, p.second);
        }
    return b;
}

// A linetype of a dash of 1 and a gap of 1 that holds the text "X" of style "Standard" at half
// the pattern scale.
LinetypeRecord dashAndTextX(Drawing* drawing) {
    Handle standard;
    EXPECT_EQ(dbFindStyleHandle(drawing, "Standard", standard), 1);
    LinetypeRecord linetype;
    linetype.handle = dbNewHandle(*drawing);
    linetype.drawing = drawing;
    linetype.dashCount = 2;
    linetype.patternLength = 2.0;
    linetype.dashes[0].length = 1.0;
    linetype.dashes[1].length = -1.0;
    linetype.dashes[1].complexFlags = 2;
    linetype.dashes[1].style = standard;
    linetype.dashes[1].scale = 0.5;
    linetype.textArea = std::string("X\0", 2);
    return linetype;
}

class TextDisplay : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        ViewBlock view = squareView();
        view.target = {5.0, 5.0, 0.0, 1.0};
        view.width = view.height = 10.0;
        begin(nullptr, kDevice, view);
        context().planMask = 1;
        context().entity = DrawnEntity{};
        context().entity.kind = kEntityText;
        recorder.clear();
    }
    static TextFields textOf(const std::string& text, double height) {
        TextFields t;
        t.text = text;
        t.height = height;
        t.widthFactor = 1.0;
        return t;
    }
    std::set<Stroke> draw(const TextFields& text, const StyleRecord& style = StyleRecord{}, double minimum = 0.0) {
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        EXPECT_EQ(genDrawText(drawing, text, style, kIdentityMatrix4, minimum), 1);
        return strokesOf(recorder.lines());
    }
};

TEST_F(TextDisplay, TheLetterAOfSimplexAtATenth) {
    // Hershey's "A" in shape units (x from its left bound, y up from the baseline): the two
    // legs from the apex (9, 21) and the bar at 7; height 2.1 over 21 units is a scale of 0.1,
    // and the view's 10 device units per drawing unit give the shape units back.
    const std::set<Stroke> expected = {{{1, 0}, {9, 21}}, {{9, 21}, {17, 0}}, {{4, 7}, {14, 7}}};
    EXPECT_EQ(draw(textOf("A", 2.1)), expected);
}

TEST_F(TextDisplay, CasesOfSingleLineText) {
    StyleRecord pfb;
    pfb.fontFile = "font.pfb";
    TextFields oblique86 = textOf("A", 2.1);
    oblique86.obliqueAngle = 86.0 * 3.14159265358979323846 / 180.0;
    TextFields oblique60 = oblique86;
    oblique60.obliqueAngle = 60.0 * 3.14159265358979323846 / 180.0;
    TextFields backwards = textOf("A", 2.1);
    backwards.insertion = {5.0, 0.0, 0.0};
    backwards.generation = 2;
    TextFields moved = textOf("A", 2.1);
    moved.insertion = {3.0, 2.0, 0.0};
    moved.rotation = 3.14159265358979323846 / 2.0;
    const struct {
        const char* name;
        TextFields text;
        StyleRecord style;
        int strokes;  // -1: not compared
        DeviceBounds bounds;
    } cases[] = {
        {"spaces only draw nothing", textOf("   ", 2.1), {}, 0, {}},
        {"an oblique of 86 degrees draws nothing", oblique86, {}, 0, {}},
        {"60 degrees still draws, slanted", oblique60, {}, 3, {1, 0, 9 + 36, 21}},
        {"a .pfb style draws at half height", textOf("A", 4.2), pfb, 3, {1, 0, 17, 21}},
        {"backwards: mirrored in x", backwards, {}, 3, {50 - 17, 0, 50 - 1, 21}},
        {"moved and turned a quarter", moved, {}, 3, {30 - 21, 20 + 1, 30, 20 + 17}},
    };
    for (const auto& c : cases) {
        const std::set<Stroke> strokes = draw(c.text, c.style);
        EXPECT_EQ(int(strokes.size()), c.strokes) << c.name;
        if (strokes.empty()) continue;
        const DeviceBounds b = boundsOf(strokes);
        EXPECT_NEAR(b.minX, c.bounds.minX, 1) << c.name;
        EXPECT_NEAR(b.minY, c.bounds.minY, 1) << c.name;
        EXPECT_NEAR(b.maxX, c.bounds.maxX, 1) << c.name;
        EXPECT_NEAR(b.maxY, c.bounds.maxY, 1) << c.name;
    }
}

TEST_F(TextDisplay, QuickTextAndTextBelowTheMinimumHeight) {
    drawing->header->qtextmode = 1;
    const std::set<Stroke> rectangle = {{{0, 0}, {30, 0}}, {{0, 0}, {0, 10}}, {{0, 10}, {30, 10}}, {{30, 0}, {30, 10}}};
    EXPECT_EQ(draw(textOf("ABC", 1.0)), rectangle) << "QTEXTMODE: characters x height x width factor";
    EXPECT_EQ(draw(textOf("A\\U+00B0C", 1.0)), rectangle) << "an escape counts as one character";
    drawing->header->qtextmode = 0;
    EXPECT_EQ(draw(textOf("ABC", 1.0), {}, 1.5), (std::set<Stroke>{{{0, 0}, {30, 0}}}))
        << "below the minimum height: the baseline only";
    EXPECT_GT(draw(textOf("ABC", 1.0), {}, 0.5).size(), 3u) << "above it: the letters";
}

TEST_F(TextDisplay, SymbolsOfTheBuiltInFont) {
    // %%d and \U+00B0 both draw SIMPLEX's degree sign (shape 256): a small circle at the top of
    // the cell, nothing on the baseline.
    const std::set<Stroke> percent = draw(textOf("%%d", 2.1));
    const std::set<Stroke> unicode = draw(textOf("\\U+00B0", 2.1));
    ASSERT_FALSE(percent.empty());
    EXPECT_EQ(percent, unicode);
    EXPECT_GE(boundsOf(percent).minY, 10);
    // Escapes cut off by the end of the text read nothing beyond it.
    EXPECT_EQ(draw(textOf("A%%", 2.1)), draw(textOf("A", 2.1)));
    EXPECT_FALSE(draw(textOf("\\U+", 2.1)).empty());
    EXPECT_FALSE(draw(textOf("\\M+", 2.1)).empty());
}

TEST(TextFonts, AFontWithoutHeightTakesTheBuiltInFontsHeight) {
    ShapeFont flat;
    flat.kind = kFontKindShapes11;
    EXPECT_EQ(genShapeUnitsPerHeight(&flat, nullptr), kDefaultFontAbove);
    flat.above = 8;
    EXPECT_EQ(genShapeUnitsPerHeight(&flat, nullptr), 8);
    ShapeFont big;
    big.kind = kFontKindBigFont;
    big.bigHeight = 16;
    EXPECT_EQ(genShapeUnitsPerHeight(&flat, &big), 16);
    big.bigHeight = 0;
    EXPECT_EQ(genShapeUnitsPerHeight(&flat, &big), 8);
}

class MTextDisplay : public TextDisplay {
protected:
    MtextBody mtext(const std::string& text, double width) {
        MtextBody body;
        body.text = text;
        body.textHeight = 1.0;
        body.referenceWidth = width;
        body.attachment = 1;
        body.lineSpacingStyle = 1;
        body.lineSpacingFactor = 1.0;
        body.xDirection = {1, 0, 0};
        return body;
    }
    std::set<Stroke> draw(MtextBody& body) {
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        context().entity.kind = kEntityMtext;
        EXPECT_EQ(genDrawMText(drawing, body, kIdentityMatrix4, 7, 7, 7, 1), 1);
        return strokesOf(recorder.lines());
    }
};

TEST_F(MTextDisplay, MeasuredExtentsAndWrapping) {
    const struct {
        const char* name;
        std::string text;
        double width;
        int lines;
    } cases[] = {
        {"one line", "AB CD", 100.0, 1},
        {"a reference width of 0 never wraps", "AB CD EF GH IJ KL", 0.0, 1},
        {"a width of a tenth of the height never wraps", "AB CD EF GH IJ KL", 0.1, 1},
        {"a narrow width wraps at the spaces", "AB CD EF", 2.0, 3},
        {"paragraphs", "AB\\PCD", 100.0, 2},
    };
    for (const auto& c : cases) {
        MtextBody body = mtext(c.text, c.width);
        EXPECT_FALSE(draw(body).empty()) << c.name;
        EXPECT_NEAR(body.extentsHeight, 1.0 + (c.lines - 1) * 5.0 / 3.0, 1e-9) << c.name;
        EXPECT_GT(body.extentsWidth, 0.0) << c.name;
    }
}

TEST_F(MTextDisplay, AnR13TextBreaksAtItsLineFeedsAndDoesNotWrap) {
    MtextBody body = mtext("AB CD\nEF GH", 2.0);
    drawing->versionIndex = 5;
    draw(body);
    EXPECT_NEAR(body.extentsHeight, 1.0 + 5.0 / 3.0, 1e-9) << "two lines: the line feed breaks, nothing wraps";
    drawing->versionIndex = 7;
    draw(body);
    EXPECT_NEAR(body.extentsHeight, 1.0 + 2 * 5.0 / 3.0, 1e-9)
        << "the line feed is passed over, the words wrap: AB, CDEF, GH";
}

TEST_F(MTextDisplay, MTextLettersMatchSingleLineText) {
    // "A" of MTEXT at its top-left attachment: the baseline one text height below the
    // insertion, the letter's left edge on it (the line box starts where the ink does).
    MtextBody body = mtext("A", 100.0);
    body.textHeight = 2.1;
    body.insertion = {1.0, 2.1, 0.0};
    TextFields text = textOf("A", 2.1);
    text.insertion = {0.9, 0.0, 0.0};
    EXPECT_EQ(draw(body), TextDisplay::draw(text));
}

} // namespace
} // namespace tracemill

namespace tracemill {
namespace {

// A linetype of a dash and a text element "X": ten drawing units of it are five repetitions,
// and each draws its "X" (two strokes of SIMPLEX) once.
TEST_F(TextDisplay, ALinetypeTextIsDrawnOncePerRepetition) {
    const LinetypeRecord linetype = dashAndTextX(drawing);
    context().entity.kind = kEntityLine;
    context().linetypeEnable = 1;  // as a list walk sets it
    context().viewports[0].baseDeviceScale = 10.0;
    std::vector<Matrix4> matrices;
    for (int i = 0; i < context().viewportCount; ++i) matrices.push_back(context().viewports[size_t(i)].worldToDevice);
    auto lineTos = [&](const LinetypeRecord& pattern, uint32_t identity) {
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        genDrawLinetypedSegment(drawing, {0, 5, 0}, {10, 5, 0}, matrices.data(), &pattern, nullptr, identity, 0.0);
        return recorder.linesOf("lineTo").size();
    };
    LinetypeRecord plain = linetype;
    plain.dashes[1].complexFlags = 0;
    const size_t withText = lineTos(linetype, 101);
    const size_t without = lineTos(plain, 102);
    EXPECT_EQ(without, 6u) << "five dashes, centred: a half dash at each end";
    EXPECT_EQ(withText - without, 5u * 2u) << "an X in each of the five repetitions";
}

} // namespace
} // namespace tracemill

namespace tracemill {
namespace {

// A sheet of 100 x 100 units on a 400 x 400 device with two viewports side by side, each
// showing the model-space square (0, 0)-(10, 10) on 45 x 45 sheet units (18 device units per
// drawing unit); a linetype of a dash and a text element "X", laid at that scale.
class LinetypeTextInViewports : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        drawing->header->tilemode = 0;
        add(viewportOf(1, {50, 50, 0}, 100, 100, 100, {5, 5}), drawing->paperSpace);
        add(viewportOf(2, {25, 50, 0}, 45, 45, 10, {5, 5}), drawing->paperSpace);
        add(viewportOf(3, {75, 50, 0}, 45, 45, 10, {5, 5}), drawing->paperSpace);
        begin(nullptr, HostRect{0, 0, 400, 400}, squareView());
        ASSERT_EQ(context().viewportCount, 3);
        ASSERT_NEAR(genMatrixDeviceScale(context().viewports[1].worldToDevice), 18.0, 1e-9);
        context().paperSpaceWithViewports = 1;
        context().planMask = ~uint64_t(0);
        context().entity = DrawnEntity{};
        context().entity.kind = kEntityLine;
        context().linetypeEnable = 1;
        context().viewports[0].baseDeviceScale = 18.0;

        withText = dashAndTextX(drawing);
        plain = withText;
        plain.dashes[1].complexFlags = 0;
    }

    // The line-tos of the line (0, 5)-(10, 5) drawn with the linetype, per viewport rectangle
    // they land in (index 0: outside both).
    std::array<size_t, 3> lineTosPerViewport(const LinetypeRecord& linetype, uint32_t identity) {
        std::vector<Matrix4> matrices;
        for (int i = 0; i < context().viewportCount; ++i) matrices.push_back(context().viewports[size_t(i)].worldToDevice);
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        genDrawLinetypedSegment(drawing, {0, 5, 0}, {10, 5, 0}, matrices.data(), &linetype, nullptr, identity, 0.0);
        std::array<size_t, 3> counts{};
        for (const std::string& line : recorder.linesOf("lineTo")) {
            std::istringstream in(line.substr(7));
            double x = 0, y = 0;
            in >> x >> y;
            size_t where = 0;
            for (size_t v = 1; v < 3; ++v) {
                const DeviceRect& r = context().viewports[v].clampedRect;
                if (x >= std::min(r.x0, r.x1) - 1 && x <= std::max(r.x0, r.x1) + 1 && y >= std::min(r.y0, r.y1) - 1 &&
                    y <= std::max(r.y0, r.y1) + 1)
                    where = v;
            }
            ++counts[where];
        }
        return counts;
    }

    LinetypeRecord withText;
    LinetypeRecord plain;
};

// Each viewport draws the pattern's five repetitions and the "X" (two strokes) of each once,
// inside itself: an element drawn in every viewport at each repetition would double them.
TEST_F(LinetypeTextInViewports, ALinetypeTextIsDrawnInTheViewportBeingDrawnOnly) {
    const std::array<size_t, 3> text = lineTosPerViewport(withText, 201);
    const std::array<size_t, 3> dashes = lineTosPerViewport(plain, 202);
    EXPECT_EQ(text[0], 0u) << "nothing outside the two viewports";
    EXPECT_EQ(dashes[0], 0u);
    for (size_t v = 1; v < 3; ++v) {
        EXPECT_EQ(dashes[v], 6u) << "viewport " << v << ": five dashes, centred";
        EXPECT_EQ(text[v] - dashes[v], 5u * 2u) << "viewport " << v << ": an X per repetition";
    }
}

} // namespace
} // namespace tracemill
