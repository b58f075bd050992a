// The file layout of DWG files before R13 ("AC1002" to "AC1009", version indexes 0 to 4): the
// fixed file head with the positions of the sections and the heads of the tables, the record
// size of each table by version, the checksum constants and the sentinels that "AC1009" files
// put around their sections. One definition for the reader and the writer of this format.
//
// A file is byte-aligned and little-endian: the header block at offset 0 (the fixed head and the
// header variables, dwg12_header_layout.h), the entities of paper and model space, the tables
// of fixed-size records, the blocks section (each block's BLOCK entity, its entities and its
// ENDBLK), and in "AC1009" files a trailer. Entities changed after a file was first written
// may live in an extra entity section behind the blocks, reached through jump records.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tracemill {

// The number of byte-format versions (indexes 0 to 4).
inline constexpr int kDwg12VersionCount = 5;

// The tables in the order of the file head (and of the "AC1009" trailer).
enum Dwg12Table : uint8_t {
    kDwg12Block,
    kDwg12Layer,
    kDwg12Style,
    kDwg12Linetype,
    kDwg12View,
    kDwg12Ucs,
    kDwg12Vport,
    kDwg12AppId,
    kDwg12DimStyle,
    kDwg12ViewportEntityHeader, // "VX": the chain of paper-space viewports
};
inline constexpr int kDwg12TableCount = 10;

using Dwg12Sentinel = std::array<uint8_t, 16>;

struct Dwg12TableLayout {
    std::string_view name;
    uint16_t headOffset; // of the table head {u16 record size, u32 count, u32 offset}
    std::array<uint16_t, kDwg12VersionCount> recordSize; // 0: the version has no such table
    uint16_t crcXor;                                     // XOR constant of an "AC1009" record's checksum
    uint8_t trailerNumber;                               // the table's number in the "AC1009" trailer
    Dwg12Sentinel begin;                                 // "AC1009": before the first record
    Dwg12Sentinel end;                                   // "AC1009": after the last record
};

extern const std::array<Dwg12TableLayout, kDwg12TableCount> kDwg12Tables;

// Offsets of the fixed head.
inline constexpr size_t kDwg12SignatureSize = 6;
inline constexpr size_t kDwg12LayoutNumberOffset = 0x11;
inline constexpr size_t kDwg12TreedepthOffset = 0x12;
inline constexpr size_t kDwg12EntityStartOffset = 0x14;
inline constexpr size_t kDwg12EntityEndOffset = 0x18;
inline constexpr size_t kDwg12BlockStartOffset = 0x1C;
inline constexpr size_t kDwg12BlockSizeOffset = 0x20;
inline constexpr size_t kDwg12ExtraStartOffset = 0x24;
inline constexpr size_t kDwg12ExtraSizeOffset = 0x28;
inline constexpr size_t kDwg12TableHeadSize = 10;
// "AC1009": the record number of the first viewport entity header of the chain.
inline constexpr size_t kDwg12FirstViewportOffset = 0x635;

// The header block's size by version (the fixed head and the header variables); "AC1009"
// files put the entities' begin sentinel behind it and its last two bytes hold its checksum.
inline constexpr std::array<uint16_t, kDwg12VersionCount> kDwg12HeaderBlockSize = {929, 981, 1007, 1310,
                                                                                   1727};
// The layout number the writer stores at 0x11, by version.
inline constexpr std::array<uint8_t, kDwg12VersionCount> kDwg12LayoutNumber = {0x72, 0x7A, 0x81, 0xA0, 0xCD};
// The layout number from which an "AC1009" file carries checksums (the file check runs).
inline constexpr uint16_t kDwg12ChecksummedLayout = 205;

// Section sizes keep two flag bits on top; jump targets and the entity offsets of BLOCK
// records keep six.
inline constexpr uint32_t kDwg12SectionSizeMask = 0x3FFFFFFF;
inline constexpr uint32_t kDwg12EntityOffsetMask = 0x03FFFFFF;
// Set in a jump target or a viewport entity header's offset: the offset is relative to the
// extra entity section.
inline constexpr uint32_t kDwg12ExtraSectionBit = 0x80000000u;

// Checksums: CRC-16 (polynomial 0xA001) of a unit's bytes but its last two, seed 0, XOR a
// constant per unit (tables: Dwg12TableLayout::crcXor); entity records use the seed 0xC0C1
// and no XOR.
inline constexpr uint16_t kDwg12HeaderCrcXor = 0x6718;
inline constexpr uint16_t kDwg12TrailerCrcXor = 0xA904;
inline constexpr uint16_t kDwg12EntityCrcSeed = 0xC0C1;

// "AC1009" sentinels around the entities and the blocks section, and after the trailer.
inline constexpr Dwg12Sentinel kDwg12EntitiesBegin = {0xC4, 0x6E, 0x68, 0x54, 0xF8, 0x6E, 0x33, 0x30,
                                                      0x63, 0x3E, 0xC1, 0x85, 0x2A, 0xDC, 0x94, 0x01};
inline constexpr Dwg12Sentinel kDwg12EntitiesEnd = {0x3B, 0x91, 0x97, 0xAB, 0x07, 0x91, 0xCC, 0xCF,
                                                    0x9C, 0xC1, 0x3E, 0x7A, 0xD5, 0x23, 0x6B, 0xFE};
inline constexpr Dwg12Sentinel kDwg12BlocksBegin = {0x72, 0x2B, 0x7D, 0xEC, 0x3E, 0x8C, 0x88, 0x6C,
                                                    0x7A, 0x72, 0x0A, 0xFD, 0xC8, 0x6C, 0x84, 0x26};
inline constexpr std::array<Dwg12Sentinel, 4> kDwg12BlocksEnd = {{
    {0x8D, 0xD4, 0x82, 0x13, 0xC1, 0x73, 0x77, 0x93, 0x85, 0x8D, 0xF5, 0x02, 0x37, 0x93, 0x7B, 0xD9},
    {0xD5, 0xF9, 0xD3, 0xBB, 0x0A, 0xA9, 0x69, 0xA6, 0xCD, 0x1C, 0x87, 0xC7, 0xEE, 0x80, 0x4B, 0x17},
    {0x2A, 0x06, 0x2C, 0x44, 0xF5, 0x56, 0x96, 0x59, 0x32, 0xE3, 0x78, 0x38, 0x11, 0x7F, 0xB4, 0xE8},
    {0x29, 0x8D, 0xD1, 0x49, 0xA9, 0x73, 0x1F, 0xEA, 0x99, 0xDE, 0x32, 0xF9, 0x4D, 0x0A, 0xE0, 0x19},
}};
inline constexpr Dwg12Sentinel kDwg12TrailerEnd = {0xD6, 0x72, 0x2E, 0xB6, 0x56, 0x8C, 0xE0, 0x15,
                                                   0x66, 0x21, 0xCD, 0x06, 0xB2, 0xF5, 0x1F, 0xE6};
// "AC1009": the trailer block's size.
inline constexpr size_t kDwg12TrailerSize = 138;

// Entity records: a head of kind, flags, length, layer and option word; records are smaller than
// this.
inline constexpr size_t kDwg12RecordHeadSize = 8;
// The entity flags (the record's second byte): which common fields follow the head.
inline constexpr uint8_t kDwg12HasColour = 0x01;
inline constexpr uint8_t kDwg12HasLinetype = 0x02;
inline constexpr uint8_t kDwg12HasElevation = 0x04;
inline constexpr uint8_t kDwg12HasThickness = 0x08;
inline constexpr uint8_t kDwg12HasHandle = 0x20; // from "AC1006"
inline constexpr uint8_t kDwg12HasExtraFlags = 0x40;
// The same flag drops the z values of entities with 3D points from "AC1006" on.
inline constexpr uint8_t kDwg12EntityFlat = 0x04;
// The extra flag byte ("AC1009"): extended data follows; a paper-space word follows.
inline constexpr uint8_t kDwg12ExtraXData = 0x02;
inline constexpr uint8_t kDwg12ExtraPaperSpace = 0x04;
inline constexpr size_t kDwg12JumpRecordSize = 8;
inline constexpr uint32_t kDwg12MaxRecordSize = 18432;

struct Dwg12TableHead {
    uint16_t recordSize = 0;
    uint32_t count = 0;
    uint32_t offset = 0;
};

// The fixed file head as a file gives it.
struct Dwg12FileHead {
    int16_t versionIndex = 0;
    uint16_t layoutNumber = 0;  // the 16-bit value at 0x11
    uint16_t treedepthWord = 0; // the 16-bit value at 0x12
    uint32_t entityStart = 0;
    uint32_t entityEnd = 0;
    uint32_t blockStart = 0;
    uint32_t blockSize = 0;      // flag bits masked off
    uint32_t blockSizeFlags = 0; // the two flag bits
    uint32_t extraStart = 0;     // block start + block size when the file gives 0
    uint32_t extraSize = 0;      // flag bits masked off
    std::array<Dwg12TableHead, kDwg12TableCount> tables{};

    uint32_t blockEnd() const { return blockStart + blockSize; }
    uint32_t extraEnd() const { return extraStart + extraSize; }
    // The header block's bytes: up to the entities, without "AC1009"'s sentinel.
    uint32_t headerSize() const;
};

// Whether a version has a table (its record size is not 0).
bool dbDwg12HasTable(int versionIndex, Dwg12Table table);

// Reads the fixed head of a file of version index 0 to 4 from the file's first bytes. Record
// counts of "AC1002" and "AC1003" keep their low 16 bits; tables the version lacks stay empty.
// False when the bytes are too few for the version's head.
bool rdReadDwg12FileHead(std::span<const uint8_t> file, int versionIndex, Dwg12FileHead& out);

} // namespace tracemill
