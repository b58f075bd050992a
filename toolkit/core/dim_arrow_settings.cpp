#include "toolkit/core/dim_arrow_settings.h"

#include <array>
#include <utility>

#include "toolkit/core/dim_style_overrides.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill {
namespace {

constexpr std::array<std::pair<std::string_view, ArrowKind>, 7> kNamedKinds = {{
    {"_CLOSED", kArrowClosed},
    {"_OPEN", kArrowOpen},
    {"_DOT", kArrowDot},
    {"_ORIGIN", kArrowOrigin},
    {"_OPEN90", kArrowOpen90},
    {"_NONE", kArrowNone},
    {"_OBLIQUE", kArrowOblique},
}};

Handle blockNamed(Drawing* drawing, const std::string& name) {
    Handle block;
    if (!name.empty()) dbBlockFindByName(drawing, name, block);
    return block;
}

// Applies one override whose value item has the form the code asks for; others are passed over.
void applyOverride(Drawing* drawing, const DimStyleOverride& o, DimArrowSettings& out) {
    const XDataItem& v = o.value;
    const bool real = v.code == 1040, int16 = v.code == 1070, text = v.code == 1000, handle = v.code == 1005;
    switch (o.code) {
    case 40:
        if (real) out.scale = v.real;
        break;
    case 41:
        if (real) out.arrowSize = v.real;
        break;
    case 147:
        if (real) out.gap = v.real;
        break;
    case 77:
        if (int16) out.placement = uint16_t(v.int16);
        break;
    case 173:
        if (int16) out.separateArrows = uint16_t(v.int16);
        break;
    case 176:
        if (int16) out.colour = uint32_t(int32_t(v.int16));
        break;
    case 5:
        if (text) out.arrowBlock = blockNamed(drawing, v.text);
        break;
    case 7:
        if (text) out.secondArrowBlock = blockNamed(drawing, v.text);
        break;
    case 341:
    case 342:
        if (handle) out.arrowBlock = v.handle;
        break;
    case 343:
    case 344:
        if (handle) out.secondArrowBlock = v.handle;
        break;
    default:
        break;
    }
}

} // namespace

int dbArrowKindFromBlockName(std::string_view name, int16_t& kind) {
    kind = name.empty() ? kArrowDefault : kArrowOther;
    for (const auto& [known, k] : kNamedKinds) {
        if (dbEqualsNoCase(name, known)) kind = k;
    }
    return 1;
}

int dbGetDimArrowSettings(Drawing* drawing, const EntityHeader& entity, DimArrowSettings& out, Handle dimStyle) {
    out = DimArrowSettings{};
    DimStyleRecord style;
    if (!dbGetDimStyleByHandle(drawing, dimStyle, style)) return 0;
    out.arrowSize = style.dimasz;
    out.scale = style.dimscale;
    out.gap = style.dimgap;
    out.placement = style.dimtad;
    out.separateArrows = style.dimsah;
    out.colour = uint32_t(int32_t(style.dimclrd));
    if (style.dimsah) {
        out.arrowBlock = style.dimblk1;
    } else {
        out.arrowBlock = drawing->versionIndex >= kVersionIndex2000 ? style.dimldrblk : style.dimblk;
    }
    for (const DimStyleOverride& o : dbReadDimStyleOverrides(drawing, entity.xdata)) applyOverride(drawing, o, out);
    return 1;
}

} // namespace tracemill
