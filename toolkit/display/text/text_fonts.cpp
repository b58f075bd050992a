#include "toolkit/display/text/text_fonts.h"

#include "toolkit/core/paged_stream.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/core/fonts/builtin_fonts.h"
#include "toolkit/core/fonts/font_resolver.h"
#include "toolkit/core/fonts/shape_font.h"

namespace tracemill {

void genStyleTrueTypeData(const StyleRecord& style, std::string& family, int32_t& params) {
    family.clear();
    params = -1;
    if (!style.xdata) return;
    OpenStream* in = dbStreamOpenRead(style.xdata.get());
    if (!in) return;
    XDataItem item;
    while (dbReadXDataItem(in, item)) {
        if (item.code == 1000) family = item.text;
        else if (item.code == 1071) params = item.int32;
    }
    dbStreamCloseRead(in);
}

StyleFonts genResolveStyleFonts(Drawing* drawing, const StyleRecord& style) {
    StyleFonts fonts;
    genStyleTrueTypeData(style, fonts.family, fonts.params);
    ShapeFont* simplex = gSystemContext ? gSystemContext->builtinFonts[kBuiltinSimplexFont].get() : nullptr;
    const bool withBigFont = !style.bigFontFile.empty();
    fonts.primary = FontResolver(drawing, style.fontFile, withBigFont ? kAcceptPrimaryBesideBigFont : kAcceptPrimaryFont,
                                 simplex, fonts.family, fonts.params);
    if (!fonts.primary) fonts.primary = simplex;
    if (withBigFont) fonts.bigFont = FontResolver(drawing, style.bigFontFile, kAcceptBigFont, nullptr, {}, -1);
    return fonts;
}

double genShapeUnitsPerHeight(const ShapeFont* primary, const ShapeFont* bigFont) {
    const bool trueType = primary && (primary->kind & kFontKindTrueType);
    if (bigFont && bigFont->bigHeight != 0 && !trueType) return bigFont->bigHeight;
    if (primary && primary->above > 0) return primary->above;
    return kDefaultFontAbove;
}

} // namespace tracemill
