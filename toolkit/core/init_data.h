// The initialisation data as the system context holds it: the banner, the two built-in shape
// fonts (read once at creation) and the code-page tables of every slot (read on first use).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/init_data_layout.h"
#include "toolkit/core/fonts/shape_font.h"

namespace tracemill {

// The conversion tables of one slot; empty until loaded.
struct CodePageSlot {
    std::vector<uint16_t> byteMap;    // 256 entries: the Unicode value of every byte
    std::vector<uint16_t> codes;      // double-byte codes, strictly ascending
    std::vector<uint16_t> values;     // their Unicode values
    std::vector<uint8_t> leadBytes;   // high bytes of the codes, ascending, each once

    bool loaded() const { return !byteMap.empty(); }
};

// One built-in font as the init data holds it.
struct BuiltinFontData {
    std::vector<ShapeIndexEntry> index;  // {shape number, offset into file}
    std::vector<uint8_t> file;           // the whole shape font file
};

struct InitData {
    std::string name;    // the name it was opened by, kept to reopen it for a code page
    std::string banner;  // without its NUL
    std::array<int32_t, kInitDataSlotCount> slotOffsets = makeNoOffsets();
    std::array<BuiltinFontData, kBuiltinFontCount> fonts;
    std::array<CodePageSlot, kInitDataSlotCount> slots;

    static constexpr std::array<int32_t, kInitDataSlotCount> makeNoOffsets() {
        std::array<int32_t, kInitDataSlotCount> offsets{};
        for (int32_t& offset : offsets) offset = -1;
        return offsets;
    }
};

inline constexpr int kErrorInitDataOpen = 182;    // cannot be opened (or no memory)
inline constexpr int kErrorInitDataBanner = 183;  // not initialisation data

// Reads the fixed part of the init data (banner, slot offsets, built-in fonts) into the
// system context through the init-data callbacks. 1 on success; 0 with error 182 when it
// cannot be opened or memory is short, 183 when it is not initialisation data (the banner
// does not end in 'H', or the data ends early).
int dbLoadInitData(const char* name);

// Frees everything dbLoadInitData and the code-page loads read.
void dbFreeInitData();

} // namespace tracemill
