#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_test_support.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text_state.h"

namespace tracemill {
namespace {

using test::ShapeImage;
using test::shapeBytes;
using test::roundedText;
using test::joinedLines;
using test::textBox;
using test::shapeNumbered;

class ShapeInterpreterTest : public test::ShapeTextTest {
protected:
    // Runs the shape of `code` (found in the state's fonts) and returns what it output and
    // where it left the pen.
    std::string run(uint16_t code, ShapeTextState& state, uint8_t decoration = 0, TextExtents* extents = nullptr,
                    const Matrix4* matrix = nullptr) {
        recorder.lines.clear();
        ShapeFont* font = genFindShape(drawing, state.mainFont, state.bigFont, code, 0);
        EXPECT_NE(font, nullptr);
        if (!font) return {};
        ShapeInterpreter(drawing, code, *font, state, decoration, extents, matrix);
        std::string out = joinedLines(recorder.lines);
        return out + (out.empty() ? "" : "; ") + "pen " + roundedText(state.pen.x) + "," + roundedText(state.pen.y);
    }

    // A 1.0 font (above 10) whose shape 65 has the codes (the end code added unless `open`)
    // and is the last shape of the file, with the other shapes before it.
    ShapeFont* fontWith(std::vector<int> codes, std::vector<ShapeImage> others = {}, bool open = false) {
        if (!open) codes.push_back(0);
        std::vector<ShapeImage> shapes{test::fontInformation(10, 3)};
        shapes.insert(shapes.end(), others.begin(), others.end());
        ShapeImage tested{65, shapeBytes("TESTED", {})};
        for (int code : codes) tested.bytes.push_back(uint8_t(code));
        shapes.push_back(tested);
        return addFont("case" + std::to_string(++fonts_) + ".shx", test::shapeFontImage(shapes));
    }

    int fonts_ = 0;
};

TEST_F(ShapeInterpreterTest, EveryCommand) {
    const struct {
        const char* name;
        std::vector<int> codes;
        std::string expected;
        std::vector<ShapeImage> others = {};
        bool vertical = false;
        double xScale = 1.0, yScale = 1.0;
    } cases[] = {
        {"end code ends the shape", {0x10, 0, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"pen down and up", {1, 0x10, 2, 0x10}, "line 0,0 1,0; pen 2,0"},
        {"divide the scales", {4, 2, 3, 4, 0x10}, "line 0,0 0.5,0; pen 0.5,0"},
        {"a divisor of 0 is passed over", {3, 0, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"multiply the scales", {4, 3, 0x1C}, "line 0,0 0,-3; pen 0,-3"},
        {"push and pop", {5, 0x10, 6, 0x14}, "line 0,0 1,0; line 0,0 0,1; pen 0,1"},
        {"pop on an empty stack", {6, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"a sixth push is ignored",
         {5, 0x10, 5, 0x10, 5, 0x10, 5, 0x10, 5, 0x10, 5, 6, 0x14, 6, 6, 6, 6, 6, 0x14},
         "line 0,0 1,0; line 1,0 2,0; line 2,0 3,0; line 3,0 4,0; line 4,0 5,0; line 4,0 4,1; "
         "line 0,0 0,1; pen 0,1"},
        {"subshape continues where it ended", {7, 66, 0x14}, "line 0,0 1,0; line 1,0 1,1; pen 1,1",
         {shapeNumbered(66, {0x10})}},
        {"displacement", {8, 3, 0xFE}, "line 0,0 3,-2; pen 3,-2"},
        {"displacements to a pair 0,0", {9, 1, 1, 0xFE, 0, 0, 0, 0x10},
         "line 0,0 1,1; line 1,1 -1,1; line -1,1 0,1; pen 0,1"},
        {"octant arc: a full circle", {10, 1, 0x00}, "arc -1,0 r1 0..360 pen 1/1; pen 0,0"},
        {"octant arc counter-clockwise", {10, 2, 0x12},
         "arc -1.414213562,-1.414213562 r2 45..135 pen 1/1; pen -2.828427125,0"},
        {"octant arc clockwise", {10, 2, 0x92},
         "arc -1.414213562,-1.414213562 r2 315..405 pen 1/1; pen 0,-2.828427125"},
        {"octant arc clockwise full circle", {10, 1, 0x80}, "arc -1,0 r1 0..360 pen 1/1; pen 0,0"},
        {"fractional arc with an end offset", {11, 0, 128, 0, 2, 0x12},
         "arc -1.414213562,-1.414213562 r2 45..112.5 pen 1/1; pen -2.179580427,0.433545503"},
        {"fractional arc clockwise with a start offset", {11, 64, 0, 0, 3, 0x92},
         "arc -2.494408837,-1.666710699 r3 315..393.75 pen 1/1; pen -0.373088493,-3.788031043"},
        {"fractional arc radius of two bytes", {11, 0, 0, 1, 0, 0x04},
         "arc -256,0 r256 0..180 pen 1/1; pen -512,0"},
        {"bulge arc counter-clockwise", {12, 2, 0, 127}, "arc 1,0 r1 180..360 pen 1/1; pen 2,0"},
        {"bulge arc clockwise", {12, 2, 0, 0x81}, "arc 1,0 r1 360..540 pen 1/1; pen 2,0"},
        {"bulge 0 is a straight move", {12, 2, 0, 0}, "line 0,0 2,0; pen 2,0"},
        {"bulge pair 0,0 has no bulge byte", {12, 0, 0, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"bulge arcs to a pair 0,0", {13, 2, 0, 127, 0, 2, 127, 0, 0, 0x10},
         "arc 1,0 r1 180..360 pen 1/1; arc 2,1 r1 270..450 pen 1/1; line 2,2 3,2; pen 3,2"},
        {"vertical-only arc skipped in horizontal text", {14, 10, 1, 0, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"vertical-only arc drawn in vertical text", {14, 10, 1, 0, 0x10},
         "arc -1,0 r1 0..360 pen 1/1; line 0,0 1,0; pen 1,0", {}, true},
        {"two vertical-only commands", {14, 8, 1, 1, 14, 0x10, 0x14}, "line 0,0 0,1; pen 0,1"},
        {"vertical-only displacements", {14, 9, 1, 1, 2, 2, 0, 0, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"vertical-only bulge arcs", {14, 13, 1, 1, 10, 0, 0, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"vertical-only fractional arc", {14, 11, 1, 2, 3, 4, 5, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"vertical-only scale", {14, 4, 9, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"vertical-only subshape", {14, 7, 66, 0x10}, "line 0,0 1,0; pen 1,0", {shapeNumbered(66, {0x14})}},
        {"vertical-only pen up", {14, 2, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"vertical-only end code still ends", {14, 0, 0x10}, "pen 0,0"},
        {"code 15 has no effect", {15, 0x10}, "line 0,0 1,0; pen 1,0"},
        {"vector 2A with scales", {0x2A}, "line 0,0 -3,-1; pen -3,-1", {}, false, 1.5, 0.5},
        {"the 16 directions",
         {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F},
         "line 0,0 2,0; line 2,0 4,1; line 4,1 6,3; line 6,3 7,5; line 7,5 7,7; line 7,7 6,9; line 6,9 4,11; "
         "line 4,11 2,12; line 2,12 0,12; line 0,12 -2,11; line -2,11 -4,9; line -4,9 -5,7; line -5,7 -5,5; "
         "line -5,5 -4,3; line -4,3 -2,1; line -2,1 0,0; pen 0,0"},
        {"a subshape that calls itself ends at the nesting limit", {0x10, 7, 65},
         "line 0,0 1,0; line 1,0 2,0; line 2,0 3,0; line 3,0 4,0; line 4,0 5,0; line 5,0 6,0; line 6,0 7,0; "
         "line 7,0 8,0; line 8,0 9,0; line 9,0 10,0; line 10,0 11,0; line 11,0 12,0; line 12,0 13,0; "
         "line 13,0 14,0; line 14,0 15,0; line 15,0 16,0; pen 16,0"},
        {"two subshapes that call each other", {0x10, 7, 66},
         "line 0,0 1,0; line 1,0 1,1; line 1,1 2,1; line 2,1 2,2; line 2,2 3,2; line 3,2 3,3; line 3,3 4,3; "
         "line 4,3 4,4; line 4,4 5,4; line 5,4 5,5; line 5,5 6,5; line 6,5 6,6; line 6,6 7,6; line 7,6 7,7; "
         "line 7,7 8,7; line 8,7 8,8; pen 8,8",
         {shapeNumbered(66, {0x14, 7, 65})}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeTextState state = stateFor(fontWith(c.codes, c.others));
        state.layoutFlags = c.vertical ? kShapeTextVertical : 0;
        state.xScale = c.xScale;
        state.yScale = c.yScale;
        genResetShapePositionStack();
        EXPECT_EQ(run(65, state), c.expected);
    }
}

TEST_F(ShapeInterpreterTest, ShapesEndWithTheFontsBytes) {
    const struct {
        const char* name;
        std::vector<int> codes;
        std::string expected;
    } cases[] = {
        {"operands of a displacement past the end", {0x10, 8, 5}, "line 0,0 1,0; pen 1,0"},
        {"operand of a subshape past the end", {0x10, 7}, "line 0,0 1,0; pen 1,0"},
        {"bulge byte past the end", {0x10, 12, 1, 1}, "line 0,0 1,0; pen 1,0"},
        {"displacement list without its pair 0,0", {9, 1, 0, 0, 1}, "line 0,0 1,0; line 1,0 1,1; pen 1,1"},
        {"skipped command past the end", {0x10, 14}, "line 0,0 1,0; pen 1,0"},
        {"no end code", {0x10, 0x14}, "line 0,0 1,0; line 1,0 1,1; pen 1,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeTextState state = stateFor(fontWith(c.codes, {}, true));
        EXPECT_EQ(run(65, state), c.expected);
    }
    // A shape whose name runs to the end of the font has no codes.
    std::vector<uint8_t> image = test::shapeFontImage({test::fontInformation(10, 3), {65, {'N', 'A', 'M', 'E'}}});
    ShapeTextState state = stateFor(addFont("nameless.shx", image));
    EXPECT_EQ(run(65, state), "pen 0,0");
}

TEST_F(ShapeInterpreterTest, PenStateDrawFlagAndExtents) {
    // Pen down: 0,0 to 1,0; pen up to 2,0; pen down to 2,1; an arc with the pen up.
    ShapeTextState state = stateFor(fontWith({0x10, 2, 0x10, 10, 1, 0x00, 1, 0x14}));
    TextExtents box;
    Matrix4 twice = kIdentityMatrix4;
    twice.at(0, 0) = 2.0;
    twice.at(1, 1) = 2.0;
    EXPECT_EQ(run(65, state, 0, &box, &twice),
              "line 0,0 1,0; arc 1,0 r1 0..360 pen 0/0; line 2,0 2,1; pen 2,1");
    EXPECT_EQ(textBox(box), "0,0 4,2") << "the pen-up move is not measured; the arc is the output's";

    state.pen = {0.0, 0.0};
    state.drawFlag = 0;
    EXPECT_EQ(run(65, state), "arc 1,0 r1 0..360 pen 0/0; pen 2,1") << "draw flag 0: no lines, arcs with pen 0";
}

TEST_F(ShapeInterpreterTest, MeasuringArcs) {
    gSystemContext->shapeArcCallback = genExtentsArc;
    ShapeTextState state = stateFor(fontWith({2, 10, 1, 0x00}));
    TextExtents box;
    run(65, state, 0, &box);
    EXPECT_EQ(textBox(box), "-2,-1 0,1") << "a pen-up arc is measured too";

    const struct {
        const char* name;
        double start, end;
        std::string expected;
    } cases[] = {
        {"half circle", 0.0, 3.14159265358979323846, "-2,5 2,7"},
        {"quarter", 1.5707963267948966, 3.14159265358979323846, "-2,5 0,7"},
        {"shorter than a 64th of the circle", 0.0, 0.09, "1e+300 -1e+300"},
        {"no extents", 0.0, 1.0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextExtents arcBox;
        const bool measured = c.expected != "";
        genExtentsArc(drawing, {0.0, 5.0, 0.0}, c.start, c.end, 2.0, nullptr, 0, 0, measured ? &arcBox : nullptr,
                      nullptr);
        if (!measured) continue;
        if (c.expected == "1e+300 -1e+300") {
            EXPECT_EQ(arcBox.min.x, 1e300);
            EXPECT_EQ(arcBox.max.x, -1e300);
        } else {
            EXPECT_EQ(textBox(arcBox), c.expected);
        }
    }
}

TEST_F(ShapeInterpreterTest, AdvanceAndDecorations) {
    // Pen down 0,0 to 1,0, pen up to 3,0: the advance of 3.
    const std::vector<int> codes{0x10, 2, 0x20};
    const struct {
        const char* name;
        uint8_t decoration;
        bool vertical;
        uint32_t takeAdvance;
        std::string expected;
        std::string extents;
    } cases[] = {
        {"no decoration", 0, false, 0, "line 0,0 1,0; pen 3,0", "0,0 1,0"},
        {"advance measured", 0, false, 1, "line 0,0 1,0; pen 3,0", "0,0 3,0"},
        {"overline and underline", kDecorationOverline | kDecorationUnderline, false, 0,
         "line 0,0 1,0; line 0,12 3,12; line 0,-2 3,-2; pen 3,0", "0,0 1,0"},
        {"underline of vertical text", kDecorationUnderline, true, 0, "line 0,0 1,0; line -1.3,-2 -1.3,-2; pen 3,0",
         "0,0 1,0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeTextState state = stateFor(fontWith(codes));
        state.layoutFlags = c.vertical ? kShapeTextVertical : 0;
        gSystemContext->extentsTakeAdvance = c.takeAdvance;
        TextExtents box;
        EXPECT_EQ(run(65, state, c.decoration, &box), c.expected);
        EXPECT_EQ(textBox(box), c.extents) << "decorations are measured only with the pen down at the end";
    }
    gSystemContext->extentsTakeAdvance = 0;

    // With the pen down at the end the decorations are measured; vertical text draws them
    // left of its advance.
    ShapeTextState state = stateFor(fontWith({0x1C, 0x1C}));
    state.layoutFlags = kShapeTextVertical;
    TextExtents box;
    EXPECT_EQ(run(65, state, kDecorationOverline | kDecorationUnderline, &box),
              "line 0,0 0,-1; line 0,-1 0,-2; line -1.3,12 -1.3,10; line -1.3,-2 -1.3,-4; pen 0,-2");
    EXPECT_EQ(textBox(box), "-1.3,-4 0,12");
    state.pen = {0.0, 0.0};
    state.drawFlag = 0;
    EXPECT_EQ(run(65, state, kDecorationOverline), "pen 0,-2") << "nothing is drawn without the draw flag";
}

TEST_F(ShapeInterpreterTest, TrueTypeCharactersGoToTheGlyphRoutine) {
    ShapeFont* face = addTrueType("face.ttf", 0);
    ShapeTextState state = stateFor(face);
    state.layoutFlags = kShapeTextVertical;
    state.pen = {100.0, 0.0};
    TextExtents box;
    EXPECT_EQ(run(65, state, kDecorationUnderline, &box),
              "glyph 65 draw 1 deco 2 layout 4 face face.ttf; line -30,-200 -30,-200; pen 700,0");
    EXPECT_EQ(textBox(box), "-30,-200 700,1000") << "a TrueType character's decorations are always measured";
    gSystemContext->glyphFill = nullptr;
    state.pen = {0.0, 0.0};
    EXPECT_EQ(run(66, state), "pen 0,0") << "without a glyph routine nothing happens";
}

TEST_F(ShapeInterpreterTest, SubshapesOfUnifontsAndBigFonts) {
    ShapeFont* unifont = addFont("uni.shx", test::unifontImage({test::fontInformation(10, 2), shapeNumbered(0x41, {7, 0x04, 0x10, 0x14}),
                                                                shapeNumbered(0x410, {0x10})}));
    ShapeTextState uniState = stateFor(unifont);
    EXPECT_EQ(run(0x41, uniState), "line 0,0 1,0; line 1,0 1,1; pen 1,1") << "two-byte subshape number";

    ShapeFont* mainFont = fontWith({0x10});
    ShapeFont* bigFont = addFont(
        "big.shx", test::bigFontImage({{0x81, 0x9F}}, 10,
                                      {
                                          shapeNumbered(0x8140, {7, 0, 0x81, 0x41, 2, 3, 20, 5, 0x10}),
                                          shapeNumbered(0x8141, {0x10, 0x14}),
                                          shapeNumbered(0x8142, {7, 0x81, 0x41, 0x10}),
                                          shapeNumbered(0x8143, {14, 7, 0, 0x81, 0x41, 2, 3, 20, 5, 0x10}),
                                          shapeNumbered(0x8144, {7, 65, 0x14}),
                                      }));
    ASSERT_NE(bigFont, nullptr);
    const struct {
        const char* name;
        uint16_t code;
        uint8_t height;
        std::string expected;
    } cases[] = {
        {"extended form: origin and cell, then back", 0x8140, 10,
         "line 2,3 4,3; line 4,3 4,3.5; line 0,0 1,0; pen 1,0"},
        {"extended form of a font without height", 0x8140, 0, "line 2,3 3,3; line 3,3 3,4; line 0,0 1,0; pen 1,0"},
        {"lead byte of a range takes the next byte", 0x8142, 10, "line 0,0 1,0; line 1,0 1,1; line 1,1 2,1; pen 2,1"},
        {"extended form skipped whole", 0x8143, 10, "line 0,0 1,0; pen 1,0"},
        {"subshape of the main font", 0x8144, 10, "line 0,0 1,0; line 1,0 1,1; pen 1,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bigFont->bigHeight = c.height;
        ShapeTextState state = stateFor(mainFont, bigFont);
        EXPECT_EQ(run(c.code, state), c.expected);
        EXPECT_EQ(state.xScale, 1.0) << "the scales come back";
        EXPECT_EQ(state.yScale, 1.0);
    }
}

} // namespace
} // namespace tracemill
