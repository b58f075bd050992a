#include "toolkit/core/fonts/font_resolver.h"

#include <memory>
#include <string>

#include "toolkit/core/code_page_text.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/in_file.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/builtin_fonts.h"
#include "toolkit/core/fonts/shape_file_reader.h"

namespace tracemill {

namespace {

inline constexpr int32_t kParamBold = 0x02000000;
inline constexpr int32_t kParamItalic = 0x01000000;
inline constexpr int16_t kTrueTypeAbove = 1000;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

ShapeFont* builtinFont(int which) {
    return gSystemContext ? gSystemContext->builtinFonts[which].get() : nullptr;
}
ShapeFont* builtinSimplex() { return builtinFont(kBuiltinSimplexFont); }
ShapeFont* builtinGdt() { return builtinFont(kBuiltinGdtFont); }

bool isTrueTypeName(std::string_view name) {
    for (std::string_view mark : {"|b", ".ttc", ".TTC", ".ttf", ".TTF"}) {
        if (contains(name, mark)) return true;
    }
    return false;
}

// The decimal number at the start of the text (0 when it starts with no digit).
int32_t leadingNumber(std::string_view text) {
    int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = int32_t(uint32_t(value) * 10 + uint32_t(c - '0'));
    }
    return value;
}

// TrueType parameters written into a name, as MTEXT font codes write them
// ("Arial|b1|i0|c0|p34"): true when one was found.
bool parametersInName(std::string_view name, int32_t& params) {
    if (contains(name, "|")) params = 0;
    bool found = false;
    for (std::string_view code : {"|b", "|i", "|c", "|p"}) {
        const size_t at = name.find(code);
        if (at == std::string_view::npos || at + code.size() >= name.size()) continue;
        found = true;
        const std::string_view rest = name.substr(at + code.size());
        switch (code[1]) {
        case 'b': params = rest[0] != '0' ? kParamBold : 0; break;
        case 'i': params |= rest[0] != '0' ? kParamItalic : 0; break;
        case 'c': params |= int32_t(uint32_t(leadingNumber(rest)) << 8); break;
        case 'p': params |= leadingNumber(rest); break;
        }
    }
    return found;
}

// The file name behind the last separator of a path.
std::string_view fileNamePart(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A found file with an extension other than ".shx" (a Type 1 ".pfb" font, for example) is
// not a shape file. Only the file name is looked at: folders may hold dots, and a found file
// keeps the case it has on disk.
bool hasOtherExtension(std::string_view path) {
    const std::string_view file = fileNamePart(path);
    const size_t dot = file.rfind('.');
    return dot != std::string_view::npos && !dbEqualsNoCase(file.substr(dot), ".shx");
}

// Whether a loaded font serves a request. A TrueType request loads its face whatever the
// mask says, so a face loaded for one is taken again by the same request under any mask
// (otherwise every text of such a style would load the face anew); fonts read from files
// must meet the mask.
bool meetsMask(const ShapeFont& font, uint16_t mask, bool trueTypeRequest) {
    return (font.kind & mask) != 0 || (trueTypeRequest && (font.kind & kFontKindTrueType) != 0);
}

ShapeFont* findLoaded(Drawing& drawing, uint16_t mask, bool trueTypeRequest,
                      bool (*same)(const ShapeFont&, std::string_view, int32_t), std::string_view key,
                      int32_t params) {
    for (const std::unique_ptr<ShapeFont>& font : drawing.fonts.list) {
        if (same(*font, key, params) && meetsMask(*font, mask, trueTypeRequest)) return font.get();
    }
    return nullptr;
}

bool sameRequest(const ShapeFont& font, std::string_view request, int32_t params) {
    return font.request == request && (!(font.kind & kFontKindTrueType) || font.requestedParams == params);
}

// A face is kept once per set of parameters: bold and italic of one face are two records.
bool samePath(const ShapeFont& font, std::string_view path, int32_t params) {
    return font.path == path && (!(font.kind & kFontKindTrueType) || font.requestedParams == params);
}

} // namespace

std::string genNormaliseShxName(std::string_view name) {
    std::string request(name);
    if (request.size() < 5 || request[request.size() - 4] != '.') request += ".shx";
    dbUpperCaseCp(request, dbGetHeaderCodePage());
    return request;
}

int genIsMissingFont(const Drawing* drawing, std::string_view name) {
    if (!drawing) return 0;
    const DrawingFonts& fonts = drawing->fonts;
    for (int i = 0; i < fonts.missingCount && i < kMissingFontSlots; ++i) {
        if (fonts.missing[i] == name) return 1;
    }
    return 0;
}

void genNoteMissingFont(Drawing* drawing, std::string_view name) {
    if (!drawing) return;
    DrawingFonts& fonts = drawing->fonts;
    if (fonts.missingNext < 0 || fonts.missingNext >= kMissingFontSlots) fonts.missingNext = 0;
    fonts.missing[fonts.missingNext] = name;
    fonts.missingNext = int16_t((fonts.missingNext + 1) % kMissingFontSlots);
    if (fonts.missingCount < kMissingFontSlots) ++fonts.missingCount;
}

ShapeFont* genFindFontByRequest(Drawing* drawing, std::string_view request) {
    if (!drawing) return nullptr;
    for (const std::unique_ptr<ShapeFont>& font : drawing->fonts.list) {
        if (font->request == request) return font.get();
    }
    return nullptr;
}

ShapeFont* genFindFontByPath(Drawing* drawing, std::string_view path) {
    if (!drawing) return nullptr;
    for (const std::unique_ptr<ShapeFont>& font : drawing->fonts.list) {
        if (font->path == path) return font.get();
    }
    return nullptr;
}

void genFreeDrawingFonts(Drawing* drawing) {
    if (!drawing) return;
    DrawingFonts& fonts = drawing->fonts;
    fonts.list.clear();
    for (std::string& name : fonts.missing) name.clear();
    fonts.missingCount = 0;
    fonts.missingNext = 0;
}

void genLookupTrueTypeFont(Drawing* drawing, std::string_view name, std::string_view familyName, int32_t params,
                           bool explicitParams, std::string& outPath, TrueTypeLookup& block) {
    outPath.clear();
    block = TrueTypeLookup{};
    if (!gSystemContext || !gSystemContext->fontFinder || !gSystemContext->glyphFill) return;
    block.params = params;
    if (explicitParams) {
        block.family = name;
    } else {
        block.name = name;
        if (!familyName.empty()) block.family = familyName;
    }
    gSystemContext->fontFinder(block, drawing ? drawing->hostContext : nullptr);
    outPath = !block.name.empty() ? block.name : block.family;
}

ShapeFont* FontResolver(Drawing* drawing, std::string_view name, uint16_t acceptMask, ShapeFont* fallback,
                        std::string_view familyName, int32_t trueTypeParams) {
    if (!drawing || !gSystemContext) return fallback;
    if (name.empty() && familyName.empty()) return fallback;

    std::string request(name);
    bool trueType = !familyName.empty() || isTrueTypeName(name);
    int32_t params = trueTypeParams;
    const bool explicitParams = parametersInName(name, params);
    if (explicitParams) request.resize(request.find('|'));

    if (genIsMissingFont(drawing, name) || (!familyName.empty() && genIsMissingFont(drawing, familyName))) {
        return fallback;
    }
    if (!trueType) request = genNormaliseShxName(request);
    if (dbEqualsNoCase(request, "gdt.shx") || dbEqualsNoCase(request, "gdt")) return builtinGdt();

    if (ShapeFont* loaded = findLoaded(*drawing, acceptMask, trueType, sameRequest, request, params)) return loaded;

    // Finding the file, or asking the host for a face.
    std::string path;
    TrueTypeLookup block;
    if (!trueType) {
        if (!gSystemContext->fileFinder) {
            path = request;
        } else {
            gSystemContext->fileFinder(request.c_str(), path, drawing->hostContext);
            if (dbFileAccess(path.c_str(), 0) != 0 && (acceptMask & kFontKindTrueType) && !contains(request, ".PFB")) {
                trueType = true;
                genLookupTrueTypeFont(drawing, name, familyName, params, explicitParams, path, block);
            }
        }
    } else {
        genLookupTrueTypeFont(drawing, request, familyName, params, explicitParams, path, block);
    }

    const std::string_view missingName = !name.empty() ? name : familyName;
    if (path.empty()) {
        if (dbEqualsNoCase(request, "amgdt.shx") || dbEqualsNoCase(request, "amgdt")) return builtinGdt();
        genNoteMissingFont(drawing, missingName);
        return fallback;
    }
    if (!trueType && hasOtherExtension(path)) {
        genNoteMissingFont(drawing, name);
        return fallback;
    }
    std::string upperPath = path;
    dbUpperCaseCp(upperPath, dbGetHeaderCodePage());
    if (ShapeFont* loaded = findLoaded(*drawing, acceptMask, trueType, samePath, upperPath, params)) return loaded;

    // The file is opened under the name the finder gave: file names on this system keep
    // their case, so the upper-cased path is only the font's key.
    InFilePtr file;
    if (!trueType) {
        file.reset(dbInFileOpen(path.c_str()));
        if (!file) {
            genNoteMissingFont(drawing, name);
            return fallback;
        }
    }
    std::unique_ptr<ShapeFont> font = dbNewObject<ShapeFont>();
    if (!font) {
        dbReportError(kErrorFontNoMemory, kErrorReasonNoMemory);
        return fallback;
    }
    if (trueType) {
        font->trueType = block;
        font->requestedParams = params;
        font->kind = kFontKindTrueType;
        font->above = kTrueTypeAbove;
    } else {
        if (!dbInFileReadAll(file.get(), font->storage)) {
            dbReportError(kErrorFontNoMemory, kErrorReasonNoMemory);
            return fallback;
        }
        file.reset();
        const int loaded = genLoadShapeFile(*font, acceptMask);
        const bool bigFont = (font->kind & kFontKindBigFont) != 0;
        if (loaded == kShapeFileNotAFont) {
            genNoteMissingFont(drawing, name);
            return fallback;
        }
        if (loaded == kShapeFileDamaged) {
            // A damaged file is not read again for every text that names it.
            genNoteMissingFont(drawing, name);
            return bigFont ? nullptr : fallback;
        }
        if (loaded == 0) return bigFont ? nullptr : builtinSimplex();
    }
    font->path = std::move(upperPath);
    font->request = std::move(request);
    if (dbEqualsNoCase(fileNamePart(font->path), "SIMPLEX6.SHX")) font->kind |= kFontKindSimplex6;

    ShapeFont* result = font.get();
    try {
        drawing->fonts.list.push_back(std::move(font));
    } catch (const std::bad_alloc&) {
        dbReportError(kErrorFontNoMemory, kErrorReasonNoMemory);
        return fallback;
    }
    return result;
}

} // namespace tracemill
