// What the text tests share: numbers and points written to 1e-9, a recorder of the shape line
// and arc outputs and of the glyph routine, and a drawing that holds fonts made in the test.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "../../core/drawing_fixture.h"
#include "../../core/fonts/font_test_support.h"
#include "rounded_text.h"
#include "shape_font_images.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/font_resolver.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text_state.h"

namespace tracemill::test {

inline std::string textPoint(const Point3& p) { return roundedText(p.x) + "," + roundedText(p.y); }

// The lines of a recording joined by "; ".
inline std::string joinedLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += (out.empty() ? "" : "; ") + line;
    return out;
}

// "minx,miny maxx,maxy".
inline std::string textBox(const TextExtents& box) {
    return roundedText(box.min.x) + "," + roundedText(box.min.y) + " " + roundedText(box.max.x) + "," +
           roundedText(box.max.y);
}

// A shape named after its number with the codes and the end code.
inline ShapeImage shapeNumbered(uint16_t number, std::initializer_list<int> codes) {
    ShapeImage shape{number, shapeBytes("S" + std::to_string(number), codes)};
    shape.bytes.push_back(0);
    return shape;
}

// Records every shape output as a line of text: "line x,y x,y", "arc centre r start..end
// pen p/d" (angles in degrees) and "glyph code draw d deco f layout l". The glyph routine
// moves the pen on by `glyphAdvance` and measures the box from the pen to (advance, 1000).
class ShapeOutputRecorder {
public:
    void install() {
        active = this;
        gSystemContext->shapeLineCallback = &line;
        gSystemContext->shapeArcCallback = &arc;
        gSystemContext->glyphFill = &glyph;
    }
    void uninstall() {
        if (gSystemContext) {
            gSystemContext->shapeLineCallback = nullptr;
            gSystemContext->shapeArcCallback = nullptr;
            gSystemContext->glyphFill = nullptr;
        }
        active = nullptr;
    }

    static void line(Drawing*, const Point3& from, const Point3& to, void*) {
        active->lines.push_back("line " + textPoint(from) + " " + textPoint(to));
    }
    static void arc(Drawing*, const Point3& centre, double start, double end, double radius, void*, uint8_t penState,
                    uint8_t penDown, TextExtents*, const Matrix4*) {
        constexpr double kDegrees = 180.0 / 3.14159265358979323846;
        active->lines.push_back("arc " + textPoint(centre) + " r" + roundedText(radius) + " " +
                                roundedText(start * kDegrees) + ".." + roundedText(end * kDegrees) + " pen " +
                                std::to_string(penState) + "/" + std::to_string(penDown));
    }
    static void glyph(GlyphFillArguments& arguments) {
        active->lines.push_back("glyph " + std::to_string(arguments.code) + " draw " +
                                std::to_string(arguments.drawFlag) + " deco " +
                                std::to_string(arguments.decorationFlags) + " layout " +
                                std::to_string(arguments.layoutFlags) + " face " + arguments.face->name);
        Point2& pen = arguments.state->pen;
        if (arguments.extents) {
            genExtentsAddSegment({pen.x, pen.y, 0.0}, {pen.x + active->glyphAdvance, pen.y + 1000.0, 0.0},
                                 *arguments.extents, arguments.matrix);
        }
        pen.x += active->glyphAdvance;
    }

    inline static ShapeOutputRecorder* active = nullptr;
    std::vector<std::string> lines;
    double glyphAdvance = 600.0;
};

// A new drawing whose font list holds the fonts a test makes, with the recorder installed
// and the position stack empty.
class ShapeTextTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        recorder.install();
        genResetShapePositionStack();
    }
    void TearDown() override {
        recorder.uninstall();
        DrawingTest::TearDown();
    }

    // Reads the image as a font file and gives it to the drawing under the name (a font
    // resolver finds it there).
    ShapeFont* addFont(const std::string& name, std::vector<uint8_t> image) {
        std::unique_ptr<ShapeFont> font = fontFromBytes(std::move(image));
        EXPECT_NE(font, nullptr) << name;
        if (!font) return nullptr;
        font->request = genNormaliseShxName(name);
        font->path = font->request;
        drawing->fonts.list.push_back(std::move(font));
        return drawing->fonts.list.back().get();
    }
    // A TrueType face of that character set, as the resolver keeps one found by the host.
    ShapeFont* addTrueType(const std::string& name, int characterSet) {
        auto font = std::make_unique<ShapeFont>();
        font->kind = kFontKindTrueType;
        font->above = 1000;
        font->request = name;
        font->requestedParams = -1;
        font->trueType.name = name;
        font->trueType.params = characterSet << 8;
        drawing->fonts.list.push_back(std::move(font));
        return drawing->fonts.list.back().get();
    }

    static ShapeTextState stateFor(ShapeFont* mainFont, ShapeFont* bigFont = nullptr) {
        ShapeTextState state;
        state.mainFont = mainFont;
        state.bigFont = bigFont;
        state.above = uint16_t(mainFont ? mainFont->above : 0);
        return state;
    }

    ShapeOutputRecorder recorder;
};

} // namespace tracemill::test
