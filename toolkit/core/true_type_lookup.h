// The request block of a TrueType font lookup: the toolkit fills in what a text style names,
// the host's font finder answers in the same block.
#pragma once

#include <cstdint>
#include <string>

namespace tracemill {

struct TrueTypeLookup {
    std::string name;    // font file or face name; the found file or face on return
    std::string family;  // family (face) name
    int32_t params = 0;  // bits 8-15 character set, bit 24 italic, bit 25 bold, low byte
                         // pitch and family
};

} // namespace tracemill
