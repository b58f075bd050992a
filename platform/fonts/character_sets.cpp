#include "platform/fonts/character_sets.h"

#include "toolkit/core/code_pages.h"

namespace tracemill {

namespace {

struct CharacterSet {
    int number;
    int codePage;  // toolkit code-page number
    const char* language;
};

// Character sets of TrueType requests, with the toolkit's code pages (kCodePageTable numbers).
constexpr CharacterSet kCharacterSets[] = {
    {0, 30, nullptr},    // ANSI: ansi_1252
    {1, 30, nullptr},    // default: as ANSI
    {2, -1, nullptr},    // symbol: the face's own codes
    {77, 23, nullptr},   // mac-roman
    {128, 38, "ja"},     // ansi_932
    {129, 40, "ko"},     // ansi_949
    {130, 26, "ko"},     // johab (no table: bytes above 0x7F are not converted)
    {134, 39, "zh-cn"},  // ansi_936
    {136, 41, "zh-tw"},  // ansi_950
    {161, 32, "el"},     // ansi_1253
    {162, 33, "tr"},     // ansi_1254
    {177, 34, "he"},     // ansi_1255
    {178, 35, "ar"},     // ansi_1256
    {186, 36, "lt"},     // ansi_1257
    {204, 29, "ru"},     // ansi_1251
    {222, 37, "th"},     // ansi_874
    {238, 28, "pl"},     // ansi_1250
    {255, 11, nullptr},  // OEM: dos437
};

const CharacterSet* findSet(int number) {
    for (const CharacterSet& set : kCharacterSets) {
        if (set.number == number) return &set;
    }
    return nullptr;
}

// Trail bytes of the double-byte pages start here.
inline constexpr uint16_t kFirstTrailByte = 0x40;

} // namespace

int characterSetCodePage(int characterSet) {
    const CharacterSet* set = findSet(characterSet);
    return set ? set->codePage : -1;
}

const char* characterSetLanguage(int characterSet) {
    const CharacterSet* set = findSet(characterSet);
    return set ? set->language : nullptr;
}

bool CharacterDecoder::decode(int characterSet, uint16_t code, uint32_t& character) {
    const int page = characterSetCodePage(characterSet);
    if (pendingLead_) {
        const uint16_t combined = uint16_t(pendingLead_ << 8 | (code & 0xFF));
        pendingLead_ = 0;
        uint16_t unicode = 0;
        if (code >= kFirstTrailByte && code <= 0xFF && dbCodePageToUnicode(page, combined, unicode)) {
            character = unicode;
            return true;
        }
    }
    if (code >= 0x80 && code <= 0xFF && page >= 0 && dbIsLeadByte(uint8_t(code), page)) {
        pendingLead_ = uint8_t(code);
        return false;
    }
    uint16_t unicode = 0;
    character = code;
    if (code >= 0x80 && code <= 0xFF && page >= 0 && dbCodePageToUnicode(page, code, unicode) && unicode != 0) {
        character = unicode;
    }
    return true;
}

} // namespace tracemill
