// The header variables of DWG files before R13: one table of fields at fixed offsets of the
// header block, each with its width, the header variable (or current-entry index) it holds and
// the first version that has it. The reader and the writer of this format share the table.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "toolkit/core/header_block.h"

namespace tracemill {

// The current entries that these files name by their position in a table.
enum class Dwg12CurrentEntry : uint8_t { Layer, TextStyle, Linetype, Ucs, DimStyle, PaperUcs };
inline constexpr size_t kDwg12CurrentEntryCount = 6;

// The linetype codes of the drawing for BYLAYER and BYBLOCK, and the codes files use for them:
// one byte before "AC1009" (255 for BYBLOCK; 256, which no byte holds, for BYLAYER), 16 bits
// in "AC1009".
inline constexpr int32_t kDwg12LinetypeByLayer = 32767;
inline constexpr int32_t kDwg12LinetypeByBlock = 32766;
int32_t dbDwg12FileLinetypeByLayer(int versionIndex);
int32_t dbDwg12FileLinetypeByBlock(int versionIndex);

// Positions of the current entries as the header gives them; -1 (65535 in the file) names
// none. The linetype holds kDwg12LinetypeByLayer or kDwg12LinetypeByBlock for those two,
// whatever codes the file uses.
struct Dwg12CurrentEntries {
    std::array<int32_t, kDwg12CurrentEntryCount> index{0, 0, kDwg12LinetypeByLayer, -1, -1, -1};
    int32_t& operator[](Dwg12CurrentEntry which) { return index[size_t(which)]; }
    int32_t operator[](Dwg12CurrentEntry which) const { return index[size_t(which)]; }
};

// How a field is stored.
enum class Dwg12HeaderValue : uint8_t {
    Byte,         // 1 byte
    Short,        // 16 bits
    Double,       // 8 bytes
    Point2,       // two doubles
    Point3,       // three doubles
    Text,         // `width` bytes, zero-padded
    TextRest,     // `width` bytes that continue a text after its first `start` characters
    Date,         // 32-bit day number, 32-bit milliseconds
    UserShorts,   // five 16-bit values
    UserDoubles,  // five doubles
    Handle,       // 8 bytes, most significant first
    CurrentIndex, // a 16-bit position in a table (Dwg12CurrentEntry)
};

struct Dwg12HeaderField {
    uint16_t offset;
    Dwg12HeaderValue value;
    int8_t firstVersion;                                // the first version index that stores the field
    HeaderField member;                                 // the header variable (not for CurrentIndex)
    uint8_t width = 0;                                  // Text and TextRest: bytes in the file
    uint8_t start = 0;                                  // TextRest: the characters before it
    Dwg12CurrentEntry entry = Dwg12CurrentEntry::Layer; // CurrentIndex
};

// The fields in file order.
std::span<const Dwg12HeaderField> dbDwg12HeaderFields();
// The bytes a field takes in the file.
size_t dbDwg12HeaderFieldWidth(const Dwg12HeaderField& field);

// Reads the header variables of a file of version index 0 to 4 into the header and the current
// entries. `header` holds the header block's bytes (the fixed head and the variables); a field
// that does not lie wholly inside them keeps its value, as do fields of later versions.
void rdReadR12Header(std::span<const uint8_t> header, int versionIndex, HeaderBlock& out,
                     Dwg12CurrentEntries& current);

} // namespace tracemill
