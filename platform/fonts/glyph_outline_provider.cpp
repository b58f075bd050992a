#include <ft2build.h>
#include FT_OUTLINE_H

#include "platform/fonts/face_matching.h"
#include "platform/fonts/fallback_faces.h"
#include "platform/fonts/font_cache.h"
#include "platform/fonts/host_fonts.h"

namespace tracemill {

namespace {

// Turns a FreeType outline into contours of line segments: every curve piece (quadratic, or
// cubic in CFF faces) flattened with the same number of steps, each contour closed back to its
// start, and no point written twice in a row.
class OutlineFlattener {
public:
    OutlineFlattener(double scale, Point2 origin, int steps, GlyphOutline& out)
        : scale_(scale), origin_(origin), steps_(steps), out_(out) {}

    void run(FT_Outline& outline) {
        FT_Outline_Funcs funcs{};
        funcs.move_to = [](const FT_Vector* to, void* self) { return static_cast<OutlineFlattener*>(self)->moveTo(*to); };
        funcs.line_to = [](const FT_Vector* to, void* self) { return static_cast<OutlineFlattener*>(self)->lineTo(*to); };
        funcs.conic_to = [](const FT_Vector* control, const FT_Vector* to, void* self) {
            return static_cast<OutlineFlattener*>(self)->conicTo(*control, *to);
        };
        funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* self) {
            return static_cast<OutlineFlattener*>(self)->cubicTo(*c1, *c2, *to);
        };
        FT_Outline_Decompose(&outline, &funcs, this);
        closeContour();
    }

private:
    int moveTo(const FT_Vector& to) {
        closeContour();
        out_.contours.emplace_back();
        start_ = last_ = point(to);
        pen_ = to;
        return 0;
    }
    int lineTo(const FT_Vector& to) {
        add(point(to));
        pen_ = to;
        return 0;
    }
    int conicTo(const FT_Vector& control, const FT_Vector& to) {
        for (int i = 1; i <= steps_; ++i) {
            const double t = double(i) / steps_;
            const double a = (1 - t) * (1 - t), b = 2 * (1 - t) * t, c = t * t;
            add(point(a * pen_.x + b * control.x + c * to.x, a * pen_.y + b * control.y + c * to.y));
        }
        pen_ = to;
        return 0;
    }
    int cubicTo(const FT_Vector& c1, const FT_Vector& c2, const FT_Vector& to) {
        for (int i = 1; i <= steps_; ++i) {
            const double t = double(i) / steps_, u = 1 - t;
            const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            add(point(a * pen_.x + b * c1.x + c * c2.x + d * to.x, a * pen_.y + b * c1.y + c * c2.y + d * to.y));
        }
        pen_ = to;
        return 0;
    }
    void closeContour() {
        if (out_.contours.empty()) return;
        add(start_);
    }
    void add(Point2 p) {
        if (p == last_ || out_.contours.empty()) return;
        out_.contours.back().push_back(HatchSegment{last_, p});
        last_ = p;
    }
    Point2 point(const FT_Vector& v) const { return point(double(v.x), double(v.y)); }
    Point2 point(double x, double y) const { return {x * scale_ + origin_.x, y * scale_ + origin_.y}; }

    double scale_;
    Point2 origin_;
    int steps_;
    GlyphOutline& out_;
    FT_Vector pen_{};
    Point2 start_;
    Point2 last_;
};

// The glyph of a character: through the face's symbol map for the symbol set (codes in the
// private area 0xF000 + code, as symbol faces map them), else through its Unicode map. A
// character the face lacks gives 0 (its default glyph).
FT_UInt glyphIndex(FT_Face face, int characterSet, uint32_t character) {
    if (characterSet == kCharacterSetSymbol && FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0) {
        FT_UInt index = FT_Get_Char_Index(face, 0xF000 | character);
        if (index == 0) index = FT_Get_Char_Index(face, character);
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        return index;
    }
    return FT_Get_Char_Index(face, character);
}

} // namespace

int GlyphOutlineProvider(GlyphRequest& request, void*) {
    request.outline = GlyphOutline{};
    HostFontState* state = dbHostFontState();
    if (!state || !request.face) return 0;
    const TrueTypeLookup& face = *request.face;
    const int characterSet = faceCharacterSet(face.params);
    uint32_t character = 0;
    if (!state->decoder.decode(characterSet, request.code, character)) return 0;

    FontCacheEntry* entry =
        dbFontCacheFind(face.family, (face.params & kFaceBold) != 0, (face.params & kFaceItalic) != 0);
    if (!entry) return 0;
    FT_UInt glyph = glyphIndex(entry->ftFace, characterSet, character);
    // A character the face lacks is drawn, on its own, by an installed face that has it.
    if (glyph == 0 && characterSet != kCharacterSetSymbol) {
        if (FontCacheEntry* fallback =
                dbFallbackFace(character, (face.params & kFaceBold) != 0, (face.params & kFaceItalic) != 0)) {
            entry = fallback;
            glyph = FT_Get_Char_Index(entry->ftFace, character);
        }
    }
    FT_Face ftFace = entry->ftFace;
    if (FT_Load_Glyph(ftFace, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
        ftFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        return 0;
    }
    OutlineFlattener(entry->scale, request.origin, dbGlyphCurveSegments(), request.outline).run(ftFace->glyph->outline);
    std::erase_if(request.outline.contours, [](const auto& contour) { return contour.empty(); });
    request.outline.advance = double(ftFace->glyph->metrics.horiAdvance) * entry->scale;
    request.outline.flags = kGlyphOutlineFill;
    return 0;
}

} // namespace tracemill
