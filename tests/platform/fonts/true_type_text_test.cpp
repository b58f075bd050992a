// A TEXT in a TrueType style, drawn with the host's faces: its glyphs arrive as filled
// polygons, and their box is the one FreeType gives the string's outlines at that height.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "../../toolkit/display/display_fixture.h"
#include "platform/fonts/face_matching.h"
#include "platform/fonts/font_cache.h"
#include "platform/fonts/host_fonts.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/text/single_line_text.h"

namespace tracemill {
namespace {

struct Box {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void add(double x, double y) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
};

class TrueTypeText : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        ASSERT_EQ(dbHostStartup(), 1);
        dbSetFontFinder(dbTrueTypeFontLookup);
        dbSetGlyphOutlineHook(GlyphOutlineProvider);
        ViewBlock view = squareView();
        view.target = {5.0, 5.0, 0.0, 1.0};
        view.width = view.height = 10.0;
        begin(nullptr, {0, 0, 1000, 1000}, view);  // 100 device units per drawing unit
        context().planMask = 1;
        context().entity = DrawnEntity{};
        context().entity.kind = kEntityText;
    }
    void TearDown() override {
        dbSetGlyphOutlineHook(nullptr);
        dbSetFontFinder(nullptr);
        DisplayTest::TearDown();
        dbHostShutdown();
    }
};

TEST_F(TrueTypeText, GlyphsAreFilledWithinFreeTypesBoxOfTheString) {
    StyleRecord style;
    style.fontFile = "DejaVuSans.ttf";
    TextFields text;
    text.text = "Hog";
    text.height = 1.0;
    text.widthFactor = 1.0;
    text.insertion = {1.0, 3.0, 0.0};
    recorder.clear();
    ASSERT_EQ(genDrawText(drawing, text, style, kIdentityMatrix4, 0.0), 1);

    Box drawn;
    int fills = 0;
    for (const std::string& line : recorder.lines()) {
        ASSERT_FALSE(line.starts_with("moveTo") || line.starts_with("lineTo")) << "glyphs are filled: " << line;
        if (!line.starts_with("polyPolygon")) continue;
        ++fills;
        std::istringstream in(line.substr(11));
        std::string word;
        while (in >> word) {
            if (word == "|") continue;
            const size_t comma = word.find(',');
            drawn.add(std::stod(word.substr(0, comma)), std::stod(word.substr(comma + 1)));
        }
    }
    EXPECT_EQ(fills, 3) << "one poly-polygon per glyph";

    // FreeType's own measure: unscaled outlines, the face scaled so that 'A' stands as high as
    // the text, each glyph at the pen, the pen moved on by the advance.
    const ShapeFont* font = nullptr;
    for (const auto& loaded : drawing->fonts.list)
        if (loaded->kind & kFontKindTrueType) font = loaded.get();
    ASSERT_NE(font, nullptr) << "the style's font is a TrueType face";
    const FontCacheEntry* entry = dbFontCacheFind(font->trueType.family, (font->trueType.params & kFaceBold) != 0,
                                                  (font->trueType.params & kFaceItalic) != 0);
    ASSERT_NE(entry, nullptr) << "the style's face was looked up";
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, entry->file.c_str(), entry->faceIndex, &face), 0);
    const FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    FT_BBox bounds;
    ASSERT_EQ(FT_Load_Char(face, 'A', flags), 0);
    FT_Outline_Get_BBox(&face->glyph->outline, &bounds);
    const double unit = text.height / double(bounds.yMax);
    Box expected;
    double pen = 0.0;
    for (char c : text.text) {
        ASSERT_EQ(FT_Load_Char(face, FT_ULong(c), flags), 0);
        FT_Outline_Get_BBox(&face->glyph->outline, &bounds);
        expected.add((text.insertion.x + (pen + bounds.xMin) * unit) * 100, (text.insertion.y + bounds.yMin * unit) * 100);
        expected.add((text.insertion.x + (pen + bounds.xMax) * unit) * 100, (text.insertion.y + bounds.yMax * unit) * 100);
        pen += double(face->glyph->advance.x);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    EXPECT_NEAR(drawn.minX, expected.minX, 2.0);
    EXPECT_NEAR(drawn.maxX, expected.maxX, 2.0);
    EXPECT_NEAR(drawn.minY, expected.minY, 2.0) << "the descender of g";
    EXPECT_NEAR(drawn.maxY, expected.maxY, 2.0);
}

} // namespace
} // namespace tracemill
