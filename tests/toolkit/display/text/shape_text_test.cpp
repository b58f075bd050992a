#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "text_test_support.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/shape_text_state.h"

namespace tracemill {
namespace {

using test::joinedLines;
using test::shapeNumbered;
using test::textBox;

constexpr double kQuarterTurn = 1.5707963267948966;

// Letters of the fonts below: 'A' a stroke up and an advance of 2, 'B' a stroke of 2 up and
// an advance of 1, '?' a stroke along the baseline and an advance of 2, ' ' an advance of 3,
// 'I' a stroke up without advance.
test::ShapeImage letterA() { return shapeNumbered('A', {0x14, 2, 0x1C, 0x20}); }
test::ShapeImage letterB() { return shapeNumbered('B', {0x24, 2, 0x2C, 0x10}); }
test::ShapeImage questionMark() { return shapeNumbered('?', {0x10, 2, 0x10}); }
test::ShapeImage space() { return shapeNumbered(' ', {2, 0x30}); }

class ShapeTextDrawTest : public test::ShapeTextTest {
protected:
    // A 1.0 font "letters.shx" (above 10, below 3) with A, B, ? and space.
    ShapeFont* letters() {
        return addFont("letters.shx", test::shapeFontImage({test::fontInformation(10, 3), letterA(), letterB(),
                                                            questionMark(), space(),
                                                            shapeNumbered('I', {0x14})}));
    }
    std::string draw(const char* text, ShapeTextState& state, double mainFontScale = 1.0, int* result = nullptr) {
        recorder.lines.clear();
        const int drawn = genDrawShapeText(drawing, text, state, mainFontScale, nullptr, nullptr, false);
        if (result) *result = drawn;
        return joinedLines(recorder.lines);
    }
};

TEST_F(ShapeTextDrawTest, CharactersOneAfterAnother) {
    ShapeFont* font = letters();
    const struct {
        const char* name;
        const char* text;
        std::string expected;
    } cases[] = {
        {"letters", "AB", "line 0,0 0,1; line 2,0 2,2"},
        {"a character without shape is drawn as '?'", "AZB", "line 0,0 0,1; line 2,0 3,0; line 4,0 4,2"},
        {"over- and underline per character", "%%uAB",
         "line 0,0 0,1; line 0,-2 2,-2; line 2,0 2,2; line 2,-2 3,-2"},
        {"empty string", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeTextState state = stateFor(font);
        state.xScale = 5.0;  // every string starts at scale 1
        state.pen = {7.0, 7.0};
        int result = 0;
        EXPECT_EQ(draw(c.text, state, 1.0, &result), c.expected);
        EXPECT_EQ(result, 1);
    }

    // A font without '?' and space: the string ends at a character it lacks, with result 0.
    ShapeFont* bare = addFont("bare.shx", test::shapeFontImage({test::fontInformation(10, 3), letterA()}));
    ShapeTextState state = stateFor(bare);
    int result = 1;
    EXPECT_EQ(draw("AZA", state, 1.0, &result), "line 0,0 0,1");
    EXPECT_EQ(result, 0);
}

TEST_F(ShapeTextDrawTest, ExtentsOnlyDrawsNothing) {
    ShapeTextState state = stateFor(letters());
    TextExtents box;
    EXPECT_EQ(genDrawShapeText(drawing, "AB", state, 1.0, &box, nullptr, true), 1);
    EXPECT_TRUE(recorder.lines.empty());
    EXPECT_EQ(state.drawFlag, 0);
    EXPECT_EQ(textBox(box), "0,0 2,2");
}

TEST_F(ShapeTextDrawTest, BigFontCharactersAndMainFontScale) {
    ShapeFont* mainFont = letters();
    ShapeFont* bigFont = addFont("kanji.shx", test::bigFontImage({{0x81, 0x9F}}, 20,
                                                                 {shapeNumbered(0x8140, {0x10, 2, 0x10})}));
    ShapeTextState state = stateFor(mainFont, bigFont);
    EXPECT_EQ(draw("A\x81\x40" "B", state, 0.5), "line 0,0 0,0.5; line 1,0 2,0; line 3,0 3,1");
}

TEST_F(ShapeTextDrawTest, UnifontCharactersOfTheCodePage) {
    ShapeFont* unifont =
        addFont("uni.shx", test::unifontImage({test::fontInformation(10, 2), shapeNumbered(0x410, {0x14}),
                                                shapeNumbered('?', {0x10})}));
    const struct {
        const char* name;
        int16_t codePage;
        const char* text;
        std::string expected;
    } cases[] = {
        {"ansi_1251 byte of CYRILLIC A", 29, "\xc0", "line 0,0 0,1"},
        {"ansi_1252 byte of another letter", 30, "\xc0", "line 0,0 1,0"},
        {"an escape is not converted", 30, "\\U+0410", "line 0,0 0,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drawing->header->dwgcodepage = c.codePage;
        ShapeTextState state = stateFor(unifont);
        EXPECT_EQ(draw(c.text, state), c.expected);
    }
}

TEST_F(ShapeTextDrawTest, TrueTypeCharactersOfTheCharacterSet) {
    ShapeFont* face = addTrueType("mincho.ttf", 128);
    ShapeTextState state = stateFor(face);
    EXPECT_EQ(draw("A\x82\xa0", state),
              "glyph 65 draw 1 deco 0 layout 0 face mincho.ttf; glyph 33440 draw 1 deco 0 layout 0 face mincho.ttf");
    EXPECT_EQ(state.pen.x, 1200.0);
}

TEST_F(ShapeTextDrawTest, TheBuiltinFont) {
    ShapeFont* simplex = gSystemContext->builtinFonts[0].get();
    ShapeTextState state = stateFor(simplex);
    // The degree sign: a circle of radius 4 at the top of the cell.
    EXPECT_EQ(draw("%%d", state), "arc 7,17 r4 0..360 pen 1/1");
    recorder.lines.clear();
    TextExtents box;
    EXPECT_EQ(genDrawShapeText(drawing, "L", state, 1.0, &box, nullptr, false), 1);
    EXPECT_EQ(joinedLines(recorder.lines), "line 4,21 4,6; line 4,6 4,0; line 4,0 16,0");
    EXPECT_EQ(textBox(box), "4,0 16,21");
    EXPECT_EQ(state.pen.x, 17.0) << "the advance of 'L'";

    // In the GDT font the signs are its symbol letters: %%c draws its 'n', %%d its '~'.
    ShapeTextState gdt = stateFor(gSystemContext->builtinFonts[1].get());
    for (const auto& [sign, letter] : {std::pair{"%%c", "n"}, std::pair{"%%d", "~"}, std::pair{"%%p", "`"}}) {
        SCOPED_TRACE(sign);
        const std::string drawnSign = draw(sign, gdt);
        EXPECT_FALSE(drawnSign.empty());
        EXPECT_EQ(drawnSign, draw(letter, gdt));
    }
}

class ShapeTextMeasureTest : public ShapeTextDrawTest {
protected:
    void SetUp() override {
        ShapeTextDrawTest::SetUp();
        letters();
    }
    // Measures with "letters.shx" (or the fonts named).
    std::string measure(const char* text, const TextParameters& params, double* descent = nullptr,
                        bool vertical = false, const char* font = "letters", const char* bigFont = "") {
        TextExtents box;
        double below = 0.0;
        EXPECT_EQ(genMeasureShapeText(drawing, text, params, vertical, font, bigFont, false, box, below), 1);
        if (descent) *descent = below;
        return textBox(box);
    }
};

TEST_F(ShapeTextMeasureTest, GeometryOfTheText) {
    const auto params = [](double height, double width, double oblique, uint8_t generation, uint8_t align) {
        TextParameters p;
        p.height = height;
        p.widthFactor = width;
        p.obliqueAngle = oblique;
        p.generation = generation;
        p.horizontalAlign = align;
        return p;
    };
    // "AB": strokes (0,0)-(0,1) and (2,0)-(2,2), advance 3; height 5 over above 10.
    const struct {
        const char* name;
        const char* text;
        TextParameters params;
        std::string expected;
    } cases[] = {
        {"height", "AB", params(5, 1, 0, 0, 0), "0,0 1,1"},
        {"width factor", "AB", params(5, 2, 0, 0, 0), "0,0 2,1"},
        {"oblique", "AB", params(5, 1, kQuarterTurn / 2, 0, 0), "0,0 2,1"},
        {"oblique above a quarter turn is reduced", "AB", params(5, 1, 7 * kQuarterTurn / 2, 0, 0), "-0.5,0 1,1"},
        {"backwards", "AB", params(5, 1, 0, kTextBackwards, 0), "-1,0 0,1"},
        {"upside down", "AB", params(5, 1, 0, kTextUpsideDown, 0), "0,-1 1,0"},
        {"backwards and upside down", "AB", params(5, 1, 0, kTextBackwards | kTextUpsideDown, 0), "-1,-1 0,0"},
        {"fit measures the advance", "AB ", params(5, 1, 0, 0, kAlignFit), "0,0 3,1"},
        {"others do not", "AB ", params(5, 1, 0, 0, kAlignAligned), "0,0 1,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double descent = 0.0;
        EXPECT_EQ(measure(c.text, c.params, &descent), c.expected);
        EXPECT_DOUBLE_EQ(descent, -1.5) << "below 3 of above 10 at height 5";
        EXPECT_EQ(gSystemContext->extentsTakeAdvance, 0u);
    }
}

TEST_F(ShapeTextMeasureTest, OutputsAreRestoredAndNothingIsDrawn) {
    ShapeFont* withArc = addFont("arcs.shx", test::shapeFontImage({test::fontInformation(10, 0),
                                                                    shapeNumbered('O', {10, 2, 0x00})}));
    ASSERT_NE(withArc, nullptr);
    TextParameters params;
    params.height = 10.0;
    EXPECT_EQ(measure("O", params, nullptr, false, "arcs"), "-4,-2 0,2") << "arcs measured with 64 chords";
    EXPECT_TRUE(recorder.lines.empty());
    EXPECT_EQ(gSystemContext->shapeLineCallback, &test::ShapeOutputRecorder::line);
    EXPECT_EQ(gSystemContext->shapeArcCallback, &test::ShapeOutputRecorder::arc);
}

TEST_F(ShapeTextMeasureTest, MissingFonts) {
    const struct {
        const char* name;
        const char* font;
        const char* bigFont;
        bool fallback;
        int result;
        int error;
    } cases[] = {
        {"main font not found", "nowhere", "", false, 0, kErrorTextFontNotFound},
        {"big font not found", "letters", "nowhere", false, 0, kErrorTextBigFontNotFound},
        {"main font not found, built-in font instead", "nowhere", "", true, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gSystemContext->errorNumber = 0;
        TextParameters params;
        TextExtents box;
        double descent = 0.0;
        EXPECT_EQ(genMeasureShapeText(drawing, "A", params, false, c.font, c.bigFont, c.fallback, box, descent),
                  c.result);
        EXPECT_EQ(gSystemContext->errorNumber, c.error);
        EXPECT_EQ(gSystemContext->shapeLineCallback, &test::ShapeOutputRecorder::line);
        EXPECT_EQ(gSystemContext->shapeArcCallback, &test::ShapeOutputRecorder::arc);
    }
}

TEST_F(ShapeTextMeasureTest, BigFontAndTrueTypeMainFonts) {
    addFont("kanji.shx", test::bigFontImage({{0x81, 0x9F}}, 20, {shapeNumbered(0x8140, {0x44, 2, 0x40})}));
    TextParameters params;
    params.height = 4.0;
    // Main-font characters at height 4 whatever the big font's cell; big-font characters at 4
    // per cell height 20.
    EXPECT_EQ(measure("B", params, nullptr, false, "letters", "kanji"), "0,0 0,0.8");
    EXPECT_EQ(measure("\x81\x40", params, nullptr, false, "letters", "kanji"), "0,0 0,0.8");

    addTrueType("face.ttf", 0);
    params.height = 2.0;
    double descent = 1.0;
    recorder.lines.clear();
    EXPECT_EQ(measure("A", params, &descent, true, "face.ttf"), "0,0 1.2,2");
    EXPECT_EQ(joinedLines(recorder.lines), "glyph 65 draw 0 deco 0 layout 4 face face.ttf")
        << "a TrueType text is measured by the glyph routine without drawing";
    EXPECT_EQ(descent, 0.0);
}

} // namespace
} // namespace tracemill
