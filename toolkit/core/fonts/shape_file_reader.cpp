#include "toolkit/core/fonts/shape_file_reader.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/shape_access.h"

namespace tracemill {

namespace {

// The header tests in the order they are made; the first that matches decides.
struct HeaderKind {
    std::string_view text;
    uint8_t kind;
};
constexpr HeaderKind kHeaderKinds[] = {
    {"bigfont", kFontKindBigFont},
    {"unifont 1.0", kFontKindUnifont},
    {"1.0", kFontKindShapes10},
    {"1.1", kFontKindShapes11},
};

inline constexpr uint16_t kShape127 = 127;
inline constexpr uint8_t kDefaultBigHeight = 8;
inline constexpr uint16_t kShape248 = 248;

bool remains(const ShapeFileInput& input, size_t bytes) {
    return input.position <= input.file.size() && input.file.size() - input.position >= bytes;
}

uint16_t take16(ShapeFileInput& input) {
    const uint16_t value = getLe16(input.file.data() + input.position);
    input.position += 2;
    return value;
}

uint32_t take32(ShapeFileInput& input) {
    const uint32_t value = getLe32(input.file.data() + input.position);
    input.position += 4;
    return value;
}

// The NUL-terminated name at an offset skipped, the five bytes after it (0 past the end).
std::array<uint8_t, 5> fontInformation(std::span<const uint8_t> bytes, size_t offset) {
    while (offset < bytes.size() && bytes[offset] != 0) ++offset;
    ++offset;
    std::array<uint8_t, 5> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        if (offset + i < bytes.size()) values[i] = bytes[offset + i];
    }
    return values;
}

int loadShapeFont(ShapeFont& font, ShapeFileInput& input) {
    int32_t infoOffset = -1;
    int read = genReadShapeCounts(input, font);
    if (read == 1) read = genReadShapeIndex(font, input, infoOffset);
    if (read != 1) return read;
    if (infoOffset >= 0) {
        const std::array<uint8_t, 5> info = fontInformation(input.file, size_t(infoOffset));
        font.above = info[0];
        font.below = info[1];
        font.modes = info[2];
    }
    return 1;
}

int loadBigFont(ShapeFont& font, ShapeFileInput& input) {
    int32_t infoOffset = -1;
    int read = genReadBigFontHeader(input, font);
    if (read == 1) read = genReadBigFontIndex(font, input, infoOffset);
    if (read != 1) return read;
    if (infoOffset >= 0) {
        const std::array<uint8_t, 5> info = fontInformation(input.file, size_t(infoOffset));
        font.bigHeight = info[0] != 0 ? info[0] : kDefaultBigHeight;
        if (info[1] == 0) {  // the extended form
            font.modes = info[2];
            font.bigWidth = info[3];
        } else {
            font.bigWidth = info[1];
            font.modes = info[2];
        }
    }
    // The shapes are read from the data on; the header and the index are not kept.
    font.storage.erase(font.storage.begin(), font.storage.begin() + ptrdiff_t(font.dataStart));
    return 1;
}

} // namespace

int genLoadShapeFile(ShapeFont& font, uint16_t acceptMask) {
    ShapeFileInput input{font.storage, 0};
    if (!genReadShapeFileHeader(input, font) || !(font.kind & acceptMask)) return kShapeFileNotAFont;
    return (font.kind & kFontKindBigFont) ? loadBigFont(font, input) : loadShapeFont(font, input);
}

int genReadShapeFileHeader(ShapeFileInput& input, ShapeFont& font) {
    input.position = 0;
    if (input.file.size() < kShapeFileHeaderStart) return 0;
    size_t length = kShapeFileHeaderStart;
    while (input.file[length - 1] != 0x1A && length < kShapeFileHeaderMax && length < input.file.size()) {
        ++length;
    }
    input.position = length;
    std::string_view text(reinterpret_cast<const char*>(input.file.data()), length);
    text = text.substr(0, text.find('\0'));
    for (const HeaderKind& candidate : kHeaderKinds) {
        if (text.find(candidate.text) != std::string_view::npos) {
            font.kind |= candidate.kind;
            return 1;
        }
    }
    return 0;
}

int genReadShapeCounts(ShapeFileInput& input, ShapeFont& font) {
    if (font.kind & kFontKindUnifont) {
        if (!remains(input, 2)) return kShapeFileDamaged;
        font.shapeCount = take16(input);
        return 1;
    }
    if (!remains(input, 6)) return kShapeFileDamaged;
    font.firstShape = take16(input);
    font.lastShape = take16(input);
    font.shapeCount = take16(input);
    return 1;
}

int genReadShapeIndex(ShapeFont& font, ShapeFileInput& input, int32_t& infoOffset) {
    infoOffset = -1;
    const size_t count = font.shapeCount;
    if (font.kind & kFontKindUnifont) {
        // The entries whose heads lie inside the file, counted before the index is made.
        ShapeFileInput walk = input;
        size_t present = 0;
        for (; present < count && remains(walk, 4); ++present) {
            walk.position += 4 + getLe16(walk.file.data() + walk.position + 2);
        }
        if (!dbTryResize(font.index, present)) return dbReportError(kErrorShapeIndexNoMemory, kErrorReasonNoMemory);
        for (ShapeIndexEntry& entry : font.index) {
            entry.number = take16(input);
            const uint16_t length = take16(input);
            entry.offset = uint32_t(input.position);
            input.position += length;
        }
        if (!font.index.empty() && font.index.front().number == 0) infoOffset = int32_t(font.index.front().offset);
    } else {
        if (!remains(input, 4 * count)) return kShapeFileDamaged;
        std::vector<uint8_t> pairs;
        if (!dbTryResize(pairs, 4 * count)) return dbReportError(kErrorShapePairsNoMemory, kErrorReasonNoMemory);
        std::copy_n(input.file.begin() + ptrdiff_t(input.position), pairs.size(), pairs.begin());
        input.position += pairs.size();
        if (!dbTryResize(font.index, count)) return dbReportError(kErrorShapeIndexNoMemory, kErrorReasonNoMemory);
        uint64_t offset = input.position;
        int numbered127Or248 = 0;
        for (size_t i = 0; i < count; ++i) {
            ShapeIndexEntry& entry = font.index[i];
            entry.number = getLe16(&pairs[4 * i]);
            // Offsets beyond the file read as empty shapes; they never wrap round to its start.
            entry.offset = uint32_t(std::min<uint64_t>(offset, UINT32_MAX));
            offset += getLe16(&pairs[4 * i + 2]);
            if (entry.number == kShape127 || entry.number == kShape248) ++numbered127Or248;
            if (entry.number == 0 && infoOffset < 0) infoOffset = int32_t(entry.offset);
        }
        if (numbered127Or248 == 2) font.kind = kFontKindShapes127Or248;
    }
    if (!genSortShapeIndex(font)) return dbReportError(kErrorShapeIndexNoMemory, kErrorReasonNoMemory);
    return 1;
}

int genReadBigFontHeader(ShapeFileInput& input, ShapeFont& font) {
    if (!remains(input, 6)) return kShapeFileDamaged;
    take16(input);  // not used
    font.bigIndexSize = take16(input);
    const size_t rangeCount = take16(input);
    if (!remains(input, 4 * rangeCount)) return kShapeFileDamaged;
    if (!dbTryResize(font.ranges, rangeCount)) return dbReportError(kErrorBigFontIndexNoMemory, kErrorReasonNoMemory);
    for (BigFontRange& range : font.ranges) {
        range.first = take16(input);
        range.last = take16(input);
    }
    return 1;
}

int genReadBigFontIndex(ShapeFont& font, ShapeFileInput& input, int32_t& infoOffset) {
    infoOffset = -1;
    const size_t slots = font.bigIndexSize;
    if (!remains(input, 8 * slots)) return kShapeFileDamaged;
    font.dataStart = uint32_t(input.position + 8 * slots);
    if (!dbTryResize(font.bigIndex, slots)) return dbReportError(kErrorBigFontIndexNoMemory, kErrorReasonNoMemory);
    for (BigFontSlot& slot : font.bigIndex) {
        slot.code = take16(input);
        take16(input);  // the shape's length: the shape ends at its end code
        const uint32_t offset = take32(input);
        if (slot.code == 0 && offset != 0 && infoOffset < 0 && offset < input.file.size()) {
            infoOffset = int32_t(offset);
        }
        if (slot.code == 0 && offset == 0) {
            slot.offset = 0;
        } else if (offset >= font.dataStart && offset < input.file.size()) {
            slot.offset = offset - font.dataStart;
        } else {
            slot.offset = kBigFontSlotOutside;
        }
    }
    return 1;
}

} // namespace tracemill
