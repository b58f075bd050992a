#include "toolkit/core/fonts/builtin_fonts.h"

#include <algorithm>

#include "toolkit/core/memory_services.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/shape_access.h"

namespace tracemill {

namespace {

struct BuiltinFontEntry {
    const char* path;
    uint8_t kind;
};

constexpr BuiltinFontEntry kBuiltinFonts[kBuiltinFontCount] = {
    {"SIMPLEX.SHX", kFontKindShapes11},
    {"GDT.SHX", kFontKindShapes11 | kFontKindBuiltinGdt},
};

// Metrics both built-in fonts declare.
constexpr int16_t kBuiltinAbove = 21;
constexpr int16_t kBuiltinBelow = 6;
constexpr int16_t kBuiltinModes = 2;
constexpr uint16_t kBuiltinFirstShape = 0;
constexpr uint16_t kBuiltinLastShape = 258;

// A font over the init data's copy of its file, or null (error number set).
std::unique_ptr<ShapeFont> makeFont(const BuiltinFontEntry& entry, const BuiltinFontData& data) {
    for (const ShapeIndexEntry& entry : data.index) {
        if (entry.offset >= data.file.size()) {
            dbSetError(kErrorBuiltinFontsInvalid);
            return nullptr;
        }
    }
    std::unique_ptr<ShapeFont> font = dbNewObject<ShapeFont>();
    if (!font || !dbTryResize(font->index, data.index.size())) {
        dbReportError(kErrorBuiltinFontsNoMemory, kErrorReasonNoMemory);
        return nullptr;
    }
    font->path = entry.path;
    font->kind = entry.kind;
    font->above = kBuiltinAbove;
    font->below = kBuiltinBelow;
    font->firstShape = kBuiltinFirstShape;
    font->lastShape = kBuiltinLastShape;
    font->shapeCount = uint16_t(data.index.size());
    font->modes = kBuiltinModes;
    std::copy(data.index.begin(), data.index.end(), font->index.begin());
    if (!genSortShapeIndex(*font)) {
        dbReportError(kErrorBuiltinFontsNoMemory, kErrorReasonNoMemory);
        return nullptr;
    }
    font->external = data.file;
    return font;
}

} // namespace

int genCreateBuiltinFonts() {
    SystemContext* context = gSystemContext;
    if (!context) return 0;
    std::array<std::unique_ptr<ShapeFont>, kBuiltinFontCount> fonts;
    for (int i = 0; i < kBuiltinFontCount; ++i) {
        fonts[i] = makeFont(kBuiltinFonts[i], context->initData.fonts[i]);
        if (!fonts[i]) return 0;
    }
    context->builtinFonts = std::move(fonts);
    return 1;
}

void genFreeBuiltinFonts() {
    if (!gSystemContext) return;
    for (auto& font : gSystemContext->builtinFonts) font.reset();
}

} // namespace tracemill
