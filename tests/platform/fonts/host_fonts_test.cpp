#include "platform/fonts/host_fonts.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fonts/face_matching.h"
#include "platform/fonts/font_cache.h"
#include "platform/fonts/font_substitutions.h"
#include "test_paths.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

class HostFonts : public test::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        ASSERT_EQ(dbHostStartup(), 1);
        ASSERT_EQ(FT_Init_FreeType(&library), 0);
    }
    void TearDown() override {
        dbSetGlyphCurveSegments(4);
        FT_Done_FreeType(library);
        dbHostShutdown();
        ToolkitTest::TearDown();
    }

    // Looks a face up as the font finder does; the request as answered.
    static TrueTypeLookup lookup(std::string name, std::string family, int32_t params = 0) {
        TrueTypeLookup request{std::move(name), std::move(family), params};
        dbTrueTypeFontLookup(request, nullptr);
        return request;
    }

    static GlyphOutline outline(const TrueTypeLookup& face, uint16_t code, Point2 origin = {}) {
        GlyphRequest request;
        request.code = code;
        request.origin = origin;
        request.face = &face;
        EXPECT_EQ(GlyphOutlineProvider(request, nullptr), 0);
        return request.outline;
    }

    // The face FreeType opens from the file the finder chose, with its glyph for a character
    // loaded unscaled.
    FT_Face openGlyph(const TrueTypeLookup& face, uint32_t character) {
        const FontCacheEntry* entry = dbFontCacheFind(face.family, (face.params & kFaceBold) != 0,
                                                      (face.params & kFaceItalic) != 0);
        EXPECT_NE(entry, nullptr);
        if (!entry) return nullptr;
        FT_Face ftFace = nullptr;
        EXPECT_EQ(FT_New_Face(library, entry->file.c_str(), entry->faceIndex, &ftFace), 0);
        EXPECT_EQ(FT_Load_Char(ftFace, character, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
        return ftFace;
    }

    // Line pieces and curve pieces of a glyph's outline, as FreeType decomposes it.
    struct Pieces {
        int lines = 0;
        int conics = 0;
        int cubics = 0;
    };
    static Pieces pieces(FT_Outline& outline) {
        Pieces counted;
        FT_Outline_Funcs funcs{};
        funcs.move_to = [](const FT_Vector*, void*) { return 0; };
        funcs.line_to = [](const FT_Vector*, void* p) { return ++static_cast<Pieces*>(p)->lines, 0; };
        funcs.conic_to = [](const FT_Vector*, const FT_Vector*, void* p) { return ++static_cast<Pieces*>(p)->conics, 0; };
        funcs.cubic_to = [](const FT_Vector*, const FT_Vector*, const FT_Vector*, void* p) {
            return ++static_cast<Pieces*>(p)->cubics, 0;
        };
        FT_Outline_Decompose(&outline, &funcs, &counted);
        return counted;
    }

    static size_t segmentCount(const GlyphOutline& outline) {
        size_t count = 0;
        for (const auto& contour : outline.contours) count += contour.size();
        return count;
    }

    FT_Library library = nullptr;
};

TEST_F(HostFonts, FaceFoundByFileNameFaceNameAndVerticalName) {
    const struct {
        const char* name;
        const char* file;
        const char* family;
        int32_t params;
        const char* foundName;
        const char* foundFamily;
    } cases[] = {
        {"by file name", "DejaVuSans.ttf", "", 0, "DejaVuSans.ttf", "DejaVu Sans"},
        {"by file name in another case", "C:\\Fonts\\dejavusans.TTF", "", 0, "C:\\Fonts\\dejavusans.TTF", "DejaVu Sans"},
        {"by face name", "", "DejaVu Sans", 0, "", "DejaVu Sans"},
        {"bold", "", "DejaVu Sans", kFaceBold, "", "DejaVu Sans"},
        {"bold italic", "", "DejaVu Sans", kFaceBold | kFaceItalic, "", "DejaVu Sans"},
        {"vertical name without its '@'", "", "@DejaVu Sans", 0, "", "DejaVu Sans"},
        {"unknown face cleared", "", "No Such Face Anywhere", 0, "", ""},
        {"unknown file cleared", "nosuchfont.ttf", "", 0, "", ""},
        {"a character set the face lacks", "", "DejaVu Sans", 128 << 8, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TrueTypeLookup found = lookup(c.file, c.family, c.params);
        EXPECT_EQ(found.name, c.foundName);
        EXPECT_EQ(found.family, c.foundFamily);
    }
}

TEST_F(HostFonts, CommonFaceNamesStandInForFacesNotInstalled) {
    const TrueTypeLookup found = lookup("arial.ttf", "Arial");
    ASSERT_FALSE(found.family.empty()) << "Arial has installed stand-ins";
    const auto sans = dbFontSubstitutions().front();
    ASSERT_EQ(sans.face, "Arial");
    EXPECT_NE(std::find(sans.standIns.begin(), sans.standIns.end(), found.family), sans.standIns.end())
        << found.family;
    EXPECT_EQ(found.name, "arial.ttc") << "the file name is tried as a collection first";
    // Rows that end in a DejaVu face (which setup installs) always find a stand-in.
    for (const FontSubstitution& row : dbFontSubstitutions()) {
        if (!row.standIns.back().starts_with("DejaVu")) continue;
        EXPECT_TRUE(std::any_of(row.standIns.begin(), row.standIns.end(), [](std::string_view s) {
            return dbIsFamilyInstalled(s);
        })) << row.face;
    }
}

TEST_F(HostFonts, OutlineOfAIsFreeTypesOwnScaledToCapitalHeight) {
    const TrueTypeLookup face = lookup("", "DejaVu Sans");
    ASSERT_EQ(face.family, "DejaVu Sans");
    const Point2 origin{100.0, -50.0};
    const GlyphOutline got = outline(face, 'A', origin);

    FT_Face ftFace = openGlyph(face, 'A');
    ASSERT_NE(ftFace, nullptr);
    const double scale = 1000.0 / double(ftFace->glyph->metrics.horiBearingY);
    const FT_Outline& o = ftFace->glyph->outline;
    ASSERT_EQ(got.contours.size(), size_t(o.n_contours));
    int first = 0;
    for (int c = 0; c < o.n_contours; ++c) {
        SCOPED_TRACE(c);
        const int last = o.contours[c];
        HatchSegments expected;
        for (int i = first; i <= last; ++i) {
            ASSERT_TRUE(FT_CURVE_TAG(o.tags[i]) == FT_CURVE_TAG_ON) << "'A' has straight edges only";
            const FT_Vector& a = o.points[i];
            const FT_Vector& b = o.points[i == last ? first : i + 1];
            expected.push_back({{a.x * scale + origin.x, a.y * scale + origin.y},
                                {b.x * scale + origin.x, b.y * scale + origin.y}});
        }
        ASSERT_EQ(got.contours[c].size(), expected.size());
        for (size_t s = 0; s < expected.size(); ++s) {
            EXPECT_NEAR(got.contours[c][s].start.x, expected[s].start.x, 1e-9);
            EXPECT_NEAR(got.contours[c][s].start.y, expected[s].start.y, 1e-9);
            EXPECT_NEAR(got.contours[c][s].end.x, expected[s].end.x, 1e-9);
            EXPECT_NEAR(got.contours[c][s].end.y, expected[s].end.y, 1e-9);
        }
        first = last + 1;
    }
    EXPECT_DOUBLE_EQ(got.advance, double(ftFace->glyph->metrics.horiAdvance) * scale);
    EXPECT_EQ(got.flags, kGlyphOutlineFill);
    // The capital stands 1,000 units above the baseline.
    double top = -1e9;
    for (const auto& contour : got.contours)
        for (const HatchSegment& s : contour) top = std::max(top, s.start.y);
    EXPECT_NEAR(top - origin.y, 1000.0, 1e-9);
    FT_Done_Face(ftFace);
}

TEST_F(HostFonts, CurvePiecesAreFlattenedWithTheSegmentCount) {
    const TrueTypeLookup face = lookup("", "DejaVu Sans");
    FT_Face ftFace = openGlyph(face, 'O');
    ASSERT_NE(ftFace, nullptr);
    const Pieces p = pieces(ftFace->glyph->outline);
    ASSERT_GT(p.conics, 0);
    ASSERT_EQ(p.cubics, 0);
    for (int steps : {4, 1, 8}) {
        SCOPED_TRACE(steps);
        dbSetGlyphCurveSegments(steps);
        const GlyphOutline got = outline(face, 'O');
        EXPECT_EQ(segmentCount(got), size_t(p.lines + steps * p.conics));
        for (const auto& contour : got.contours) {
            ASSERT_FALSE(contour.empty());
            EXPECT_EQ(contour.back().end, contour.front().start) << "closed";
            for (size_t s = 1; s < contour.size(); ++s) EXPECT_EQ(contour[s].start, contour[s - 1].end);
        }
    }
    EXPECT_EQ(dbSetGlyphCurveSegments(0), 8) << "0 keeps the count";
    EXPECT_EQ(dbSetGlyphCurveSegments(4), 8);
    FT_Done_Face(ftFace);
}

TEST_F(HostFonts, CubicPiecesOfCffFacesUseTheSameCount) {
    const TrueTypeLookup face = lookup("", "Nimbus Sans");
    if (face.family.empty()) {
        if (test::runningInCi()) FAIL() << "Nimbus Sans (fonts-urw-base35) missing under CI=true";
        GTEST_SKIP() << "no Nimbus Sans installed";
    }
    FT_Face ftFace = openGlyph(face, 'O');
    ASSERT_NE(ftFace, nullptr);
    const Pieces p = pieces(ftFace->glyph->outline);
    ASSERT_GT(p.cubics, 0);
    EXPECT_EQ(segmentCount(outline(face, 'O')), size_t(p.lines + 4 * p.cubics));
    FT_Done_Face(ftFace);
}

TEST_F(HostFonts, DoubleByteCharacterTakesTwoRequests) {
    const TrueTypeLookup ansi = lookup("", "DejaVu Sans");
    ASSERT_EQ(ansi.family, "DejaVu Sans");
    TrueTypeLookup japanese = ansi;
    japanese.params = 128 << 8;
    // 0x81 0x80 is the division sign in the Japanese page, 0xF7 in the ANSI page; 0x81 0x7E
    // (a trail byte below 0x80) is the multiplication sign, 0xD7.
    const struct {
        uint8_t lead, trail, ansiCode;
    } cases[] = {{0x81, 0x80, 0xF7}, {0x81, 0x7E, 0xD7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trail);
        EXPECT_TRUE(outline(japanese, c.lead).contours.empty()) << "the first byte draws nothing";
        const GlyphOutline got = outline(japanese, c.trail);
        const GlyphOutline expected = outline(ansi, c.ansiCode);
        ASSERT_FALSE(expected.contours.empty());
        EXPECT_EQ(got.contours, expected.contours);
        EXPECT_EQ(got.advance, expected.advance);
    }
}

TEST_F(HostFonts, InstallAsTheToolkitsFontFinderAndGlyphHook) {
    dbSetFontFinder(dbTrueTypeFontLookup);
    dbSetGlyphOutlineHook(GlyphOutlineProvider);
    EXPECT_EQ(gSystemContext->fontFinder, &dbTrueTypeFontLookup);
    EXPECT_EQ(gOutputHookTable->glyphOutline, &GlyphOutlineProvider);
}

TEST_F(HostFonts, NothingWithoutAFace) {
    const TrueTypeLookup unknown{"", "Not Looked Up", 0};
    EXPECT_TRUE(outline(unknown, 'A').contours.empty());
    GlyphRequest request;
    request.code = 'A';
    EXPECT_EQ(GlyphOutlineProvider(request, nullptr), 0);
    EXPECT_TRUE(request.outline.contours.empty());

    const TrueTypeLookup face = lookup("", "DejaVu Sans");
    dbHostShutdown();
    EXPECT_TRUE(outline(face, 'A').contours.empty()) << "after shut-down";
    EXPECT_EQ(lookup("", "DejaVu Sans").family, "") << "nothing is found after shut-down";
    ASSERT_EQ(dbHostStartup(), 1);
}

} // namespace
} // namespace tracemill
