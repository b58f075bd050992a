#include "platform/fonts/font_substitutions.h"

#include <array>

#include "platform/fonts/face_matching.h"
#include "toolkit/core/name_compare.h"

namespace tracemill {

namespace {

constexpr std::string_view kSans[] = {"Liberation Sans", "Nimbus Sans", "DejaVu Sans"};
constexpr std::string_view kSerif[] = {"Liberation Serif", "Nimbus Roman", "DejaVu Serif"};
constexpr std::string_view kMono[] = {"Liberation Mono", "Nimbus Mono PS", "DejaVu Sans Mono"};
constexpr std::string_view kNarrow[] = {"Liberation Sans Narrow", "Nimbus Sans Narrow", "DejaVu Sans"};
constexpr std::string_view kSymbol[] = {"Standard Symbols PS", "DejaVu Sans"};
constexpr std::string_view kJapaneseGothic[] = {"Noto Sans CJK JP", "IPAGothic", "VL Gothic"};
constexpr std::string_view kJapaneseMincho[] = {"Noto Serif CJK JP", "IPAMincho"};
constexpr std::string_view kSimplifiedChinese[] = {"Noto Sans CJK SC", "WenQuanYi Zen Hei", "AR PL UMing CN"};
constexpr std::string_view kTraditionalChinese[] = {"Noto Sans CJK TC", "AR PL UMing TW"};
constexpr std::string_view kKorean[] = {"Noto Sans CJK KR", "NanumGothic", "UnDotum"};

constexpr FontSubstitution kSubstitutions[] = {
    {"Arial", kSans},
    {"Helvetica", kSans},
    {"Tahoma", kSans},
    {"Verdana", kSans},
    {"Segoe UI", kSans},
    {"Calibri", kSans},
    {"Microsoft Sans Serif", kSans},
    {"MS Sans Serif", kSans},
    {"Arial Narrow", kNarrow},
    {"Times New Roman", kSerif},
    {"Times", kSerif},
    {"Georgia", kSerif},
    {"Cambria", kSerif},
    {"Courier New", kMono},
    {"Courier", kMono},
    {"Consolas", kMono},
    {"Lucida Console", kMono},
    {"Symbol", kSymbol},
    {"MS Gothic", kJapaneseGothic},
    {"MS PGothic", kJapaneseGothic},
    {"MS UI Gothic", kJapaneseGothic},
    {"MS Mincho", kJapaneseMincho},
    {"MS PMincho", kJapaneseMincho},
    {"SimSun", kSimplifiedChinese},
    {"SimHei", kSimplifiedChinese},
    {"NSimSun", kSimplifiedChinese},
    {"MingLiU", kTraditionalChinese},
    {"PMingLiU", kTraditionalChinese},
    {"Gulim", kKorean},
    {"Batang", kKorean},
    {"Dotum", kKorean},
    {"Malgun Gothic", kKorean},
};

} // namespace

std::span<const FontSubstitution> dbFontSubstitutions() { return kSubstitutions; }

bool dbSearchAltFontNames(TrueTypeLookup& request) {
    for (const FontSubstitution& row : kSubstitutions) {
        if (!dbEqualsNoCase(row.face, request.family)) continue;
        for (std::string_view standIn : row.standIns) {
            if (dbIsFamilyInstalled(standIn)) {
                request.family = standIn;
                return true;
            }
        }
        return false;
    }
    return false;
}

} // namespace tracemill
