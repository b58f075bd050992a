// Fuzz harness: the shape interpreter, string drawing, measuring and alignment over shapes and
// strings made from the input (make_shape_text_corpus.py writes the seeds).
//
// Input: byte 0 chooses the font (bits 0-1: shape font 1.0, shape font 1.1, unifont, shape
// font 1.0 with a big font of lead bytes 0x81-0x9F), vertical text (bit 2), a "fit" text (bit
// 3) and the code page (bit 4: "dos932", else "ansi_1252"); byte 1 the string's length (up to
// 63); the string; then shapes as {number, length, bytes}, the numbers of big-font shapes
// taken as 0x81xx. Every shape is also run on its own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_load.h"
#include "shape_font_images.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/fonts/font_resolver.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_file_reader.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/text_alignment.h"

using namespace tracemill;

namespace {

double gSink = 0.0;  // what the outputs see, so that they are not optimised away

void countLine(Drawing*, const Point3& from, const Point3& to, void*) { gSink += from.x + to.y; }

void countArc(Drawing*, const Point3& centre, double start, double end, double radius, void*, uint8_t, uint8_t,
              TextExtents*, const Matrix4*) {
    gSink += centre.x + start + end + radius;
}

ShapeFont* addFont(Drawing* drawing, const char* name, std::vector<uint8_t> image) {
    auto font = std::make_unique<ShapeFont>();
    font->storage = std::move(image);
    if (genLoadShapeFile(*font, 0xFF) != 1) return nullptr;
    font->request = genNormaliseShxName(name);
    font->path = font->request;
    drawing->fonts.list.push_back(std::move(font));
    return drawing->fonts.list.back().get();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::startToolkit() || size < 2) return 0;
    static Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
    if (!drawing) return 0;
    genFreeDrawingFonts(drawing);

    const uint8_t selector = data[0];
    const size_t length = std::min<size_t>(data[1] & 0x3F, size - 2);
    const std::string text(reinterpret_cast<const char*>(data + 2), length);
    const int form = selector & 3;
    drawing->header->dwgcodepage = (selector & 0x10) ? 22 : 30;

    std::vector<test::ShapeImage> shapes{test::fontInformation(10, 3)};
    std::vector<test::ShapeImage> bigShapes;
    for (size_t at = 2 + length; at + 2 <= size;) {
        const uint8_t number = data[at];
        const size_t bytes = std::min<size_t>(data[at + 1], size - at - 2);
        test::ShapeImage shape{number, std::vector<uint8_t>(data + at + 2, data + at + 2 + bytes)};
        at += 2 + bytes;
        if (form == 3 && (number & 1)) {
            shape.number = uint16_t(0x8100 | number);
            bigShapes.push_back(std::move(shape));
        } else {
            shapes.push_back(std::move(shape));
        }
    }
    ShapeFont* mainFont = addFont(drawing, "fuzz", form == 2   ? test::unifontImage(shapes)
                                                   : form == 1 ? test::shapeFontImage(shapes, "1.1")
                                                               : test::shapeFontImage(shapes));
    ShapeFont* bigFont = form == 3 ? addFont(drawing, "fuzzbig", test::bigFontImage({{0x81, 0x9F}}, 8, bigShapes))
                                   : nullptr;
    if (!mainFont) return 0;

    gSystemContext->shapeLineCallback = countLine;
    gSystemContext->shapeArcCallback = countArc;
    ShapeTextState state;
    state.mainFont = mainFont;
    state.bigFont = bigFont;
    state.above = uint16_t(mainFont->above);
    state.layoutFlags = (selector & 4) ? kShapeTextVertical : 0;
    genResetShapePositionStack();
    TextExtents box;
    Matrix4 matrix = kIdentityMatrix4;
    matrix.at(1, 0) = 0.5;
    genDrawShapeText(drawing, text.c_str(), state, 0.8, &box, &matrix, false);

    // Every shape of both fonts on its own, as SHAPE entities and linetypes run them.
    for (ShapeFont* font : {mainFont, bigFont}) {
        if (!font) continue;
        const size_t count = font->kind & kFontKindBigFont ? font->bigIndex.size() : font->index.size();
        for (size_t i = 0; i < count; ++i) {
            const uint16_t number = font->kind & kFontKindBigFont ? font->bigIndex[i].code : font->index[i].number;
            if (ShapeFont* found = genFindShape(drawing, mainFont, bigFont, number, kFindShapeAlwaysBigFont)) {
                ShapeInterpreter(drawing, number, *found, state, kDecorationOverline, &box, &matrix);
            }
        }
    }

    TextParameters params;
    params.height = 2.5;
    params.obliqueAngle = 0.25;
    params.horizontalAlign = (selector & 8) ? kAlignFit : kAlignMiddle;
    params.alignment = {10.0, 1.0};
    double descent = 0.0;
    genMeasureShapeText(drawing, text.c_str(), params, (selector & 4) != 0, "fuzz", bigFont ? "fuzzbig" : "", false,
                        box, descent);
    Point2 insertion;
    genTextAlignPoint(drawing, text.c_str(), insertion, params, "fuzz", bigFont ? "fuzzbig" : "");
    gSystemContext->shapeLineCallback = nullptr;
    gSystemContext->shapeArcCallback = nullptr;
    return 0;
}
