#include "platform/fonts/face_matching.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/fonts/character_sets.h"
#include "platform/fonts/fontconfig_handles.h"
#include "platform/fonts/host_font_state.h"
#include "toolkit/core/name_compare.h"

namespace tracemill {

namespace {

const char* patternString(FcPattern* pattern, const char* object, int n = 0) {
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, object, n, &value) == FcResultMatch ? reinterpret_cast<const char*>(value)
                                                                           : nullptr;
}

// Any family name of the pattern equal to the face over the shorter of the two lengths.
bool familyMatches(FcPattern* pattern, std::string_view face) {
    for (int n = 0;; ++n) {
        const char* family = patternString(pattern, FC_FAMILY, n);
        if (!family) return false;
        const std::string_view name(family);
        if (dbCompareNoCaseN(name, face, long(std::min(name.size(), face.size()))) == 0) return true;
    }
}

bool styleMatches(FcPattern* pattern, bool bold, bool italic) {
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
    const bool isBold = FcWeightToOpenType(weight) > 400;
    const bool isItalic = slant != FC_SLANT_ROMAN;
    return isBold == bold && isItalic == italic;
}

bool coversLanguage(FcPattern* pattern, const char* language) {
    if (!language) return true;
    FcLangSet* languages = nullptr;
    if (FcPatternGetLangSet(pattern, FC_LANG, 0, &languages) != FcResultMatch) return false;
    return FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>(language)) != FcLangDifferentLang;
}

// Every installed font file with its first family name, sorted by file name.
std::vector<std::pair<std::string, std::string>> installedFiles(FcConfig* config) {
    FcPatternPtr all(FcPatternCreate());
    FcObjectSetPtr objects(FcObjectSetBuild(FC_FILE, FC_FAMILY, nullptr));
    FcFontSetPtr fonts(FcFontList(config, all.get(), objects.get()));
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        const char* file = patternString(fonts->fonts[i], FC_FILE);
        const char* family = patternString(fonts->fonts[i], FC_FAMILY);
        if (file && family) files.emplace_back(std::filesystem::path(file).filename().string(), family);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A file name without folder (either separator) and extension.
std::string fileStem(std::string_view name) {
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    const size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

} // namespace

std::optional<InstalledFace> dbMatchInstalledFace(std::string_view face, bool bold, bool italic, int characterSet) {
    HostFontState* state = dbHostFontState();
    if (!state || face.empty()) return std::nullopt;
    const std::string name(face);
    FcPatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
    const char* language = characterSetLanguage(characterSet);
    if (language) FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>(language));
    FcConfigSubstitute(state->config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(state->config, pattern.get(), &result));
    if (!match || !familyMatches(match.get(), face) || !styleMatches(match.get(), bold, italic) ||
        !coversLanguage(match.get(), language)) {
        return std::nullopt;
    }
    const char* file = patternString(match.get(), FC_FILE);
    if (!file) return std::nullopt;
    InstalledFace found{file, 0};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.index);
    return found;
}

bool dbFaceFromFontFile(TrueTypeLookup& request) {
    HostFontState* state = dbHostFontState();
    const std::string stem = fileStem(request.name);
    if (!state || stem.empty()) return false;
    const auto files = installedFiles(state->config);
    const auto exact = std::find_if(files.begin(), files.end(), [&](const auto& file) {
        return dbEqualsNoCase(fileStem(file.first), stem);
    });
    const auto prefixed = std::find_if(files.begin(), files.end(), [&](const auto& file) {
        return file.first.size() >= stem.size() && dbCompareNoCaseN(file.first, stem, long(stem.size())) == 0;
    });
    const auto found = exact != files.end() ? exact : prefixed;
    if (found == files.end()) return false;
    request.family = found->second;
    return true;
}

bool dbIsFamilyInstalled(std::string_view family) {
    HostFontState* state = dbHostFontState();
    if (!state || family.empty()) return false;
    const std::string name(family);
    FcPatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcObjectSetPtr objects(FcObjectSetBuild(FC_FAMILY, nullptr));
    FcFontSetPtr fonts(FcFontList(state->config, pattern.get(), objects.get()));
    return fonts && fonts->nfont > 0;
}

} // namespace tracemill
