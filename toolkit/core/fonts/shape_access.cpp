#include "toolkit/core/fonts/shape_access.h"

#include <algorithm>

#include "toolkit/core/code_pages.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/memory_services.h"

namespace tracemill {

namespace {

// Codes below this count as in range of a big font that has any range.
inline constexpr uint16_t kBigFontRangeStart = 0xDE;

bool inBigFontRange(const ShapeFont& bigFont, uint16_t code) {
    if (bigFont.ranges.empty()) return false;
    if (code < kBigFontRangeStart) return true;
    const uint16_t lead = code >> 8;
    return std::any_of(bigFont.ranges.begin(), bigFont.ranges.end(),
                       [lead](const BigFontRange& range) { return range.first <= lead && lead <= range.last; });
}

// Searches the big font's slots from the one the code hashes to, on to the last and round from
// slot 0, so that a character stored before its start slot is found too.
bool findInBigFont(ShapeFont& bigFont, uint16_t code) {
    const size_t slots = bigFont.bigIndex.size();
    if (slots == 0) return false;
    long start = long(((code & 0xFF) * 256 + (code >> 8)) % slots) - 1;
    if (start < 0 || start >= long(slots) - 2) start = 0;
    for (size_t i = 0; i < slots; ++i) {
        const BigFontSlot& slot = bigFont.bigIndex[(size_t(start) + i) % slots];
        if (slot.code == code) {
            bigFont.cursor.offset = slot.offset;
            return true;
        }
    }
    return false;
}

const ShapeIndexEntry* findEntry(const ShapeFont& font, uint16_t number) {
    const ShapeIndexEntry key{number, 0};
    const auto found = std::lower_bound(
        font.sortedIndex.begin(), font.sortedIndex.end(), key,
        [](const ShapeIndexEntry& a, const ShapeIndexEntry& b) { return genCompareShapeNumbers(a, b) < 0; });
    return found != font.sortedIndex.end() && found->number == number ? &*found : nullptr;
}

} // namespace

ShapeFont* genFindShape(Drawing* drawing, ShapeFont* primary, ShapeFont* bigFont, uint16_t code, uint16_t flags) {
    if (!primary) return nullptr;
    if (primary->kind & kFontKindTrueType) return primary;
    if (bigFont && (inBigFontRange(*bigFont, code) || (flags & kFindShapeAlwaysBigFont)) &&
        findInBigFont(*bigFont, code)) {
        return bigFont;
    }
    if ((primary->kind & kFontKindUnifont) && (flags & kFindShapeConvertCode) && drawing && drawing->header) {
        uint16_t unicode = code;
        dbCodePageToUnicode(drawing->header->dwgcodepage, code, unicode);
        code = unicode;
    }
    for (const uint16_t candidate : {code, uint16_t('?'), uint16_t(' ')}) {
        if (const ShapeIndexEntry* entry = findEntry(*primary, candidate)) {
            primary->cursor.offset = entry->offset;
            return primary;
        }
    }
    return nullptr;
}

uint8_t genNextShapeByte(ShapeFont& font) {
    const std::span<const uint8_t> bytes = font.shapeBytes();
    if (font.cursor.offset >= bytes.size()) return 0;
    return bytes[font.cursor.offset++];
}

ShapeCursor genGetShapeCursor(const ShapeFont& font) { return font.cursor; }

int genSetShapeCursor(ShapeFont& font, ShapeCursor cursor) {
    font.cursor = cursor;
    return 1;
}

int genCompareShapeNumbers(const ShapeIndexEntry& a, const ShapeIndexEntry& b) {
    return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
}

int genSortShapeIndex(ShapeFont& font) {
    if (!dbTryResize(font.sortedIndex, font.index.size())) return 0;
    std::copy(font.index.begin(), font.index.end(), font.sortedIndex.begin());
    std::stable_sort(font.sortedIndex.begin(), font.sortedIndex.end(),
                     [](const ShapeIndexEntry& a, const ShapeIndexEntry& b) { return genCompareShapeNumbers(a, b) < 0; });
    return 1;
}

} // namespace tracemill
